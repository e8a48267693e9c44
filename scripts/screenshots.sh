#!/usr/bin/env bash
# Remakes the README's screenshots from the current build: the window in English
# (docs/screenshot.png) and in Chinese (docs/screenshot-zh.png), after reading the information and
# print settings of a virtual Orbeck VS-608K, on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target screenshot virtual-printers
export TMPDIR=/tmp # the emulated USB devices use unix sockets, whose paths must stay short

shoot() { # LOCALE FILE
  # The language comes from the locale, as on a desktop; no platform theme, so that the window
  # looks as it does on any desktop without one.
  env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u QT_QPA_PLATFORMTHEME LANG="$1" QT_QPA_PLATFORM=xcb \
    QT_LOGGING_RULES="labelsetup.*.debug=false" \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/sim/virtual-printers --printer 0411:1:RM-310 --printer 1401:3:VS-608K -- \
    build/docs/screenshot 3 "$2"
  echo "Wrote $2"
}
shoot en_US.UTF-8 docs/screenshot.png
shoot zh_CN.UTF-8 docs/screenshot-zh.png
