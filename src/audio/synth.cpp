#include "audio/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace meridel::audio {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kNoiseBandHz = 2500;
// A clean tone at half of full scale; with noise, signal and noise together at this RMS, which
// leaves room for the noise's peaks below full scale.
constexpr double kCleanAmplitude = 16384;
constexpr double kNoisyRms = 4000;

// SplitMix64: small, fast and good enough for noise that only has to be white and Gaussian.
class NoiseSource {
public:
    explicit NoiseSource(std::uint64_t seed) : state_(seed) {}
    // Two independent standard normal values (Box-Muller).
    std::pair<double, double> pair() {
        const double u1 = (static_cast<double>(next() >> 11) + 1) * 0x1p-53;  // (0, 1]
        const double u2 = static_cast<double>(next() >> 11) * 0x1p-53;
        const double r = std::sqrt(-2 * std::log(u1));
        return {r * std::cos(kTwoPi * u2), r * std::sin(kTwoPi * u2)};
    }

private:
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

}  // namespace

std::vector<std::int16_t> listen(std::span<const Segment> segments, const Listening& how) {
    const auto total =
        static_cast<std::size_t>(std::max(0.0, std::round(how.seconds * kSampleRate)));
    std::vector<double> sound(total, 0.0);

    double amplitude = kCleanAmplitude;
    double noiseSigma = 0;
    if (how.snrDb) {
        // Noise power over the whole 6000 Hz band that puts `ratio` times less of it into
        // 2500 Hz than the tone's power (amplitude^2 / 2).
        const double ratio = std::pow(10.0, *how.snrDb / 10);
        const double noisePerSignal = kSampleRate / 2.0 / kNoiseBandHz / ratio;
        const double signalPower = kNoisyRms * kNoisyRms / (1 + noisePerSignal);
        amplitude = std::sqrt(2 * signalPower);
        noiseSigma = std::sqrt(signalPower * noisePerSignal);
    }

    double elapsed = 0;
    double phase = 0;
    for (const Segment& s : segments) {
        const auto from = static_cast<std::size_t>(std::llround(elapsed * kSampleRate));
        elapsed += s.seconds;
        const auto to = static_cast<std::size_t>(std::llround(elapsed * kSampleRate));
        const double step = kTwoPi * (s.rfHz - how.dialHz) / kSampleRate;
        const std::size_t end = std::min(to, total);
        if (s.keyed) {
            // From the segment's first phase, not summed sample by sample: no rounding builds up.
            for (std::size_t n = from; n < end; ++n) {
                sound[n] = amplitude * std::sin(phase + step * static_cast<double>(n - from));
            }
        }
        phase = std::fmod(phase + step * static_cast<double>(to - from), kTwoPi);
        if (to >= total) break;
    }

    if (noiseSigma > 0) {
        NoiseSource noise(how.noiseSeed);
        for (std::size_t n = 0; n < total; n += 2) {
            const auto [a, b] = noise.pair();
            sound[n] += noiseSigma * a;
            if (n + 1 < total) sound[n + 1] += noiseSigma * b;
        }
    }

    std::vector<std::int16_t> samples(total);
    std::transform(sound.begin(), sound.end(), samples.begin(), [](double v) {
        return static_cast<std::int16_t>(std::clamp(std::round(v), -32768.0, 32767.0));
    });
    return samples;
}

}  // namespace meridel::audio
