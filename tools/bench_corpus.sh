#!/usr/bin/env bash
# Converts the whole shared corpus of real workbooks with orvik-xl2pdf and with
# the office's own converter (soffice --headless --convert-to pdf: one call for
# all files, a profile of its own), side by side in one run, both warmed once
# before (not counted). orvik-xl2pdf runs at --jobs 1 and at its default number
# of lanes (a build without --jobs runs the default only), and at PDF 1.4 too.
# Prints for each run the wall time, CPU seconds and peak memory of its whole
# process tree and the ratios to the office converter's; the PDFs each made and
# the workbooks one made a PDF of and the other did not; and the workbooks whose
# PDF text (the words pdftotext reads) differs between PDF 1.3 and 1.4.
# Not a test: it only prints figures.
#
# Both write <name>.pdf, so workbooks that differ only in their extension
# (SampleSS.xls and SampleSS.xlsx) share one PDF on both sides; orvik-xl2pdf
# runs with --overwrite, as the office's converter overwrites.
#
# Usage: tools/bench_corpus.sh [build folder] [corpus folder]
#   build folder   default: build-bench beside the sources (configured and built
#                  here; a build of another checkout that holds orvik-xl2pdf is
#                  used as it is)
#   corpus folder  default: ../shared/corpus beside the sources
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
corpus=${2:-$top/../shared/corpus}

shopt -s nullglob
books=("$corpus"/*.xls "$corpus"/*.xlsx)
((${#books[@]})) || { echo "no workbooks in $corpus" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$top/tools/bench_common.sh"
bench_find_xl2pdf "$build"

# run_orvik NAME [options] -- WORKBOOK...: PDFs into $work/NAME. Nothing on
# standard input and no terminal: an encrypted workbook is skipped. A workbook
# that fails does not end the run.
run_orvik() {
    local name=$1 options=()
    shift
    while [ "$1" != "--" ]; do options+=("$1"); shift; done
    shift
    rm -rf "${work:?}/$name" && mkdir -p "$work/$name"
    bench_measure "$name" -- "$xl2pdf" "${options[@]}" --overwrite -o "$work/$name" "$@" || true
}

run_office() {
    local name=$1
    shift
    rm -rf "${work:?}/$name" && mkdir -p "$work/$name"
    bench_measure "$name" -- soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pdf \
        --outdir "$work/$name" "$@" || true
}

pdf_names() {
    find "$work/$1" -maxdepth 1 -name "*.pdf" -printf "%f\n" | sort
}

words() {
    pdftotext -q "$1" - 2>/dev/null | tr -s '[:space:]' '\n' || true
}

jobs=no
if "$xl2pdf" --help 2>&1 | grep -q -- '--jobs'; then jobs=yes; fi

bench_load "start"
# A first start of each makes its profile (template) and fills the disk cache; not counted.
run_orvik warm-orvik -- "${books[0]}"
run_office warm-office "${books[0]}"

# PDF 1.4 keeps transparency as it is; 1.3 (the default) has none, so
# Ghostscript flattens pages with transparency into images, which costs time.
runs=(warm-orvik warm-office orvik orvik14 office)
if [ $jobs = yes ]; then
    run_orvik orvik-j1 --jobs 1 -- "${books[@]}"
    runs+=(orvik-j1)
fi
run_orvik orvik -- "${books[@]}"
run_orvik orvik14 --pdf-version 1.4 -- "${books[@]}"
run_office office "${books[@]}"
bench_load "end"
for name in orvik orvik14 office; do pdf_names $name >"$work/$name.list"; done

echo
printf '%d workbooks in %s\n' "${#books[@]}" "$corpus"
bench_header "PDFs"
if [ $jobs = yes ]; then
    pdf_names orvik-j1 >"$work/orvik-j1.list"
    bench_row "orvik-xl2pdf --jobs 1" orvik-j1 "$(wc -l <"$work/orvik-j1.list")"
    bench_row "orvik-xl2pdf (default lanes)" orvik "$(wc -l <"$work/orvik.list")"
else
    bench_row "orvik-xl2pdf" orvik "$(wc -l <"$work/orvik.list")"
fi
bench_row "orvik-xl2pdf --pdf-version 1.4" orvik14 "$(wc -l <"$work/orvik14.list")"
bench_row "soffice --convert-to pdf" office "$(wc -l <"$work/office.list")"
if [ $jobs = yes ]; then
    bench_ratio_row "ratio --jobs 1 / office" orvik-j1 office
    bench_ratio_row "ratio default lanes / office" orvik office
else
    bench_ratio_row "ratio (orvik / office)" orvik office
fi
bench_ratio_row "ratio PDF 1.4 / office" orvik14 office
[ $jobs = yes ] || echo "(this build has no --jobs; default only)"
bench_footnote
bench_doubts "${runs[@]}"

echo
echo "PDFs only the office made:"
comm -13 "$work/orvik.list" "$work/office.list" | sed 's/^/  /'
echo "PDFs only orvik-xl2pdf made:"
comm -23 "$work/orvik.list" "$work/office.list" | sed 's/^/  /'
echo "orvik-xl2pdf's lines for workbooks not converted or converted with a note:"
grep -v '^orvik-xl2pdf: \[' "$work/orvik.log" | sed 's/^/  /' || true

echo
both=0
differ=()
while IFS= read -r pdf; do
    both=$((both + 1))
    words "$work/orvik/$pdf" >"$work/words13"
    words "$work/orvik14/$pdf" >"$work/words14"
    if ! cmp -s "$work/words13" "$work/words14"; then
        n=$(diff "$work/words13" "$work/words14" | grep -c '^[<>]' || true)
        differ+=("$pdf ($n words differ)")
    fi
done < <(comm -12 "$work/orvik.list" "$work/orvik14.list")
printf 'Text at PDF 1.3 and 1.4 (pdftotext words), %d PDFs made by both: %d differ\n' "$both" "${#differ[@]}"
for line in "${differ[@]}"; do echo "  $line"; done
