#!/usr/bin/env bash
# Installs Orvik Excel To PDF for all users from this source tree: builds it,
# installs it under PREFIX (default /usr/local; the programs go into
# PREFIX/lib/orvik-excel-to-pdf), then runs OrvikRegister, which installs the
# printer queue and the Calc add-in, and checks that both are there.
#
#   sudo tools/install.sh [--prefix PREFIX] [--build-dir FOLDER] [--no-build]
#
# --no-build installs what the build folder already holds.
#
# Exit codes: 0 installed; 1 something is missing afterwards (named on the way
# out), or the build or installation failed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/machine.sh"

prefix=/usr/local
build="$top/build"
compile=1
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        --build-dir) build=$2; shift 2 ;;
        --no-build) compile=0; shift ;;
        *) echo "Usage: sudo $0 [--prefix PREFIX] [--build-dir FOLDER] [--no-build]" >&2; exit 1 ;;
    esac
done
folder="$prefix/lib/orvik-excel-to-pdf"

if [ "$(id -u)" -ne 0 ]; then
    echo "Installing for all users needs administrator rights. Run: sudo $0" >&2
    exit 1
fi

# shellcheck disable=SC2086
orvik_ensure_packages $ORVIK_BUILD_PACKAGES $ORVIK_RUN_PACKAGES
orvik_start_cups || true
if [ "$compile" -eq 1 ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
fi
cmake --install "$build" --prefix "$prefix" >/dev/null

started=$(date +%s%N)
"$folder/OrvikRegister"
echo "OrvikRegister took $(( ($(date +%s%N) - started) / 1000000 )) ms."

. "$top/tools/setup_checks.sh"
absent=$(orvik_setup_missing "$folder")
if [ -n "$absent" ]; then
    printf 'Orvik Excel To PDF is installed in %s, but %s missing (see the messages above).\n' "$folder" "$absent" >&2
    exit 1
fi
echo "Orvik Excel To PDF is installed in $folder, with its printer queue and its Calc command."
echo "In Calc: File > Convert to PDF with Orvik Excel To PDF…"
