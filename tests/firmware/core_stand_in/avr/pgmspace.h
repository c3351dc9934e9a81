/* Stands in for the <avr/pgmspace.h> that Arduino cores for ARM and RP2040 carry: flash is
 * plain memory there, and the core defines the AVR names its own way, unconditionally. */
#ifndef STAND_IN_PGMSPACE_H
#define STAND_IN_PGMSPACE_H
#define PROGMEM
#define pgm_read_byte(addr) (*(const unsigned char *)(addr))
#define pgm_read_word(addr) (*(const unsigned short *)(addr))
#define pgm_read_dword(addr) (*(const unsigned long *)(addr))
#endif
