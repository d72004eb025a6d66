#!/usr/bin/env bash
# Times the whole shared corpus of real workbooks through orvik-xl2pdf and
# through the office's own converter (soffice --headless --convert-to pdf: one
# call for all files, a profile of its own, warmed once), side by side in one
# run. Prints both times, their ratio, the PDFs each made, and the workbooks
# one made a PDF of and the other did not. Not a test: it only prints figures.
#
# Both write <name>.pdf, so workbooks that differ only in their extension
# (SampleSS.xls and SampleSS.xlsx) share one PDF on both sides; orvik-xl2pdf
# runs with --overwrite, as the office's converter overwrites.
#
# Usage: tools/bench_corpus.sh [build folder] [corpus folder]
#   build folder   default: build-bench beside the sources (configured and built here)
#   corpus folder  default: ../shared/corpus beside the sources
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
corpus=${2:-$top/../shared/corpus}

cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target orvik-xl2pdf -j2 >/dev/null
xl2pdf="$build/cli/orvik-xl2pdf"

shopt -s nullglob
books=("$corpus"/*.xls "$corpus"/*.xlsx)
((${#books[@]})) || { echo "no workbooks in $corpus" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }

# No terminal and nothing on standard input: an encrypted workbook is skipped.
# Options for orvik-xl2pdf come first, up to "--".
run_orvik() {
    local options=()
    while [ "$1" != "--" ]; do options+=("$1"); shift; done
    shift
    rm -rf "$work/orvik" && mkdir -p "$work/orvik"
    local start end
    start=$(now)
    setsid "$xl2pdf" "${options[@]}" --overwrite -o "$work/orvik" "$@" </dev/null >/dev/null 2>"$work/orvik.log" || true
    end=$(now)
    echo "$end - $start" | bc
}

run_office() {
    rm -rf "$work/office" && mkdir -p "$work/office"
    local start end
    start=$(now)
    soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/office" "$@" >/dev/null 2>&1 || true
    end=$(now)
    echo "$end - $start" | bc
}

pdf_names() {
    (cd "$1" && ls -1 -- *.pdf 2>/dev/null | sort) || true
}

# A first start of each makes its profile and fills the disk cache; not counted.
run_orvik -- "${books[0]}" >/dev/null
run_office "${books[0]}" >/dev/null

# PDF 1.4 keeps transparency as it is; 1.3 (a fresh start's setting) has none,
# so Ghostscript flattens pages with transparency into images, which costs time.
t_orvik14=$(run_orvik --pdf-version 1.4 -- "${books[@]}")
t_orvik=$(run_orvik -- "${books[@]}")
pdf_names "$work/orvik" >"$work/orvik.list"
t_office=$(run_office "${books[@]}")
pdf_names "$work/office" >"$work/office.list"

printf '%d workbooks in %s\n' "${#books[@]}" "$corpus"
printf 'orvik-xl2pdf:           %7.2f s, %d PDFs\n' "$t_orvik" "$(wc -l <"$work/orvik.list")"
printf 'soffice --convert-to:   %7.2f s, %d PDFs\n' "$t_office" "$(wc -l <"$work/office.list")"
printf 'ratio (orvik / office): %7.2f\n' "$(echo "$t_orvik / $t_office" | bc -l)"
printf 'orvik-xl2pdf at PDF 1.4: %6.2f s, ratio %.2f (nothing to flatten)\n' "$t_orvik14" \
    "$(echo "$t_orvik14 / $t_office" | bc -l)"
echo "PDFs only the office made:"
comm -13 "$work/orvik.list" "$work/office.list" | sed 's/^/  /'
echo "PDFs only orvik-xl2pdf made:"
comm -23 "$work/orvik.list" "$work/office.list" | sed 's/^/  /'
echo "orvik-xl2pdf's lines for workbooks not converted or converted with a note:"
grep -v '^orvik-xl2pdf: \[' "$work/orvik.log" | sed 's/^/  /' || true
