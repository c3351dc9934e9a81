// meridel-cli's firmware options end to end: the JSON form of the words, --decode against the
// worked listing, the C header on standard output and in a file, and the usage errors.
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
        EXPECT_EQ(w.size(), 4u) << w;
        const std::uint64_t ftw = w["ftw"].get<std::uint64_t>();
        EXPECT_EQ(tone ? ftw : (ftw & 0xFFFFFFFF), listed[i].second) << w;
        EXPECT_NEAR(w["requested_hz"].get<double>(), listedHz(i), 1e-6) << w;
        EXPECT_NEAR(w["actual_hz"].get<double>(), listedHz(i), kStep) << w;
    }
    EXPECT_EQ(object["words"][5]["name"], "JT Sync 1270.46Hz");  // blanks made one
}

TEST_F(CliFirmware, DecodeInvertsTheListing) {
    std::string all;
    for (const auto& [bytes, value] : listingWords()) all += bytes + " ";
    const auto r = cli({"--decode", all, "--clock", "200", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json object = json::parse(r.out);
    EXPECT_EQ(object["dds"], json::parse(R"({"name":"AD9852","bits":48,"clock_hz":200000000.0})"));
    EXPECT_EQ(object.size(), 2u);
    const json& decoded = object["decoded"];
    ASSERT_EQ(decoded.size(), kOffsets.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_EQ(decoded[i].size(), 3u);
        EXPECT_EQ(decoded[i]["bytes"], listingWords()[i].first);
        EXPECT_EQ(decoded[i]["ftw"], listingWords()[i].second);
        EXPECT_NEAR(decoded[i]["hz"].get<double>(), listedHz(i), kStep) << decoded[i];
    }

    const auto plain = cli({"--decode", "0x0e,0x38,0xE3,0x8E;0x00,0x01", "--decode",
                            "0x80,0x00,0x00,0x00", "--clock=180", "--dds", "AD9851"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out,
              "0x0E,0x38,0xE3,0x8E ; ftw 238609294 ; 9999999.99068677 Hz\n"
              "0x00,0x01 ; ftw 1 ; .0419095158576965 Hz\n"
              "0x80,0x00,0x00,0x00 ; ftw 2147483648 ; 90000000 Hz\n");
}

TEST_F(CliFirmware, HeaderOnStandardOutputOrInAFileAsNamed) {
    auto r = cli({"--dds", "AD9851", "--clock", "180", "--output", "14.0956"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("/* DDS words for firmware, made by meridel-cli", 0), 0u);
    // round(14.0956 MHz x 2^32 / 180 MHz) = round(336334116.76...)
    EXPECT_NE(r.out.find("#define DDS_SSB_CARRIER_FTW 0x140C0D25ULL\n"), std::string::npos);

    const auto fast = cli({"--dds", "AD9851", "--clock", "200", "--ref-mult", "5"});
    EXPECT_EQ(fast.status, 0);
    EXPECT_EQ(fast.err,
              "warning: the AD9851 clock of 200 MHz is above the chip's maximum of 180 MHz\n"
              "warning: the AD9851 has no reference multiplier 5: use 6, or 1 to bypass it\n");

    const auto above = cli({"--dds", "AD9833", "--clock", "25", "--output", "30"});
    EXPECT_EQ(above.status, 1);
    EXPECT_NE(above.err.find("error: the FSK441 Tone 0 word (30000882 Hz) cannot be made by"),
              std::string::npos);

    r = cli(with({"--format", "c", "--file", "beacon.h"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(meridel::testing::readBytes((folder / "beacon.h").string())
                  .find("DDS_CONTROL_REGISTER_BYTES[4] PROGMEM = {0x10, 0x4A, 0x00, 0x60};"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "BEACON.H"));

    r = cli(with({"--dds", "AD9854", "--format", "asm"}));
    EXPECT_EQ(r.out, meridel::testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst"));
}

TEST_F(CliFirmware, UsageErrorsNameTheOptionAndWhatIsAllowed) {
    struct Row {
        std::vector<std::string> args;
        const char* message;
    };
    const std::array<Row, 10> rows = {{
        {{"--dds", "AD9999"}, "--dds \"AD9999\" is not a chip MERIDEL knows: use AD9852, AD9854"},
        {{"--dds", "AD9851", "--clock", "180", "--format", "asm"}, "its format is c"},
        {{"--dds", "AD9851"}, "--dds AD9851 needs --clock MHZ, its system clock (at most 180"},
        {{"--clock", "180"}, "the AD9852 clock is --ref-in times --pll"},
        {{"--dds", "AD9910", "--clock", "1000", "--ref-mult", "12.5"}, "takes 12 to 127"},
        {{"--dds", "AD9851", "--clock", "180", "--pll", "10"}, "for the AD9851 give --clock"},
        {{"--decode", "0x4G", "--clock", "200"}, "\"0x4G\" is not a word in the listing's form"},
        {{"--decode", "0x01,0x02,0x03,0x04,0x05", "--clock", "180", "--dds", "AD9851"},
         "has 5 bytes; the AD9851 takes words of at most 4"},
        {{"--decode", "0x10,0x00,0x00,0x00", "--clock", "25", "--dds", "AD9833"},
         "is beyond the AD9833's 28-bit words"},
        {{"--decode", " ; ", "--clock", "200", "--output", "50"}, "--decode takes only"},
    }};
    for (const Row& row : rows) {
        const auto r = cli(row.args);
        EXPECT_EQ(r.status, 2) << row.message;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
    }
}

}  // namespace
