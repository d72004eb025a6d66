#!/usr/bin/env bash
# Converts a list of workbooks on a Slurm cluster: an array job of N tasks,
# each running orvik-xl2pdf on its share of the list (--shard auto), and a
# job that runs after them all and joins their reports into one.
#
#   orvik-batch LIST OUTPUT_FOLDER [--tasks N] [--cpus-per-task C] [--wait] [-- orvik-xl2pdf options]
#
# LIST names the workbooks, one a line (relative paths are taken from the
# current folder). Each task runs
#   orvik-xl2pdf --files-from LIST --shard auto --jobs C \
#       --report OUTPUT_FOLDER/.orvik-reports/task-K.jsonl -o OUTPUT_FOLDER [options]
# with C lanes (default 1); the orvik-xl2pdf on PATH, unless ORVIK_XL2PDF names
# another. The list, the output folder, the workbooks and any password file
# must be reachable on every node under the same paths. N defaults to one task
# per 200 workbooks, at most 64. Other sbatch settings come from sbatch's own
# variables (SBATCH_PARTITION, SBATCH_TIMELIMIT, SBATCH_ACCOUNT, ...).
#
# The joining job writes OUTPUT_FOLDER/report.jsonl, a JSON line per workbook
# in list order, and prints a summary line; a workbook whose task ended
# without reporting it counts as not converted. --wait returns once it has
# ended: exit 0 when every workbook was converted, 1 otherwise, 2 on bad usage.
set -euo pipefail

program=orvik-batch
reports_name=.orvik-reports

usage() {
    echo "Usage: $program LIST OUTPUT_FOLDER [--tasks N] [--cpus-per-task C] [--wait] [-- orvik-xl2pdf options]" >&2
    exit 2
}

fail() {
    echo "$program: $*" >&2
    exit 2
}

# The entries of a list, as orvik-xl2pdf reads it: a Windows line end taken
# off, lines of blanks only left out.
list_entries() {
    awk '{ sub(/\r$/, "") } !/^[ \t\v\f\r]*$/ { n++ } END { print n + 0 }' "$1"
}

