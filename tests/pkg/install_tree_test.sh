#!/usr/bin/env bash
# `cmake --install` into a scratch prefix, then checks what a user's machine would get: both
# programs printing the project version, the compressed manual page that groff reads without a
# warning, the desktop entry and metainfo passing their validators, and the icons in the hicolor
# theme. usage: install_tree_test.sh BUILD_DIR VERSION WINDOW(0|1)
set -euo pipefail
build=$1 version=$2 window=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...: runs the command, reports it when it fails
  local what=$1
  shift
  if ! "$@"; then
    echo "FAIL: $what" >&2
    failures=$((failures + 1))
  fi
}
is_file() { [ -f "$prefix/$1" ]; }

cmake --install "$build" --prefix "$prefix" >/dev/null

check "bin/meridel-cli is installed" is_file bin/meridel-cli
# Debian's policy: the system's libstdc++, no private copy (unless a local build asked for one).
if ! grep -q '^MERIDEL_STATIC_CXX_RUNTIME:BOOL=ON$' "$build/CMakeCache.txt"; then
  check "bin/meridel-cli links libstdc++ dynamically" \
    grep -q 'NEEDED.*libstdc++\.so' <<<"$(readelf -d "$prefix/bin/meridel-cli")"
fi
check "the installed meridel-cli prints version $version" \
  test "$("$prefix/bin/meridel-cli" --version)" = "meridel-cli $version"
check "share/man/man1/meridel-cli.1.gz is installed" is_file share/man/man1/meridel-cli.1.gz
manual_page_formats() {  # manual_page_formats NAME: it names the version, groff has no warning
  local manual
  manual=$(gzip -dc "$prefix/share/man/man1/$1.1.gz") &&
    grep -q "\"MERIDEL $version\"" <<<"$manual" &&
    test -z "$(groff -man -ww -z <<<"$manual" 2>&1)"
}
check "the manual page meridel-cli.1.gz names version $version and formats without a warning" \
  manual_page_formats meridel-cli
check "share/doc/meridel/changelog.gz is a Debian change log of version $version" \
  grep -q "^meridel ($version) " <<<"$(gzip -dc "$prefix/share/doc/meridel/changelog.gz")"
check "share/doc/meridel/copyright is the license" is_file share/doc/meridel/copyright
for plan in iaru-mixed jt4-cw jt65-cw wspr cw-carrier; do
  check "share/doc/meridel/examples/$plan.toml keeps every beacon rule" \
    "$prefix/bin/meridel-cli" --plan "$prefix/share/doc/meridel/examples/$plan.toml" --check >/dev/null
done

id=org.meridel.Meridel
if [ "$window" = 1 ]; then
  check "bin/meridel is installed" is_file bin/meridel
  check "the manual page meridel.1.gz names version $version and formats without a warning" \
    manual_page_formats meridel
  check "the installed meridel prints version $version" \
    test "$("$prefix/bin/meridel" --version)" = "meridel $version"
  desktop=share/applications/$id.desktop
  metainfo=share/metainfo/$id.metainfo.xml
  check "$desktop is installed" is_file "$desktop"
  check "desktop-file-validate accepts $desktop" desktop-file-validate "$prefix/$desktop"
  check "$desktop starts meridel" \
    grep -qx -e "Exec=meridel" "$prefix/$desktop"
  check "$desktop names the icon $id" grep -qx "Icon=$id" "$prefix/$desktop"
  check "$metainfo is installed" is_file "$metainfo"
  check "appstreamcli validate --no-net accepts $metainfo" \
    appstreamcli validate --no-net "$prefix/$metainfo"
  check "$metainfo launches $id.desktop" \
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/$metainfo"
  png=share/icons/hicolor/32x32/apps/$id.png
  svg=share/icons/hicolor/scalable/apps/$id.svg
  check "$png is a 32 x 32 PNG" grep -q "PNG image data, 32 x 32" <<<"$(file "$prefix/$png")"
  check "$svg is an SVG image" grep -q "SVG" <<<"$(file "$prefix/$svg")"
else
  check "without the window nothing of it is installed" \
    test ! -e "$prefix/bin/meridel" -a ! -e "$prefix/share/applications"
fi

[ $failures -eq 0 ] || exit 1
echo "install tree: all checks passed"
