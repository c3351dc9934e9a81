#include "firmware/word_checks.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "numbers/decimal_text.h"

namespace meridel::firmware {
namespace {

using numbers::plainDecimalText;

// JT65's tones run from the sync tone (n = 0) to data tone 63 (n = 65).
constexpr std::array<ToneSet, 5> kToneSets = {{
    {"FSK441_TONE_0", "FSK441_INTERVAL", 4},
    {"JT_SYNC", "JT65_INTERVAL", 66},
    {"JT4_TONE_0", "JT4_INTERVAL", 4},
    {"WSPR_BASE", "WSPR_INTERVAL", 4},
    {"PI4_TONE_0", "PI4_INTERVAL", 4},
}};

const ChipWord* find(const std::vector<ChipWord>& list, std::string_view id) {
    for (const ChipWord& w : list) {
        if (w.id == id) return &w;
    }
    return nullptr;
}

// The frequency a word makes, reading a word of the upper half as the negative frequency it
// stands for (the AD9852 listing spells a tone below 0 Hz that way).
double signedFrequency(std::uint64_t ftw, const ChipWords& words) {
    const int bits = words.chip->wordBits;
    const double step = std::ldexp(words.clockHz, -bits);
    if (ftw >= (std::uint64_t{1} << (bits - 1))) {
        return -static_cast<double>((std::uint64_t{1} << bits) - ftw) * step;
    }
    return static_cast<double>(ftw) * step;
}

std::string hz(double value) {
    return plainDecimalText(value) + " Hz";
}

// `ownWords`: a message table of the set carries a word per tone, so only firmware that still
// steps by the interval word goes wrong, which is worth a warning but no refusal.
void checkToneSet(const ToneSet& set, const ChipWords& words, bool ownWords, WordChecks& out) {
    const ChipWord* base = find(words.tones, set.baseId);
    const ChipWord* interval = find(words.intervals, set.intervalId);
    // A base at or above half the clock is refused as an alias already.
    if (!base || !interval || !(interval->requestedHz > 0) ||
        base->requestedHz >= dds::kAliasRatio * words.clockHz) {
        return;
    }
    const double spacing = interval->requestedHz;
    const double baseError = signedFrequency(base->ftw, words) - base->requestedHz;
    const double stepError = signedFrequency(interval->ftw, words) - spacing;
    int worst = 0;
    double worstOff = 0;
    for (int n = 0; n < set.tones; ++n) {
        const double off = std::fabs(baseError + n * stepError);
        if (off > worstOff) {
            worst = n;
            worstOff = off;
        }
    }
    const StepVerdict verdict = stepVerdict(worstOff / spacing, interval->ftw == 0);
    if (verdict == StepVerdict::Fine) return;
    const std::string chip(words.chip->name);
    const std::string step = hz(std::ldexp(words.clockHz, -words.chip->wordBits));
    std::string text = interval->name + " of " + hz(spacing) + " at the DDS output";
    if (interval->ftw == 0) {
        text +=
            " is 0 in the " + chip + "'s steps of " + step + ": every tone of the mode is the same";
    } else {
        const std::string tone = worst == 0
                                     ? base->name
                                     : "tone " + std::to_string(worst) + " as " + base->name +
                                           " + " + std::to_string(worst) + " x interval";
        text += ": " + tone + " is " + hz(worstOff) + " off, " +
                plainDecimalText(worstOff / spacing) + " of the spacing (one " + chip +
                " step is " + step + ")";
    }
    text += "; a higher clock or a lower RF Mult helps";
    if (verdict == StepVerdict::Refuse && ownWords) {
        text += "; step by the message table's own tone words instead";
    }
    (verdict == StepVerdict::Refuse && !ownWords ? out.refusals : out.warnings).push_back(text);
}

// The AD9850/51 hold the phase in W0's five upper bits: 11.25 degrees a step.
void checkW0Phase(const ChipWords& words, WordChecks& out) {
    if (!hasW0Byte(*words.chip) || words.rfMult == 0) return;
    const std::int64_t r = words.rfMult;
    const std::int64_t halfTurn = std::int64_t{1} << (words.chip->phaseBits - 1);
    if (static_cast<std::int64_t>(words.phaseConstant) * r == halfTurn) return;
    const double stepDegrees = 360.0 / std::ldexp(1.0, words.chip->phaseBits);
    const double wanted = 180.0 / static_cast<double>(r);
    const double reached =
        static_cast<double>(words.phaseConstant) * stepDegrees * static_cast<double>(r);
    std::string text = "PHASE180 turns the phase by " + plainDecimalText(reached) +
                       " degrees on air, not 180: RF Mult " + std::to_string(r) + " needs " +
                       plainDecimalText(wanted) + " degrees at the DDS";
    if (wanted < stepDegrees) {
        text += ", less than one " + plainDecimalText(stepDegrees) + "-degree step of the " +
                std::string(words.chip->name) + "'s phase word";
    }
    out.warnings.push_back(text + "; shift the phase after the multiplier instead");
}

void checkTableTones(const MessageTable& table, const ChipWords& words, WordChecks& out) {
    const TableTones tones = tableTones(table, words);
    const StepVerdict verdict = toneVerdict(tones.worstFraction(), kOwnWordWarnFraction);
    if (verdict == StepVerdict::Fine) return;
    const std::string text =
        "message table \"" + table.key + "\": tone " + std::to_string(tones.worstTone) +
        "'s own word is " + hz(std::fabs(tones.worstErrorHz)) + " off at the antenna, " +
        plainDecimalText(tones.worstFraction()) + " of the " + hz(tones.spacingHz) +
        " spacing (one " + std::string(words.chip->name) + " step is " +
        hz(std::ldexp(words.clockHz, -words.chip->wordBits) * words.rfMult) +
        " there); a higher clock or a lower RF Mult helps";
    (verdict == StepVerdict::Refuse ? out.refusals : out.warnings).push_back(text);
}

}  // namespace

std::span<const ToneSet> toneSets() {
    return kToneSets;
}

const ToneSet* toneSetOfBase(std::string_view baseId) {
    for (const ToneSet& set : kToneSets) {
        if (set.baseId == baseId) return &set;
    }
    return nullptr;
}

StepVerdict stepVerdict(double offFraction, bool zeroInterval) {
    if (zeroInterval || !(offFraction <= kStepRefuseFraction)) return StepVerdict::Refuse;
    return offFraction > kStepWarnFraction ? StepVerdict::Warn : StepVerdict::Fine;
}

StepVerdict toneVerdict(double offFraction, double warnFraction) {
    if (!(offFraction <= kToneRefuseFraction)) return StepVerdict::Refuse;
    return offFraction > warnFraction ? StepVerdict::Warn : StepVerdict::Fine;
}

WordChecks checkWords(const ChipWords& words, std::span<const MessageTable> tables) {
    WordChecks out;
    dds::PlanLimits limits;
    limits.clockHz = words.clockHz;
    limits.ratedClockHz = words.ratedClockHz;
    limits.multiplier = words.chip->picListing ? std::optional<int>(words.pllMult) : words.refMult;
    for (const ChipWord& w : words.tones) limits.tones.push_back({w.name, w.requestedHz});
    for (dds::LimitWarning& w : dds::checkLimits(*words.chip, limits)) {
        (w.refuses() ? out.refusals : out.warnings).push_back(std::move(w.text));
    }
    for (const ToneSet& set : kToneSets) {
        const bool ownWords = std::any_of(tables.begin(), tables.end(), [&](const auto& table) {
            return intervalIdOf(table) == set.intervalId;
        });
        checkToneSet(set, words, ownWords, out);
    }
    checkW0Phase(words, out);
    for (const MessageTable& table : tables) checkTableTones(table, words, out);
    return out;
}

}  // namespace meridel::firmware
