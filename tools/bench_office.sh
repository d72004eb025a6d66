#!/usr/bin/env bash
# Time per workbook and per sheet for the shared sample workbooks printed through
# the server behind "Excel.Application" (LibreOffice Calc over UNO, CUPS queue
# OrvikExcelToPDF): once with one office for the whole run, once with an office
# per workbook, and the office's first start on an empty profile cache.
#   tools/bench_office.sh [BUILD_FOLDER]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
data=${ORVIK_TESTDATA_DIR:-$top/../shared/testdata}

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target orvik_bench_office -j"$(nproc)" >/dev/null
bench=$build/tests/automation/orvik_bench_office

lpstat -p OrvikExcelToPDF >/dev/null 2>&1 || { echo "The CUPS queue OrvikExcelToPDF is missing." >&2; exit 1; }
books=("$data"/SampleSS.xls "$data"/SampleSS.xlsx "$data"/55906-MultiSheetRefs.xlsx "$data"/SimpleScatterChart.xlsx
       "$data"/WithTextBox.xlsx "$data"/chinese-provinces.xls "$data"/unicodeSheetName.xlsx)

cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
echo "== First start with an empty cache (the profile template is made), one workbook"
XDG_CACHE_HOME=$cache "$bench" "$data"/SampleSS.xlsx
echo
echo "== One office for the run"
XDG_CACHE_HOME=$cache "$bench" "${books[@]}"
echo
echo "== An office per workbook"
XDG_CACHE_HOME=$cache "$bench" --own-office "${books[@]}"
echo
echo "== One big workbook (one sheet of 50,000 rows): office start, open, the sheet's print"
big=$(mktemp -d)
trap 'rm -rf "$cache" "$big"' EXIT
python3 "$top/tools/make_sample_workbooks.py" "$big" --count 1 --sheets 1 --rows 50000 >/dev/null
XDG_CACHE_HOME=$cache "$bench" "$big"/*.xlsx
