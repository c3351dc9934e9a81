#include "audio/transmission.h"

#include <algorithm>
#include <cmath>

#include "numbers/decimal_text.h"
#include "numbers/tuning_word.h"

namespace meridel::audio {
namespace {

// Receivers of these modes look for the signal a second into their period.
constexpr double kJtStartSeconds = 1.0;
constexpr double kGapSeconds = 1.0;
constexpr double kWsprDialBelowCarrierHz = 1500;
constexpr double kRttyStopBits = 1.5;
constexpr int kRttyDataBits = 5;

const firmware::ChipWord& word(const std::vector<firmware::ChipWord>& list, std::string_view key,
                               bool byName, const firmware::MessageTable& table) {
    for (const firmware::ChipWord& w : list) {
        if ((byName ? w.name : w.id) == key) return w;
    }
    throw SoundError(table.mode + " message \"" + table.text +
                     "\": the words of this plan have no " + std::string(key) +
                     " word to key it with");
}

// To the tenth of a hertz: what tells two tones apart.
std::string megahertz(double hz) {
    return numbers::trimmedDecimalText(std::round(hz * 10) / 1e7);
}

}  // namespace

double Transmission::seconds() const {
    double total = 0;
    for (const Segment& s : segments) total += s.seconds;
    return total;
}

std::uint64_t steppedWord(std::uint64_t base, std::uint64_t interval, unsigned n, int wordBits) {
    const std::uint64_t mask = wordBits >= 64 ? ~0ULL : (1ULL << wordBits) - 1;
    return (base + n * (interval & 0xFFFFFFFFULL)) & mask;
}

std::vector<Segment> messageSegments(const firmware::MessageTable& table,
                                     const firmware::ChipWords& words) {
    const int bits = words.chip->wordBits;
    const auto rf = [&](std::uint64_t ftw) {
        return numbers::wordFrequency(ftw, words.clockHz, bits) * words.rfMult;
    };
    const firmware::ChipWord& base = word(words.tones, table.base_word, true, table);
    std::vector<Segment> out;
    if (table.key == "cw") {
        for (std::uint8_t key : table.symbols) {
            out.push_back({rf(base.ftw), table.symbol_seconds, key != 0});
        }
    } else if (table.key == "rtty") {
        const double mark = rf(word(words.tones, "RTTY_MARK", false, table).ftw);
        const double space = rf(base.ftw);
        const double bit = table.symbol_seconds;
        for (std::uint8_t code : table.symbols) {
            out.push_back({space, bit});
            for (int b = 0; b < kRttyDataBits; ++b) {
                out.push_back({(code >> b) & 1 ? mark : space, bit});
            }
            out.push_back({mark, kRttyStopBits * bit});
        }
    } else {
        const std::string id = firmware::intervalIdOf(table);
        const firmware::ChipWord& step = word(words.intervals, id, false, table);
        for (std::uint8_t n : table.symbols) {
            out.push_back({rf(steppedWord(base.ftw, step.ftw, n, bits)), table.symbol_seconds});
        }
    }
    return out;
}

Transmission beaconTransmission(std::span<const firmware::MessageTable> tables,
                                const firmware::ChipWords& words) {
    Transmission out;
    for (const firmware::ChipWord& w : words.tones) {
        if (w.id == "SSB_CARRIER") out.carrierHz = w.requestedHz * words.rfMult;
    }
    for (const firmware::MessageTable& table : tables) {
        const bool first = out.segments.empty();
        if (first) out.firstMode = table.mode;
        const double pause = !first ? kGapSeconds : table.key == "pi4" ? 0 : kJtStartSeconds;
        if (pause > 0) out.segments.push_back({out.carrierHz, pause, false});
        const std::vector<Segment> message = messageSegments(table, words);
        out.segments.insert(out.segments.end(), message.begin(), message.end());
    }
    return out;
}

double defaultDialHz(const Transmission& transmission) {
    return transmission.firstMode == "WSPR" ? transmission.carrierHz - kWsprDialBelowCarrierHz
                                            : transmission.carrierHz;
}

ToneSpan keyedSpan(const Transmission& transmission) {
    ToneSpan span{INFINITY, -INFINITY};
    for (const Segment& s : transmission.segments) {
        if (!s.keyed) continue;
        span.lowHz = std::min(span.lowHz, s.rfHz);
        span.highHz = std::max(span.highHz, s.rfHz);
    }
    return span;
}

void checkPassband(const Transmission& transmission, double dialHz, std::string_view dialName) {
    const ToneSpan span = keyedSpan(transmission);
    if (span.lowHz > span.highHz) return;  // nothing keyed
    if (span.lowHz - dialHz >= 0 && span.highHz - dialHz <= kPassbandHz) return;
    // A dial, to the hertz, that puts the middle of the signal at the middle of the passband.
    const double centred = std::round((span.lowHz + span.highHz) / 2 - kPassbandHz / 2);
    std::string what =
        "the signal spans " + megahertz(span.lowHz) + " to " + megahertz(span.highHz) + " MHz, ";
    if (span.highHz - span.lowHz > kPassbandHz) {
        throw SoundError(what +
                         "wider than the 0 to 3000 Hz a USB receiver hears: send the "
                         "messages one at a time");
    }
    throw SoundError(what + "outside the 0 to 3000 Hz a USB receiver tuned to " +
                     megahertz(dialHz) + " MHz hears: use " + std::string(dialName) + " " +
                     megahertz(centred));
}

}  // namespace meridel::audio
