// A host stand-in for the Arduino core the README's sketch is written for: a simulated clock,
// and pins that do nothing.
#pragma once

#include <stdint.h>

#define HIGH 1
#define LOW 0
#define OUTPUT 1

uint32_t millis();
uint32_t micros();
inline void digitalWrite(uint8_t, uint8_t) {}
inline void pinMode(uint8_t, uint8_t) {}

#ifndef pgm_read_byte
#define pgm_read_byte(address) (*(const uint8_t *)(address))
#endif
