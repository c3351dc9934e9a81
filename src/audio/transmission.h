#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"
#include "sequence/cycle.h"

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

// The words a firmware loads for a tone: the base word plus n interval words, as the AD9852's
// PIC program adds them to the listing's words, or a word of its own per tone, rounded on its
// own, as the C header gives them.
enum class SoundWords { Stepped, Tones };

// The frequency at the antenna of every tone a table sends, indexed by the tone number: tone
// tables from 0 to their highest symbol, CW its key-down tone, RTTY space (0) and mark (1).
// Throws SoundError when the words lack one the table needs.
std::vector<double> toneFrequencies(const firmware::MessageTable& table,
                                    const firmware::ChipWords& words, SoundWords kind);

// A message's segments at the antenna: a tone table's tone per symbol, CW the key-down tone per
// dot unit, and RTTY a start bit on space, five bits least significant first (mark for a 1) and
// 1.5 stop bits on mark. Throws SoundError when the words lack one the table needs.
std::vector<Segment> messageSegments(const firmware::MessageTable& table,
                                     const firmware::ChipWords& words,
                                     SoundWords kind = SoundWords::Stepped);

// The messages one after another, a second of silence between two; the first starts where its
// mode's receivers expect it (WSPR and the JT modes a second into the period, PI4 at once).
Transmission beaconTransmission(std::span<const firmware::MessageTable> tables,
                                const firmware::ChipWords& words,
                                SoundWords kind = SoundWords::Stepped);

// One cycle as its event table keys it, from the cycle's start: each event loads its table's
// tone (the carrier the single tone) and keys up or down until the next. The first mode is that
// of the first of `tables` the cycle sends, so the dial is that of the same messages alone.
Transmission cycleTransmission(const sequence::Cycle& cycle,
                               std::span<const firmware::MessageTable> tables,
                               const firmware::ChipWords& words, SoundWords kind);

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
