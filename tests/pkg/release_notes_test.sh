#!/usr/bin/env bash
# The project version is set once, in CMake; the release notes that carry it by hand must agree:
# CHANGELOG.md has an Unreleased section and a section for the version, the metainfo's newest
# release is the version with the same date, and the manual pages carry that date.
# usage: release_notes_test.sh SOURCE_DIR VERSION
set -euo pipefail
source=$1 version=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

changelog=$source/CHANGELOG.md
metainfo=$source/pkg/org.meridel.Meridel.metainfo.xml

grep -qx '## \[Unreleased\]' "$changelog" || fail "CHANGELOG.md has no \"## [Unreleased]\" section"
heading=$(grep -m1 -E '^## \[[0-9]' "$changelog" || true)
[[ "$heading" =~ ^'## ['([^]]+)'] - '([0-9]{4}-[0-9]{2}-[0-9]{2})$ ]] ||
  fail "CHANGELOG.md: the newest release heading \"$heading\" is not \"## [VERSION] - YYYY-MM-DD\""
changelog_version=${BASH_REMATCH[1]:-} changelog_date=${BASH_REMATCH[2]:-}
[ "$changelog_version" = "$version" ] ||
  fail "CHANGELOG.md: the newest release is \"$changelog_version\", the project version $version"

release=$(grep -m1 -o '<release version="[^"]*" date="[^"]*"' "$metainfo" || true)
[ "$release" = "<release version=\"$version\" date=\"$changelog_date\"" ] ||
  fail "metainfo: the newest release is ${release:-missing}, not version $version of $changelog_date"

for manual in "$source"/pkg/*.1.in; do
  grep -qE "^\.TH [A-Z-]+ 1 $changelog_date " "$manual" ||
    fail "$(basename "$manual"): the .TH date is not the release date $changelog_date"
done

[ $failures -eq 0 ] || exit 1
echo "release notes: version $version of $changelog_date everywhere"
