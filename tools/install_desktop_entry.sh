#!/usr/bin/env bash
# Adds the converter to the user's application menu: the desktop entry of a
# build (its Exec names that build's program) and the icons, below
# $XDG_DATA_HOME (default ~/.local/share). Run again after moving the build.
#   tools/install_desktop_entry.sh [BUILD_FOLDER]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)

entries=("$build"/app/*.desktop)
entry=${entries[0]}
if [ ! -f "$entry" ] || [ ! -x "$build/app/OrvikExcelToPDF" ]; then
    echo "No built converter in $build (build it first)." >&2
    exit 1
fi
id=$(basename "$entry" .desktop)
data=${XDG_DATA_HOME:-$HOME/.local/share}

install -d "$data/applications"
install -m 0644 "$entry" "$data/applications/$id.desktop"
for size in 48 128 256; do
    install -d "$data/icons/hicolor/${size}x${size}/apps"
    install -m 0644 "$top/res/images/hicolor/$size.png" "$data/icons/hicolor/${size}x${size}/apps/$id.png"
done
# Menus pick the new entry up sooner when their caches are refreshed (optional tools).
command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database -q "$data/applications" || true
command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$data/icons/hicolor/index.theme" ] &&
    gtk-update-icon-cache -q "$data/icons/hicolor" || true
echo "Menu entry: $data/applications/$id.desktop"
