#!/usr/bin/env bash
# Times a list of workbooks converted as a Slurm array job on this machine
# (tools/slurm/orvik-batch.sh on a one-node cluster of its own, started here
# with tools/slurm/local_cluster.sh: needs root and the Slurm packages) against
# the same list in one plain orvik-xl2pdf run. The array job's time is from
# submission until --wait returns: the tasks' offices, the scheduling and the
# joining job included. Not a test: it only prints figures (wall times; the
# tasks run under slurmd, outside this script's process tree).
#
# Usage: tools/bench_slurm.sh [build folder] [rounds] [workbooks] [tasks]
#   build folder  default: build-bench beside the sources (see bench_batch.sh)
#   rounds        default 3; the shortest wall time of each counts
#   workbooks     default 12, copies of the .xlsx files in ../shared/testdata
#   tasks         default 3, each converting with one lane (--jobs 1)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-bench}
rounds=${2:-3}
count=${3:-12}
tasks=${4:-3}
testdata=$(cd "$top/../shared/testdata" && pwd)

# The cluster's sockets live in its folder: a short path.
work=$(mktemp -d /tmp/bench-slurm-XXXXXX)
chmod 755 "$work"
cleanup() {
    "$top/tools/slurm/local_cluster.sh" stop "$work/cluster" || true
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=tools/bench_common.sh
. "$top/tools/bench_common.sh"
bench_find_xl2pdf "$build"

sources=("$testdata"/SampleSS.xlsx "$testdata"/WithTextBox.xlsx "$testdata"/55906-MultiSheetRefs.xlsx
    "$testdata"/SimpleScatterChart.xlsx "$testdata"/unicodeSheetName.xlsx)
mkdir -p "$work/in"
for ((i = 0; i < count; i++)); do
    cp "${sources[i % ${#sources[@]}]}" "$(printf '%s/in/Book%03d.xlsx' "$work" "$i")"
done
ls "$work"/in/*.xlsx >"$work/list.txt"

"$top/tools/slurm/local_cluster.sh" start "$work/cluster" >/dev/null
export SLURM_CONF=$work/cluster/slurm.conf ORVIK_XL2PDF=$xl2pdf

now() { date +%s.%N; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a + 0 < b + 0) ? a : b }'; }

# run_NAME: one conversion of the list into a fresh folder; prints its wall seconds.
run_array() {
    rm -rf "$work/array"
    local start
    start=$(now)
    "$top/tools/slurm/orvik-batch.sh" "$work/list.txt" "$work/array" --tasks "$tasks" --wait >"$work/array.log" 2>&1 ||
        { cat "$work/array.log" >&2; exit 1; }
    awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f\n", b - a }'
}
run_plain() {
    rm -rf "$work/plain" && mkdir -p "$work/plain"
    local start
    start=$(now)
    "$xl2pdf" --files-from "$work/list.txt" -o "$work/plain" "$@" >"$work/plain.log" 2>&1 ||
        { cat "$work/plain.log" >&2; exit 1; }
    awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f\n", b - a }'
}

bench_load "start"
run_plain >/dev/null # warm: the profile template and the disk cache
array_best='' plain_best='' single_best=''
for ((r = 1; r <= rounds; r++)); do
    a=$(run_array)
    p=$(run_plain)
    s=$(run_plain --jobs 1)
    echo "round $r: array job ${a} s, plain run ${p} s, plain run --jobs 1 ${s} s"
    array_best=$(best "$a" "$array_best")
    plain_best=$(best "$p" "$plain_best")
    single_best=$(best "$s" "$single_best")
done
bench_load "end"

echo
echo "$count workbooks on $(nproc) processors; the shortest of $rounds rounds:"
printf '%-58s %6s s\n' "array job, $tasks tasks of one lane, until --wait returns" "$array_best"
printf '%-58s %6s s\n' "one orvik-xl2pdf run, default lanes" "$plain_best"
printf '%-58s %6s s\n' "one orvik-xl2pdf run, --jobs 1" "$single_best"
