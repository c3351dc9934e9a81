#include "listing/text_encoding.h"

#include <gtest/gtest.h>

namespace meridel::listing {
namespace {

TEST(Latin1, CharactersOutsideBecomeQuestionMarks) {
    EXPECT_EQ(toLatin1("Test"), "Test");
    EXPECT_EQ(toLatin1("Gr\xC3\xBC\xC3\x9F"), "Gr\xFC\xDF");  // "Grüß"
    EXPECT_EQ(toLatin1("\xE2\x82\xAC 5"), "? 5");             // the euro sign
    EXPECT_EQ(toLatin1("\xF0\x9F\x93\xA1"), "?");             // an emoji
    EXPECT_EQ(toLatin1("a\xFF"
                       "b"),
              "a?b");                       // invalid UTF-8
    EXPECT_EQ(toLatin1("\xC3"), "?");       // truncated sequence
    EXPECT_EQ(toLatin1("\xC0\xAF"), "??");  // overlong form
    EXPECT_EQ(toLatin1(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Latin1, RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(toLatin1(latin1ToUtf8(all)), all);
}

TEST(UpperCase, AsciiAndLatin1Letters) {
    EXPECT_EQ(toUpperCase("beacon.asm"), "BEACON.ASM");
    EXPECT_EQ(toUpperCase("out/b\xC3\xA9"
                          "bert"),
              "OUT/B\xC3\x89"
              "BERT");                                               // é -> É
    EXPECT_EQ(toUpperCase("\xC3\xB7\xC3\xBF"), "\xC3\xB7\xC3\xBF");  // ÷ and ÿ stay
    EXPECT_EQ(toUpperCase(" "), " ");
    EXPECT_EQ(toUpperCase("a\xFFz"), "A\xFFZ");
}

}  // namespace
}  // namespace meridel::listing
