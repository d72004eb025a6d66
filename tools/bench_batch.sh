#!/usr/bin/env bash
# Times a batch conversion: orvik-xl2pdf (document information, Flate) against
# the office's own converter (soffice --headless --convert-to pdf, with a
# profile of its own) on the same sample workbooks, side by side, and prints
# both times and their ratio. Not a test: it only prints figures.
#
# Usage: tools/bench_batch.sh [build folder] [rounds] [workbooks]
#   build folder  default: build-bench beside the sources (configured and built here)
#   rounds        default 3: each round times both converters once; the best round counts
#   workbooks     default 20 (3 sheets of 120 rows each)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
rounds=${2:-3}
count=${3:-20}

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target orvik-xl2pdf -j2 >/dev/null
xl2pdf="$build/cli/orvik-xl2pdf"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/tools/make_sample_workbooks.py" "$work/in" --count "$count" --sheets 3 --rows 120 >/dev/null
books=("$work"/in/*.xlsx)

now() { date +%s.%N; }

run_orvik() {
    rm -rf "$work/orvik" && mkdir -p "$work/orvik"
    local start end
    start=$(now)
    "$xl2pdf" --title "Batch" --author "Bench" --subject "Throughput" --keywords "bench" \
        --doc-compression flate --image-compression flate -o "$work/orvik" "${books[@]}" \
        >/dev/null 2>"$work/orvik.log" || { cat "$work/orvik.log" >&2; exit 1; }
    end=$(now)
    echo "$end - $start" | bc
}

run_office() {
    rm -rf "$work/office" "$work/profile" && mkdir -p "$work/office"
    local start end
    start=$(now)
    soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/office" "${books[@]}" >/dev/null 2>&1
    end=$(now)
    echo "$end - $start" | bc
}

pages() {
    local total=0 f n
    for f in "$1"/*.pdf; do
        n=$(pdfinfo "$f" | awk '/^Pages:/ {print $2}')
        total=$((total + n))
    done
    echo "$total"
}

# A first start of each fills the disk cache; it is not counted.
run_orvik >/dev/null
run_office >/dev/null

best_orvik=
best_office=
for ((r = 1; r <= rounds; r++)); do
    t_orvik=$(run_orvik)
    t_office=$(run_office)
    printf 'round %d: orvik-xl2pdf %.2f s, soffice --convert-to %.2f s\n' "$r" "$t_orvik" "$t_office"
    if [[ -z $best_orvik ]] || (($(echo "$t_orvik < $best_orvik" | bc))); then best_orvik=$t_orvik; fi
    if [[ -z $best_office ]] || (($(echo "$t_office < $best_office" | bc))); then best_office=$t_office; fi
done

printf '%d workbooks of 3 sheets: orvik-xl2pdf %d pages, soffice %d pages\n' \
    "${#books[@]}" "$(pages "$work/orvik")" "$(pages "$work/office")"
printf 'best: orvik-xl2pdf %.2f s, soffice --convert-to %.2f s, ratio %.2f\n' \
    "$best_orvik" "$best_office" "$(echo "$best_orvik / $best_office" | bc -l)"
