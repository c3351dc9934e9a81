#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "audio/transmission.h"

namespace meridel::audio {

// What the WSJT decoders read: 12 000 samples a second, 16-bit mono.
inline constexpr int kSampleRate = 12000;

struct Listening {
    double dialHz = 0;            // the USB receiver's dial; audio = antenna - dial
    double seconds = 0;           // the length of the recording
    std::optional<double> snrDb;  // white noise at this SNR in 2500 Hz, as WSJT-X reports it
    std::uint64_t noiseSeed = 1;  // the same seed gives the same noise
};

// The audio a USB receiver hears: each keyed segment a sine at its frequency less the dial,
// phase continuous from one segment to the next as a DDS changing its word, cut or padded with
// silence to the recording's length. Segment edges fall on the nearest sample of their exact
// time, so long tables do not drift. The caller checks the passband first (checkPassband).
std::vector<std::int16_t> listen(std::span<const Segment> segments, const Listening& how);

}  // namespace meridel::audio
