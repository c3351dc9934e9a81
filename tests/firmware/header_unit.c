/* A firmware unit that includes the generated header and reads from it the way an AVR sketch
 * does, through pgm_read_byte. Compiled (not run) by every compiler of the header test. */
#include "dds_words.h"

uint8_t dds_first_byte(void);
uint8_t dds_first_symbol(void);
uint8_t dds_last_event_kind(void);

uint8_t dds_first_byte(void) {
    return pgm_read_byte(&DDS_SSB_CARRIER_BYTES[0]);
}

uint8_t dds_first_symbol(void) {
#ifdef DDS_MSG_WSPR_SYMBOL_COUNT
    return pgm_read_byte(&DDS_MSG_WSPR_SYMBOLS[DDS_MSG_WSPR_SYMBOL_COUNT - 1]);
#else
    return (uint8_t)(DDS_PHASE180 & 0xFF);
#endif
}

uint8_t dds_last_event_kind(void) {
#ifdef DDS_EVENT_COUNT
    return pgm_read_byte(&DDS_EVENT_KIND[DDS_EVENT_COUNT - 1]);
#else
    return 0;
#endif
}

#ifdef DDS_MSG_WSPR_TONE_COUNT
uint8_t dds_tone_byte(uint8_t symbol);

/* A symbol picks its tone's own word through the table's accessor. */
uint8_t dds_tone_byte(uint8_t symbol) {
    const uint64_t word = DDS_MSG_WSPR_TONE_FTW_AT(symbol % DDS_MSG_WSPR_TONE_COUNT);
    return (uint8_t)(pgm_read_byte(&DDS_MSG_WSPR_TONE_3_BYTES[0]) ^ (word >> 8));
}
#endif
