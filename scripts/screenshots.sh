#!/usr/bin/env bash
# Remakes the README's screenshots from the current build: the window in English
# (docs/screenshot.png) and in Chinese (docs/screenshot-zh.png), after reading the information and
# print settings of a virtual Orbeck VS-608K, on a virtual X server; and, in English, the table
# comparing that printer with a profile saved before two of its settings were changed
# (docs/screenshot-compare.png).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target screenshot virtual-printers label-printer-cli
export TMPDIR=/tmp # the emulated USB devices use unix sockets, whose paths must stay short

under_printers() { # LOCALE COMMAND...
  # The language comes from the locale, as on a desktop; no platform theme, so that the window
  # looks as it does on any desktop without one.
  local locale=$1
  shift
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u QT_QPA_PLATFORMTHEME LANG="$locale" QT_QPA_PLATFORM=xcb \
    QT_LOGGING_RULES="labelsetup.*.debug=false" \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/sim/virtual-printers --printer 0411:1:RM-310 --printer 1401:3:VS-608K -- "$@"
}

# The profile is saved first, then the printer's speed and density are changed: the table shows
# those two (and no read-only key, as it is the same printer).
profile=$(mktemp -u /tmp/screenshot-profile.XXXXXX.json)
trap 'rm -f "$profile"' EXIT
under_printers en_US.UTF-8 bash -c 'build/label-printer-cli --port 3 backup "$1" &&
  build/label-printer-cli --port 3 write print speed=5 density=10 >/dev/null &&
  build/docs/screenshot 3 "$2" "$1" "$3"' - "$profile" docs/screenshot.png docs/screenshot-compare.png
echo "Wrote docs/screenshot.png and docs/screenshot-compare.png"
under_printers zh_CN.UTF-8 build/docs/screenshot 3 docs/screenshot-zh.png
echo "Wrote docs/screenshot-zh.png"
