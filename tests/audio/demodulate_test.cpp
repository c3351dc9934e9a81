// The modes no Debian decoder reads, heard back by a demodulator of our own: per symbol the
// strongest of the mode's tones, the key per CW dot, the RTTY bits; compared with the symbol
// table meridel-cli reports for the same message.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audio/sound_probe.h"
#include "cli/cli_process.h"

namespace meridel::testing {
namespace {

struct Heard {
    std::vector<std::uint8_t> symbols, heard;
};

class Demodulate : public CliFolder {
protected:
    // Runs the plan with one message into a WAV file and returns the message's table and the
    // recording.
    std::pair<nlohmann::json, WavFile> record(std::vector<std::string> args) {
        args.insert(args.end(), {"--wav", "x.wav", "--json"});
        const CliResult r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err << r.out;
        const auto json = nlohmann::json::parse(r.out, nullptr, false);
        return {json.is_object() ? json["messages"] : nlohmann::json(),
                readWav((folder / "x.wav").string())};
    }
};

// Per symbol the loudest of `tones` (audio Hz), the symbols starting at `start` seconds.
std::vector<std::uint8_t> strongestTones(const WavFile& wav, double start, double period,
                                         std::size_t count, const std::vector<double>& tones) {
    std::vector<std::uint8_t> out;
    for (std::size_t k = 0; k < count; ++k) {
        const auto from = sampleAt(start + k * period), to = sampleAt(start + (k + 1) * period);
        std::size_t best = 0;
        for (std::size_t t = 1; t < tones.size(); ++t) {
            if (tonePower(wav.samples, from, to, tones[t]) >
                tonePower(wav.samples, from, to, tones[best])) {
                best = t;
            }
        }
        out.push_back(static_cast<std::uint8_t>(best));
    }
    return out;
}

const std::vector<std::string> kPlans[] = {
    {"--ref-in", "20", "--pll", "10", "--output", "50.4", "--tone", "800", "--shift", "170"},
    {"--dds", "AD9851", "--clock", "180", "--output", "144.43", "--rf-mult", "3", "--tone", "800",
     "--shift", "170"},
};

TEST_F(Demodulate, Pi4AndFsk441SendTheirTableTonePerSymbol) {
    struct Case {
        std::vector<std::string> message;
        double start;
        std::vector<double> tones;
    };
    const Case cases[] = {
        {{"--pi4-message", "OZ7IGY/B"}, 0, {682.8125, 917.1875, 1151.5625, 1385.9375}},
        {{"--pi4-message", "DB0ABC", "--pi4-audio", "1500"},
         0,
         {1382.8125, 1617.1875, 1851.5625, 2085.9375}},
        {{"--fsk441-message", "CQ DL1ABC 26"}, 1, {882, 1323, 1764, 2205}},
    };
    for (const auto& plan : kPlans) {
        for (const Case& c : cases) {
            auto args = plan;
            args.insert(args.end(), c.message.begin(), c.message.end());
            const auto [json, wav] = record(args);
            const auto& table = json.begin().value();
            const auto symbols = table["symbols"].get<std::vector<std::uint8_t>>();
            EXPECT_EQ(
                strongestTones(wav, c.start, table["symbol_seconds"], symbols.size(), c.tones),
                symbols)
                << c.message[1] << " on " << plan[1];
        }
    }
}

TEST_F(Demodulate, CwKeysTheToneDotByDot) {
    for (const auto& plan : kPlans) {
        auto args = plan;
        args.insert(args.end(), {"--cw-message", "DB0ABC JO62", "--cw-wpm", "20"});
        const auto [json, wav] = record(args);
        const auto symbols = json["cw"]["symbols"].get<std::vector<std::uint8_t>>();
        const double dot = json["cw"]["symbol_seconds"];
        std::vector<std::uint8_t> heard;
        for (std::size_t k = 0; k < symbols.size(); ++k) {
            const double p =
                tonePower(wav.samples, sampleAt(1 + k * dot), sampleAt(1 + (k + 1) * dot), 800);
            heard.push_back(p > 1e6);  // a keyed tone gives (16384 / 2)^2
        }
        EXPECT_EQ(heard, symbols) << plan[1];
        EXPECT_EQ(tonePower(wav.samples, 0, sampleAt(1), 800), 0) << "sound before the start";
    }
}

TEST_F(Demodulate, RttySendsStartDataAndStopBits) {
    for (const auto& plan : kPlans) {
        auto args = plan;
        args.insert(args.end(), {"--rtty-message", "CQ DE DB0ABC 73"});
        const auto [json, wav] = record(args);
        const auto codes = json["rtty"]["symbols"].get<std::vector<std::uint8_t>>();
        const double bit = json["rtty"]["symbol_seconds"];
        const auto mark = [&, &wav = wav](double from, double to) {
            return tonePower(wav.samples, sampleAt(from), sampleAt(to), 1445) >
                   tonePower(wav.samples, sampleAt(from), sampleAt(to), 1275);
        };
        std::vector<std::uint8_t> heard;
        for (std::size_t c = 0; c < codes.size(); ++c) {
            const double t = 1 + c * 7.5 * bit;
            EXPECT_FALSE(mark(t, t + bit)) << "start bit of character " << c;
            std::uint8_t code = 0;
            for (int b = 0; b < 5; ++b) code |= mark(t + (b + 1) * bit, t + (b + 2) * bit) << b;
            EXPECT_TRUE(mark(t + 6 * bit, t + 7.5 * bit)) << "stop bits of character " << c;
            heard.push_back(code);
        }
        EXPECT_EQ(heard, codes) << plan[1];
    }
}

// A plan's whole cycle in one WAV: the key goes down and up on the very samples the event table
// says, the mixed-mode minute's PI4 sends its table, and the carrier sounds on the single tone.
TEST_F(Demodulate, ACycleIsKeyedWhereItsEventTableSays) {
    const CliResult r =
        cli({"--plan", MERIDEL_EXAMPLES "/iaru-mixed.toml", "--wav", "x.wav", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    const WavFile wav = readWav((folder / "x.wav").string());
    ASSERT_EQ(wav.samples.size(), sampleAt(60));
    using Stretch = std::pair<std::size_t, std::size_t>;  // samples [first, end)
    std::vector<Stretch> said, heard;
    for (const auto& e : json["sequence"]["events"]) {
        const std::size_t at = sampleAt(e["at_us"].get<double>() / 1e6);
        const bool down = !said.empty() && said.back().second == 0;
        if (e["key_down"] && !down) said.push_back({at, 0});
        if (!e["key_down"] && down) said.back().second = at;
    }
    // A keyed tone is never silent for more than a sample or two at its zero crossings.
    for (std::size_t n = 0, quiet = 3; n < wav.samples.size(); ++n) {
        if (wav.samples[n] == 0) {
            ++quiet;
            continue;
        }
        if (quiet > 2) heard.push_back({n, 0});
        heard.back().second = n + 1;
        quiet = 0;
    }
    // To a sample or two: a stretch may begin or end on a zero crossing.
    const auto near = [](const std::vector<Stretch>& a, const std::vector<Stretch>& b) {
        const auto close = [](std::size_t x, std::size_t y) { return x + 2 >= y && y + 2 >= x; };
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](auto& p, auto& q) {
            return close(p.first, q.first) && close(p.second, q.second);
        });
    };
    EXPECT_TRUE(near(heard, said)) << ::testing::PrintToString(heard) << "\n"
                                   << ::testing::PrintToString(said);
    // PI4 from 0 to 146/6 s, CW keyed from 25 s, the carrier up at 59.5 s.
    ASSERT_GE(heard.size(), 3u);
    EXPECT_TRUE(
        near({heard.front(), heard[1], heard.back()}, {{0, sampleAt(146.0 / 6)},
                                                       {sampleAt(25), heard[1].second},
                                                       {heard.back().first, sampleAt(59.5)}}));
    const auto symbols = json["messages"]["pi4"]["symbols"].get<std::vector<std::uint8_t>>();
    EXPECT_EQ(
        strongestTones(wav, 0, 1.0 / 6, symbols.size(), {682.8125, 917.1875, 1151.5625, 1385.9375}),
        symbols);
    EXPECT_GT(tonePower(wav.samples, sampleAt(50), sampleAt(51), 800), 6e7);
}

}  // namespace
}  // namespace meridel::testing
