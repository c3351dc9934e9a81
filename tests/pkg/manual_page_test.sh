#!/usr/bin/env bash
# The manual page describes the meridel-cli that is built: the same options as --help, in both
# directions, every exit status that --help names, and examples that run.
# usage: manual_page_test.sh MERIDEL_CLI MANUAL_PAGE
set -euo pipefail
cli=$1 manual=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

help=$("$cli" --help)
help_options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
# An option entry is the line after .TP: ".B \-\-json" or ".BI \-\-pll " TEXT"".
manual_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /{/^\.TP/{n;p}}' "$manual" |
  sed -nE 's/^\.BI? \\-\\-([a-z-]+).*/--\1/p' | sort -u)
[ -n "$manual_options" ] || fail "no option entries under .SH OPTIONS"
for option in $help_options; do
  grep -qx -- "$option" <<<"$manual_options" || fail "$option of --help has no entry in the manual page"
done
for option in $manual_options; do
  grep -qx -- "$option" <<<"$help_options" || fail "the manual page documents $option, which --help does not know"
done

statuses=$(grep -i 'exit status' <<<"$help" | grep -oE '\b[0-9]+\b' | sort -u)
[ -n "$statuses" ] || fail "--help names no exit status"
for status in $statuses; do
  sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$manual" | grep -qx "\.B $status" ||
    fail "exit status $status of --help has no entry under .SH EXIT STATUS"
done

# Each .EX block holds one command; "\e" ends a continued line, "\-" is a hyphen.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin"
ln -s "$(realpath "$cli")" "$scratch/bin/meridel-cli"
examples=0
while IFS= read -r -d '' command; do
  examples=$((examples + 1))
  (cd "$scratch" && PATH="$scratch/bin:$PATH" bash -c "$command" >/dev/null) ||
    fail "the example \"$command\" failed"
done < <(sed -n '/^\.EX/,/^\.EE/p' "$manual" | awk '
  /^\.EX/ { command = ""; next }
  /^\.EE/ { printf "%s%c", command, 0; next }
  { line = $0; gsub(/\\-/, "-", line); sub(/^ +/, "", line)
    sub(/ *\\e$/, " ", line); command = command line }')
[ $examples -gt 0 ] || fail "the manual page has no example"

[ $failures -eq 0 ] || exit 1
echo "manual page: $(wc -w <<<"$help_options") options, statuses $(tr "\n" " " <<<"$statuses"), $examples examples"
