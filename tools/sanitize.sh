#!/usr/bin/env bash
# Builds the project with sanitizers and runs the tests under them:
#   asan  AddressSanitizer + UndefinedBehaviorSanitizer (leaks too) into
#         build-asan, then every test;
#   tsan  ThreadSanitizer into build-tsan, then the engine, platform and
#         conversion-page tests (the threads live there).
# Without arguments both run. Installs and starts what test.sh does.
# Usage: tools/sanitize.sh [asan] [tsan]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/machine.sh"

orvik_ensure_packages $ORVIK_BUILD_PACKAGES $ORVIK_RUN_PACKAGES $ORVIK_TEST_PACKAGES
orvik_start_cups
orvik_install_queue "$top"

suppressions="$top/tools/sanitize"
export ORVIK_REQUIRE_REAL_TOOLS=1
export QT_QPA_PLATFORM=offscreen

build() { # folder sanitizers
    cmake -S "$top" -B "$top/$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIK_WARNINGS_AS_ERRORS=ON -DORVIK_ASSERTS=ON \
        -DORVIK_SANITIZE="$2" >/dev/null &&
        cmake --build "$top/$1" -j"$(nproc)"
}

# Each run is tested by its caller, so a failed step ends it explicitly.

run_asan() {
    build build-asan address,undefined || return 1
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    (cd "$top/build-asan" && ctest --output-on-failure --timeout 1800)
}

run_tsan() {
    build build-tsan thread || return 1
    export TSAN_OPTIONS="suppressions=$suppressions/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
    (cd "$top/build-tsan" && ctest --output-on-failure --timeout 1800 \
        -L '^test_(engine|platform|file_manager_reveal|convert_page|finish_dlg)')
}

[ $# -gt 0 ] || set -- asan tsan
failed=()
for kind in "$@"; do
    case "$kind" in
        asan) (run_asan) || failed+=(asan) ;;
        tsan) (run_tsan) || failed+=(tsan) ;;
        *) echo "usage: $0 [asan] [tsan]" >&2; exit 2 ;;
    esac
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Sanitizer runs with findings: ${failed[*]}" >&2
    exit 1
fi
