#!/usr/bin/env bash
# The layers hold: the command line loads no GUI library, the core library needs no symbol of
# QtGui or QtWidgets, and no core folder includes a header of the window's folders.
# Usage: check_layers.sh SOURCE_DIR CLI_BINARY CORE_ARCHIVE
set -uo pipefail
source_dir=$1 cli=$2 core=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

gui_libraries=$(ldd "$cli" | grep -E 'libQt5(Gui|Widgets)' || true)
[ -z "$gui_libraries" ] || fail "label-printer-cli loads GUI libraries: $gui_libraries"

qt_lib_dir=$(dirname "$(ldd "$cli" | awk '/libQt5Core/ {print $3}')")
gui_symbols=$(mktemp) core_undefined=$(mktemp)
trap 'rm -f "$gui_symbols" "$core_undefined"' EXIT
for lib in "$qt_lib_dir"/libQt5Gui.so.5 "$qt_lib_dir"/libQt5Widgets.so.5; do
  nm -D --defined-only "$lib" | awk '{print $NF}'
done | sort -u > "$gui_symbols"
nm --undefined-only "$core" | awk '{print $NF}' | sort -u > "$core_undefined"
[ -s "$gui_symbols" ] || fail "no symbols read from $qt_lib_dir/libQt5Gui.so.5"
[ -s "$core_undefined" ] || fail "no undefined symbols read from $core"
needed=$(comm -12 "$gui_symbols" "$core_undefined" | head -5)
[ -z "$needed" ] || fail "the core library uses QtGui or QtWidgets symbols: $needed"

core_folders=(base crypto usb protocol printers settings download profiles)
window_folders='app|pages|maintenance|fleet|ui'
for folder in "${core_folders[@]}"; do
  hits=$(grep -rnE "#include\s*[<\"]((${window_folders})/|ui_|Qt(Gui|Widgets)/|Q(Widget|Application|GuiApplication)\b)" \
    "$source_dir/$folder" || true)
  [ -z "$hits" ] || fail "core folder $folder includes from the window: $hits"
done

if [ "$failures" -eq 0 ]; then
  echo "3 passed, 0 failed"
else
  echo "$((3 - failures < 0 ? 0 : 3 - failures)) passed, $failures failed"
  exit 1
fi
