#!/usr/bin/env bash
# Prints, side by side, how long the download engine of the control takes under Wine and how long curl
# and aria2c take natively for: a 256 MB file from nginx on loopback with 1 and 4 segments (connections),
# and 500 files of 50 KB with 6 at a time. Every tool writes to files in the same temporary folder.
# The engine runs with its default receive buffer (4096 bytes) and with 65536 bytes.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
scripts="$here/../../scripts"
"$scripts/setup"
source "$scripts/lib/build.sh"
configure_and_build >/dev/null
source "$scripts/lib/wine-env.sh"
ensure_wine_prefix

work="$(mktemp -d)"
python3 "$here/../downloadengine/enginepeers.py" --dir "$work/peers" --large-mb 256 --many 500 &
peers=$!
cleanup() {
  exec {control}>&- 2>/dev/null || true
  wait "$peers" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 600); do
  [ -f "$work/peers/peers.txt" ] && break
  sleep 0.1
done
port="$(sed -n 's/^nginx_http=//p' "$work/peers/peers.txt")"
# Holding the control connection keeps the peers up; closing it stops them.
exec {control}<>"/dev/tcp/127.0.0.1/$(sed -n 's/^control=//p' "$work/peers/peers.txt")"
base="http://127.0.0.1:$port"
out="$work/out"
fresh() { rm -rf "$out"; mkdir -p "$out"; }
seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'; }
rate() { awk -v bytes="$1" -v s="$2" 'BEGIN { printf "%7.1f MB/s", bytes / 1048576 / s }'; }
line() { printf '%-34s %8ss %s  %s\n' "$1" "$2" "$(rate "$3" "$2")" "${4:-}"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "x%.1f of %s", a / b, "'"$3"'" }'; }
engine() { wine "$BUILD_DIR/tests/bench/DownloadEngineBench.exe" "$port" "$(winepath -w "$out")" "$@" | awk '{ print $2 }'; }
# The engine under Wine with a virtual display (its notification window needs one); prints its seconds.
pxhl() { xvfb-run -a bash -c "$(declare -f engine); BUILD_DIR=$BUILD_DIR port=$port out=$out engine $*" 2>/dev/null; }

large=$((256 * 1048576))
many_bytes=$((500 * 51200))
many_args=()
for i in $(seq 0 499); do many_args+=(-o "$out/m$i.bin" "$base/many/m$i.bin"); done

echo "256 MB file, one connection"
fresh; curl1=$(seconds curl -s -o "$out/huge.bin" "$base/files/huge.bin"); line "curl" "$curl1" "$large"
fresh; aria1=$(seconds aria2c -q -x1 -s1 --file-allocation=none -d "$out" -o huge.bin "$base/files/huge.bin")
line "aria2c -x1" "$aria1" "$large"
for buffer in 4096 65536; do
  fresh; t=$(pxhl one /files/huge.bin 1 "$buffer")
  line "Pxhl, 1 segment, ${buffer}-byte buffer" "$t" "$large" "$(ratio "$t" "$curl1" curl)"
done

echo "256 MB file, four connections"
fresh; aria4=$(seconds aria2c -q -x4 -s4 -k1M --file-allocation=none -d "$out" -o huge.bin "$base/files/huge.bin")
line "aria2c -x4 -s4" "$aria4" "$large"
for buffer in 4096 65536; do
  fresh; t=$(pxhl one /files/huge.bin 4 "$buffer")
  line "Pxhl, 4 segments, ${buffer}-byte buffer" "$t" "$large" "$(ratio "$t" "$aria4" aria2c)"
done

echo "500 files of 50 KB, 6 at a time"
fresh; curlm=$(seconds curl -s --parallel --parallel-max 6 "${many_args[@]}"); line "curl --parallel-max 6" "$curlm" "$many_bytes"
for buffer in 4096 65536; do
  fresh; t=$(pxhl many /many/m 500 6 "$buffer")
  line "Pxhl, 6 at a time, ${buffer}-byte buffer" "$t" "$many_bytes" "$(ratio "$t" "$curlm" curl)"
done
