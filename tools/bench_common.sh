# shellcheck shell=bash
# Shared by the bench_*.sh scripts (sourced, not run): finds or builds
# orvik-xl2pdf, measures one command's whole process tree with bench_tree.py
# and prints the figures as a table. Expects "top" (the sources) and "work"
# (the script's scratch folder) to be set.
# shellcheck disable=SC2154

# Sets xl2pdf. A build folder of these sources is configured and brought up to
# date; one of another checkout that already holds the program is used as it is
# (building it from here would mix two source trees).
bench_find_xl2pdf() {
    local build=$1 home=
    xl2pdf="$build/cli/orvik-xl2pdf"
    if [[ -f $build/CMakeCache.txt ]]; then
        home=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
    fi
    if [[ -x $xl2pdf && -n $home && $(cd "$home" && pwd -P) != "$(cd "$top" && pwd -P)" ]]; then
        echo "orvik-xl2pdf: $xl2pdf (built from $home, used as it is)"
        return
    fi
    cmake -S "$top" -B "$build" >/dev/null
    cmake --build "$build" --target orvik-xl2pdf -j2 >/dev/null
    echo "orvik-xl2pdf: $xl2pdf"
}

bench_load() {
    echo "load average ($1): $(cut -d' ' -f1-3 /proc/loadavg)"
}

# bench_measure NAME [bench_tree options] -- COMMAND...: the figures go to
# $work/NAME.m, the command's output to $work/NAME.out and $work/NAME.log.
# Returns the command's exit status.
bench_measure() {
    local name=$1 status=0
    shift
    rm -f "$work/$name.m"
    python3 "$top/tools/bench_tree.py" --out "$work/$name.m" --stdin /dev/null \
        --stdout "$work/$name.out" --stderr "$work/$name.log" "$@" || status=$?
    [[ -s $work/$name.m ]] || { echo "no figures for $name (status $status)" >&2; exit 1; }
    return $status
}

# bench_value NAME KEY: one figure of a measured run.
bench_value() {
    awk -v key="$2" '$1 == key { print $2 }' "$work/$1.m"
}

bench_div() {
    awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0) print "-"; else printf "%.2f", a / b }'
}

bench_less() {
    awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 < b + 0) }'
}

bench_header() {
    printf '%-34s %10s %10s %15s %s\n' "" "wall (s)" "CPU (s)" "peak PSS (MB)" "${1:-}"
}

# bench_row LABEL NAME [EXTRA]
bench_row() {
    printf '%-34s %10.2f %10.2f %15.0f %s\n' "$1" "$(bench_value "$2" wall)" "$(bench_value "$2" cpu)" \
        "$(bench_value "$2" peak_pss)" "${3:-}"
}

# bench_ratio_row LABEL NAME_A NAME_B: A / B for each of the three figures.
bench_ratio_row() {
    local k out=()
    for k in wall cpu peak_pss; do
        out+=("$(bench_div "$(bench_value "$2" $k)" "$(bench_value "$3" $k)")")
    done
    printf '%-34s %10s %10s %15s\n' "$1" "${out[@]}"
}

bench_footnote() {
    echo "CPU and peak memory are of the whole process tree (the office, Ghostscript and every helper):"
    echo "CPU from the reaped processes' resource usage, memory the largest sum of PSS over them,"
    echo "sampled every 50 ms (less often while a sample costs more than 5% of a core: the office's"
    echo "page tables are read). On a shared machine the figures are noisy."
}

# Lines of a measured run that tell of doubtful figures (lingering or outside processes).
bench_doubts() {
    local name
    for name in "$@"; do
        if [[ $(bench_value "$name" lingered) != 0 ]]; then
            echo "note: $name left $(bench_value "$name" lingered) processes running; they were ended and counted"
        fi
        if [[ $(bench_value "$name" outside) != - ]]; then
            echo "note: during $name, processes outside its tree: $(bench_value "$name" outside)"
        fi
    done
}