absolute() {
    case "$1" in
        /*) printf '%s\n' "$1" ;;
        *) printf '%s/%s\n' "$PWD" "$1" ;;
    esac
}

# Joins the task reports: every entry of the list must be reported exactly
# once, by the task its place falls to (place mod tasks); one that is not
# gets a line of its own and counts as not converted.
join_reports() {
    local list=$1 out=$2 tasks=$3 base=$4
    local reports="$out/$reports_name"
    local joined="$out/report.jsonl"
    local status=0
    awk -v tasks="$tasks" -v reports="$reports" -v base="$base" -v joined="$joined.part" -v program="$program" '
        function quoted(s) {
            gsub(/\\/, "\\\\", s); gsub(/"/, "\\\"", s); gsub(/\t/, "\\t", s); gsub(/\r/, "\\r", s)
            return "\"" s "\""
        }
        { sub(/\r$/, "") }
        /^[ \t\v\f\r]*$/ { next }
        { entry[n++] = $0 }
        END {
            for (k = 0; k < tasks; k++) {
                file = reports "/task-" k ".jsonl"
                while ((getline line < file) > 0) {
                    if (!match(line, /^\{"index":[0-9]+,/)) { bad++; continue }
                    i = substr(line, 10, RLENGTH - 10) + 0
                    if (i < n && i % tasks != k) { bad++; continue }
                    if (i in seen) { twice++; continue }
                    seen[i] = 1
                    text[i] = line
                    if (i >= n && i + 1 > extra) extra = i + 1
                }
                close(file)
            }
            last = extra > n ? extra : n
            for (i = 0; i < last; i++) {
                if (!(i in seen)) {
                    if (i >= n) continue
                    path = entry[i] ~ /^\// ? entry[i] : base "/" entry[i]
                    k = i % tasks
                    text[i] = "{\"index\":" i ",\"workbook\":" quoted(path) ",\"pdf\":null,\"result\":\"failed\"," \
                              "\"pages\":null,\"seconds\":0,\"message\":" \
                              quoted(entry[i] ": not converted: task " k " ended without reporting it (see " \
                                     reports "/task-" k ".log).") "}"
                    missing++
                }
                print text[i] > joined
                line = text[i]
                result = match(line, /,"result":"[a-z]+"/) ? substr(line, RSTART + 11, RLENGTH - 12) : "failed"
                if (result == "skipped") continue
                total++
                if (result == "converted") converted++
                if (result != "converted" || line !~ /,"message":""\}$/) unfinished++
            }
            close(joined)
            printf "%s: %d of %d workbook(s) converted, %d not converted", program, converted, total, total - converted
            if (missing) printf "; %d without a report from their task", missing
            if (bad + twice) printf "; %d report line(s) left out (wrong task, or reported twice)", bad + twice
            printf ".\n"
            code = unfinished > 0 || bad + twice > 0
            exit code
        }' "$list" || status=$?
    mv -f "$joined.part" "$joined"
    echo "$status" >"$reports/join.status"
    echo "$program: the report is $joined"
    return "$status"
}

if [ "${1:-}" = "--join" ]; then
    [ $# -eq 5 ] || usage
    join_reports "$2" "$3" "$4" "$5"
    exit $?
fi

[ $# -ge 2 ] || usage
list=$1
out=$2
shift 2
tasks=
cpus=1
wait=0
while [ $# -gt 0 ]; do
    case "$1" in
        --tasks) [ $# -ge 2 ] || usage; tasks=$2; shift 2 ;;
        --tasks=*) tasks=${1#--tasks=}; shift ;;
        --cpus-per-task) [ $# -ge 2 ] || usage; cpus=$2; shift 2 ;;
        --cpus-per-task=*) cpus=${1#--cpus-per-task=}; shift ;;
        --wait) wait=1; shift ;;
        --) shift; break ;;
        *) usage ;;
    esac
done
options=("$@")

for tool in sbatch squeue awk; do
    command -v "$tool" >/dev/null 2>&1 || fail "\"$tool\" is missing: run this where the Slurm commands are (slurm-client)."
done
if [ ! -f "$list" ] || [ ! -r "$list" ]; then
    fail "cannot read the list of workbooks $list."
fi
mkdir -p -- "$out" || fail "cannot make the output folder $out."
list=$(absolute "$list")
out=$(cd -- "$out" && pwd)
entries=$(list_entries "$list")
[ "$entries" -gt 0 ] || fail "the list $list names no workbook."
if [ -z "$tasks" ]; then
    tasks=$(( (entries + 199) / 200 ))
    [ "$tasks" -le 64 ] || tasks=64
fi
case "$tasks" in ''|*[!0-9]*) fail "bad value \"$tasks\" for --tasks (a number from 1 to 1000)." ;; esac
if [ "$tasks" -lt 1 ] || [ "$tasks" -gt 1000 ]; then
    fail "bad value \"$tasks\" for --tasks (a number from 1 to 1000)."
fi
case "$cpus" in ''|*[!0-9]*|0) fail "bad value \"$cpus\" for --cpus-per-task (a number from 1)." ;; esac
xl2pdf=${ORVIK_XL2PDF:-orvik-xl2pdf}
self=$(readlink -f -- "$0")

# A new batch starts without the reports of one before it.
reports="$out/$reports_name"
mkdir -p -- "$reports"
rm -f -- "$reports"/task-*.jsonl "$reports"/task-*.log "$reports/join.status" "$reports/join.log" "$out/report.jsonl"

# The task: the options are written into the script quoted, as given.
task_script=$(
    printf '#!/bin/bash\n'
    printf 'exec %q --files-from %q --shard auto --jobs %q' "$xl2pdf" "$list" "$cpus"
    # shellcheck disable=SC2016 # the task's own index, expanded where it runs
    printf ' --report %q"/task-${SLURM_ARRAY_TASK_ID}.jsonl"' "$reports"
    printf ' -o %q' "$out"
    [ ${#options[@]} -eq 0 ] || printf ' %q' "${options[@]}"
    printf '\n'
)
array=$(sbatch --parsable --job-name=orvik-xl2pdf --array="0-$((tasks - 1))" --cpus-per-task="$cpus" \
    --chdir="$PWD" --output="$reports/task-%a.log" <<<"$task_script") || fail "sbatch refused the array job."
array=${array%%;*}
join_script=$(printf '#!/bin/bash\nexec bash %q --join %q %q %q %q\n' "$self" "$list" "$out" "$tasks" "$PWD")
joiner=$(sbatch --parsable --job-name=orvik-join --dependency="afterany:$array" --chdir="$PWD" \
    --output="$reports/join.log" <<<"$join_script") || fail "sbatch refused the joining job (the array job $array runs)."
joiner=${joiner%%;*}
echo "$program: $entries workbook(s) in $tasks task(s): array job $array, joining job $joiner."
echo "$program: the report will be $out/report.jsonl"

[ "$wait" -eq 1 ] || exit 0
# Gone from the queue means ended; its status file says how.
while squeue -h -j "$joiner" -o %T 2>/dev/null | grep -q .; do
    sleep 1
done
if [ -f "$reports/join.log" ]; then
    grep "^$program: " "$reports/join.log" | grep -v "^$program: the report is " || true
fi
status=$(cat "$reports/join.status" 2>/dev/null || echo none)
case "$status" in
    0) exit 0 ;;
    1) exit 1 ;;
    *) echo "$program: the joining job $joiner ended without joining the reports (see $reports/join.log)." >&2; exit 1 ;;
esac
