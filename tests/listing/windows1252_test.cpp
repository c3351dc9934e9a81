// The files' code page: the printable characters Windows-1252 adds in 0x80-0x9F, what it
// lacks, and the upper case of its letters in file names.
#include <gtest/gtest.h>

#include "listing/text_encoding.h"

namespace meridel::listing {
namespace {

struct Mapping {
    const char* utf8;
    const char* bytes;
    bool readsBack = true;  // the bytes read as the same text
};

TEST(Windows1252, CharactersOfTheCodePageAndQuestionMarksForTheRest) {
    const Mapping cases[] = {
        {"\xE2\x82\xAC 5", "\x80 5"},                                  // € (0x80)
        {"\xE2\x80\x93\xE2\x80\x94", "\x96\x97"},                      // – —
        {"\xE2\x80\x9Cx\xE2\x80\x9D \xE2\x80\x98", "\x93x\x94 \x91"},  // “x” ‘
        {"\xC5\xA0\xC5\xB8\xE2\x84\xA2", "\x8A\x9F\x99"},              // Š Ÿ ™ (0x8A, 0x9F)
        {"\xC2\xA0\xC3\xA9\xC3\xBF", "\xA0\xE9\xFF"},                  // the ISO 8859-1 half
        {"\xC2\x81\xC2\x9D", "\x81\x9D"},                              // undefined: themselves
        {"\xC2\x80\xC2\x9F", "??", false},      // U+0080, U+009F: 0x80 is €, 0x9F is Ÿ
        {"\xC4\x80\xE2\x80\x95", "??", false},  // Ā, and ― between – — and ‘
        {"\xF0\x9F\x93\xA1 x", "? x", false},   // an emoji
        {"a\xFF"
         "b",
         "a?b", false},  // invalid UTF-8
    };
    for (const Mapping& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(toWindows1252(c.utf8), c.bytes);
        if (c.readsBack) {
            EXPECT_EQ(windows1252ToUtf8(c.bytes), c.utf8);
        }
    }
}

TEST(Windows1252, UpperCaseOfFileNames) {
    const Mapping cases[] = {
        {"beacon \xC3\xA9t\xC3\xA9.asm", "BEACON \xC3\x89T\xC3\x89.ASM"},  // é -> É
        // š œ ž ÿ -> Š Œ Ž Ÿ
        {"\xC5\xA1\xC5\x93\xC5\xBE\xC3\xBF", "\xC5\xA0\xC5\x92\xC5\xBD\xC5\xB8"},
        // ÷ µ ß € and Cyrillic д stay as they are, as does an invalid byte
        {"\xC3\xB7\xC2\xB5\xC3\x9F\xE2\x82\xAC\xD0\xB4\xFF",
         "\xC3\xB7\xC2\xB5\xC3\x9F\xE2\x82\xAC\xD0\xB4\xFF"},
    };
    for (const Mapping& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(toUpperCase(c.utf8), c.bytes);
    }
}

}  // namespace
}  // namespace meridel::listing
