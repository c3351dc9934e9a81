#!/usr/bin/env bash
# CI's strictness: scripts/run-tests fails on a skipped test only with CI=true, and
# scripts/mutation-check --plant-only fails on a bug whose line has drifted.
# usage: ci_strictness_test.sh SOURCE_DIR
set -uo pipefail
source=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$scratch/project"
cat >"$scratch/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(strictness NONE)
enable_testing()
add_test(NAME runs COMMAND true)
add_test(NAME skips COMMAND sh -c "exit 77")
set_tests_properties(skips PROPERTIES SKIP_RETURN_CODE 77)
CMAKE
cmake -S "$scratch/project" -B "$scratch/build" >/dev/null || fail "cmake"
CI= "$source/scripts/run-tests" "$scratch/build" >/dev/null 2>&1 || fail "a skip failed a run without CI"
CI=true "$source/scripts/run-tests" "$scratch/build" >/dev/null 2>&1 && fail "a skip passed with CI=true"
CI=true "$source/scripts/run-tests" "$scratch/build" -R '^runs$' >/dev/null 2>&1 ||
  fail "CI=true failed a run without a skip"

# A copy of the script over a source tree where one bug's line reads otherwise.
mkdir -p "$scratch/tree/scripts"
cp "$source/scripts/mutation-check" "$scratch/tree/scripts/"
cp -r "$source/src" "$scratch/tree/src"
"$scratch/tree/scripts/mutation-check" --plant-only >/dev/null || fail "the bugs do not all land"
sed -i 's/kFigs = 0x1B/kFigs = 27/' "$scratch/tree/src/modes/rtty.cpp"
out=$(MERIDEL_MUTATIONS=T15 "$scratch/tree/scripts/mutation-check" --plant-only) &&
  fail "a drifted bug passed"
[[ "$out" == *"T15 NOT PLANTED"* ]] || fail "the drifted bug is not named: $out"
echo "ok"
