#!/usr/bin/env bash
# Converts one big workbook (one sheet of 50,000 rows, some 1,850 pages) with
# orvik-xl2pdf and with the office's own converter (soffice --headless
# --convert-to pdf, with a profile of its own), side by side, both warmed once
# before (not counted): wall time, CPU seconds and peak memory of each one's
# whole process tree, the ratios, and the pages each made. Not a test: it only
# prints figures.
#
# Usage: tools/bench_big_workbook.sh [build folder] [rows]
#   build folder  default: build-bench beside the sources (configured and built
#                 here; a build of another checkout that holds orvik-xl2pdf is
#                 used as it is)
#   rows          default 50000
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
rows=${2:-50000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$top/tools/bench_common.sh"
bench_find_xl2pdf "$build"
python3 "$top/tools/make_sample_workbooks.py" "$work/in" --count 1 --sheets 1 --rows "$rows" >/dev/null
book=("$work"/in/*.xlsx)

run_orvik() {
    rm -rf "$work/orvik" && mkdir -p "$work/orvik"
    bench_measure "$1" -- "$xl2pdf" -o "$work/orvik" "${book[@]}" || { cat "$work/$1.log" >&2; exit 1; }
}

run_office() {
    rm -rf "$work/office" && mkdir -p "$work/office"
    bench_measure "$1" -- soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/office" "${book[@]}" || { cat "$work/$1.log" >&2; exit 1; }
}

pages() { pdfinfo "$1"/*.pdf | awk '/^Pages:/ {print $2}'; }

bench_load "start"
# Warm-up: the office converter's first start on a new profile, orvik-xl2pdf's
# profile template and the disk cache are not counted.
run_office warm-office
run_orvik warm-orvik

run_orvik orvik
run_office office
bench_load "end"

echo
printf 'Big workbook: 1 sheet of %s rows, both warm\n' "$rows"
bench_header "pages"
bench_row "orvik-xl2pdf" orvik "$(pages "$work/orvik")"
bench_row "soffice --convert-to pdf" office "$(pages "$work/office")"
bench_ratio_row "ratio (orvik / office)" orvik office
bench_footnote
bench_doubts orvik office
