// The word reader against what users paste: each row is a text, the chip, and the words it
// must give (their bytes, with a note mark) or the start of the error it must give.
#include <gtest/gtest.h>

#include <string>

#include "firmware/chip_words.h"
#include "firmware/word_decode.h"

namespace meridel::firmware {
namespace {

struct Pasted {
    const char* chip;
    std::string text;
    std::string expected;  // "BYTES|BYTES!" (! = noted as an alias), or "error: ..."
};

std::string decodedOrError(const Pasted& p) {
    try {
        std::string out;
        for (const DecodedWord& w : decodeWords(*dds::findChip(p.chip), 200e6, p.text))
            out += (out.empty() ? "" : "|") + w.bytes + (w.note.empty() ? "" : "!");
        return out;
    } catch (const FirmwareError& e) {
        return std::string("error: ") + e.what();
    }
}

TEST(WordDecode, ReadsPastedFormsAndRefusesOthers) {
    const std::string tone = "0x40,0x00,0x49,0xFC,0xCE,0x47", step = "0x24,0xFE,0x67,0x24";
    const Pasted rows[] = {
        {"AD9852", tone + ";" + step, tone + "|" + step},  // ";" between words
        {"AD9852", tone + " ; FSK441 Tone 0\n" + step + " ; a comment 0x99", tone + "|" + step},
        {"AD9852", "----\r\n--\r\n" + tone + "\r\n", tone},
        {"AD9852", "-", "error: \"-\" is not a word"},  // one dash is no rule line
        {"AD9852", "0x40, 0x00, 0x49, 0xFC, 0xCE, 0x47", tone},
        {"AD9852", "{0x40, 0x00,\t0x49, 0xFC, 0xCE, 0x47},{0x24,0xFE,0x67,0x24};",
         tone + "|" + step},
        {"AD9852", "0x400049FCCE47ULL 0x24FE6724u", tone + "|" + step},
        {"AD9852", "0x0000000000FFULL", "0x00,0x00,0x00,0x00,0x00,0xFF"},
        {"AD9852", "0x80,0x00,0x00,0x00,0x00,0x00 0x7F,0xFF,0xFF,0xFF,0xFF,0xFF",
         "0x80,0x00,0x00,0x00,0x00,0x00!|0x7F,0xFF,0xFF,0xFF,0xFF,0xFF"},
        {"AD9852", "0x40,0x00,0x49,0xFC,0xCE", "error: \"0x40,0x00,0x49,0xFC,0xCE\" has 5 bytes"},
        {"AD9852", "0x4000ULL", "error: \"0x4000ULL\" has 2 bytes"},
        {"AD9852", "0x40ULLL", "error: \"0x40ULLL\" is not a word"},
        {"AD9852", "{0x40, 0x00", "error: \"{0x40,0x00\" is not a word"},
        {"AD9851", "0x80,0x00,0x00,0x00 0x00,0x00,0x00,0x01",
         "0x80,0x00,0x00,0x00!|0x00,0x00,0x00,0x01"},
        {"AD9851", tone, "error: \"" + tone + "\" has 6 bytes; the AD9851 takes words of 4 bytes"},
        {"AD9833", "0x08,0x00,0x00,0x00 0x07,0xFF,0xFF,0xFF",
         "0x08,0x00,0x00,0x00!|0x07,0xFF,0xFF,0xFF"},
        {"AD9910", "0xFF,0xFF,0xFF,0xFF", "0xFF,0xFF,0xFF,0xFF!"},
        {"AD9852", " ; only a comment", ""},
        {"AD9852",
         "AD9852 Control reg  0x10,0x4A,0x00,0x60 (OSK On)\nPHASE180  Constant  0x20,0x00", ""},
        {"AD9852", "Illegal PLL value\n" + tone, tone},
    };
    for (const Pasted& row : rows) {
        const std::string got = decodedOrError(row);
        if (row.expected.starts_with("error: "))
            EXPECT_TRUE(got.starts_with(row.expected)) << row.text << "\n" << got;
        else
            EXPECT_EQ(got, row.expected) << row.text;
    }
}

}  // namespace
}  // namespace meridel::firmware
