#!/usr/bin/env bash
# Builds the project and prints how many MB per second the JSON reader reads on a 5 MB feed page
# under Wine. BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

wine "$BUILD_DIR/tests/bench/ParserJsonBench.exe"
