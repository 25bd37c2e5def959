#!/usr/bin/env bash
# Used by scripts/run, on the display it should use. "program": registers Pxhl.dll with regsvr32,
# starts the fixture site on free ports and starts Pixhaul there for a person. "tour <folder>": the
# program tests' tour walks the program through its main job (it starts its own site and registers
# the control as the program tests do) and leaves its pictures and files in the folder. Stops the
# site and the prefix's Wine processes at the end.
# Expects the environment of wine-env.sh and build.sh (BUILD_DIR, ROOT, WINEPREFIX ...).
set -euo pipefail
mode="${1:?tour or program}"

site_pid=""
work="$(mktemp -d)"
cleanup() {
  if [ -n "$site_pid" ]; then kill "$site_pid" 2>/dev/null || true; wait "$site_pid" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
# An interrupt or a stop request ends the run through the same clean-up.
trap 'exit 130' INT TERM

# One persistent Wine server for the steps below, started on this display.
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
export PIXHAUL_SOURCE_DIR="$ROOT" PIXHAUL_BINARY_DIR="$BUILD_DIR"

case "$mode" in
  tour)
    # The virtual screen has no window manager: the program's windows go unmanaged, as in the tests.
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Pixhaul.exe\\X11 Driver]\r\n"Managed"="N"\r\n\r\n' \
      >"$work/unmanaged.reg"
    wine regedit /S "$(winepath -w "$work/unmanaged.reg")" >/dev/null 2>&1 </dev/null
    # Waited for in the background, so that a signal reaches the clean-up while the tour runs.
    PIXHAUL_TOUR_FOLDER="${2:?picture folder}" wine "$BUILD_DIR/tests/program/pixhaul_tour.exe" </dev/null &
    wait $!
    exit
    ;;
  program) ;;
  *) echo "run: unknown mode $mode" >&2; exit 2 ;;
esac

if ! wine regsvr32 /s "$(winepath -w "$BUILD_DIR/Pxhl.dll")" >/dev/null 2>&1 </dev/null; then
  echo "run: regsvr32 could not register $BUILD_DIR/Pxhl.dll" >&2
  exit 1
fi
echo "run: Pxhl.dll registered in $WINEPREFIX"

python3 -u "$ROOT/tools/fixture-site/server.py" --service-port 0 --image-port 0 --maker-port 0 \
  >"$work/site.log" 2>&1 </dev/null &
site_pid=$!
ports=""
for _ in $(seq 300); do
  ports="$(grep -m1 '^fixture-site ports:' "$work/site.log" || true)"
  [ -n "$ports" ] && break
  kill -0 "$site_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$ports" ]; then
  echo "run: the fixture site did not start:" >&2
  cat "$work/site.log" >&2
  exit 1
fi
service="$(sed -n 's/.*service=\([0-9]*\).*/\1/p' <<<"$ports")"
maker="$(sed -n 's/.*maker=\([0-9]*\).*/\1/p' <<<"$ports")"
echo "run: $ports"

export PIXHAUL_SERVICE_HOST="127.0.0.1:$service" PIXHAUL_MAKER_HOST="127.0.0.1:$maker"
# Waited for in the background, so that a signal reaches the clean-up while the program runs.
wine "$BUILD_DIR/Pixhaul.exe" &
wait $!
