#!/usr/bin/env bash
# Makes the Debian package of the build, as cpack does for a release, and checks its control data
# and contents: it recommends Qt's own catalogue and a CJK font Debian 12 ships, it depends on Qt's
# SQLite driver (the history), and it carries the command line's shell completions and manual page.
# scripts/package-check.sh runs lintian on the release package.
#
#     package_control.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB -B "$out" >/dev/null) || fail "cpack"
debs=("$out"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package: ${debs[*]}"
deb=${debs[0]}

recommends=$(dpkg-deb -f "$deb" Recommends)
# One entry a line, alternatives kept together.
entries=$(tr ',' '\n' <<<"$recommends" | sed 's/^ *//; s/ *$//')
grep -qx 'qttranslations5-l10n' <<<"$entries" || fail "no Recommends of Qt's catalogue: '$recommends'"
grep -Eq '(^|\| )fonts-(wqy-microhei|wqy-zenhei|noto-cjk)( |$)' <<<"$entries" ||
  fail "no Recommends of a CJK font: '$recommends'"

depends=$(dpkg-deb -f "$deb" Depends)
tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qx 'libqt5sql5-sqlite' ||
  fail "no Depends on Qt's SQLite driver, which the history needs: '$depends'"

contents=$(dpkg-deb -c "$deb")
grep -q ' \./usr/share/bash-completion/completions/label-printer-cli$' <<<"$contents" ||
  fail "the package holds no bash completion"
grep -q ' \./usr/share/zsh/vendor-completions/_label-printer-cli$' <<<"$contents" ||
  fail "the package holds no zsh completion"
grep -q ' \./usr/share/fish/vendor_completions.d/label-printer-cli\.fish$' <<<"$contents" ||
  fail "the package holds no fish completion"
grep -q ' \./usr/share/man/man1/label-printer-cli\.1\.gz$' <<<"$contents" ||
  fail "the package holds no manual page of label-printer-cli"
echo "package control check passed"
