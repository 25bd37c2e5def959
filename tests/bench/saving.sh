#!/usr/bin/env bash
# Builds the project and prints how fast the fixture site's 1,000-item user `big` is saved under Wine:
# by the main window into a folder and into a zip file (the site's pictures made beforehand), next to
# curl and aria2c fetching the same addresses 6 at a time in the same run, with the ratios (a job is
# timed to its end, every file in place; the 400 ms for which its strip then shows 100% are printed
# apart); every saved file, in the folder and in the zip, is checked byte for byte against curl's.
# Next to them, a plain Winsock loop under Wine making the same requests (the platform's floor) and the
# download control alone, without the window.
# Then the copy thread and the zip writer alone on the saved files, next to native cp and zip of them.
# Seconds, files/s, MB/s and CPU seconds.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

start_server "$work/ports.txt" "$ROOT/tests/support/fixturesite.py" --ports-file "$work/ports.txt"
mkdir "$work/window" "$work/curl" "$work/threads" "$work/native"
# Windows paths without winepath: a Wine process started outside the virtual display would leave
# the prefix's desktop without one.
windows_path() { echo "Z:${1//\//\\}"; }

PIXHAUL_SOURCE_DIR="$ROOT" PIXHAUL_BINARY_DIR="$BUILD_DIR" \
  PIXHAUL_SERVICE_HOST="127.0.0.1:$(served service)" PIXHAUL_MAKER_HOST="127.0.0.1:$(served maker)" \
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/SavingBench.exe" "$(windows_path "$work/window")" |
  tee "$work/window.txt"

saved="$work/window/folder"
files=$(find "$saved" -type f | wc -l)
bytes=$(bytes_in "$saved")
# figures WHAT SECONDS [CPU_SECONDS] [NOTE]: a line like the programs', over the saved files.
figures() {
  awk -v what="$1" -v s="$2" -v cpu="${3:-}" -v note="${4:-}" -v files="$files" -v bytes="$bytes" \
    'BEGIN { printf "%-26s %6d files %8.2f s %9.1f files/s %8.1f MB/s", what, files, s, files / s, bytes / 1e6 / s;
             if (cpu != "") printf " %7.2f CPU s", cpu;
             print note }'
}
# Runs a command and prints its line from its wall and CPU seconds.
measure() {
  local what=$1 wall user system
  shift
  read -r wall user system < <({ TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 | tail -1)
  figures "$what" "$wall" "$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')"
}
# Runs a benchmark program under Wine that prints "BYTES SECONDS PEAK_WS" and prints its line from
# its own seconds (without Wine's start), marked when it fetched other than the saved files' bytes.
measure_wine() {
  local what=$1 fetched seconds
  shift
  read -r fetched seconds _ < <(xvfb-run -a wine "$@" 2>/dev/null)
  [ -n "${seconds:-}" ] || { echo "$what: failed" >&2; exit 1; }
  figures "$what" "$seconds" "" "$([ "$fetched" = "$bytes" ] || echo "  (NOT every byte)")"
}
sed 's/.*\/\([^/]*\)$/url = "&"\noutput = "\1"/' "$work/window/urls.txt" >"$work/curl.config"
(cd "$work/curl" && measure "curl, 6 at a time" "${curl_six[@]}" -K "$work/curl.config") | tee "$work/curl.txt"
# curl at its own pace (one to three connections), into a folder of its own: the site's one Python
# process serves fewer connections at once more cheaply.
mkdir "$work/curl-paced"
(cd "$work/curl-paced" && measure "curl, its own pacing" curl -s --parallel --parallel-max 6 -K "$work/curl.config") |
  tee -a "$work/curl.txt"
# aria2c, a native downloader, into a folder of its own. (The site closes every connection after
# its reply, so curl and aria2c pay a connection a file, as the control does.)
mkdir "$work/aria2c"
measure "aria2c, 6 at a time" aria2c -q -j6 --file-allocation=none -d "$work/aria2c" -i "$work/window/urls.txt" |
  tee -a "$work/curl.txt"
# The platform's floor: a plain Winsock loop under Wine (6 threads, blocking calls, nothing besides
# connect, send, receive and write) making the same requests, timed by itself without Wine's start.
mkdir "$work/winsock"
address_paths <"$work/window/urls.txt" >"$work/paths.txt"
measure_wine "Winsock loop under Wine" "$BUILD_DIR/tests/bench/RawWinsockBench.exe" "$(served images)" \
  "$(windows_path "$work/winsock")" "@$(windows_path "$work/paths.txt")" 6 | tee -a "$work/curl.txt"
# The control alone, without the window (a host that only waits for the run's end), the same requests:
# what of the window's time is the control's.
mkdir "$work/control"
measure_wine "control alone, no window" "$BUILD_DIR/tests/bench/DownloadEngineBench.exe" "$(served images)" \
  "$(windows_path "$work/control")" list "$(windows_path "$work/paths.txt")" 6 | tee -a "$work/curl.txt"
# The window's seconds over curl's, aria2c's and the Winsock loop's.
seconds_of() { sed -n "s/^$1 .* files *\([0-9.]*\) s .*/\1/p" "$2"; }
curl_seconds=$(seconds_of "curl, 6 at a time" "$work/curl.txt")
aria_seconds=$(seconds_of "aria2c, 6 at a time" "$work/curl.txt")
paced_seconds=$(seconds_of "curl, its own pacing" "$work/curl.txt")
winsock_seconds=$(seconds_of "Winsock loop under Wine" "$work/curl.txt")
for what in folder zip; do
  awk -v what="$what" -v window="$(seconds_of "window: save into a $what" "$work/window.txt")" \
    -v curl="$curl_seconds" -v aria="$aria_seconds" -v paced="$paced_seconds" -v winsock="$winsock_seconds" \
    'BEGIN { printf "saving into a %s: window %.2f s, curl %.2f s: %.2fx; aria2c %.2f s: %.2fx; ", what, window,
                    curl, window / curl, aria, window / aria;
             printf "curl at its own pace %.2f s: %.2fx; ", paced, window / paced;
             printf "Winsock loop under Wine %.2f s: %.2fx (the loop is %.2fx curl)\n", winsock, window / winsock,
                    winsock / curl }'
done
# Every saved file ("big_" and the name in its address) is the site's, byte for byte: the folder's
# and the zip's; and the Winsock loop's.
unzip -q "$work/window/big.zip" -d "$work/unzipped"
for from in "$saved" "$work/unzipped"; do
  compare_with_curl "saved files ($(basename "$from"))" "$from" big_
done
compare_with_curl "Winsock loop's files" "$work/winsock"
measure "native cp" cp -r "$saved" "$work/native/copied"
(cd "$saved" && measure "native zip" zip -q "$work/native/native.zip" ./*)

wine "$BUILD_DIR/tests/bench/SavingThreadsBench.exe" "$(windows_path "$saved")" "$(windows_path "$work/threads")"
