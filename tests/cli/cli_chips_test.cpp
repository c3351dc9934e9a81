// meridel-cli's JSON of the register writes read back: every Si5351 tone's write laid over the
// set-up decodes to the tone's reported frequency, and every AD9833 word's two FREQ0 writes
// rebuild the word the JSON reports.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_process.h"
#include "si5351/registers.h"

namespace {
using nlohmann::json;
using CliChips = meridel::testing::CliFolder;
using meridel::numbers::Rational;

std::array<std::uint8_t, 8> block(const json& bytes) {
    std::array<std::uint8_t, 8> b{};
    for (std::size_t i = 0; i < 8; ++i) b[i] = bytes.at(i).get<std::uint8_t>();
    return b;
}

TEST_F(CliChips, Si5351ToneWritesDecodeToTheirFrequencies) {
    for (const char* xtal : {"25", "27"}) {
        const auto r =
            cli({"--dds", "Si5351", "--xtal", xtal, "--output", "144.4905", "--wspr-message",
                 "K1ABC FN42 37", "--jt-message", "CQ K1ABC FN42", "--mode", "JT65B", "--json"});
        ASSERT_EQ(r.status, 0) << r.err;
        const json si = json::parse(r.out).at("si5351");
        const json& setup = si.at("setup");
        auto pll = block(setup.at(4).at("bytes"));
        const auto ms = block(setup.at(5).at("bytes"));
        ASSERT_EQ(setup.at(4).at("register"), 26);
        for (const json& tone : si.at("tones")) {
            const json& w = tone.at("write");
            const int first = w.at("register").get<int>() - 26;
            for (std::size_t i = 0; i < w.at("bytes").size(); ++i) {
                pll.at(first + i) = w.at("bytes").at(i).get<std::uint8_t>();
            }
            const auto hz =
                meridel::si5351::decodeFrequency(Rational(std::stoll(xtal) * 1000000), pll, ms);
            ASSERT_TRUE(hz);
            EXPECT_NEAR(hz->toDouble(), tone.at("actual_hz").get<double>(), 1e-6);
            EXPECT_LT(std::abs(tone.at("error_hz").get<double>()), 1e-3) << tone.at("name");
        }
    }
}

TEST_F(CliChips, Ad9833WritesRebuildTheWords) {
    const auto r =
        cli({"--dds", "AD9833", "--clock", "25", "--output", "7.0386", "--registers", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json object = json::parse(r.out);
    const json& words = object.at("words");
    const json& writes = object.at("registers").at("words");
    ASSERT_EQ(words.size(), writes.size());
    for (std::size_t n = 0; n < words.size(); ++n) {
        const json& w = writes.at(n).at("writes");
        const auto half = [&](int i) {
            return ((w.at(i).at("bytes").at(0).get<unsigned>() << 8) |
                    w.at(i).at("bytes").at(1).get<unsigned>()) &
                   0x3FFF;
        };
        EXPECT_EQ((std::uint64_t{half(1)} << 14) | half(0),
                  words.at(n).at("ftw").get<std::uint64_t>())
            << words.at(n).at("name");
    }
}

}  // namespace
