#!/usr/bin/env bash
# How long the window thread stalls while the conversion page converts 20 sample
# workbooks (real office, CUPS queue and Ghostscript, offscreen): the lateness of a
# 10 ms timer, median, 99th percentile and the longest stall. Aim: under 50 ms.
#   tools/bench_ui_latency.sh [BUILD_FOLDER]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target orvik_bench_ui_latency -j"$(nproc)" >/dev/null
lpstat -p OrvikExcelToPDF >/dev/null 2>&1 || { echo "The CUPS queue OrvikExcelToPDF is missing." >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/tools/make_sample_workbooks.py" "$work/books" --count 20 >/dev/null
mkdir -p "$work/pdfs"
QT_QPA_PLATFORM=offscreen "$build/tests/convert_page/orvik_bench_ui_latency" "$work/pdfs" "$work"/books/*.xlsx
