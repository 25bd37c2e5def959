#!/usr/bin/env bash
# Runs inside xvfb-run: starts one persistent wine server and Wine's background services with
# their output detached, so that test processes exit cleanly and ctest sees their end; then runs ctest.
set -uo pipefail
cleanup() { wineserver -k >/dev/null 2>&1 || true; }
trap cleanup EXIT
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null

# Xvfb runs no window manager, and Wine then waits 2 s for every hidden top-level window to be
# withdrawn, and leaves a maximised window's state to a manager that never answers. Test programs
# and the program started by the program tests run their windows unmanaged.
regfile="$PWD/unmanaged-test-windows.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  find . \( -name '*_tests.exe' -o -name '*_bench.exe' -o -name 'Pixhaul.exe' \) -printf '%f\n' | sort -u | while read -r exe; do
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\r\n"Managed"="N"\r\n\r\n' "$exe"
  done
} > "$regfile"
wine regedit /S "Z:${regfile//\//\\}" >/dev/null 2>&1 </dev/null

ctest --output-on-failure -j "$(nproc)" "$@"
