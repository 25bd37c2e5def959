#!/usr/bin/env bash
# Runs inside xvfb-run: starts one persistent wine server and Wine's background services with
# their output detached, so that test processes exit cleanly and ctest sees their end; then runs ctest.
set -uo pipefail
cleanup() { wineserver -k >/dev/null 2>&1 || true; }
trap cleanup EXIT
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
ctest --output-on-failure -j "$(nproc)" "$@"
