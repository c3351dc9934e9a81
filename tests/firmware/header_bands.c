/* A firmware for three bands includes each band's header, each made with its own --name: no
 * macro, table or guard of one may clash with another's. Compiled (not run) by every compiler of
 * the header test. */
#include "band_2m.h"
#include "band_6m.h"
#include "band_20m.h"

uint32_t band_words(uint8_t symbol);

uint32_t band_words(uint8_t symbol) {
    const uint8_t tone = pgm_read_byte(&BAND_2M_MSG_WSPR_SYMBOLS[symbol % BAND_2M_MSG_WSPR_SYMBOL_COUNT]);
    return (uint32_t)BAND_2M_MSG_WSPR_TONE_FTW_AT(tone) ^
           (uint32_t)BAND_6M_MSG_WSPR_TONE_FTW_AT(tone % BAND_6M_MSG_WSPR_TONE_COUNT) ^
           pgm_read_byte(&BAND_20M_SETUP[0]) ^ BAND_2M_WORD_BITS ^ BAND_6M_WORD_BITS;
}
