// meridel-cli's JSON of the firmware options, checked against the worked listing: the words
// of every line. The rest, --decode of the listing among it, is in data/cli.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_process.h"

namespace {
using nlohmann::json;
using CliFirmware = meridel::testing::CliFolder;

const std::vector<std::string> kPlan = {"--ref-in",  "20",     "--pll",  "10",      "--output",
                                        "50",        "--tone", "1500",   "--shift", "850",
                                        "--comment", "Test",   "--mode", "JT65B"};
const double kStep = 200e6 / 281474976710656.0;  // one step of a 48-bit word at 200 MHz

std::vector<std::string> with(std::vector<std::string> more) {
    std::vector<std::string> args = kPlan;
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The worked listing's word lines: bytes text and the word they spell.
std::vector<std::pair<std::string, std::uint64_t>> listingWords() {
    const std::string listing = meridel::testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst");
    std::vector<std::pair<std::string, std::uint64_t>> words;
    for (std::size_t at = listing.find("\r\n0x"); at != std::string::npos;
         at = listing.find("\r\n0x", at + 1)) {
        const std::string bytes = listing.substr(at + 2, listing.find(' ', at) - at - 2);
        std::string hex;
        for (std::size_t i = 2; i < bytes.size(); i += 5) hex += bytes.substr(i, 2);
        words.emplace_back(bytes, std::stoull(hex, nullptr, 16));
    }
    return words;
}

// Each listing word's frequency: 50 MHz plus its offset for the ten tones, then the interval
// steps.
const std::array<double, 14> kOffsets = {
    882,          1323, 1764,           2205,          0,         1270.458984375, 1500, 2125, 1275,
    -2.197265625, 441,  1270.458984375, 5.38330078125, 1.46484375};
double listedHz(std::size_t i) {
    return (i < 10 ? 50e6 : 0) + kOffsets[i];
}

TEST_F(CliFirmware, JsonAddsTheChipTheWordsAndTheIntervals) {
    const auto r = cli(with({"--dds", "ad9852", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const json object = json::parse(r.out);
    std::string keys;
    for (const auto& [key, value] : object.items()) keys += key + " ";
    EXPECT_EQ(keys,
              "ClockFreq Fo KeyFreq dds dds_warnings error intervals listing results "
              "warning words ");
    EXPECT_EQ(object["dds"], json::parse(R"({"name":"AD9852","bits":48,"clock_hz":200000000.0})"));
    EXPECT_EQ(object["dds_warnings"], json::array());

    const auto listed = listingWords();
    ASSERT_EQ(object["words"].size() + object["intervals"].size(), listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const bool tone = i < object["words"].size();
        const json& w = tone ? object["words"][i] : object["intervals"][i - object["words"].size()];
        EXPECT_EQ(w.size(), 6u) << w;
        EXPECT_EQ(w["antenna_hz"], w["actual_hz"]) << "RF Mult 1";
        const std::uint64_t ftw = w["ftw"].get<std::uint64_t>();
        EXPECT_EQ(tone ? ftw : (ftw & 0xFFFFFFFF), listed[i].second) << w;
        EXPECT_NEAR(w["requested_hz"].get<double>(), listedHz(i), 1e-6) << w;
        EXPECT_NEAR(w["actual_hz"].get<double>(), listedHz(i), kStep) << w;
    }
    EXPECT_EQ(object["words"][5]["name"], "JT Sync 1270.46Hz");  // blanks made one
}

}  // namespace
