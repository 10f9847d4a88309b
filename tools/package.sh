#!/usr/bin/env bash
# Builds the Debian package quorvane_<version>_amd64.deb from this tree: the
# program with its desktop entry, AppStream metainfo, icons, manual page and
# pages, installed under /usr. dpkg-shlibdeps decides the run-time
# dependencies from the libraries the program links.
#
#   tools/package.sh [--build-dir DIR] [--out DIR]
#
# Without --build-dir the program is configured and built into build/ first
# (as tools/build.sh does); with it, DIR must hold a built program. The
# package is written into --out (default: this folder) and its path printed
# on the last line.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=""
out=$top
while [ $# -gt 0 ]; do
    case $1 in
    --build-dir) build=$(cd "$2" && pwd); shift 2 ;;
    --out) out=$(cd "$2" && pwd); shift 2 ;;
    *) echo "usage: $0 [--build-dir DIR] [--out DIR]" >&2; exit 2 ;;
    esac
done

for tool in dpkg-deb dpkg-shlibdeps strip; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run tools/install-deps.sh" >&2; exit 1; }
done
if [ -z "$build" ]; then
    "$top/tools/install-deps.sh"
    build=$top/build
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)" --target quorvane
fi
[ -x "$build/quorvane" ] || { echo "no program in $build: build it first" >&2; exit 1; }

version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
arch=$(dpkg --print-architecture)
deb=$out/quorvane_${version}_${arch}.deb

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
cmake --install "$build" --prefix "$root/usr" >/dev/null

# Laid out as Debian's policy asks: a stripped program, compressed manual
# page, a copyright file and a changelog.
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/quorvane"
gzip -9n "$root/usr/share/man/man1/quorvane.1"
doc=$root/usr/share/doc/quorvane
mkdir -p "$doc"
when=$(git -C "$top" log -1 --format=%cD 2>/dev/null || date -R)
cat >"$work/changelog" <<EOF
quorvane ($version) unstable; urgency=medium

  * Built from the Quorvane source tree.

 -- Brackwater <quorvane@brackwater.invalid>  $when
EOF
gzip -9n -c "$work/changelog" >"$doc/changelog.gz"
cat >"$doc/copyright" <<EOF
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quorvane
Source: Brackwater

Files: *
Copyright: 2026 Brackwater
License: proprietary
 All rights reserved.
EOF
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root/usr/bin/quorvane"

# dpkg-shlibdeps reads the package names from a control file of a source
# tree; this one names only the package being built.
mkdir -p "$work/debian"
printf 'Source: quorvane\n\nPackage: quorvane\nArchitecture: any\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O -e"$root/usr/bin/quorvane" 2>"$work/shlibdeps.log" |
    sed -n 's/^shlibs:Depends=//p') || { cat "$work/shlibdeps.log" >&2; exit 1; }
[ -n "$depends" ] || { echo "dpkg-shlibdeps found no dependencies" >&2; cat "$work/shlibdeps.log" >&2; exit 1; }
rm -rf "$work/debian"

mkdir -p "$root/DEBIAN"
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
cat >"$root/DEBIAN/control" <<EOF
Package: quorvane
Version: $version
Architecture: $arch
Maintainer: Brackwater <quorvane@brackwater.invalid>
Installed-Size: $size
Depends: $depends
Recommends: fonts-ipafont-gothic | fonts-noto-cjk, cups-client, bubblewrap, xdg-dbus-proxy
Section: graphics
Priority: optional
Description: print web maps as posters across several sheets
 Quorvane is a browser built for one job: it holds a web page at an exact
 pixel size, lets you trim its margins, captures the kept area exactly as
 rendered and prints it across several sheets as a poster, saves it as an
 image file (JPEG, PNG, TIFF, BMP) or copies it to the clipboard.
EOF
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
