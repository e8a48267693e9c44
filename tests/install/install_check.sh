#!/usr/bin/env bash
# Installs the build into a staging directory and checks what a desktop system would receive: the
# file list, the desktop entry and metainfo against their validators, the metainfo's newest
# release against the project's version, the command line's shell completions and manual pages,
# and the installed tool: --version and --help without a display, and the window starting when no
# option is given.
#
#     install_check.sh BUILD_DIR VERSION APPSTREAM_ID UDEV_RULE
set -euo pipefail
build=$1 version=$2 appstream_id=$3 udev_rule=$4

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expected=$(sort <<EOF2
./usr/bin/label-printer-cli
./usr/bin/label-printer-setup
./usr/lib/udev/rules.d/$udev_rule
./usr/share/applications/label-printer-setup.desktop
./usr/share/bash-completion/completions/label-printer-cli
./usr/share/doc/label-printer-setup/changelog.gz
./usr/share/doc/label-printer-setup/copyright
./usr/share/icons/hicolor/scalable/apps/label-printer-setup.svg
./usr/share/fish/vendor_completions.d/label-printer-cli.fish
./usr/share/man/man1/label-printer-cli.1.gz
./usr/share/man/man1/label-printer-setup.1.gz
./usr/share/metainfo/$appstream_id.metainfo.xml
./usr/share/zsh/vendor-completions/_label-printer-cli
EOF2
)
installed=$(cd "$stage" && find . ! -type d | sort)
[ "$installed" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$installed"))"

desktop=$stage/usr/share/applications/label-printer-setup.desktop
metainfo=$stage/usr/share/metainfo/$appstream_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop entry"
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "metainfo: $(appstreamcli validate --no-net "$metainfo")"
grep -qx 'Name\[zh_CN\]=.*' "$desktop" || fail "desktop entry has no Chinese name"
grep -qx 'Comment\[zh_CN\]=.*' "$desktop" || fail "desktop entry has no Chinese comment"

# The newest release (the first one listed) is the version being installed.
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "metainfo's newest release is '$newest', the project is $version"

cli=$stage/usr/bin/label-printer-cli
cli_help=$("$cli" info --help) || fail "label-printer-cli info --help exits with $?"
grep -q -- '--port' <<<"$cli_help" || fail "label-printer-cli info --help does not list --port"
! "$cli" list --help | grep -q -- '--port' || fail "label-printer-cli list --help lists --port"
[ "$("$cli" --version)" = "label-printer-cli $version" ] || fail "label-printer-cli --version"
# bash-completion loads the file by the command's name; with it loaded, bash offers the pages after
# "read" and a page's keys after "write PAGE".
completion=$stage/usr/share/bash-completion/completions/label-printer-cli
offered() {
  bash -c 'source "$1"; COMP_LINE=$2; COMP_POINT=${#COMP_LINE}; _label_printer_cli
           printf "%s\n" "${COMPREPLY[@]}"' bash "$completion" "$1" | sort | xargs
}
pages=$(offered "label-printer-cli --port 1 read ")
[ "$pages" = "bluetooth distance ethernet print serial wifi wifi-ip" ] || fail "completion after read: '$pages'"
keys=$(offered "label-printer-cli write wifi-ip ")
[ "$keys" = "dhcp= dns= gateway= ip= mask=" ] || fail "completion after write wifi-ip: '$keys'"

# zsh and fish read the files they are given as they would from their vendor folders.
zsh -n "$stage/usr/share/zsh/vendor-completions/_label-printer-cli" || fail "zsh completion: syntax"
fish --no-config -n "$stage/usr/share/fish/vendor_completions.d/label-printer-cli.fish" ||
  fail "fish completion: syntax"
# The manual page of each program renders without a warning.
for page in label-printer-cli label-printer-setup; do
  manual=$stage/usr/share/man/man1/$page.1.gz
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$manual" 2>/dev/null | grep -q "^NAME" ||
    fail "manual page $page does not render"
done

tool=$stage/usr/bin/label-printer-setup
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
answer=$("${headless[@]}" "$tool" --version) || fail "--version exits with $?"
[ "$answer" = "label-printer-setup $version" ] || fail "--version printed '$answer'"
help=$("${headless[@]}" "$tool" --help) || fail "--help exits with $?"
grep -q -- '--version' <<<"$help" || fail "--help does not list --version: $help"

# Without options the window opens and the tool keeps running until it is closed.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$tool" 2>/dev/null || status=$?
[ "$status" -eq 124 ] || fail "without options the tool ended with status $status instead of running"
echo "install check passed"
