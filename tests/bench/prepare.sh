# Sourced by the benchmark scripts: installs what is missing, builds the project, and makes the Wine
# prefix ready. Sets here (this folder), scripts, ROOT, BUILD_DIR (build/ unless BUILD_DIR is given)
# and work (a scratch folder), and gives start_server and served.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
scripts="$here/../../scripts"
"$scripts/setup"
source "$scripts/lib/build.sh"
configure_and_build >/dev/null
source "$scripts/lib/wine-env.sh"
ensure_wine_prefix

# A scratch folder of the script's own, gone when it exits, with the server below stopped first.
work="$(mktemp -d)"
server=""
finish() {
  if [ -n "$server" ]; then
    exec {control}>&- 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT

# start_server FILE COMMAND...: starts one of the project's Python servers, waits until it has
# written FILE ("name=value" entries), and holds its control connection, which keeps it up.
start_server() {
  served_file="$1"
  shift
  /usr/bin/python3 "$@" &
  server=$!
  for _ in $(seq 600); do
    [ -f "$served_file" ] && break
    sleep 0.1
  done
  exec {control}<>"/dev/tcp/127.0.0.1/$(served control)"
}
# The value the server wrote for a name (a port, or the peers' web folder).
served() { tr ' ' '\n' <"$served_file" | sed -n "s/^$1=//p"; }

# curl fetching six addresses at a time, as the control and aria2c do. Left to itself, curl
# --parallel opens a new connection only once it has learnt whether an open one could carry several
# transfers, and so keeps one to three open against a server that closes each after its reply.
curl_six=(curl -s --parallel --parallel-immediate --parallel-max 6)

# The bytes of the files in a folder and its subfolders.
bytes_in() { find "$1" -type f -printf "%s\n" | awk '{ total += $1 } END { print total + 0 }'; }
# The paths of the addresses read from standard input, one a line (for the benchmarks' Winsock loop).
address_paths() { sed -n 's|^[a-z]*://[^/]*||p'; }

# compare_with_curl LABEL FOLDER [PREFIX]: prints how many of curl's files in $work/curl differ from,
# or are missing in, FOLDER, where each is saved under PREFIX and curl's name.
compare_with_curl() {
  local differ=0 total=0 file
  for file in "$work/curl"/*; do
    total=$((total + 1))
    cmp -s "$file" "$2/${3:-}$(basename "$file")" || differ=$((differ + 1))
  done
  echo "$1 compared with curl's: $total, differing or missing: $differ"
}
