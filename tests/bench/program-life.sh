#!/usr/bin/env bash
# Builds the project and prints how long Pixhaul.exe takes from its start to a painted start screen
# and from a close request to its end, against the fixture site, under Wine on a virtual display.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

# No window manager on the virtual screen: the program's windows go unmanaged, as in the tests.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Pixhaul.exe\\X11 Driver]\r\n"Managed"="N"\r\n\r\n' \
  >"$work/unmanaged.reg"
wine regedit /S "$(winepath -w "$work/unmanaged.reg")" >/dev/null 2>&1 </dev/null
# Wine's desktop process must start on the virtual display, not here without one.
wineserver -w

PIXHAUL_SOURCE_DIR="$ROOT" PIXHAUL_BINARY_DIR="$BUILD_DIR" \
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/ProgramLifeBench.exe"
# The next benchmark's display is another one: let this one's Wine processes end with it.
wineserver -w
