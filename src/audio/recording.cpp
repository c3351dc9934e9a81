#include "audio/recording.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace meridel::audio {
namespace {

// How long a recording is unless chosen: the period its decoder reads.
constexpr double kWsprPeriodSeconds = 120;
constexpr double kPeriodSeconds = 60;

}  // namespace

Recording makeRecording(std::span<const firmware::MessageTable> tables,
                        const firmware::ChipWords& words, const RecordingChoice& choice,
                        const sequence::Cycle* cycle) {
    const Transmission transmission = cycle ? cycleTransmission(*cycle, tables, words, choice.words)
                                            : beaconTransmission(tables, words, choice.words);
    Recording out;
    out.how.dialHz = choice.dialHz.value_or(defaultDialHz(transmission));
    checkPassband(transmission, out.how.dialHz, choice.dialName);
    const double period = cycle                              ? cycle->length.toDouble()
                          : transmission.firstMode == "WSPR" ? kWsprPeriodSeconds
                                                             : kPeriodSeconds;
    // Symbol times summed in floating point overshoot a whole second by a hair: not a second more.
    const double needed = std::ceil(transmission.seconds() - 1e-6);
    out.how.seconds = choice.seconds.value_or(std::max(period, needed));
    out.how.snrDb = choice.snrDb;
    out.samples = listen(transmission.segments, out.how);

    const ToneSpan span = keyedSpan(transmission);
    double shortest = out.how.seconds;
    for (const Segment& s : transmission.segments) {
        if (s.keyed) shortest = std::min(shortest, s.seconds);
    }
    out.view = viewAround(span.lowHz - out.how.dialHz, span.highHz - out.how.dialHz, shortest);

    for (const firmware::MessageTable& table : tables) {
        // A cycle sends only the messages its segments name.
        if (cycle && std::none_of(cycle->segments.begin(), cycle->segments.end(),
                                  [&](const auto& s) { return s.table == table.key; })) {
            continue;
        }
        MessageBand band{table.key, table.mode, std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity()};
        for (const Segment& s : messageSegments(table, words, choice.words)) {
            if (!s.keyed) continue;
            band.lowHz = std::min(band.lowHz, s.rfHz - out.how.dialHz);
            band.highHz = std::max(band.highHz, s.rfHz - out.how.dialHz);
        }
        if (band.lowHz <= band.highHz) out.bands.push_back(band);
    }
    return out;
}

}  // namespace meridel::audio
