/* A firmware unit that includes the Si5351 header: it compiles without a warning everywhere the
 * DDS header does, and a symbol's table starts with the PLL A register it writes. */
#include <stdint.h>

#include "dds_words.h"

uint8_t si5351_first_register(void);

uint8_t si5351_first_register(void) {
    return (uint8_t)(SI5351_I2C_ADDRESS == 0x60 ? SI5351_SSB_CARRIER[0] : SI5351_SETUP[0]);
}
