#!/usr/bin/env bash
# Builds the project and prints how long a form with 1,000 skinned controls takes to paint and to
# route a mouse move with the hover protocol, under Wine on a virtual display.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/ControlsHoverBench.exe"
