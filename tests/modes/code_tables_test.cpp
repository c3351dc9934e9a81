// The CW and RTTY code tables against the ITU charts written out in data/modes: every character
// of a chart encodes to its code, and every other printable character is refused.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "modes/encoders.h"

namespace meridel::modes {
namespace {

using Symbols = std::vector<std::uint8_t>;

// The rows of a chart file, each split at blanks; '#' lines are comments.
std::vector<std::vector<std::string>> chart(const std::string& name) {
    std::ifstream in(std::string(MERIDEL_MODES_DATA "/") + name);
    EXPECT_TRUE(in) << name;
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        rows.emplace_back();
        for (std::string w; words >> w;) rows.back().push_back(w);
    }
    return rows;
}

// The printable characters that a chart does not hold are refused; lower case counts as upper.
template <typename Encode>
void expectOthersRefused(const std::map<char, Symbols>& chart, Encode encode) {
    for (char c = '!'; c <= '~'; ++c) {
        const char upper = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
        if (chart.count(upper)) continue;
        EXPECT_THROW(encode(std::string(1, c)), MessageError) << "'" << c << "'";
    }
}

TEST(CodeTables, MorseMatchesTheItuChart) {
    std::map<char, Symbols> keyed;
    for (const auto& row : chart("morse.txt")) {
        ASSERT_EQ(row.size(), 2u);
        Symbols keys;  // a dot is one unit down, a dash three, one unit up between them
        for (char element : row[1]) {
            if (!keys.empty()) keys.push_back(0);
            keys.insert(keys.end(), element == '.' ? 1 : 3, 1);
        }
        keyed[row[0][0]] = keys;
    }
    ASSERT_EQ(keyed.size(), 54u);
    for (const auto& [c, keys] : keyed) {
        EXPECT_EQ(encodeCw(std::string(1, c), 20).symbols, keys) << "'" << c << "'";
    }
    expectOthersRefused(keyed, [](const std::string& s) { return encodeCw(s, 20); });
}

TEST(CodeTables, Ita2MatchesTheItuChart) {
    std::map<std::string, std::uint8_t> codes;  // by letter-case name
    std::map<char, Symbols> sent;
    std::vector<std::pair<std::string, std::uint8_t>> figures;
    for (const auto& row : chart("ita2.txt")) {
        ASSERT_EQ(row.size(), 3u);
        std::uint8_t code = 0;  // hole 1 is the least significant bit
        for (std::size_t hole = 0; hole < 5; ++hole) code |= (row[0][hole] == '1') << hole;
        codes[row[1]] = code;
        if (row[2] != "none") figures.emplace_back(row[2], code);
    }
    ASSERT_EQ(codes.size(), 29u);
    const std::uint8_t ltrs = codes["LTRS"], figs = codes["FIGS"];
    for (char c = 'A'; c <= 'Z'; ++c) sent[c] = {ltrs, codes[std::string(1, c)]};
    for (const auto& [figure, code] : figures) sent[figure[0]] = {figs, code};
    ASSERT_EQ(sent.size(), 26u + 21u);
    for (const auto& [c, symbols] : sent) {
        EXPECT_EQ(encodeRtty(std::string(1, c)).symbols, symbols) << "'" << c << "'";
    }
    EXPECT_EQ(encodeRtty("E E").symbols, (Symbols{ltrs, codes["E"], codes["blank"], codes["E"]}));
    expectOthersRefused(sent, [](const std::string& s) { return encodeRtty(s); });
}

}  // namespace
}  // namespace meridel::modes
