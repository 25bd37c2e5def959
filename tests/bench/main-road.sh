#!/usr/bin/env bash
# Builds the project and prints the main road's figures under Wine on a virtual display: the
# fixture site's 1,000-item user from the load to every thumbnail shown (requests, working set),
# the site warmed by a first load, next to curl making the same requests in the same run (the pages
# one after another, then the thumbnails 6 at a time) with the ratio, and next to a plain Winsock
# loop under Wine making the thumbnails' requests (the platform's floor); every thumbnail the program
# saved is checked byte for byte against curl's. Then its whole grid scrolled through at 150 and
# 306 px (time per frame, tiles made). BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

start_server "$work/ports.txt" "$ROOT/tests/support/fixturesite.py" --ports-file "$work/ports.txt"
mkdir "$work/road" "$work/curl"
# Windows paths without winepath: a Wine process started outside the virtual display would leave
# the prefix's desktop without one.
windows_path() { echo "Z:${1//\//\\}"; }

# The fixture site and the test support find the trees through these, as under ctest.
PIXHAUL_SOURCE_DIR="$ROOT" PIXHAUL_BINARY_DIR="$BUILD_DIR" \
  PIXHAUL_SERVICE_HOST="127.0.0.1:$(served service)" PIXHAUL_MAKER_HOST="127.0.0.1:$(served maker)" \
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$BUILD_DIR/tests/bench/MainRoadBench.exe" \
  "$(windows_path "$work/road")" | tee "$work/road.txt"

# The timed load's requests as curl configurations, and the program's time for its pages.
python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
log = json.load(open(work + "/road/log.json"))
pages = [entry for entry in log if entry["host"] == "service"]
with open(work + "/pages.curl", "w") as out:
    for entry in pages:
        out.write('url = "http://127.0.0.1:%d%s"\noutput = "/dev/null"\n' % (entry["port"], entry["path"]))
with open(work + "/thumbs.curl", "w") as out:
    for index, url in enumerate(open(work + "/road/thumbs.txt").read().split()):
        out.write('url = "%s"\noutput = "%04d"\n' % (url, index))
span = max(entry["end"] for entry in pages) - min(entry["time"] for entry in pages)
print("%d %.3f" % (len(pages), span), file=open(work + "/pages.txt", "w"))
PY
seconds() { { TIMEFORMAT='%R'; time "$@" >/dev/null 2>&1; } 2>&1 | tail -1; }
curl_pages=$(seconds curl -s -K "$work/pages.curl")
curl_thumbs=$(cd "$work/curl" && seconds "${curl_six[@]}" -K "$work/thumbs.curl")
read -r pages program_pages <"$work/pages.txt"
program=$(sed -n 's/.*every thumbnail shown: done in \([0-9]*\) ms.*/\1/p' "$work/road.txt")
awk -v pages="$pages" -v pp="$program_pages" -v cp="$curl_pages" -v ct="$curl_thumbs" -v all="${program:-0}" \
  'BEGIN { printf "pages (%d): program %.2f s (%.1f ms a page), curl one after another %.2f s (%.1f ms a page): %.1fx\n",
                  pages, pp, pp * 1000 / pages, cp, cp * 1000 / pages, pp / cp;
           printf "Enter to the last thumbnail: program %.2f s, curl (pages, then thumbnails 6 at a time) %.2f + %.2f = %.2f s: %.1fx\n",
                  all / 1000, cp, ct, cp + ct, all / 1000 / (cp + ct) }'

# The platform's floor for the thumbnails: a plain Winsock loop under Wine (6 threads, blocking calls)
# making the same requests, timed by itself without Wine's start; every byte of them fetched.
mkdir "$work/winsock"
tr ' ' '\n' <"$work/road/thumbs.txt" | address_paths >"$work/thumb-paths.txt"
thumbs_port=$(sed -n '1s|^[a-z]*://[^:/]*:\([0-9]*\)/.*|\1|p' "$work/road/thumbs.txt")
read -r winsock_bytes winsock_thumbs _ < <(xvfb-run -a wine "$BUILD_DIR/tests/bench/RawWinsockBench.exe" "$thumbs_port" \
  "$(windows_path "$work/winsock")" "@$(windows_path "$work/thumb-paths.txt")" 6 2>/dev/null)
[ -n "${winsock_thumbs:-}" ] || { echo "Winsock loop under Wine: failed" >&2; exit 1; }
whole=""
[ "$winsock_bytes" = "$(bytes_in "$work/curl")" ] || whole="  (NOT every byte)"
awk -v wt="$winsock_thumbs" -v ct="$curl_thumbs" -v cp="$curl_pages" -v all="${program:-0}" -v whole="$whole" \
  'BEGIN { printf "thumbnails by a Winsock loop under Wine: %.2f s, %.1fx curl%s\n", wt, wt / ct, whole;
           printf "Enter to the last thumbnail over the floor (curl for the pages, the Winsock loop for the thumbnails) %.2f s: %.1fx\n",
                  cp + wt, all / 1000 / (cp + wt) }'

# Every thumbnail the program saved is the site's, byte for byte.
compare_with_curl thumbnails "$work/road/thumbs"
