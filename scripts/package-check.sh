#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it with apt, runs the installed tool
# and removes the package again: what a technician's machine goes through. Run as root on a
# machine where the package is not installed (CI runs it on a fresh Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
package=label-printer-setup
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  echo "$package is installed on this machine already; not touching it." >&2
  exit 1
fi

build=build-package
# Debian's compiler and linker flags, with every hardening feature.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS" # CMake reads no CPPFLAGS
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLABELSETUP_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/"$package"_*.deb
(cd "$build" && cpack >/dev/null)
deb=$(realpath "$build"/"$package"_*.deb)
version=$(dpkg-deb -f "$deb" Version)
echo "Built $deb"
dpkg-deb -I "$deb"

lintian --fail-on error --display-info "$deb"

cleanup() { apt-get remove -y --purge "$package" >/dev/null 2>&1 || true; }
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
rule=$(dpkg -L "$package" | grep '/udev/rules\.d/.*\.rules$')
[ -f "$rule" ] || { echo "FAIL: no udev rule installed" >&2; exit 1; }

answer=$(env -u DISPLAY -u WAYLAND_DISPLAY label-printer-setup --version)
[ "$answer" = "$package $version" ] || { echo "FAIL: --version printed '$answer'" >&2; exit 1; }
echo "$answer"
# The installed tool starts its window (on a virtual X server) and keeps running until closed.
status=0
xvfb-run -a timeout 5 label-printer-setup 2>/dev/null || status=$?
[ "$status" -eq 124 ] || { echo "FAIL: the installed tool ended with status $status" >&2; exit 1; }

DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge "$package"
trap - EXIT
! command -v label-printer-setup >/dev/null || { echo "FAIL: still installed" >&2; exit 1; }
[ ! -e "$rule" ] || { echo "FAIL: $rule left behind" >&2; exit 1; }
echo "package check passed"
