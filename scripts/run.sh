#!/usr/bin/env bash
# Builds the tool and starts it with two virtual printers attached (Zurod RM-310 on port 1,
# Orbeck VS-608K on port 3); commands typed on the terminal plug more in and pull them out (see
# README). Pass --real to start it against the real USB printers instead.
# The build also makes sample firmware and font files (build/download-samples) to try a download.
# Without a display it runs on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target label-printer-setup label-printer-cli virtual-printers download-samples
export TMPDIR=/tmp

display=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the tool on a virtual X server (xvfb-run)." >&2
  display=(xvfb-run -a)
fi
if [ "${1:-}" = "--real" ]; then
  exec "${display[@]}" build/label-printer-setup
fi
echo "Sample firmware and font files to download: $PWD/build/download-samples" >&2
echo "Type 'plug 1401:5:VS-608K', 'unplug 5', 'deny 3' ... here to plug, pull and deny printers." >&2
exec "${display[@]}" build/sim/virtual-printers --log --commands -- build/label-printer-setup
