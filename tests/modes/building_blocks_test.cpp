// The shared pieces against the intermediate stages the modes' documents print.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "modes/callsign_code.h"
#include "modes/convolutional_code.h"
#include "modes/interleaver.h"
#include "modes/jt_message.h"
#include "modes/jt_report_field.h"
#include "modes/reed_solomon.h"
#include "modes/wspr_message.h"

namespace meridel::modes {
namespace {

std::string bitString(const std::vector<std::uint8_t>& bits) {
    std::string s;
    for (auto b : bits) s += char('0' + b);
    return s;
}

TEST(ConvolutionAndInterleaver, ReproduceThePi4DocumentExample) {
    std::vector<std::uint8_t> bits;
    appendBits(bits, 2851949862724, 42);  // OZ7IGY
    const auto coded = convolveK32(bits);
    EXPECT_EQ(bitString(coded),
              "1101100111111100000001000110010110001011101000101010111111101011000111101001001011"
              "1110010100111101000101010010000001110110110110101011101111110000");
    EXPECT_EQ(bitString(interleaveBitReversal(coded)),
              "1000011111110101011101110000001010100110100110111101101000110100011011111010010111"
              "0110010111001010000001011111111100001100101010101001101101100100");
}

TEST(ReedSolomon, GivesTheCodewordOfCqK1abcFn42) {
    const std::array<std::uint8_t, 63> expected{
        49, 56, 14, 57, 15, 14, 14, 19, 28, 36, 49, 47, 0,  6,  39, 2,  38, 16, 8,  6,  34,
        37, 57, 46, 1,  4,  30, 47, 18, 14, 59, 14, 13, 3,  16, 32, 34, 42, 61, 59, 24, 58,
        17, 4,  30, 5,  52, 35, 59, 0,  26, 62, 32, 32, 49, 39, 55, 3,  2,  14, 5,  33, 40};
    EXPECT_EQ(reedSolomon63({62, 32, 32, 49, 39, 55, 3, 2, 14, 5, 33, 40}), expected);
}

struct Packed {
    const char* message;
    std::array<std::uint8_t, 12> symbols;
};

class JtPacking : public ::testing::TestWithParam<Packed> {};

TEST_P(JtPacking, GivesThe72BitWord) {
    EXPECT_EQ(packJtMessage(GetParam().message, "JT65", true).packed, GetParam().symbols);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, JtPacking,
    ::testing::Values(Packed{"CQ K1ABC FN42", {62, 32, 32, 49, 39, 55, 3, 2, 14, 5, 33, 40}},
                      Packed{"K1ABC W9XYZ -15", {61, 48, 48, 35, 35, 57, 29, 55, 46, 55, 58, 32}},
                      Packed{"HELLO WORLD", {25, 47, 9, 63, 51, 26, 17, 10, 17, 45, 62, 32}}));

TEST(WsprPacking, GivesTheDocumentedFields) {
    struct Row {
        const char* message;
        std::uint32_t n1, n2;
    };
    for (const Row& r :
         {Row{"K1ABC FN42 37", 259047992, 2896997}, Row{"VK2XYZ QF56 33", 223655686, 329825},
          Row{"G4JNT IO90 10", 258326623, 2091594}}) {
        const WsprSource s = packWsprMessage(r.message);
        EXPECT_EQ(s.n1, r.n1) << r.message;
        EXPECT_EQ(s.n2, r.n2) << r.message;
    }
}

TEST(CallsignCode, PacksAlignsAndRefuses) {
    struct Row {
        const char* word;
        bool rewrite3x;
        std::optional<std::uint32_t> code;
    };
    const auto code = [](const char* w) { return callsignCode(w, false); };
    for (const Row& r : {Row{"K1ABC", false, 259047992}, Row{"W9XYZ", false, 261584827},
                         Row{"3DA0XY", false, code("3D0XY")}, Row{"3XY1D", true, code("QY1D")},
                         Row{"3XY1D", false, std::nullopt}, Row{"K1", false, code(" K1")},
                         Row{"ABCDE", false, std::nullopt}, Row{"K", false, std::nullopt},
                         Row{"K1A2", false, std::nullopt}, Row{"", false, std::nullopt}}) {
        EXPECT_EQ(callsignCode(r.word, r.rewrite3x), r.code) << r.word;
    }
    EXPECT_TRUE(code("3D0XY").has_value());
}

TEST(ReportField, CodesEachFormAndSpellsItBack) {
    struct Row {
        const char* word;
        std::uint32_t code;
    };
    for (const Row& r :
         {Row{"", 32401}, Row{"-01", 32402}, Row{"-30", 32431}, Row{"R-01", 32432},
          Row{"R-30", 32461}, Row{"RO", 32462}, Row{"RRR", 32463}, Row{"73", 32464},
          Row{"-31", 14049}, Row{"-50", 14220}, Row{"+49", 12609}, Row{"R+00", 11520},
          Row{"R-50", 12420}, Row{"FN42", 22632}, Row{"RR99", 179}}) {
        EXPECT_EQ(reportFieldCode(r.word), r.code) << r.word;
        EXPECT_EQ(reportFieldText(r.code), r.word);
    }
    for (const char* freeText : {"-51", "+50", "HELLO", "R-", "-", "SS99", "FN4"})
        EXPECT_FALSE(reportFieldCode(freeText).has_value()) << freeText;
    EXPECT_TRUE(isPolarGridCode(*reportFieldCode("AR95")));
    EXPECT_FALSE(isPolarGridCode(*reportFieldCode("RQ99")));
    EXPECT_TRUE(isPolarGridCode(addOnFieldCode(862)));
}

}  // namespace
}  // namespace meridel::modes
