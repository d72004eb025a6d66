#!/usr/bin/env bash
# Copies the main window's screenshots, written by the window tests, into the
# help's images (the help and the README show them). Run after the windows
# change, then look at them and commit.
#   tools/update_screenshots.sh [BUILD_FOLDER]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)

QT_QPA_PLATFORM=offscreen "$build/tests/app/test_main_window" \
    --gtest_filter='MainWindow.ShapePlaceTitleAndPage:MainWindow.WindowMenu*' >/dev/null 2>&1
for name in main-window main-window-menu; do
    cp "$build/screenshots/$name.png" "$top/app/help/images/$name.png"
    echo "app/help/images/$name.png"
done
