#!/usr/bin/env bash
# Installs what is missing, builds, and starts the converter.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
. "$top/tools/machine.sh"

orvik_ensure_packages $ORVIK_BUILD_PACKAGES $ORVIK_RUN_PACKAGES
orvik_start_cups || true
orvik_install_queue "$top" || true
orvik_build "$top"

program="$top/build/app/OrvikExcelToPDF"
if [ ! -x "$program" ]; then
    echo "The converter window is not built yet in this version of the project." >&2
    exit 1
fi
exec "$program"
