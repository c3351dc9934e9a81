#!/usr/bin/env bash
# The event table of every example plan, stepped through on the host by a program built with the
# address and undefined-behaviour sanitizers: no event points outside the table it names. And two
# plans' headers under their own prefixes compile together.
# usage: event_walk_test.sh MERIDEL_CLI EXAMPLES_DIR
set -euo pipefail
cli=$1 examples=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
plans=0
for plan in "$examples"/*.toml; do
  name=$(basename "$plan" .toml)
  mkdir -p "$scratch/$name"
  "$cli" --plan "$plan" --format c --timer-hz 16000000 >"$scratch/$name/dds_words.h"
  gcc -std=c99 -g -Wall -Wextra -pedantic -Werror -fsanitize=address,undefined \
    -fno-sanitize-recover=all -I "$scratch/$name" "$here/event_walk.c" -o "$scratch/$name/walk"
  if ! out=$("$scratch/$name/walk" 2>&1); then
    echo "FAIL: $name: $out" >&2
    failures=$((failures + 1))
  fi
  plans=$((plans + 1))
  echo "$name: ${out%%$'\n'*}"
done
[ "$plans" -ge 5 ] || { echo "FAIL: only $plans example plans in $examples" >&2; exit 1; }

# Two bands' headers, each under its own prefix, in one firmware unit.
"$cli" --plan "$examples/iaru-mixed.toml" --format c --name BAND_6M --timer-hz 16000000 \
  >"$scratch/band_6m.h"
"$cli" --plan "$examples/wspr.toml" --format c --name BAND_2M --timer-hz 16000000 >"$scratch/band_2m.h"
printf '#include "band_6m.h"\n#include "band_2m.h"\nunsigned events(void);\n%s\n' \
  'unsigned events(void) { return BAND_6M_EVENT_COUNT + BAND_2M_EVENT_COUNT; }' >"$scratch/both.c"
if ! gcc -std=c99 -Wall -Wextra -pedantic -Werror -c -I "$scratch" "$scratch/both.c" \
  -o "$scratch/both.o"; then
  echo "FAIL: two headers with their own prefixes do not compile in one unit" >&2
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
