#!/usr/bin/env bash
# Times one big workbook (one sheet of 50,000 rows, some 1,850 pages):
# orvik-xl2pdf against the office's own converter (soffice --headless
# --convert-to pdf, with a profile of its own, warmed once), side by side:
# both times, their ratio, the pages each made and the peak memory of each
# process tree (sampled). Not a test: it only prints figures.
#
# Usage: tools/bench_big_workbook.sh [build folder] [rows]
#   build folder  default: build-bench beside the sources (configured and built here)
#   rows          default 50000
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
rows=${2:-50000}

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target orvik-xl2pdf -j2 >/dev/null
xl2pdf="$build/cli/orvik-xl2pdf"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/tools/make_sample_workbooks.py" "$work/in" --count 1 --sheets 1 --rows "$rows" >/dev/null
book=("$work"/in/*.xlsx)

timed() {
    local log=$1
    shift
    "$@" >/dev/null 2>"$log" || { cat "$log" >&2; exit 1; }
}

run_orvik() {
    rm -rf "$work/orvik" && mkdir -p "$work/orvik"
    timed "$work/orvik.log" "$xl2pdf" -o "$work/orvik" "${book[@]}"
}

run_office() {
    rm -rf "$work/office" && mkdir -p "$work/office"
    timed "$work/office.log" soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/office" "${book[@]}"
}

pages() { pdfinfo "$1"/*.pdf | awk '/^Pages:/ {print $2}'; }

# Resident memory (kB) of a process and all its descendants.
tree_rss() {
    ps -e -o pid=,ppid=,rss= | awk -v root="$1" '
        { parent[$1] = $2; rss[$1] = $3 }
        END {
            for (p in parent) {
                for (q = p; q > 1; q = parent[q]) if (q == root) { total += rss[p]; break }
            }
            print total + 0
        }'
}

# Runs run_NAME in the background, sampling its tree's memory every 0.2 s;
# prints the elapsed seconds and leaves the peak (MB) in $work/NAME.peak.
measure() {
    local name=$1 start end peak=0 kb
    start=$(date +%s.%N)
    "run_$name" &
    local pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        kb=$(tree_rss "$pid")
        [ "$kb" -gt "$peak" ] && peak=$kb
        sleep 0.2
    done
    wait "$pid"
    end=$(date +%s.%N)
    echo $((peak / 1024)) >"$work/$name.peak"
    echo "$end - $start" | bc
}

# Warm-up: the office's first start on a new profile and the disk cache are not counted.
run_office
run_orvik

measure orvik >"$work/orvik.secs"
measure office >"$work/office.secs"
orvik=$(cat "$work/orvik.secs")
office=$(cat "$work/office.secs")
printf 'Big workbook: 1 sheet of %s rows\n' "$rows"
printf '%-30s %10s %8s %12s\n' "" "time (s)" "pages" "peak (MB)"
printf '%-30s %10.2f %8s %12s\n' "orvik-xl2pdf" "$orvik" "$(pages "$work/orvik")" "$(cat "$work/orvik.peak")"
printf '%-30s %10.2f %8s %12s\n' "soffice --convert-to pdf" "$office" "$(pages "$work/office")" "$(cat "$work/office.peak")"
printf 'ratio (orvik / office): %.2f\n' "$(echo "$orvik / $office" | bc -l)"
