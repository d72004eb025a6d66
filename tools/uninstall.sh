#!/usr/bin/env bash
# Removes Orvik Excel To PDF installed by tools/install.sh: runs OrvikUnregister
# (which ends Excel processes after a warning, removes the Calc add-in and deletes
# the printer queue), then removes the installed files and checks that nothing
# of it is left.
#
#   sudo tools/uninstall.sh [--prefix PREFIX] [--build-dir FOLDER]
#
# Exit codes: 0 removed; 1 something is left (named on the way out).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

prefix=/usr/local
build="$top/build"
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) prefix=$2; shift 2 ;;
        --build-dir) build=$2; shift 2 ;;
        *) echo "Usage: sudo $0 [--prefix PREFIX] [--build-dir FOLDER]" >&2; exit 1 ;;
    esac
done
folder="$prefix/lib/orvik-excel-to-pdf"

if [ "$(id -u)" -ne 0 ]; then
    echo "Removing Orvik Excel To PDF for all users needs administrator rights. Run: sudo $0" >&2
    exit 1
fi

if [ -x "$folder/OrvikUnregister" ]; then
    started=$(date +%s%N)
    "$folder/OrvikUnregister"
    echo "OrvikUnregister took $(( ($(date +%s%N) - started) / 1000000 )) ms."
else
    echo "OrvikUnregister was not found in $folder; the printer queue and the Calc add-in are checked below." >&2
fi

# What cmake installed under this prefix (desktop entry, icons, links, manual page),
# then the folder. The list has no line end after its last entry.
if [ -f "$build/install_manifest.txt" ]; then
    while IFS= read -r file || [ -n "$file" ]; do
        case "$file" in
            "$prefix"/*) rm -f -- "$file" ;;
        esac
    done <"$build/install_manifest.txt"
fi
# Written by install steps of their own, so not in the list: the links and the desktop entry.
rm -f -- "$prefix/bin/orvik-xl2pdf" "$prefix/bin/orvik-batch" "$prefix/bin/OrvikExcelToPDF" \
    "$prefix/share/applications/example.orvik_software.OrvikExcelToPDF.desktop"
rm -rf -- "$folder"

. "$top/tools/setup_checks.sh"
remaining=$(orvik_setup_left "$folder")
if [ -n "$remaining" ]; then
    echo "Orvik Excel To PDF was removed, but $remaining is still there (see the messages above)." >&2
    exit 1
fi
echo "Orvik Excel To PDF, its printer queue and its Calc command are removed."
