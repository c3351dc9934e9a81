#pragma once

// Reading the sound back and measuring it: what the tests' own demodulators are made of.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>
#include <vector>

namespace meridel::testing {

struct WavFile {
    int rate = 0, channels = 0, format = 0;
    std::vector<std::int16_t> samples;
};

inline WavFile readWav(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    WavFile wav;
    if (!file) return wav;
    wav.rate = info.samplerate;
    wav.channels = info.channels;
    wav.format = info.format;
    wav.samples.resize(static_cast<std::size_t>(info.frames));
    sf_read_short(file, wav.samples.data(), info.frames);
    sf_close(file);
    return wav;
}

// The power of `hz` in samples [from, to) (Goertzel), per sample.
inline double tonePower(std::span<const std::int16_t> s, std::size_t from, std::size_t to,
                        double hz, double rate = 12000) {
    const double w = 2 * std::numbers::pi * hz / rate;
    double re = 0, im = 0;
    for (std::size_t n = from; n < to && n < s.size(); ++n) {
        re += s[n] * std::cos(w * static_cast<double>(n));
        im += s[n] * std::sin(w * static_cast<double>(n));
    }
    const double len = static_cast<double>(to - from);
    return (re * re + im * im) / (len * len);
}

// The sample a time falls on, as the generator places segment edges.
inline std::size_t sampleAt(double seconds) {
    return static_cast<std::size_t>(std::llround(seconds * 12000));
}

}  // namespace meridel::testing
