/* The header and a core's <avr/pgmspace.h> in either order (PGMSPACE_FIRST or not): neither may
 * redefine what the other defined. */
#ifdef PGMSPACE_FIRST
#include <avr/pgmspace.h>
#endif
#include "dds_words.h"
#ifndef PGMSPACE_FIRST
#include <avr/pgmspace.h>
#endif

uint8_t dds_read_first(void);

uint8_t dds_read_first(void) {
    return pgm_read_byte(&DDS_SSB_CARRIER_BYTES[0]);
}
