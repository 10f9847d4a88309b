#!/usr/bin/env bash
# tools/package.sh makes a Debian package of the built program (build folder
# in $1) that holds what an installed program needs, under /usr only, with
# run-time dependencies from dpkg-shlibdeps, and that lintian finds no error
# in. Without lintian the verdict cannot be had: the test is skipped (77).
set -euo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
command -v lintian >/dev/null || { echo "SKIP: lintian is not installed (tools/install-deps.sh installs it)"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$("$top/tools/package.sh" --build-dir "$build" --out "$out" | tail -n1)
version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
[ "$deb" = "$out/quorvane_${version}_amd64.deb" ] || fail "package named $deb"

[ "$(dpkg-deb -f "$deb" Package)" = quorvane ] || fail "Package: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version: $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libgtk-3-0 libwebkit2gtk-4.1-0 libcups2 libqpdf; do
    grep -Eq "(^|, )$lib[a-z0-9]* \((>=|>>) " <<<"$depends" || fail "no versioned dependency on $lib: $depends"
done

contents=$(dpkg-deb -c "$deb")
paths=$(awk '{print $6}' <<<"$contents")
for path in ./usr/bin/quorvane ./usr/share/applications/org.brackwater.Quorvane.desktop \
    ./usr/share/metainfo/org.brackwater.Quorvane.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/org.brackwater.Quorvane.svg \
    ./usr/share/icons/hicolor/48x48/apps/org.brackwater.Quorvane.png \
    ./usr/share/man/man1/quorvane.1.gz ./usr/share/quorvane/pages/home.html \
    ./usr/share/quorvane/pages/usage.html ./usr/share/doc/quorvane/copyright \
    ./usr/share/doc/quorvane/changelog.gz; do
    grep -qx "$path" <<<"$paths" || fail "$path is not in the package"
done
outside=$(grep -v -e '^\./$' -e '^\./usr/' <<<"$paths" || true)
[ -z "$outside" ] || fail "installed outside /usr: $outside"
owners=$(awk '{print $2}' <<<"$contents" | sort -u)
[ "$owners" = root/root ] || fail "owned by $owners"

# --fail-on error: warnings are reported, only errors fail.
lintian --fail-on error --no-tag-display-limit "$deb" >"$out/lintian.log" 2>&1 || {
    cat "$out/lintian.log" >&2
    fail "lintian found errors"
}
cat "$out/lintian.log"
echo "$(basename "$deb"): $(wc -l <<<"$paths") paths; lintian: no errors"
