#!/usr/bin/env bash
# Builds the project and prints how fast the copy thread and the zip writer handle 1,000 files of
# 150 KB (incompressible, as photos are) under Wine, next to native cp and zip of the same files.
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
trap 'rm -rf "$work"' EXIT
mkdir "$work/files" "$work/wine" "$work/native"
for i in $(seq -w 1 1000); do head -c 153600 /dev/urandom > "$work/files/photo_$i.jpg"; done

wine "$BUILD_DIR/tests/bench/SavingThreadsBench.exe" "$(winepath -w "$work/files")" "$(winepath -w "$work/wine")"

TIMEFORMAT='%R s real, %U s user, %S s system'
echo -n "native cp, 1000 files:  "; time cp -r "$work/files" "$work/native/copied"
echo -n "native zip, 1000 files: "; time (cd "$work/files" && zip -q "$work/native/native.zip" ./*)
