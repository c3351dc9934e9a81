/* Runs on the host with the header of the worked listing: checks that every word's bytes and
 * its ULL constant agree, and prints the bytes the way the listing spells them (interval words
 * by their low four bytes), then the control register and the phase constant. */
#include <stdio.h>

#include "dds_words.h"

static int failures = 0;

static void word(const char *name, const uint8_t *bytes, size_t size, unsigned long long ftw,
                 size_t shown) {
    unsigned long long value = 0;
    size_t i;
    for (i = 0; i < size; ++i) value = (value << 8) | pgm_read_byte(&bytes[i]);
    if (value != ftw) {
        fprintf(stderr, "%s: bytes 0x%llX, constant 0x%llX\n", name, value, ftw);
        ++failures;
    }
    for (i = size - shown; i < size; ++i) printf(i + 1 < size ? "0x%02X," : "0x%02X\n", bytes[i]);
}

#define TONE(id) word(#id, DDS_##id##_BYTES, sizeof DDS_##id##_BYTES, DDS_##id##_FTW, 6)
#define INTERVAL(id) word(#id, DDS_##id##_BYTES, sizeof DDS_##id##_BYTES, DDS_##id##_FTW, 4)

int main(void) {
    TONE(FSK441_TONE_0);
    TONE(FSK441_TONE_1);
    TONE(FSK441_TONE_2);
    TONE(FSK441_TONE_3);
    TONE(SSB_CARRIER);
    TONE(JT_SYNC);
    TONE(SINGLE_TONE);
    TONE(RTTY_MARK);
    TONE(RTTY_SPACE);
    TONE(WSPR_BASE);
    INTERVAL(FSK441_INTERVAL);
    INTERVAL(JT_SYNC_OFFSET);
    INTERVAL(JT65_INTERVAL);
    INTERVAL(WSPR_INTERVAL);
    word("CONTROL_REGISTER", DDS_CONTROL_REGISTER_BYTES, 4, 0x104A0060ULL, 4);
    word("PHASE180", DDS_PHASE180_BYTES, 2, DDS_PHASE180, 2);
    if (DDS_WORD_BITS != 48 || DDS_WORD_BYTES != 6) ++failures;
    return failures;
}
