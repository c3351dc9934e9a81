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

using numbers::Rational;

// A word's frequency exactly: the run's request where it kept one, else its double's value.
std::optional<Rational> exactHz(const ChipWord& word) {
    if (word.exactHz) return word.exactHz;
    return Rational::fromDouble(word.requestedHz);
}

// The clock a plan states is a decimal of at most 15 digits, which the double product that
// made clockHz may miss by an ulp; a clock corrected to the microhertz may need more digits.
std::optional<Rational> exactClock(double clockHz) {
    const auto decimal = numbers::decimalValue(clockHz);
    const double ulp = std::nextafter(clockHz, INFINITY) - clockHz;
    if (decimal && std::fabs(decimal->toDouble() - clockHz) <= 2 * ulp) return decimal;
    return Rational::fromDouble(clockHz);
}

// Tone `tone` of a table: `base` plus `tone` steps of `step` (none: `base` itself), its word
// rounded from the exact frequency. In doubles, base + n x spacing is off by up to a few
// hundred microhertz at 10 GHz, where a 48-bit step is a few microhertz.
ToneWord toneWord(const MessageTable& table, const ChipWords& words, int tone, const ChipWord& base,
                  const ChipWord* step) {
    const dds::Chip& chip = *words.chip;
    const double hz = base.requestedHz + (step ? tone * step->requestedHz : 0.0);
    std::optional<Rational> exact;
    std::optional<Rational> clock = exactClock(words.clockHz);
    std::optional<std::uint64_t> ftw;
    try {
        const auto from = exactHz(base);
        const auto by = step ? exactHz(*step) : Rational();
        if (from && by && clock) {
            exact = *from + *by * Rational(step ? tone : 0);
            ftw = numbers::frequencyWord(*exact, *clock, chip.wordBits);
        }
    } catch (const numbers::RationalOverflow&) {
        ftw.reset();  // beyond any chip's range: refused below
    }
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
    w.requestedHz = exact->toDouble();
    w.ftw = *ftw;
    w.actualHz = numbers::wordFrequency(*ftw, words.clockHz, chip.wordBits);
    w.antennaHz = w.actualHz * r;
    // Rounded once from the exact difference: near a half step the doubles' own rounding would be
    // as large as the difference between two tones' errors.
    try {
        const Rational actual =
            Rational(*ftw) * *clock / Rational(numbers::Int128{1} << chip.wordBits);
        w.antennaErrorHz = ((actual - *exact) * Rational(words.rfMult)).toDouble();
    } catch (const numbers::RationalOverflow&) {
        w.antennaErrorHz = (w.actualHz - w.requestedHz) * r;
    }
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
        out.tones = {toneWord(table, words, 0, *base, nullptr),
                     toneWord(table, words, 1, *mark, nullptr)};
        spacing = std::fabs(mark->requestedHz - base->requestedHz);
    } else if (intervalId.empty()) {
        out.tones = {toneWord(table, words, 0, *base, nullptr)};
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
            out.tones.push_back(toneWord(table, words, n, *base, interval));
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
