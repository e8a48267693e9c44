#!/usr/bin/env bash
# Installs the Debian packages the tool, its tests and its virtual printers need (as root).
set -euo pipefail
packages=(
  build-essential cmake pkg-config ccache
  qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
  libqt5sql5-sqlite libsqlite3-dev sqlite3
  libusb-1.0-0-dev umockdev libumockdev-dev
  libssl-dev openssl
  xvfb xauth fonts-wqy-microhei
  desktop-file-utils appstream lintian
  ansible-core zsh fish man-db
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
