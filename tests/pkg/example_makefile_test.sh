#!/usr/bin/env bash
# The README's Makefile example, run as the README says in a copy of examples/: it writes
# BEACON.INC with the reference listing of the 50 MHz plan (only the comment line differs), leaves
# an up-to-date file alone, regenerates it when the plan changes, and `make clean` removes it.
# usage: example_makefile_test.sh SOURCE_DIR MERIDEL_CLI REFERENCE_LISTING
set -euo pipefail
source=$(realpath "$1") cli=$(realpath "$2") reference=$(realpath "$3")
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin" "$scratch/examples"
ln -s "$cli" "$scratch/bin/meridel-cli"
cp "$source/examples/Makefile" "$scratch/examples/"
cd "$scratch"
export PATH="$scratch/bin:$PATH"

make -C examples >/dev/null || fail "make -C examples failed"
listing=examples/BEACON.INC
if [ -f $listing ]; then
  cmp -s <(sed 4d $listing) <(sed 4d "$reference") ||
    fail "BEACON.INC differs from the reference listing $(basename "$reference") beyond its comment line"
  [ "$(sed -n 4p $listing)" = $'    ;50 MHz beacon\r' ] ||
    fail "line 4 of BEACON.INC is \"$(sed -n 4p $listing)\", not the Makefile's comment"
else
  fail "make -C examples wrote no BEACON.INC"
fi

make -q -C examples >/dev/null || fail "make -q: BEACON.INC is not up to date right after make"
# A plan edited after the listing was written.
touch -d '-1 minute' $listing
sed -i 's/^MODE    = JT65B$/MODE    = JT4A/' examples/Makefile
status=0
make -q -C examples >/dev/null || status=$?
[ $status -eq 1 ] || fail "make -q after editing the plan returned $status, not 1 (out of date)"
make -C examples >/dev/null || fail "make -C examples failed after editing the plan"
grep -q '; JT4A Interval' $listing || fail "BEACON.INC was not regenerated for JT4A"

make -C examples clean >/dev/null || fail "make clean failed"
[ ! -e $listing ] || fail "make clean left BEACON.INC"

[ $failures -eq 0 ] || exit 1
echo "example Makefile: writes, keeps, regenerates and cleans BEACON.INC"
