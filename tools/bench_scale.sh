#!/usr/bin/env bash
# Whether the cost per workbook stays flat as a run grows: converts a small and
# a large number of small generated workbooks (2 sheets of 40 rows each), each
# in one run, with orvik-xl2pdf and with the office's own converter (soffice
# --headless --convert-to pdf, with a profile of its own; a call per 200
# workbooks, as it stops early on more), both warmed once before (not counted).
# Prints for each size the wall time and CPU seconds per workbook and the peak
# memory of the whole process tree, the ratios ours / office, and for each
# converter the large / small ratio of time and CPU per workbook (near 1, or
# below as starts are shared by more workbooks, when the cost does not grow
# with the run's length).
# Not a test: it only prints figures.
#
# Usage: tools/bench_scale.sh [build folder] [small] [large]
#   build folder  default: build-bench beside the sources (configured and built
#                 here; a build of another checkout that holds orvik-xl2pdf is
#                 used as it is)
#   small         default 40 workbooks
#   large         default 400 workbooks
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
small=${2:-40}
large=${3:-400}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$top/tools/bench_common.sh"
bench_find_xl2pdf "$build"
# The same seeds: the small set is the first workbooks of the large one.
for n in "$small" "$large"; do
    python3 "$top/tools/make_sample_workbooks.py" "$work/in$n" --count "$n" --sheets 2 --rows 40 >/dev/null
done

# run_NAME MEASURE COUNT
run_orvik() {
    rm -rf "$work/orvik" && mkdir -p "$work/orvik"
    bench_measure "$1" -- "$xl2pdf" -o "$work/orvik" "$work/in$2"/*.xlsx || { cat "$work/$1.log" >&2; exit 1; }
    check "$1" orvik "$2"
}

# In one call the office converter stops early and says nothing (LibreOffice 7.4
# here: after 247 of 400 workbooks, exit status 0), so it gets at most
# $office_call workbooks a call, as anyone converting that many would do.
office_call=200
run_office() {
    rm -rf "$work/office" && mkdir -p "$work/office"
    printf '%s\0' "$work/in$2"/*.xlsx >"$work/list$2"
    bench_measure "$1" -- xargs -0 -n $office_call -a "$work/list$2" \
        soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf --outdir "$work/office" ||
        { cat "$work/$1.log" >&2; exit 1; }
    check "$1" office "$2"
}

check() {
    local made
    made=$(find "$work/$2" -name '*.pdf' | wc -l)
    [ "$made" -eq "$3" ] || { echo "$1: $made PDFs of $3 workbooks" >&2; tail -n 3 "$work/$1.out" "$work/$1.log" >&2; exit 1; }
}

# per_book NAME KEY COUNT
per_book() {
    awk -v a="$(bench_value "$1" "$2")" -v n="$3" 'BEGIN { printf "%.4f", a / n }'
}

row() {
    printf '%-34s %12.3f %12.3f %15.0f\n' "$1" "$(per_book "$2" wall "$3")" "$(per_book "$2" cpu "$3")" \
        "$(bench_value "$2" peak_pss)"
}

ratio() {
    printf '%-34s %12s %12s %15s\n' "$1" \
        "$(bench_div "$(per_book "$2" wall "$3")" "$(per_book "$4" wall "$5")")" \
        "$(bench_div "$(per_book "$2" cpu "$3")" "$(per_book "$4" cpu "$5")")" \
        "$(bench_div "$(bench_value "$2" peak_pss)" "$(bench_value "$4" peak_pss)")"
}

bench_load "start"
run_orvik warm-orvik "$small"
run_office warm-office "$small"
for n in "$small" "$large"; do
    run_orvik "orvik$n" "$n"
    run_office "office$n" "$n"
    bench_doubts "orvik$n" "office$n"
done
bench_load "end"

echo
echo "Workbooks of 2 sheets of 40 rows, one run per size (soffice: a call per $office_call workbooks), both warm"
printf '%-34s %12s %12s %15s\n' "" "s / workbook" "CPU s / wb" "peak PSS (MB)"
for n in "$small" "$large"; do
    row "orvik-xl2pdf, $n workbooks" "orvik$n" "$n"
    row "soffice --convert-to, $n workbooks" "office$n" "$n"
    ratio "ratio orvik / office, $n" "orvik$n" "$n" "office$n" "$n"
done
ratio "orvik-xl2pdf $large / $small" "orvik$large" "$large" "orvik$small" "$small"
ratio "soffice $large / $small" "office$large" "$large" "office$small" "$small"
bench_footnote
