#!/usr/bin/env bash
# Builds the project and prints how many MB per second the JSON reader reads on a 5 MB feed page
# under Wine. BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
scripts="$here/../../scripts"
"$scripts/setup"
source "$scripts/lib/build.sh"
configure_and_build >/dev/null
source "$scripts/lib/wine-env.sh"
ensure_wine_prefix

wine "$BUILD_DIR/tests/bench/ParserJsonBench.exe"
