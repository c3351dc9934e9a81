/* Steps through the event table of a generated header as a firmware does, and checks every
 * event against the table it names: the index within its symbols, the tone within its tone
 * words, the tone the symbol asks for, a tone loaded exactly when the key is down. Built with
 * the address and undefined-behaviour sanitizers, a read outside a table stops it as well. */
#include <stddef.h>
#include <stdio.h>

#include "dds_words.h"

#define ELEMENTS(array) (sizeof(array) / sizeof((array)[0]))

struct table {
    const uint8_t *symbols;
    size_t symbol_count;
    const unsigned char *tone_words; /* the table's own word per tone */
    size_t tone_count, tone_size;
    int keys; /* cw: the symbols are key states, not tones */
};

#define TABLE(KEY, KEYS)                                                               \
    {DDS_MSG_##KEY##_SYMBOLS, DDS_MSG_##KEY##_SYMBOL_COUNT,                            \
     (const unsigned char *)DDS_MSG_##KEY##_TONE_FTW, DDS_MSG_##KEY##_TONE_COUNT,       \
     sizeof(DDS_MSG_##KEY##_TONE_FTW[0]), KEYS}

/* Only the tables the plan has; a number without one stays empty. */
static const struct table tables[] = {
#ifdef DDS_MSG_JT_SYMBOL_COUNT
    [DDS_TABLE_JT] = TABLE(JT, 0),
#endif
#ifdef DDS_MSG_WSPR_SYMBOL_COUNT
    [DDS_TABLE_WSPR] = TABLE(WSPR, 0),
#endif
#ifdef DDS_MSG_FSK441_SYMBOL_COUNT
    [DDS_TABLE_FSK441] = TABLE(FSK441, 0),
#endif
#ifdef DDS_MSG_PI4_SYMBOL_COUNT
    [DDS_TABLE_PI4] = TABLE(PI4, 0),
#endif
#ifdef DDS_MSG_CW_SYMBOL_COUNT
    [DDS_TABLE_CW] = TABLE(CW, 1),
#endif
#ifdef DDS_MSG_RTTY_SYMBOL_COUNT
    [DDS_TABLE_RTTY] = TABLE(RTTY, 0),
#endif
    [DDS_TABLE_CARRIER] = {NULL, 0, NULL, 1, 0, 0},
};

static int failures;

static void fail(unsigned event, const char *what, unsigned value) {
    if (++failures <= 10) fprintf(stderr, "event %u: %s (%u)\n", event, what, value);
}

int main(void) {
    volatile unsigned char sink = 0;
    for (unsigned i = 0; i < DDS_EVENT_COUNT; i++) {
        const unsigned kind = DDS_EVENT_KIND[i], number = DDS_EVENT_TABLE[i];
        const unsigned index = DDS_EVENT_INDEX[i], tone = DDS_EVENT_TONE[i];
        const unsigned down = DDS_EVENT_KEY[i];
        if (kind > DDS_KIND_END) fail(i, "no such kind", kind);
        if (i > 0 && DDS_EVENT_AT_US[i] < DDS_EVENT_AT_US[i - 1]) fail(i, "before the last", i);
        if ((tone != DDS_TONE_NONE) != (down == 1)) fail(i, "a tone without the key down", tone);
        if (number == DDS_TABLE_NONE) {
            if (tone != DDS_TONE_NONE) fail(i, "a tone of no table", tone);
            continue;
        }
        if (number >= ELEMENTS(tables) || tables[number].tone_count == 0) {
            fail(i, "a table the header does not have", number);
            continue;
        }
        const struct table *t = &tables[number];
        if (tone != DDS_TONE_NONE && tone >= t->tone_count) fail(i, "tone past its table", tone);
        if (tone != DDS_TONE_NONE && t->tone_words) sink ^= t->tone_words[tone * t->tone_size];
        if (kind == DDS_KIND_END) continue; /* it loads nothing: no symbol to check */
        if (!t->symbols) {
            if (index != 0) fail(i, "an index into the carrier", index);
            continue;
        }
        if (index >= t->symbol_count) {
            fail(i, "index past its symbols", index);
            continue;
        }
        const unsigned symbol = pgm_read_byte(&t->symbols[index]);
        if (t->keys && symbol != down) fail(i, "a key change the symbols do not make", symbol);
        if (!t->keys && number != DDS_TABLE_RTTY && tone != DDS_TONE_NONE && tone != symbol) {
            fail(i, "another tone than its symbol's", tone);
        }
    }
    printf("%u events walked, %d out of place\n", (unsigned)DDS_EVENT_COUNT, failures);
    return failures ? 1 : (int)(sink & 0);
}
