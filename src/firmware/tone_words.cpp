#include "firmware/tone_words.h"

#include <algorithm>
#include <cmath>

#include "numbers/decimal_text.h"
#include "numbers/rational.h"
#include "numbers/tuning_word.h"

namespace meridel::firmware {
namespace {

const ChipWord* byName(const std::vector<ChipWord>& list, std::string_view name) {
    for (const ChipWord& w : list) {
        if (w.name == name) return &w;
    }
    return nullptr;
}

const ChipWord* byId(const std::vector<ChipWord>& list, std::string_view id) {
    for (const ChipWord& w : list) {
        if (w.id == id) return &w;
    }
    return nullptr;
}

// actual - requested at the chip, rounded once from the exact difference: near a half step the
// two doubles' own rounding would be as large as the difference between two tones' errors.
double wordError(std::uint64_t ftw, double hz, double clockHz, int bits, double actualHz) {
    const auto clock = numbers::Rational::fromDouble(clockHz);
    const auto requested = numbers::Rational::fromDouble(hz);
    if (!clock || !requested) return actualHz - hz;
    try {
        const numbers::Rational step(1, numbers::Int128{1} << bits);
        return (numbers::Rational(ftw) * step * *clock - *requested).toDouble();
    } catch (const numbers::RationalOverflow&) {
        return actualHz - hz;
    }
}

ToneWord toneWord(const MessageTable& table, const ChipWords& words, int tone, double hz) {
    const dds::Chip& chip = *words.chip;
    const auto ftw = numbers::frequencyWord(hz, words.clockHz, chip.wordBits);
    if (!ftw) {
        throw FirmwareError("tone " + std::to_string(tone) + " of message table \"" + table.key +
                            "\" (" + numbers::plainDecimalText(hz) + " Hz) cannot be made by the " +
                            std::string(chip.name) + " at a clock of " +
                            numbers::plainDecimalText(words.clockHz / 1e6) +
                            " MHz: every tone must lie from 0 Hz to below the clock");
    }
    const double r = words.rfMult;
    ToneWord w;
    w.tone = tone;
    w.requestedHz = hz;
    w.ftw = *ftw;
    w.actualHz = numbers::wordFrequency(*ftw, words.clockHz, chip.wordBits);
    w.antennaHz = w.actualHz * r;
    w.antennaErrorHz = wordError(*ftw, hz, words.clockHz, chip.wordBits, w.actualHz) * r;
    return w;
}

}  // namespace

double TableTones::worstFraction() const {
    return spacingHz > 0 ? std::fabs(worstErrorHz) / spacingHz : 0.0;
}

TableTones tableTones(const MessageTable& table, const ChipWords& words) {
    const ChipWord* base = byName(words.tones, table.base_word);
    if (!base) {
        throw FirmwareError("message table \"" + table.key + "\": its base word \"" +
                            table.base_word + "\" is not a tone word of the " +
                            std::string(words.chip->name));
    }
    TableTones out;
    double spacing = 0;  // at the chip
    const std::string intervalId = intervalIdOf(table);
    if (table.key == "rtty") {
        const ChipWord* mark = byId(words.tones, "RTTY_MARK");
        if (!mark) throw FirmwareError("message table \"rtty\" needs the RTTY Mark word");
        out.tones = {toneWord(table, words, 0, base->requestedHz),
                     toneWord(table, words, 1, mark->requestedHz)};
        spacing = std::fabs(mark->requestedHz - base->requestedHz);
    } else if (intervalId.empty()) {
        out.tones = {toneWord(table, words, 0, base->requestedHz)};
    } else {
        const ChipWord* interval = byId(words.intervals, intervalId);
        if (!interval) {
            throw FirmwareError("message table \"" + table.key + "\" needs the " + intervalId +
                                " word, which this plan does not have");
        }
        spacing = interval->requestedHz;
        const int highest = table.symbols.empty()
                                ? 0
                                : *std::max_element(table.symbols.begin(), table.symbols.end());
        for (int n = 0; n <= highest; ++n) {
            out.tones.push_back(toneWord(table, words, n, base->requestedHz + n * spacing));
        }
    }
    out.spacingHz = spacing * words.rfMult;
    for (const ToneWord& t : out.tones) {
        if (std::fabs(t.antennaErrorHz) > std::fabs(out.worstErrorHz)) {
            out.worstTone = t.tone;
            out.worstErrorHz = t.antennaErrorHz;
        }
    }
    if (out.spacingHz > 0) {
        double worstStep = 0;
        for (std::size_t i = 1; i < out.tones.size(); ++i) {
            const double step = std::fabs(out.tones[i].antennaHz - out.tones[i - 1].antennaHz);
            worstStep = std::max(worstStep, std::fabs(step - out.spacingHz));
        }
        out.spacingErrorPercent = worstStep / out.spacingHz * 100.0;
    }
    return out;
}

}  // namespace meridel::firmware
