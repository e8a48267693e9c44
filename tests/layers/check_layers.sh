#!/usr/bin/env bash
# The layers hold: the command line loads no GUI library, the core library needs no symbol of
# QtGui or QtWidgets (QtCore, QtSql for the history and libusb are its own), no core folder includes a window or command-line header (nor the window a
# command-line one, nor the command line a window one), and no two folders include each other.
# Usage: check_layers.sh SOURCE_DIR CLI_BINARY CORE_ARCHIVE
set -uo pipefail
source_dir=$1 cli=$2 core=$3
checks=4 failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

gui_libraries=$(ldd "$cli" | grep -E 'libQt5(Gui|Widgets)' || true)
[ -z "$gui_libraries" ] || fail "label-printer-cli loads GUI libraries: $gui_libraries"

qt_lib_dir=$(dirname "$(ldd "$cli" | awk '/libQt5Core/ {print $3}')")
gui_symbols=$(mktemp) core_undefined=$(mktemp) edges=$(mktemp)
trap 'rm -f "$gui_symbols" "$core_undefined" "$edges"' EXIT
for lib in "$qt_lib_dir"/libQt5Gui.so.5 "$qt_lib_dir"/libQt5Widgets.so.5; do
  nm -D --defined-only "$lib" | awk '{print $NF}'
done | sort -u > "$gui_symbols"
nm --undefined-only "$core" | awk '{print $NF}' | sort -u > "$core_undefined"
[ -s "$gui_symbols" ] || fail "no symbols read from $qt_lib_dir/libQt5Gui.so.5"
[ -s "$core_undefined" ] || fail "no undefined symbols read from $core"
needed=$(comm -12 "$gui_symbols" "$core_undefined" | head -5)
[ -z "$needed" ] || fail "the core library uses QtGui or QtWidgets symbols: $needed"

# What each layer may not include.
forbidden() {
  case $1 in
  core) echo '(window|cli)/|ui_|Qt(Gui|Widgets)/|Q(Widget|Application|GuiApplication)\b' ;;
  window) echo 'cli/' ;;
  cli) echo 'window/|ui_|Qt(Gui|Widgets)/|Q(Widget|Application|GuiApplication)\b' ;;
  esac
}
[ -d "$source_dir/core" ] && [ -d "$source_dir/window" ] && [ -d "$source_dir/cli" ] ||
  fail "the top of the tree lacks core/, window/ or cli/"
for layer in core window cli; do
  hits=$(grep -rnE "#include\s*[<\"]($(forbidden $layer))" "$source_dir/$layer" || true)
  [ -z "$hits" ] || fail "$layer/ includes from a layer above or beside it: $hits"
done

# Folder-to-folder includes (core/settings -> core/protocol, cli -> core/usb, ...), as pairs for
# tsort, which reports any loop among them.
folder_of() { # a path below the source dir -> its folder (two levels for core and window)
  case $1 in
  core/* | window/*) echo "$1" | cut -d/ -f1-2 ;;
  *) echo "$1" | cut -d/ -f1 ;;
  esac
}
for layer in core window cli; do
  while IFS= read -r line; do
    file=${line%%:*} target=${line#*\"}
    target=${target%%\"*}
    from=$(folder_of "${file#"$source_dir"/}")
    to=$(folder_of "$target")
    [ "$from" != "$to" ] && [ -d "$source_dir/$to" ] && echo "$from $to"
  done < <(grep -rnoE '#include\s*"[a-z]+/[^"]+"' --include='*.h' --include='*.cpp' "$source_dir/$layer")
done | sort -u > "$edges"
[ -s "$edges" ] || fail "no include between folders found under $source_dir"
loops=$(tsort "$edges" 2>&1 >/dev/null | grep -v 'input contains a loop:$' || true)
[ -z "$loops" ] || fail "folders that include each other:
$loops"

if [ "$failures" -eq 0 ]; then
  echo "$checks passed, 0 failed"
else
  echo "$((checks - failures < 0 ? 0 : checks - failures)) passed, $failures failed"
  exit 1
fi
