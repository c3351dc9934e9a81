// What the encoders promise beyond the vector files: equivalent spellings, the JT65
// shorthands, symbol counts and periods, normalised text, speed limits and shared state.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <functional>
#include <thread>

#include "modes/encoders.h"

namespace meridel::modes {
namespace {

using Encode = std::function<SymbolTable(std::string_view)>;
const Encode kJt65 = [](std::string_view m) { return encodeJt(m, JtSubmode::JT65B); };
const Encode kJt4 = [](std::string_view m) { return encodeJt(m, JtSubmode::JT4F); };

struct SameSymbols {
    const char* what;
    Encode encode;
    const char* a;
    const char* b;
};

class Spellings : public ::testing::TestWithParam<SameSymbols> {};

TEST_P(Spellings, EncodeAlike) {
    const auto& p = GetParam();
    EXPECT_EQ(p.encode(p.a).symbols, p.encode(p.b).symbols) << p.a << " / " << p.b;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Spellings,
    ::testing::Values(SameSymbols{"CQ DX", kJt65, "CQ DX K1ABC FN42", "CQ9DX K1ABC FN42"},
                      SameSymbols{"CQ + continent", kJt4, "CQ EU K1ABC FN42", "E9EU K1ABC FN42"},
                      SameSymbols{"blanks and case", kJt4, "cq   k1abc FN42 ", "CQ K1ABC FN42"},
                      SameSymbols{"leading blanks", kJt4, "   hello  world", " HELLO WORLD"},
                      SameSymbols{"PI4 case", encodePi4, " pa3abc/b", "PA3ABC/B"}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.what)) name += std::isalnum(c) ? c : '_';
        return name;
    });

TEST(Jt65Shorthand, AlternatesBlocksOfFourBetweenTone0And10N) {
    for (auto [message, n] : {std::pair{"RO", 2}, {"RRR", 3}, {"ro", 2}, {"73", 4}}) {
        const auto s = kJt65(message).symbols;
        ASSERT_EQ(s.size(), 126u) << message;
        for (std::size_t i = 0; i < s.size(); ++i)
            ASSERT_EQ(s[i], (i / 4) % 2 ? 10 * n : 0) << message << " interval " << i;
    }
    EXPECT_NE(kJt4("RO").symbols.size(), 0u);  // JT4 has no shorthands: RO goes as free text
}

TEST(SymbolTables, CountsPeriodsAndText) {
    struct Row {
        SymbolTable table;
        const char* mode;
        std::size_t count;
        double seconds;
        const char* text;
    };
    for (const Row& r :
         {Row{encodeJt("cq  k1abc fn42 ", JtSubmode::JT65C), "JT65C", 126, 4096 / 11025.0,
              "CQ K1ABC FN42"},
          Row{encodeJt("cq k1abc fn42", JtSubmode::JT4A), "JT4A", 206, 2520 / 11025.0,
              "CQ K1ABC FN42"},
          Row{encodeJt("HELLO", JtSubmode::JT4G), "JT4G", 206, 2520 / 11025.0, "HELLO"},
          Row{encodeWspr("k1abc  fn42 37"), "WSPR", 162, 8192 / 12000.0, "K1ABC FN42 37"},
          Row{encodePi4("oz7igy"), "PI4", 146, 1 / 6.0, "OZ7IGY"},
          Row{encodeFsk441("cq k1jt"), "FSK441", 24, 1 / 441.0, "CQ K1JT"},
          Row{encodeFsk441("ABCDEFGHIJKLMNOPQRSTUVWXYZ12"), "FSK441", 84, 1 / 441.0,
              "ABCDEFGHIJKLMNOPQRSTUVWXYZ12"},  // 28 characters: no blank added
          Row{encodeCw("e", 12), "CW", 1, 0.1, "E"},
          Row{encodeRtty("ry"), "RTTY", 3, 1 / 45.45, "RY"}}) {
        SCOPED_TRACE(r.mode);
        EXPECT_EQ(r.table.mode, r.mode);
        EXPECT_EQ(r.table.symbols.size(), r.count);
        EXPECT_DOUBLE_EQ(r.table.symbol_seconds, r.seconds);
        EXPECT_EQ(r.table.text, r.text);
    }
}

TEST(Cw, SendsParisAtTheNamedSpeedFromOneTo60Wpm) {
    for (double wpm : {1.0, 5.0, 12.5, 60.0}) {
        const SymbolTable t = encodeCw("PARIS", wpm);
        // PARIS plus the 7-unit word gap is the 50-unit standard word.
        EXPECT_DOUBLE_EQ(double(t.symbols.size() + 7) * t.symbol_seconds, 60.0 / wpm) << wpm;
    }
    EXPECT_THROW(encodeCw("PARIS", 0.999), MessageError);
    EXPECT_THROW(encodeCw("PARIS", 60.001), MessageError);
}

TEST(Jt65, EncodesFromManyThreadsAtOnce) {
    const auto expected = kJt65("CQ K1ABC FN42").symbols;
    std::vector<std::thread> threads;
    std::atomic<int> wrong = 0;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                if (kJt65("CQ K1ABC FN42").symbols != expected) ++wrong;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace meridel::modes
