#!/usr/bin/env bash
# On AVR the header's tables must stay in flash: RAM is 2 kB on an ATmega328P, and a table that
# lands in .data is copied there at start-up. Links a program that reads every table of a
# header with words and all six messages through pgm_read_byte, then asks avr-nm where each
# table went and avr-size how much RAM the program starts with.
# usage: avr_flash_test.sh MERIDEL_CLI
set -euo pipefail
cli=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$cli" --dds AD9851 --clock 180 --output 50.5 --mode JT65B --jt-message 'CQ K1ABC FN42' \
  --wspr-message 'K1ABC FN42 37' --fsk441-message K1ABC --pi4-message K1ABC/B \
  --cw-message 'K1ABC FN42' --rtty-message 'RYRY K1ABC' --format c --file "$scratch/dds_words.h"

# Every array of the header, by name: "static const uint8_t NAME[N] ...".
tables=$(sed -nE 's/^static const [a-z0-9_]+ ([A-Za-z0-9_]+)\[[0-9]*\].*/\1/p' "$scratch/dds_words.h")
count=$(wc -w <<<"$tables")
[ "$count" -ge 20 ] || { echo "FAIL: only $count tables found in the header" >&2; exit 1; }
{
  echo '#include "dds_words.h"'
  echo 'volatile uint8_t sink;'
  echo 'int main(void) {'
  for t in $tables; do
    echo "  for (unsigned i = 0; i < sizeof $t; ++i) sink = (uint8_t)(sink + pgm_read_byte(&$t[i]));"
  done
  echo '  return 0;'
  echo '}'
} >"$scratch/main.c"
avr-gcc -mmcu=atmega328p -Os -std=c99 -Wall -Wextra -Werror -I "$scratch" "$scratch/main.c" \
  -o "$scratch/beacon.elf"

failures=0
symbols=$(avr-nm "$scratch/beacon.elf")
for t in $tables; do
  # t/T: .text, which is flash; d/D/b/B would be RAM.
  type=$(awk -v name="$t" '$3 == name { print $2 }' <<<"$symbols")
  case "$type" in
    t | T) ;;
    *)
      echo "FAIL: $t is not in flash (avr-nm type '${type:-missing}')" >&2
      failures=$((failures + 1))
      ;;
  esac
done
# What start-up copies into RAM: nothing of the tables, whose smallest is one byte.
data=$(avr-size -A "$scratch/beacon.elf" | awk '$1 == ".data" { print $2 }')
[ "${data:-0}" -eq 0 ] || {
  echo "FAIL: the program starts with ${data} bytes of .data" >&2
  failures=$((failures + 1))
}
[ $failures -eq 0 ] || exit 1
echo "avr: $count tables in flash, .data ${data:-0} bytes"
