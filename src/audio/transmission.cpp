#include "audio/transmission.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "firmware/tone_words.h"
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

// The plan's carrier at the antenna, where the USB dial of the JT modes sits.
double carrierHz(const firmware::ChipWords& words) {
    for (const firmware::ChipWord& w : words.tones) {
        if (w.id == "SSB_CARRIER") return w.requestedHz * words.rfMult;
    }
    return 0;
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

std::vector<double> toneFrequencies(const firmware::MessageTable& table,
                                    const firmware::ChipWords& words, SoundWords kind) {
    std::vector<double> out;
    if (kind == SoundWords::Tones) {
        try {
            for (const firmware::ToneWord& t : firmware::tableTones(table, words).tones) {
                out.push_back(t.antennaHz);
            }
        } catch (const firmware::FirmwareError& error) {
            throw SoundError(error.what());
        }
        return out;
    }
    const int bits = words.chip->wordBits;
    const auto rf = [&](std::uint64_t ftw) {
        return numbers::wordFrequency(ftw, words.clockHz, bits) * words.rfMult;
    };
    const firmware::ChipWord& base = word(words.tones, table.base_word, true, table);
    if (table.key == "cw") return {rf(base.ftw)};
    if (table.key == "rtty") {
        return {rf(base.ftw), rf(word(words.tones, "RTTY_MARK", false, table).ftw)};
    }
    const firmware::ChipWord& step =
        word(words.intervals, firmware::intervalIdOf(table), false, table);
    const unsigned highest =
        table.symbols.empty() ? 0 : *std::max_element(table.symbols.begin(), table.symbols.end());
    for (unsigned n = 0; n <= highest; ++n) {
        out.push_back(rf(steppedWord(base.ftw, step.ftw, n, bits)));
    }
    return out;
}

std::vector<Segment> messageSegments(const firmware::MessageTable& table,
                                     const firmware::ChipWords& words, SoundWords kind) {
    const std::vector<double> hz = toneFrequencies(table, words, kind);
    std::vector<Segment> out;
    if (table.key == "cw") {
        for (std::uint8_t key : table.symbols) {
            out.push_back({hz[0], table.symbol_seconds, key != 0});
        }
    } else if (table.key == "rtty") {
        const double bit = table.symbol_seconds;
        for (std::uint8_t code : table.symbols) {
            out.push_back({hz[0], bit});
            for (int b = 0; b < kRttyDataBits; ++b) out.push_back({hz[(code >> b) & 1], bit});
            out.push_back({hz[1], kRttyStopBits * bit});
        }
    } else {
        for (std::uint8_t n : table.symbols) out.push_back({hz[n], table.symbol_seconds});
    }
    return out;
}

Transmission beaconTransmission(std::span<const firmware::MessageTable> tables,
                                const firmware::ChipWords& words, SoundWords kind) {
    Transmission out;
    out.carrierHz = carrierHz(words);
    for (const firmware::MessageTable& table : tables) {
        const bool first = out.segments.empty();
        if (first) out.firstMode = table.mode;
        const double pause = !first ? kGapSeconds : table.key == "pi4" ? 0 : kJtStartSeconds;
        if (pause > 0) out.segments.push_back({out.carrierHz, pause, false});
        const std::vector<Segment> message = messageSegments(table, words, kind);
        out.segments.insert(out.segments.end(), message.begin(), message.end());
    }
    return out;
}

Transmission cycleTransmission(const sequence::Cycle& cycle,
                               std::span<const firmware::MessageTable> tables,
                               const firmware::ChipWords& words, SoundWords kind) {
    Transmission out;
    out.carrierHz = carrierHz(words);
    // The tones each placed segment loads: its table's, or the carrier's single tone.
    std::map<std::string, std::vector<double>> byTable;
    std::vector<const std::vector<double>*> tones;
    for (const sequence::PlacedSegment& s : cycle.segments) {
        const bool carrier = s.kind == sequence::SegmentKind::Carrier;
        const std::string key = carrier ? "carrier" : s.table;
        auto [slot, fresh] = byTable.try_emplace(key);
        if (carrier && fresh) {
            const firmware::ChipWord* single = nullptr;
            for (const firmware::ChipWord& w : words.tones) {
                if (w.id == "SINGLE_TONE") single = &w;
            }
            if (!single) throw SoundError("the carrier segment needs the single tone word");
            slot->second = {
                numbers::wordFrequency(single->ftw, words.clockHz, words.chip->wordBits) *
                words.rfMult};
        } else if (!carrier && !key.empty()) {
            const auto table = std::find_if(tables.begin(), tables.end(),
                                            [&](const auto& t) { return t.key == key; });
            if (table == tables.end()) {
                throw SoundError("the " + std::string(sequence::kindName(s.kind)) +
                                 " segment has no message to send");
            }
            if (fresh) slot->second = toneFrequencies(*table, words, kind);
        }
        tones.push_back(&slot->second);
    }
    // The dial of the messages alone: a CW identification before WSPR keeps WSPR's.
    for (const firmware::MessageTable& t : tables) {
        if (byTable.count(t.key)) {
            out.firstMode = t.mode;
            break;
        }
    }
    sequence::Rational at{0};
    double hz = out.carrierHz;
    bool keyed = false;
    for (const sequence::Event& e : cycle.events) {
        if (e.at > at) out.segments.push_back({hz, e.at.toDouble() - at.toDouble(), keyed});
        at = std::max(at, e.at);
        const std::vector<double>& loaded = *tones[static_cast<std::size_t>(e.segment)];
        // CW and the carrier key one tone, whatever number their events give it.
        if (e.tone >= 0 && !loaded.empty()) {
            hz = loaded[loaded.size() == 1 ? 0 : static_cast<std::size_t>(e.tone)];
        }
        keyed = e.keyDown;
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
