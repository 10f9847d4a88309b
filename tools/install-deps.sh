#!/usr/bin/env bash
# Installs the Debian packages Quorvane needs to build, run, test and
# package, on Debian 12 (bookworm) and Debian 13 (trixie).
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

# "a|b": the first of these that the release has (the names differ between
# releases); any of them installed is enough.
packages=(
  # building
  libglibmm-2.4-dev libgtkmm-3.0-dev libwebkit2gtk-4.1-dev libpango1.0-dev libboost-regex-dev libxml2-dev libqpdf-dev
  libcups2-dev "libjpeg62-turbo-dev|libjpeg-dev" libxml2-utils libpng-dev zlib1g-dev libtiff-dev
  libglib2.0-dev-bin libgtest-dev libgmock-dev pkg-config cmake g++ clang
  # running and testing headless
  xvfb xauth xdotool cups printer-driver-cups-pdf poppler-utils ghostscript xclip
  fonts-ipafont-gothic python3 libjpeg-turbo-progs imagemagick desktop-file-utils "appstream-util|appstream"
  adwaita-icon-theme dbus-daemon groff-base x11-utils util-linux locales
  # packaging (tools/package.sh) and checking the package
  dpkg-dev binutils lintian
  # the web process sandbox
  bubblewrap xdg-dbus-proxy
  # WebGL without a GPU (under Xvfb): Mesa's software renderer
  libgl1-mesa-dri libegl-mesa0
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# The first alternative with an installation candidate.
available() {
  local p
  for p in ${1//|/ }; do
    apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: [^(]' && { echo "$p"; return 0; }
  done
  echo "${1%%|*}"
}

missing=()
for entry in "${packages[@]}"; do
  found=""
  for p in ${entry//|/ }; do
    installed "$p" && { found=1; break; }
  done
  [ -n "$found" ] || missing+=("$entry")
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  names=()
  for entry in "${missing[@]}"; do
    names+=("$(available "$entry")")
  done
  echo "Installing: ${names[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${names[@]}"
fi

# The tests run the program in Japanese (LANG=ja_JP.UTF-8), which the C
# library knows only once the locale is generated.
if ! locale -a 2>/dev/null | grep -qx 'ja_JP\.utf8'; then
  echo "Generating the locale ja_JP.UTF-8"
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi
