#!/usr/bin/env bash
# Builds the project and prints how long a form with 1,000 skinned controls takes to paint and to
# route a mouse move with the hover protocol, under Wine on a virtual display.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
scripts="$here/../../scripts"
"$scripts/setup"
source "$scripts/lib/build.sh"
configure_and_build >/dev/null
source "$scripts/lib/wine-env.sh"
ensure_wine_prefix

xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/ControlsHoverBench.exe"
