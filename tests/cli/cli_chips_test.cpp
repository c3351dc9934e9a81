// meridel-cli's JSON of the register writes read back: every Si5351 tone's write laid over the
// set-up decodes to the tone's reported frequency, and every chip's writes per message tone and
// per listing word put out that tone or word; a refused plan gives no words at all.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_process.h"
#include "si5351/registers.h"
#include "support/chip_model.h"
#include "support/plan_run.h"

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
        const auto decode = [&](const json& w) {
            const int first = w.at("register").get<int>() - 26;
            for (std::size_t i = 0; i < w.at("bytes").size(); ++i) {
                pll.at(first + i) = w.at("bytes").at(i).get<std::uint8_t>();
            }
            const auto hz =
                meridel::si5351::decodeFrequency(Rational(std::stoll(xtal) * 1000000), pll, ms);
            return hz ? hz->toDouble() : -1.0;
        };
        for (const json& tone : si.at("tones")) {
            EXPECT_NEAR(decode(tone.at("write")), tone.at("actual_hz").get<double>(), 1e-6);
            EXPECT_LT(std::abs(tone.at("error_hz").get<double>()), 1e-3) << tone.at("name");
        }
        // A symbol indexes its message's writes: WSPR's tones 12000 / 8192 Hz apart.
        const json& wspr = si.at("message_tones").at("wspr");
        ASSERT_EQ(wspr.size(), 4U);
        const double tone0 = decode(wspr.at(0));
        for (std::size_t n = 1; n < 4; ++n) {
            EXPECT_NEAR(decode(wspr.at(n)) - tone0, n * 12000.0 / 8192, 2e-3) << n;
        }
    }
}

TEST_F(CliChips, MessageToneWritesPutOutTheSymbolsTone) {
    const std::array<std::vector<std::string>, 6> chips = {{
        {"--dds", "AD9850", "--clock", "125"},
        {"--dds", "AD9851", "--clock", "180", "--ref-mult", "6"},
        {"--ref-in", "20", "--pll", "10"},
        {"--dds", "AD9833", "--clock", "25", "--rf-mult", "2"},
        {"--dds", "AD9910", "--clock", "1000", "--ref-mult", "25"},
        {"--dds", "AD9912", "--clock", "1000", "--ref-mult", "40"},
    }};
    for (std::vector<std::string> args : chips) {
        args.insert(args.end(), {"--output", "14.0956", "--format", "c", "--registers",
                                 "--wspr-message", "K1ABC FN42 37", "--json"});
        const auto r = cli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const json o = json::parse(r.out);
        const std::string chip = o.at("dds").at("name");
        const json& tones = o.at("messages").at("wspr").at("tones");
        const json& rows = o.at("registers").at("message_tones").at("wspr");
        ASSERT_EQ(rows.size(), 4U) << chip;
        ASSERT_EQ(tones.size(), 4U) << chip;
        // The chip after its set-up, one word's writes and the writes after the first word.
        const auto loaded = [&](const json& writes) {
            meridel::testing::ChipModel model{chip};
            for (const json* list : {&o.at("registers").at("setup"), &writes,
                                     &o.at("registers").at("after_first_word")}) {
                for (const json& w : *list) {
                    model.write(w.at("bytes").get<std::vector<std::uint8_t>>());
                    // The serial form first; the parallel one is the other way to load it.
                    if (list == &writes && (chip == "AD9850" || chip == "AD9851")) break;
                }
            }
            EXPECT_FALSE(model.silent) << chip;
            return model.ftw;
        };
        for (std::size_t n = 0; n < rows.size(); ++n) {
            EXPECT_EQ(loaded(rows.at(n)), meridel::testing::exactWord(
                                              tones.at(n).at("requested_hz"),
                                              o.at("dds").at("clock_hz"), o.at("dds").at("bits")))
                << chip << " tone " << n;
        }
        // Every listing word's writes load that word (the AD9833's in two FREQ0 halves).
        const json& words = o.at("words");
        ASSERT_EQ(o.at("registers").at("words").size(), words.size()) << chip;
        for (std::size_t n = 0; n < words.size(); ++n) {
            EXPECT_EQ(loaded(o.at("registers").at("words").at(n).at("writes")),
                      words.at(n).at("ftw").get<std::uint64_t>())
                << chip << " " << words.at(n).at("name");
        }
    }
}

TEST_F(CliChips, ARefusedPlanGivesTheErrorAndNoWords) {
    // 60 MHz from a 100 MHz clock comes out as its alias at 40 MHz.
    const auto r = cli({"--dds", "AD9851", "--clock", "100", "--output", "60", "--registers",
                        "--format", "c", "--wspr-message", "K1ABC FN42 37", "--json"});
    ASSERT_EQ(r.status, 1) << r.err;
    const json o = json::parse(r.out);
    EXPECT_NE(o.at("error").at("message").get<std::string>().find("half the AD9851 clock"),
              std::string::npos);
    EXPECT_TRUE(o.at("words").is_null());
    EXPECT_TRUE(o.at("intervals").is_null());
    EXPECT_FALSE(o.contains("registers"));
    EXPECT_FALSE(o.at("messages").at("wspr").contains("tones"));
    EXPECT_TRUE(o.at("listing").is_null());
}

}  // namespace
