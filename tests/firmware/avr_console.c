/* Runs an ATmega328P program in simavr and copies every byte it writes to GPIOR0 to the file
 * OUTPUT: the emulated program's console (simavr itself talks on standard output). The run ends
 * when the program sleeps with interrupts off (status 0), crashes, or runs past ten seconds of
 * emulated time (status 1).
 * usage: avr_console PROGRAM.elf OUTPUT */
#include <stdio.h>

#include "sim_avr.h"
#include "sim_elf.h"
#include "sim_io.h"

enum { kGpior0 = 0x3E, kClockHz = 16000000 }; /* GPIOR0 in data space; the Arduino Uno clock */

static void console(struct avr_t *avr, avr_io_addr_t addr, uint8_t value, void *output) {
    (void)avr;
    (void)addr;
    fputc(value, (FILE *)output);
}

int main(int argc, char **argv) {
    elf_firmware_t firmware = {0};
    avr_t *avr;
    FILE *output;
    int state;
    if (argc != 3 || elf_read_firmware(argv[1], &firmware) != 0) {
        fprintf(stderr, "usage: avr_console PROGRAM.elf OUTPUT (an ELF file for the ATmega328P)\n");
        return 2;
    }
    output = fopen(argv[2], "w");
    if (!output) {
        perror(argv[2]);
        return 2;
    }
    avr = avr_make_mcu_by_name("atmega328p");
    if (!avr) return 2;
    avr_init(avr);
    avr->frequency = kClockHz;
    avr->log = 0;
    avr_load_firmware(avr, &firmware);
    avr_register_io_write(avr, kGpior0, console, output);
    do {
        state = avr_run(avr);
    } while (state != cpu_Done && state != cpu_Crashed && avr->cycle < 10ULL * kClockHz);
    fclose(output);
    if (state != cpu_Done) fprintf(stderr, "avr_console: the program did not end with sleep\n");
    return state == cpu_Done ? 0 : 1;
}
