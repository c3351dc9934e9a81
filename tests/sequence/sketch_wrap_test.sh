#!/usr/bin/env bash
# The README's Arduino sketch, built for the host against a stand-in core with a simulated clock
# and its header made by the README's command, runs from its reset to past the wrap of millis():
# every transmission starts four minutes after the one before, across the wrap too.
# usage: sketch_wrap_test.sh MERIDEL_CLI README
set -euo pipefail
cli=$1 readme=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
awk '/^An Arduino \(AVR\) sketch/ { found = 1 }
     found && /^```c$/ { inside = 1; next }
     inside && /^```$/ { exit }
     inside { print }' "$readme" >"$scratch/sketch.cpp"
grep -q 'void loop()' "$scratch/sketch.cpp" || { echo "FAIL: no sketch in $readme" >&2; exit 1; }
"$cli" --dds AD9851 --clock 180 --ref-mult 6 --output 14.0971 --wspr-message "K1ABC FN42 37" \
  --file "$scratch/beacon.h"
g++ -std=c++17 -O2 -Wall -Wextra -Werror -I "$here/sketch_clock" -I "$scratch" \
  "$scratch/sketch.cpp" "$here/sketch_clock/clock.cpp" -o "$scratch/sketch"
"$scratch/sketch"
