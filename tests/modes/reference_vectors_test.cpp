// Every message in tests/data/modes (written by scripts/gen-mode-vectors from the wsjtx
// reference encoders) encodes to the reference symbols, or is refused where the reference
// would send something other than what was typed.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "modes/encoders.h"

namespace meridel::modes {
namespace {

struct Vector {
    int line;
    std::string mode, message, expected;
};

std::vector<Vector> readVectors(const std::string& file) {
    std::ifstream in(std::string(MERIDEL_MODES_DATA) + "/" + file);
    std::vector<Vector> rows;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        const auto a = text.find('|'), b = text.find('|', a + 1);
        rows.push_back(
            {line, text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)});
    }
    return rows;
}

SymbolTable encode(const Vector& v) {
    static const std::map<std::string, JtSubmode> kSubmodes = {
        {"JT65A", JtSubmode::JT65A}, {"JT65B", JtSubmode::JT65B}, {"JT65C", JtSubmode::JT65C},
        {"JT4A", JtSubmode::JT4A},   {"JT4B", JtSubmode::JT4B},   {"JT4C", JtSubmode::JT4C},
        {"JT4D", JtSubmode::JT4D},   {"JT4E", JtSubmode::JT4E},   {"JT4F", JtSubmode::JT4F},
        {"JT4G", JtSubmode::JT4G}};
    if (v.mode == "WSPR") return encodeWspr(v.message);
    return encodeJt(v.message, kSubmodes.at(v.mode));
}

// JT65 lists numbers up to 65 with blanks between; the others one digit per symbol.
std::string spell(const SymbolTable& t) {
    std::string s;
    for (auto sym : t.symbols) {
        if (t.mode.starts_with("JT65") && !s.empty()) s += ' ';
        s += std::to_string(sym);
    }
    return s;
}

class ReferenceVectors : public ::testing::TestWithParam<const char*> {};

TEST_P(ReferenceVectors, MatchOrAreRefused) {
    const auto rows = readVectors(GetParam());
    ASSERT_GE(rows.size(), 150u) << "vector file missing or short";
    int accepted = 0, refused = 0;
    for (const Vector& v : rows) {
        SCOPED_TRACE(std::string(GetParam()) + ":" + std::to_string(v.line) + " " + v.message);
        if (v.expected[0] == '!') {
            EXPECT_THROW(encode(v), MessageError) << v.expected;
            ++refused;
            continue;
        }
        try {
            const SymbolTable t = encode(v);
            EXPECT_EQ(t.mode, v.mode);
            EXPECT_EQ(spell(t), v.expected);
            ++accepted;
        } catch (const MessageError& e) {
            ADD_FAILURE() << e.what();
        }
    }
    EXPECT_GT(accepted, 100);
    RecordProperty("accepted", accepted);
    RecordProperty("refused", refused);
}

INSTANTIATE_TEST_SUITE_P(Wsjtx, ReferenceVectors,
                         ::testing::Values("jt65.txt", "jt4.txt", "wspr.txt"));

}  // namespace
}  // namespace meridel::modes
