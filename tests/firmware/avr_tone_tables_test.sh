#!/usr/bin/env bash
# Every per-tone table of the C header, read through its _TONE_FTW_AT accessor by a program built
# with avr-gcc and run on an emulated ATmega328P (simavr), holds the words --json gives: for a
# 32-bit, a 28-bit and two 48-bit chips, with all six messages. Indexing a table directly reads
# RAM at the flash address on AVR, which this catches.
# usage: avr_tone_tables_test.sh MERIDEL_CLI
set -euo pipefail
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

gcc -std=gnu99 -Wall -Wextra -Werror -I/usr/include/simavr "$here/avr_console.c" -lsimavr \
  -o "$scratch/console"

messages=(--jt-message 'CQ K1ABC FN42' --wspr-message 'K1ABC FN42 37' --fsk441-message K1ABC
  --pi4-message K1ABC/B --cw-message 'K1ABC FN42' --rtty-message 'RYRY K1ABC')
plans=(
  "DDS --dds AD9851 --clock 180 --ref-mult 6 --output 14.0971 --mode JT65B"
  "DDS --dds AD9833 --clock 25 --output 1.8366 --mode JT4A"
  "BAND_70CM --dds AD9912 --clock 1000 --output 432.1 --rf-mult 9 --mode JT65C --name BAND_70CM"
  "DDS --ref-in 20 --pll 10 --output 50.4702 --format c --mode JT4G"
)
failures=0
for plan in "${plans[@]}"; do
  read -r prefix options <<<"$plan"
  # shellcheck disable=SC2086
  "$cli" $options "${messages[@]}" --json >"$scratch/run.json"
  jq -r .listing "$scratch/run.json" >"$scratch/dds_words.h"
  jq -r '.messages | to_entries[] | .key as $k | .value.tones[] | "\($k) \(.tone) \(.ftw)"' \
    "$scratch/run.json" | while read -r key tone ftw; do
    printf '%s %s %016x\n' "$key" "$tone" "$ftw"
  done >"$scratch/expected"
  {
    cat <<'C'
#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>

#include "dds_words.h"

static void put(char c) {
    GPIOR0 = (uint8_t)c;
}

/* "wspr 3 0000000012345678": the table, the tone and its word in hexadecimal. */
static void line(const char *key, unsigned tone, uint64_t word) {
    int shift;
    while (*key) put(*key++);
    put(' ');
    if (tone >= 10) put((char)('0' + tone / 10));
    put((char)('0' + tone % 10));
    put(' ');
    for (shift = 60; shift >= 0; shift -= 4) put("0123456789abcdef"[(word >> shift) & 15]);
    put('\n');
}

int main(void) {
    unsigned n;
C
    for key in $(jq -r '.messages | keys_unsorted[]' "$scratch/run.json"); do
      table=${prefix}_MSG_${key^^}_TONE
      echo "    for (n = 0; n < ${table}_COUNT; ++n) line(\"$key\", n, ${table}_FTW_AT(n));"
    done
    echo '    cli();'
    echo '    sleep_enable();'
    echo '    sleep_cpu();'
    echo '    return 0;'
    echo '}'
  } >"$scratch/main.c"
  avr-gcc -mmcu=atmega328p -Os -std=c99 -Wall -Wextra -pedantic -Werror -I "$scratch" \
    "$scratch/main.c" -o "$scratch/tones.elf"
  "$scratch/console" "$scratch/tones.elf" "$scratch/read" >/dev/null
  if ! diff "$scratch/expected" "$scratch/read" >&2; then
    echo "FAIL: $options: the AVR read other words than --json gives" >&2
    failures=$((failures + 1))
  fi
  echo "$options: $(wc -l <"$scratch/read") tone words read on the AVR"
done
[ $failures -eq 0 ]
