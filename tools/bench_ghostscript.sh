#!/usr/bin/env bash
# Prints the Ghostscript stage's time for a ten-page workbook (real gs).
# Usage: tools/bench_ghostscript.sh [build folder] [runs]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
runs=${2:-7}
cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target bench_ghostscript -j2 >/dev/null
"$build/tests/engine/bench_ghostscript" "$runs"
