#!/usr/bin/env bash
# The C header compiles without a warning as C99 and C++ on the host, for AVR (atmega328p) and
# for ARM Cortex-M0+, with and without a message table (and its tone words), with a beacon
# cycle, with register writes, the Si5351's header, and three bands' headers with their own
# prefixes in one file; a host program that includes the header of the worked plan reads back
# the listing's bytes, and another checks each tone's bytes against the tone array.
# usage: header_compile_test.sh MERIDEL_CLI SAMPLE_HEADER LISTING
set -euo pipefail
cli=$1 sample=$2 listing=$3
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

mkdir -p "$scratch/listing" "$scratch/message"
"$cli" --ref-in 20 --pll 10 --output 50 --tone 1500 --shift 850 --comment "Test */ ??/" \
  --mode JT65B --format c --file "$scratch/listing/dds_words.h"
"$sample" AD9851 180 >"$scratch/message/dds_words.h"
mkdir -p "$scratch/cycle"
"$cli" --plan "$here/../../examples/iaru-mixed.toml" --format c --timer-hz 16000000 \
  --file "$scratch/cycle/dds_words.h"
# Register writes with a clock correction; the Si5351's own header.
mkdir -p "$scratch/registers" "$scratch/si5351"
"$cli" --dds AD9910 --clock 1000 --ref-mult 25 --output 144.4905 --wspr-message "K1ABC FN42 37" \
  --registers --amplitude 0.5 --ppb -300 --file "$scratch/registers/dds_words.h" 2>/dev/null
"$cli" --dds Si5351 --xtal 25 --output 144.4905 --wspr-message "K1ABC FN42 37" \
  --file "$scratch/si5351/dds_words.h"

# Three bands' headers, each with its own prefix, for one source file.
mkdir -p "$scratch/bands"
"$cli" --dds AD9910 --clock 1000 --output 144.4905 --wspr-message "K1ABC FN42 37" --registers \
  --name BAND_2M --file "$scratch/bands/band_2m.h" 2>/dev/null
"$cli" --ref-in 20 --pll 10 --output 50.2924 --format c --wspr-message "K1ABC FN42 37" \
  --cw-message K1ABC --registers --name BAND_6M --file "$scratch/bands/band_6m.h" 2>/dev/null
"$cli" --dds Si5351 --xtal 25 --output 14.0956 --wspr-message "K1ABC FN42 37" --name BAND_20M \
  --file "$scratch/bands/band_20m.h"

flags=(-Wall -Wextra -pedantic -Werror -c -o "$scratch/unit.o")
compilers=(
  "gcc -std=c99"
  "g++ -std=c++11 -x c++"
  "avr-gcc -mmcu=atmega328p -Os -std=c99"
  "arm-none-eabi-gcc -mcpu=cortex-m0plus -mthumb -std=c99"
)
compiled=0
for header in listing message cycle registers si5351 bands; do
  unit=$here/header_unit.c
  [ "$header" = si5351 ] && unit=$here/si5351_unit.c
  [ "$header" = bands ] && unit=$here/header_bands.c
  for compiler in "${compilers[@]}"; do
    # shellcheck disable=SC2086
    if $compiler "${flags[@]}" -I "$scratch/$header" "$unit" 2>"$scratch/errors"; then
      compiled=$((compiled + 1))
    else
      fail "$compiler on the $header header:"
      cat "$scratch/errors" >&2
    fi
  done
done

# Before or after the <avr/pgmspace.h> of avr-libc, or of an ARM core (the stand-in).
for compiler in "${compilers[@]}"; do
  core=(-I "$here/core_stand_in")
  case $compiler in avr-gcc*) core=() ;; esac
  for order in -DPGMSPACE_FIRST -DPGMSPACE_LAST; do
    # shellcheck disable=SC2086
    if $compiler "${flags[@]}" "$order" -I "$scratch/listing" "${core[@]}" \
      "$here/header_with_core.c" 2>"$scratch/errors"; then
      compiled=$((compiled + 1))
    else
      fail "$compiler $order with <avr/pgmspace.h>:"
      cat "$scratch/errors" >&2
    fi
  done
done

gcc -std=c99 -Wall -Wextra -pedantic -Werror -I "$scratch/listing" "$here/header_check.c" \
  -o "$scratch/check"
"$scratch/check" >"$scratch/read-back" || fail "the header's bytes and constants disagree"
{
  tr -d '\r' <"$listing" | sed -n 's/^\(0x[0-9A-F,x]*\) ;.*/\1/p'
  tr -d '\r' <"$listing" | sed -n 's/^AD9852 Control reg  \(0x[0-9A-Fx,]*\) .*/\1/p'
  tr -d '\r' <"$listing" | sed -n 's/^PHASE180  Constant  //p'
} >"$scratch/expected"
diff "$scratch/expected" "$scratch/read-back" >&2 || fail "the host program read other bytes than the listing's"

gcc -std=c99 -Wall -Wextra -pedantic -Werror -I "$scratch/message" "$here/tone_check.c" \
  -o "$scratch/tone-check"
"$scratch/tone-check" || fail "the tone words' bytes and their 64-bit array disagree"

[ $failures -eq 0 ] || exit 1
echo "header: $compiled compilations, $(wc -l <"$scratch/read-back") words read back as listed"
