/* Runs on the host with a header that holds a WSPR table: every tone's bytes equal its entry
 * in the symbol-indexed array, read through its accessor, and neighbouring tones climb. */
#include <stdio.h>

#include "dds_words.h"

static unsigned long long bytesValue(const uint8_t *bytes) {
    unsigned long long value = 0;
    size_t i;
    for (i = 0; i < DDS_WORD_BYTES; ++i) value = (value << 8) | pgm_read_byte(&bytes[i]);
    return value;
}

int main(void) {
    const uint8_t *tones[4] = {DDS_MSG_WSPR_TONE_0_BYTES, DDS_MSG_WSPR_TONE_1_BYTES,
                               DDS_MSG_WSPR_TONE_2_BYTES, DDS_MSG_WSPR_TONE_3_BYTES};
    int failures = 0;
    unsigned n;
    if (DDS_MSG_WSPR_TONE_COUNT != 4) ++failures;
    for (n = 0; n < 4; ++n) {
        if (bytesValue(tones[n]) != DDS_MSG_WSPR_TONE_FTW_AT(n)) {
            fprintf(stderr, "tone %u: bytes and array differ\n", n);
            ++failures;
        }
        if (n > 0 && !(DDS_MSG_WSPR_TONE_FTW_AT(n) > DDS_MSG_WSPR_TONE_FTW_AT(n - 1))) {
            fprintf(stderr, "tone %u does not climb\n", n);
            ++failures;
        }
    }
    return failures;
}
