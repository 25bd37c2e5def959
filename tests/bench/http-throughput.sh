#!/usr/bin/env bash
# Prints the throughput of the download control's HTTP client fetching a 256 MB file from nginx on
# loopback under Wine, next to curl fetching the same file natively, and their ratio.
# BUILD_DIR picks the build folder (default: build/).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/prepare.sh"

start_server "$work/peers/peers.txt" "$here/../support/peers/peers.py" --dir "$work/peers" --large-mb 256
port="$(served nginx_http)"

mb_per_second() { awk -v bytes="$1" -v seconds="$2" 'BEGIN { printf "%.1f", bytes / 1048576 / seconds }'; }

read -r curl_bytes curl_seconds < <(curl -s -o /dev/null -w '%{size_download} %{time_total}\n' \
  "http://127.0.0.1:$port/files/huge.bin")
curl_rate="$(mb_per_second "$curl_bytes" "$curl_seconds")"
echo "curl (native):                 $curl_bytes bytes in ${curl_seconds}s = $curl_rate MB/s"

for buffer in 4096 65536; do
  read -r bytes seconds < <(wine "$BUILD_DIR/tests/bench/HttpThroughputBench.exe" "$port" /files/huge.bin "$buffer")
  rate="$(mb_per_second "$bytes" "$seconds")"
  ratio="$(awk -v a="$rate" -v b="$curl_rate" 'BEGIN { printf "%.2f", a / b }')"
  printf 'HTTP client, %5d-byte buffer: %s bytes in %ss = %s MB/s (%s of curl)\n' "$buffer" "$bytes" "$seconds" \
    "$rate" "$ratio"
done
