// The "messages" member of meridel-cli's JSON, checked against the reference encoders' own
// symbols (the committed jt65code, jt4code and wsprcode vectors), not against our encoders.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_process.h"

namespace {
using nlohmann::json;
using CliMessages = meridel::testing::CliFolder;

// The first encodable row of a vector file for `mode`: its message and its symbols.
std::pair<std::string, std::vector<int>> referenceRow(const std::string& file,
                                                      const std::string& mode) {
    std::ifstream in(std::string(MERIDEL_TEST_DATA "/modes/") + file);
    for (std::string line; std::getline(in, line);) {
        const auto bar1 = line.find('|'), bar2 = line.rfind('|');
        if (line.substr(0, bar1) != mode || line[bar2 + 1] == '!') continue;
        const std::string spelled = line.substr(bar2 + 1);
        std::vector<int> symbols;
        std::istringstream numbers(spelled);
        if (spelled.find(' ') != std::string::npos) {
            for (int s; numbers >> s;) symbols.push_back(s);
        } else {
            for (char c : spelled) symbols.push_back(c - '0');
        }
        return {line.substr(bar1 + 1, bar2 - bar1 - 1), symbols};
    }
    ADD_FAILURE() << "no " << mode << " row in " << file;
    return {};
}

TEST_F(CliMessages, JsonCarriesTheReferenceSymbolsOfEveryMessage) {
    const auto [jt, jtSymbols] = referenceRow("jt65.txt", "JT65B");
    const auto [wspr, wsprSymbols] = referenceRow("wspr.txt", "WSPR");
    const auto r = cli({"--mode", "JT65B", "--jt-message", jt, "--wspr-message", wspr,
                        "--pi4-message", "OZ7IGY/B", "--cw-message", "OZ7IGY", "--rtty-message",
                        "RY", "--fsk441-message", "OZ7IGY", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json messages = json::parse(r.out).at("messages");
    ASSERT_EQ(messages.size(), 6u) << messages;
    for (const char* key : {"jt", "wspr", "fsk441", "pi4", "cw", "rtty"}) {
        const json& m = messages.at(key);
        EXPECT_TRUE(m.at("text").is_string() && m.at("symbols").is_array() &&
                    m.at("symbol_seconds").get<double>() > 0)
            << key << ": " << m;
    }
    EXPECT_EQ(messages["jt"]["symbols"].get<std::vector<int>>(), jtSymbols);
    EXPECT_DOUBLE_EQ(messages["jt"]["symbol_seconds"].get<double>(), 4096.0 / 11025.0);
    EXPECT_EQ(messages["wspr"]["symbols"].get<std::vector<int>>(), wsprSymbols);
    EXPECT_DOUBLE_EQ(messages["wspr"]["symbol_seconds"].get<double>(), 8192.0 / 12000.0);
    EXPECT_EQ(messages["pi4"]["symbols"].size(), 146u);
    EXPECT_DOUBLE_EQ(messages["cw"]["symbol_seconds"].get<double>(), 1.2 / 12);
    // PI4 tone 0 sits 117.1875 Hz below the 800 Hz nominal frequency above the 50.505 MHz
    // carrier, its word exact to the listing's rounding at 204.8 MHz.
    const json& tone0 = messages["pi4"]["words"][0];
    EXPECT_EQ(tone0["requested_hz"].get<double>(), 50505000.0 + 800 - 117.1875);
    EXPECT_EQ(
        tone0["ftw"].get<std::uint64_t>(),
        static_cast<std::uint64_t>(std::floor(50505682.8125 / 204.8e6 * 281474976710656.0 + 0.5)));
    EXPECT_EQ(messages["pi4"]["words"][4]["name"], "PI4 Interval");
}

// Every entry of the Mode list takes its JT message through its own submode: the reference
// symbols, the submode's name and symbol period, and the word its tones count from.
TEST_F(CliMessages, EveryJtModeSendsItsReferenceSymbols) {
    for (const std::string mode :
         {"JT65A", "JT65B", "JT65C", "JT4A", "JT4B", "JT4C", "JT4D", "JT4E", "JT4F", "JT4G"}) {
        const bool jt65 = mode.starts_with("JT65");
        const auto [message, symbols] = referenceRow(jt65 ? "jt65.txt" : "jt4.txt", mode);
        const auto r = cli({"--output", "144.49", "--rf-mult", "3", "--mode", mode, "--jt-message",
                            message, "--json"});
        ASSERT_EQ(r.status, 0) << mode << ": " << r.err;
        const json jt = json::parse(r.out).at("messages").at("jt");
        EXPECT_EQ(jt["symbols"].get<std::vector<int>>(), symbols) << mode;
        EXPECT_EQ(jt["mode"], mode);
        EXPECT_DOUBLE_EQ(jt["symbol_seconds"].get<double>(), (jt65 ? 4096.0 : 2520.0) / 11025.0)
            << mode;
        EXPECT_TRUE(
            jt["base_word"].get<std::string>().starts_with(jt65 ? "JT Sync" : mode + " Tone 0"))
            << mode << ": " << jt["base_word"];
    }
}

// PI4 through a frequency multiplier: the worked example's symbols, and four tones 234.375 Hz
// apart at the antenna from 117.1875 Hz below the audio frequency, each word rounded at the
// 204.8 MHz clock.
TEST_F(CliMessages, Pi4TonesAndSymbolsBehindAMultiplier) {
    const auto [callsign, symbols] = referenceRow("worked_examples.txt", "PI4");
    const auto r = cli({"--output", "144.49", "--rf-mult", "3", "--pi4-message", callsign,
                        "--pi4-audio", "1000", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json pi4 = json::parse(r.out).at("messages").at("pi4");
    EXPECT_EQ(pi4["symbols"].get<std::vector<int>>(), symbols);
    EXPECT_EQ(pi4["mode"], "PI4");
    EXPECT_DOUBLE_EQ(pi4["symbol_seconds"].get<double>(), 1.0 / 6);
    EXPECT_EQ(pi4["base_word"], "PI4 Tone 0");
    const json& words = pi4.at("words");
    ASSERT_EQ(words.size(), 5u);
    const auto ftw = [](double hz) {
        return static_cast<std::uint64_t>(std::floor(hz / 204.8e6 * 281474976710656.0 + 0.5));
    };
    for (int k = 0; k < 4; ++k) {
        const double hz = (144.49e6 + 1000 - 117.1875 + 234.375 * k) / 3;
        EXPECT_NEAR(words[k]["requested_hz"].get<double>(), hz, 1e-6) << k;
        EXPECT_EQ(words[k]["ftw"].get<std::uint64_t>(), ftw(words[k]["requested_hz"]));
    }
    EXPECT_EQ(words[4]["requested_hz"].get<double>(), 234.375 / 3);
    EXPECT_EQ(words[4]["ftw"].get<std::uint64_t>(), ftw(234.375 / 3));
}

}  // namespace
