#!/usr/bin/env bash
# Builds the project and prints how long the caption search takes to rebuild the grid of the
# fixture site's 1,000-item user, for one word, ten words and a 5,000-character query in both match
# modes, and one step to the next item in the full-size view with its file present, under Wine on a
# virtual display. BUILD_DIR picks the build folder (default: build/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

# The fixture site and the test support find the trees through these, as under ctest.
PIXHAUL_SOURCE_DIR="$ROOT" PIXHAUL_BINARY_DIR="$BUILD_DIR" \
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/MainRoadBench.exe" search
