# Sourced by the benchmark scripts: installs what is missing, builds the project, and makes the Wine
# prefix ready. Sets here (this folder), scripts, ROOT and BUILD_DIR (build/ unless BUILD_DIR is given).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
scripts="$here/../../scripts"
"$scripts/setup"
source "$scripts/lib/build.sh"
configure_and_build >/dev/null
source "$scripts/lib/wine-env.sh"
ensure_wine_prefix
