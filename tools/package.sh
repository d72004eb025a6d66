#!/usr/bin/env bash
# Makes the Debian package orvik-excel-to-pdf_<version>_<arch>.deb from this
# source tree: builds it, then lets CPack put the installation into a package.
#
#   tools/package.sh [--build-dir FOLDER] [--output FOLDER] [--no-build]
#
# Install it with: sudo apt install ./orvik-excel-to-pdf_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

build="$top/build"
output="$top"
compile=1
while [ $# -gt 0 ]; do
    case "$1" in
        --build-dir) build=$2; shift 2 ;;
        --output) output=$2; shift 2 ;;
        --no-build) compile=0; shift ;;
        *) echo "Usage: $0 [--build-dir FOLDER] [--output FOLDER] [--no-build]" >&2; exit 1 ;;
    esac
done

for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "\"$tool\" is missing. Install it with: sudo apt-get install cmake dpkg-dev" >&2
        exit 1
    }
done
if [ "$compile" -eq 1 ]; then
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
fi
mkdir -p "$output"
output=$(cd "$output" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) || {
    cat "$scratch/cpack.log" >&2
    echo "CPack could not make the package (see above)." >&2
    exit 1
}
for deb in "$scratch"/*.deb; do
    mv -f "$deb" "$output/"
    echo "$output/$(basename "$deb")"
done
