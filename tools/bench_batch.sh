#!/usr/bin/env bash
# Times a batch conversion: orvik-xl2pdf (document information, Flate) against
# the office's own converter (soffice --headless --convert-to pdf, with a
# profile of its own) on the same sample workbooks, side by side. Both are
# warmed once before the rounds (not counted): orvik-xl2pdf keeps its office
# profile template in its cache folder, the office converter keeps its profile
# from round to round. Prints wall time, CPU seconds and peak memory of each
# one's whole process tree, and the ratios. Not a test: it only prints figures.
#
# Usage: tools/bench_batch.sh [build folder] [rounds] [workbooks]
#   build folder  default: build-bench beside the sources (configured and built
#                 here; a build of another checkout that holds orvik-xl2pdf is
#                 used as it is)
#   rounds        default 3: each round runs both converters once; for each, the
#                 round with the shortest wall time counts
#   workbooks     default 20 (3 sheets of 120 rows each)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
rounds=${2:-3}
count=${3:-20}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$top/tools/bench_common.sh"
bench_find_xl2pdf "$build"
python3 "$top/tools/make_sample_workbooks.py" "$work/in" --count "$count" --sheets 3 --rows 120 >/dev/null
books=("$work"/in/*.xlsx)

# run_NAME MEASURE: one conversion of all workbooks, measured into $work/MEASURE.m.
run_orvik() {
    rm -rf "$work/orvik" && mkdir -p "$work/orvik"
    bench_measure "$1" -- "$xl2pdf" --title "Batch" --author "Bench" --subject "Throughput" --keywords "bench" \
        --doc-compression flate --image-compression flate -o "$work/orvik" "${books[@]}" ||
        { cat "$work/$1.log" >&2; exit 1; }
}

run_office() {
    rm -rf "$work/office" && mkdir -p "$work/office"
    bench_measure "$1" -- soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/office" "${books[@]}" || { cat "$work/$1.log" >&2; exit 1; }
}

pages() {
    local total=0 f n
    for f in "$1"/*.pdf; do
        n=$(pdfinfo "$f" | awk '/^Pages:/ {print $2}')
        total=$((total + n))
    done
    echo "$total"
}

# Keeps in $work/best-NAME.m the round of NAME with the shortest wall time.
keep_best() {
    local name=$1 round=$2
    if [[ ! -f $work/best-$name.m ]] || bench_less "$(bench_value "$round" wall)" "$(bench_value "best-$name" wall)"; then
        cp "$work/$round.m" "$work/best-$name.m"
    fi
}

bench_load "start"
# Warm-up: the office converter makes its profile, orvik-xl2pdf its profile
# template if it has none, and both fill the disk cache. Not counted.
run_orvik warm-orvik
run_office warm-office

for ((r = 1; r <= rounds; r++)); do
    # The order alternates so that neither always runs on a cache the other left.
    if ((r % 2)); then run_orvik "orvik$r"; run_office "office$r"; else run_office "office$r"; run_orvik "orvik$r"; fi
    printf 'round %d: orvik-xl2pdf %.2f s (CPU %.2f s, %.0f MB), soffice --convert-to %.2f s (CPU %.2f s, %.0f MB)\n' "$r" \
        "$(bench_value "orvik$r" wall)" "$(bench_value "orvik$r" cpu)" "$(bench_value "orvik$r" peak_pss)" \
        "$(bench_value "office$r" wall)" "$(bench_value "office$r" cpu)" "$(bench_value "office$r" peak_pss)"
    keep_best orvik "orvik$r"
    keep_best office "office$r"
    bench_doubts "orvik$r" "office$r"
done
bench_load "end"

echo
printf '%d workbooks of 3 sheets, both warm; the round with the shortest wall time of each:\n' "${#books[@]}"
bench_header "pages"
bench_row "orvik-xl2pdf" best-orvik "$(pages "$work/orvik")"
bench_row "soffice --convert-to pdf" best-office "$(pages "$work/office")"
bench_ratio_row "ratio (orvik / office)" best-orvik best-office
bench_footnote
