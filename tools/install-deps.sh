#!/usr/bin/env bash
# Installs the Debian packages Quorvane needs to build, run and test.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

packages=(
  # building
  libgtkmm-3.0-dev libwebkit2gtk-4.1-dev libpango1.0-dev libboost-regex-dev libxml2-dev
  libcups2-dev libjpeg62-turbo-dev libxml2-utils libpng-dev zlib1g-dev libtiff-dev libglib2.0-dev-bin
  libgtest-dev libgmock-dev pkg-config cmake g++ clang
  # running and testing headless
  xvfb xauth xdotool cups printer-driver-cups-pdf poppler-utils ghostscript xclip
  fonts-ipafont-gothic python3 libjpeg-turbo-progs imagemagick desktop-file-utils appstream-util adwaita-icon-theme
  dbus-daemon groff-base x11-utils util-linux
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
