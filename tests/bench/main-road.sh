#!/usr/bin/env bash
# Builds the project and prints the main road's figures under Wine on a virtual display: the
# fixture site's 1,000-item user from the load to every thumbnail shown (requests, working set),
# then its whole grid scrolled through at 150 and 306 px (time per frame, tiles made).
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

# The fixture site and the test support find the trees through these, as under ctest.
PIXHAUL_SOURCE_DIR="$ROOT" PIXHAUL_BINARY_DIR="$BUILD_DIR" \
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/MainRoadBench.exe"
