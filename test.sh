#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with the real
# Ghostscript, LibreOffice and CUPS.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
. "$top/tools/machine.sh"

orvik_ensure_packages $ORVIK_BUILD_PACKAGES $ORVIK_RUN_PACKAGES $ORVIK_TEST_PACKAGES
orvik_start_cups
orvik_install_queue "$top"
orvik_build "$top" -DORVIK_WARNINGS_AS_ERRORS=ON -DORVIK_ASSERTS=ON

export ORVIK_REQUIRE_REAL_TOOLS=1
export QT_QPA_PLATFORM=offscreen
cd "$top/build"
ctest --output-on-failure --timeout 900
