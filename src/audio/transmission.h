#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"

namespace meridel::audio {

// What a sound cannot be made of: a signal outside the receiver's passband, a file that cannot
// be written. The message names the dial, the option or the file and what to do.
class SoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One stretch of the transmission: a frequency at the antenna held for a time, key down or up.
struct Segment {
    double rfHz = 0;
    double seconds = 0;
    bool keyed = true;  // false: the output is keyed off, silence
};

// The whole recording as the beacon keys it, from the recording's first sample on.
struct Transmission {
    std::vector<Segment> segments;
    std::string firstMode;  // "WSPR", "JT65B", ...: the mode whose dial convention applies
    double carrierHz = 0;   // the plan's carrier at the antenna (the USB dial of the JT modes)
    double seconds() const;
};

// The word a table's tone n is written as: the base word plus n times the interval word's low
// four bytes (what the firmware adds), in the chip's word width.
std::uint64_t steppedWord(std::uint64_t base, std::uint64_t interval, unsigned n, int wordBits);

// A message's segments at the antenna, from the chip's words as the firmware steps them: a tone
// table counts from its base word by its interval word, CW keys the single tone per dot unit and
// RTTY sends a start bit on space, five bits least significant first (mark for a 1) and 1.5 stop
// bits on mark. Throws SoundError when the words lack one the table needs.
std::vector<Segment> messageSegments(const firmware::MessageTable& table,
                                     const firmware::ChipWords& words);

// The messages one after another, a second of silence between two; the first starts where its
// mode's receivers expect it (WSPR and the JT modes a second into the period, PI4 at once).
Transmission beaconTransmission(std::span<const firmware::MessageTable> tables,
                                const firmware::ChipWords& words);

// The USB dial a listener of the first mode tunes to: the carrier for the JT modes, PI4 and the
// others, 1500 Hz below it for WSPR (whose tones then sit around 1500 Hz of audio).
double defaultDialHz(const Transmission& transmission);

// The receiver hears 0 to 3000 Hz above its dial.
inline constexpr double kPassbandHz = 3000;

struct ToneSpan {
    double lowHz = 0;
    double highHz = 0;
};
// The lowest and highest keyed frequency at the antenna.
ToneSpan keyedSpan(const Transmission& transmission);

// Throws SoundError when a keyed tone falls outside the passband at `dialHz`, naming a dial
// that centres the signal in the words of `dialName` (the option or field that sets the dial).
void checkPassband(const Transmission& transmission, double dialHz,
                   std::string_view dialName = "--dial");

}  // namespace meridel::audio
