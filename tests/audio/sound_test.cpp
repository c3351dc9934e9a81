#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "audio/sound_files.h"
#include "audio/sound_probe.h"
#include "audio/synth.h"
#include "audio/transmission.h"
#include "support/scratch_folder.h"

namespace meridel::audio {
namespace {

using testing::sampleAt;
using testing::tonePower;

TEST(SteppedWord, AddsTheFourLowBytesOfTheIntervalInTheChipsWidth) {
    struct Case {
        std::uint64_t base, interval;
        unsigned n;
        int bits;
        std::uint64_t word;
    };
    const Case cases[] = {
        {0x400000000000, 0x1F7510, 3, 48, 0x400000000000 + 3 * 0x1F7510},
        // The listing's interval line shows four bytes: a fifth is not added.
        {0x400000000000, 0x100000010, 2, 48, 0x400000000020},
        // A carry past the low four bytes goes on into the fifth, as a 48-bit word.
        {0x0000FFFFFFFF, 1, 1, 48, 0x000100000000},
        {0xFFFFFFFFFFFF, 1, 1, 48, 0},
        {0xFFFFFFF0, 0x20, 1, 32, 0x10},
        {0x0FFFFFF0, 0x10, 1, 28, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(steppedWord(c.base, c.interval, c.n, c.bits), c.word) << std::hex << c.base;
    }
}

// The frequency of a tone measured from its phase drift against a reference over a long time.
double measuredHz(std::span<const std::int16_t> s, std::size_t from, std::size_t to, double hz) {
    const auto half = (to - from) / 2;
    const auto phasor = [&](std::size_t a) {
        std::complex<double> sum;
        const double w = 2 * std::numbers::pi * hz / kSampleRate;
        for (std::size_t n = a; n < a + half; ++n) sum += double(s[n]) * std::polar(1.0, -w * n);
        return sum;
    };
    const double turn = std::arg(phasor(from + half) / phasor(from)) / (2 * std::numbers::pi);
    return hz + turn * kSampleRate / static_cast<double>(half);
}

TEST(Listen, TonesSitAtTheirFrequencyLessTheDialEvenAtMicrowaves) {
    const double dial = 10368.1e6;
    const Segment tones[] = {{dial + 1500.123, 6}, {dial + 2999.5, 6}, {dial + 41.3, 6}};
    const auto s = listen(tones, {dial, 18, std::nullopt});
    for (int k = 0; k < 3; ++k) {
        const double hz = tones[k].rfHz - dial;
        EXPECT_NEAR(measuredHz(s, sampleAt(6 * k + 0.5), sampleAt(6 * k + 5.5), hz), hz, 2e-3);
    }
}

TEST(Listen, PhaseRunsOnAcrossAWordChangeAndTheKeyUp) {
    // The first tone ends a quarter turn into its cycle: restarting the phase there would jump
    // by the full amplitude.
    const Segment segments[] = {
        {1000, 447.0 / kSampleRate}, {1234.5, 0.0529}, {1234.5, 0.02, false}, {1000, 0.05}};
    const auto s = listen(segments, {0, 0.2, std::nullopt});
    const double limit = 16384 * 2 * std::sin(std::numbers::pi * 1234.5 / kSampleRate) + 2;
    const std::size_t up = sampleAt(447.0 / kSampleRate + 0.0529);
    const std::size_t down = sampleAt(447.0 / kSampleRate + 0.0729);
    for (std::size_t n = 0; n + 1 < sampleAt(0.15); ++n) {
        if (n + 1 == up || n + 1 == down) continue;  // the key's own edges
        ASSERT_LE(std::abs(s[n + 1] - s[n]), limit) << "at sample " << n;
    }
    for (std::size_t n = up; n < down; ++n) ASSERT_EQ(s[n], 0) << n;
    // The DDS ran on while keyed up: the last tone starts where an unbroken one would be.
    const double phase =
        2 * std::numbers::pi * (1000.0 * 447 + 1234.5 * (down - 447.0)) / kSampleRate;
    EXPECT_NEAR(s[down], 16384 * std::sin(phase), 2);
    EXPECT_EQ(s.size(), sampleAt(0.2));
}

TEST(Listen, NoiseGivesTheAskedSnrIn2500Hz) {
    for (double snr : {-26.0, -20.0, 0.0, 10.0}) {
        const Segment tone[] = {{1500, 40}};
        const auto s = listen(tone, {0, 40, snr, 7});
        const double signal = 2 * tonePower(s, 0, s.size(), 1500);  // A^2 / 2
        double total = 0;
        for (std::int16_t v : s) total += double(v) * v;
        const double noiseIn2500 = (total / s.size() - signal) * 2500 / 6000;
        EXPECT_NEAR(10 * std::log10(signal / noiseIn2500), snr, 0.2) << snr;
        EXPECT_LT(*std::max_element(s.begin(), s.end()), 32767) << "clipped at " << snr;
    }
    const Segment tone[] = {{1500, 1}};
    EXPECT_EQ(listen(tone, {0, 1, -10.0, 3}), listen(tone, {0, 1, -10.0, 3}));
    EXPECT_NE(listen(tone, {0, 1, -10.0, 3}), listen(tone, {0, 1, -10.0, 4}));
}

TEST(SoundFiles, WaterfallDrawsFrequencyAcrossAndTimeDown) {
    testing::ScratchFolder folder("audio");
    const Segment tones[] = {{1000, 20}, {1100, 20}};
    const auto s = listen(tones, {0, 40, std::nullopt});
    const std::string path = (folder.path() / "w.png").string();
    writeWaterfall(path, s, viewAround(1000, 1100, 0.5));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    image.format = PNG_FORMAT_GRAY;
    std::vector<std::uint8_t> px(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, px.data(), 0, nullptr));
    const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
    EXPECT_GE(w, 600);
    // The brightest column a quarter and three quarters down: the second tone lies to the right
    // of the first, by 100 Hz of the 150 Hz shown (1000 - 25 to 1100 + 25).
    const auto brightest = [&](int y) {
        int best = 80;
        for (int x = 80; x < w - 12; ++x) best = px[y * w + x] > px[y * w + best] ? x : best;
        return best;
    };
    const int first = brightest(h / 4), second = brightest(3 * h / 4);
    EXPECT_NEAR(double(second - first) / (w - 88), 100.0 / 150, 0.03) << first << " " << second;
}

}  // namespace
}  // namespace meridel::audio
