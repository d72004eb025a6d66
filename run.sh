#!/usr/bin/env bash
# Installs what is missing, builds, adds the converter to your application
# menu, and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
. "$top/tools/machine.sh"

orvik_ensure_packages $ORVIK_BUILD_PACKAGES $ORVIK_RUN_PACKAGES
orvik_start_cups || true
orvik_install_queue "$top" || true
orvik_build "$top"

program="$top/build/app/OrvikExcelToPDF"
"$top/tools/install_desktop_entry.sh" "$top/build"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "There is no display to open the converter's window on." >&2
    echo "Start $program from a desktop session, or convert without a window with" >&2
    echo "  $top/build/cli/orvik-xl2pdf [options] WORKBOOK... -o FOLDER" >&2
    exit 1
fi
exec "$program"
