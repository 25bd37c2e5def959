#!/usr/bin/env bash
# Prints, in one run, how long the control's download engine takes under Wine against nginx on loopback,
# next to a raw Winsock loop under Wine (the platform's floor for many small files) and to aria2c and curl
# natively: 500 files of 50 KB with 6 at a time, and a 256 MB file over one connection (4096- and
# 65536-byte receive buffers) and over four. Each figure is the best of RUNS runs (default 2); the engine
# rows also give the process's peak working set, and the last lines set it side by side for 100 and 500
# files and for a 64 MB and a 256 MB file (it should not grow with either). After every run each file is
# compared with the server's, byte for byte: a difference ends the script with an error.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"
runs="${RUNS:-2}"

start_server "$work/peers/peers.txt" "$here/../support/peers/peers.py" --dir "$work/peers" --large-mb 256 --many 500
port="$(served nginx_http)"
www="$(served www)"
head -c $((64 * 1048576)) "$www/files/huge.bin" >"$www/files/huge64.bin"
base="http://127.0.0.1:$port"
out="$work/out"
large=$((256 * 1048576))
many_bytes=$((500 * 51200))

fresh() { rm -rf "$out"; mkdir -p "$out"; }
# Every file of the run against the server's: `one NAME [SERVED]` for a large file (huge.bin unless
# SERVED is named) saved as NAME, `many [COUNT]` for the first COUNT (500) small files.
check() {
  if [ "$1" = one ]; then
    cmp -s "$out/$2" "$www/files/${3:-huge.bin}" || { echo "$out/$2 differs from the server's file" >&2; exit 1; }
  else
    for i in $(seq 0 $((${2:-500} - 1))); do
      cmp -s "$out/m$i.bin" "$www/many/m$i.bin" || { echo "m$i.bin differs from the server's file" >&2; exit 1; }
    done
  fi
}
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
# A Wine program that prints "BYTES SECONDS PEAK_WORKING_SET": its seconds and peak, as "S P".
under_wine() {
  xvfb-run -a wine "$@" 2>/dev/null | awk '{ printf "%s %s", $2, $3 }'
}
# The output folder as Wine sees it (winepath is not used: a Wine process started without the virtual
# display would leave the session without one for the programs after it).
out_w="Z:${out//\//\\}"
engine() { under_wine "$BUILD_DIR/tests/bench/DownloadEngineBench.exe" "$port" "$out_w" "$@"; }
raw() { under_wine "$BUILD_DIR/tests/bench/RawWinsockBench.exe" "$port" "$out_w" "$@"; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
# best_native CHECK_ARGS -- COMMAND...: the best seconds of `runs` runs of a native tool.
best_native() {
  local what=$1 name=${2:-} best="" t
  shift 2
  for _ in $(seq "$runs"); do
    fresh
    t=$(seconds "$@")
    check "$what" "$name"
    best=$(min "$best" "$t")
  done
  echo "$best"
}
# best_wine CHECK CHECK_ARG CHECK_ARG2 PROGRAM ARGS...: "SECONDS PEAK" of the fastest of `runs` runs.
best_wine() {
  local what=$1 name=${2:-} served=${3:-} best="" peak=0 result t p
  shift 3
  for _ in $(seq "$runs"); do
    fresh
    result=$("$@")
    t=${result% *}
    p=${result#* }
    [ -n "$t" ] || { echo "failed: $*" >&2; exit 1; }
    check "$what" "$name" $served
    best=$(min "$best" "$t")
    peak=$(awk -v a="$peak" -v b="$p" 'BEGIN { print (b > a) ? b : a }')
  done
  echo "$best $peak"
}
rate() { awk -v bytes="$1" -v s="$2" 'BEGIN { printf "%7.1f MB/s", bytes / 1048576 / s }'; }
peak() { awk -v p="$1" 'BEGIN { printf "peak WS %5.1f MB", p / 1048576 }'; }
ratio() { awk -v a="$1" -v b="$2" -v name="$3" 'BEGIN { printf "x%.2f of %s", a / b, name }'; }
line() { printf '%-40s %8ss %s  %s\n' "$1" "$2" "$(rate "$3" "$2")" "${4:-}"; }

many_list="$work/many.txt"
many_args=()
for i in $(seq 0 499); do
  many_args+=(-o "$out/m$i.bin" "$base/many/m$i.bin")
  printf '%s\n  out=m%d.bin\n' "$base/many/m$i.bin" "$i" >>"$many_list"
done

echo "500 files of 50 KB, 6 at a time (best of $runs runs; every file compared with the server's)"
r=$(best_wine many "" "" raw /many/m 500 6)
read -r rawm rawp <<<"$r"
curlm=$(best_native many "" "${curl_six[@]}" "${many_args[@]}")
ariam=$(best_native many "" aria2c -q -j6 --file-allocation=none -d "$out" -i "$many_list")
line "raw Winsock loop (6 threads, 4 KB recv)" "$rawm" "$many_bytes" "$(peak "$rawp")"
line "curl -Z --parallel-immediate, 6 at once" "$curlm" "$many_bytes"
line "aria2c -j6" "$ariam" "$many_bytes"
for buffer in 4096 65536; do
  r=$(best_wine many "" "" engine many /many/m 500 6 "$buffer")
  read -r t p <<<"$r"
  [ "$buffer" = 4096 ] && p500=$p
  line "Pxhl, ${buffer}-byte buffer" "$t" "$many_bytes" \
    "$(ratio "$t" "$rawm" "raw loop"), $(ratio "$t" "$ariam" aria2c), $(ratio "$t" "$curlm" curl), $(peak "$p")"
done
r=$(best_wine many 100 "" engine many /many/m 100 6 4096)
read -r t p100 <<<"$r"
line "Pxhl, 100 files, 4096-byte buffer" "$t" $((100 * 51200)) "$(peak "$p100")"

echo "256 MB file, one connection"
curl1=$(best_native one huge.bin curl -s -o "$out/huge.bin" "$base/files/huge.bin")
aria1=$(best_native one huge.bin aria2c -q -x1 -s1 --file-allocation=none -d "$out" -o huge.bin "$base/files/huge.bin")
line "curl" "$curl1" "$large"
line "aria2c -x1" "$aria1" "$large"
r=$(best_wine one one.bin "" engine one /files/huge.bin 1 65536)
read -r t64 p64 <<<"$r"
r=$(best_wine one one.bin "" engine one /files/huge.bin 1 4096)
read -r t4 p4 <<<"$r"
line "Pxhl, 4096-byte buffer" "$t4" "$large" \
  "$(ratio "$t4" "$t64" "65536-byte buffer"), $(ratio "$t4" "$aria1" aria2c), $(ratio "$t4" "$curl1" curl), $(peak "$p4")"
line "Pxhl, 65536-byte buffer" "$t64" "$large" \
  "$(ratio "$t64" "$aria1" aria2c), $(ratio "$t64" "$curl1" curl), $(peak "$p64")"
r=$(best_wine one one.bin huge64.bin engine one /files/huge64.bin 1 4096)
read -r t p64mb <<<"$r"
line "Pxhl, 64 MB file, 4096-byte buffer" "$t" $((64 * 1048576)) "$(peak "$p64mb")"

echo "256 MB file, four connections"
aria4=$(best_native one huge.bin aria2c -q -x4 -s4 -k1M --file-allocation=none -d "$out" -o huge.bin "$base/files/huge.bin")
line "aria2c -x4 -s4" "$aria4" "$large"
for buffer in 4096 65536; do
  r=$(best_wine one one.bin "" engine one /files/huge.bin 4 "$buffer")
  read -r t p <<<"$r"
  line "Pxhl, 4 segments, ${buffer}-byte buffer" "$t" "$large" "$(ratio "$t" "$aria4" aria2c), $(peak "$p")"
done

echo "Peak working set of the control's process (4096-byte buffer)"
printf '%-40s %s   %s\n' "by file count" "100 files: $(peak "$p100")" "500 files: $(peak "$p500")"
printf '%-40s %s   %s\n' "by file size" "64 MB: $(peak "$p64mb")" "256 MB: $(peak "$p4")"
