// The last stretch of a run: remaining tone lines, interval lines, control register, KeyFreq,
// the results text and the final write.
#include "listing/listing_text.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/tuning_word.h"
#include "run/run_context.h"

namespace meridel::run::detail {
namespace {

using namespace numbers;  // the run is arithmetic on field numbers throughout
using namespace numbers::checked;

constexpr double kRttySpaceHz = 1275.0;
constexpr double kWsprBaseOffsetHz = 18000.0 / 8192.0;
constexpr double kSyncToneHz = 11025.0 / 1024.0 * 118.0;
constexpr double kJt4SpacingHz = 11025.0 / 2520.0;
constexpr double kJt4FirstToneFactor = 1.5;
constexpr double kFsk441SpacingHz = 441.0;
constexpr double kWsprSpacingHz = 12000.0 / 8192.0;
constexpr double kJt65SpacingHz = 11025.0 / 4096.0;
constexpr double kPllRangeThresholdHz = 190000000.0;
constexpr std::int32_t kBypassControlByte = 0x64;
constexpr std::int32_t kRangeBit = 0x40;
constexpr double kHzPerMHz = 1000000.0;

// Leaves `word` rounded, as encodeTuningWord does.
std::string lowFourBytes(double& word) {
    return std::string(lowBytes(encodeTuningWord(word), 4));
}

// The PLL control byte: 0x64 bypasses the PLL (P = 1); otherwise P, with the range bit set
// when the DDS clock is above 190 MHz.
std::int32_t controlByte(const FrequencyPlan& p) {
    if (p.pllMult == 1) return kBypassControlByte;
    if (p.clockHz > kPllRangeThresholdHz) return addInt32(p.pllMult, kRangeBit);
    return p.pllMult;
}

}  // namespace

void finishRun(RunState& run, const TonePlanResult& tones, const std::string& phaseLine,
               listing::OutputChannel& target) {
    Form& form = run.form;
    const FrequencyPlan& p = run.plan;
    const double r = p.rfMult;

    run.at(Step::Word, "RTTY space word");
    const double spaceHz = add(p.carrierHz, div(kRttySpaceHz, r));
    double space = mul(kTuningWordScale, div(spaceHz, p.clockHz));
    const std::string spaceLine = listing::rttySpaceLine(encodeTuningWord(space));
    recordWord(run, WordList::Tone, "RTTY_SPACE", spaceLine, spaceHz, space, kRttySpaceHz);
    appendLine(run.body, spaceLine);

    run.at(Step::Word, "WSPR base word");
    const double wsprBaseHz = sub(p.carrierHz, div(kWsprBaseOffsetHz, r));
    double wsprBase = mul(kTuningWordScale, div(wsprBaseHz, p.clockHz));
    const std::string wsprBaseLine = listing::wsprBaseLine(encodeTuningWord(wsprBase));
    recordWord(run, WordList::Tone, "WSPR_BASE", wsprBaseLine, wsprBaseHz, wsprBase,
               -kWsprBaseOffsetHz);
    appendLine(run.body, wsprBaseLine);

    run.at(Step::Word, "JT4 tone 0 word");
    const double offset =
        sub(kSyncToneHz, mul(mul(kJt4SpacingHz, kJt4FirstToneFactor), tones.jt4Multiplier));
    const double toneZeroHz = add(p.carrierHz, div(offset, r));
    if (isJt4Family(form.modeIndex())) {
        double toneZero = mul(kTuningWordScale, div(toneZeroHz, p.clockHz));
        const std::string line =
            listing::jt4ToneZeroLine(encodeTuningWord(toneZero), form.modeText(), offset);
        recordWord(run, WordList::Tone, "JT4_TONE_0", line, toneZeroHz, toneZero, offset);
        appendLine(run.body, line);
    }
    appendLine(run.body, std::string(listing::kSeparatorLine));

    run.at(Step::ControlByte);
    const bool illegalPll = p.pllMult == 2 || p.pllMult == 3;
    const std::int32_t control = illegalPll ? 0 : controlByte(p);
    const std::string controlLine =
        illegalPll ? std::string(listing::kIllegalPllLine) : listing::controlRegisterLine(control);

    // Written through the window, so its change handling runs: the carrier adjuster is enabled
    // and the results turn stale until the end of the run below.
    run.at(Step::KeyingFrequency);
    const double keyMHz = div(add(mul(r, p.carrierHz), p.toneHz), kHzPerMHz);
    form.setFieldText(Field::KeyFreq, plainDecimalText(keyMHz));

    run.at(Step::Word, "FSK441 interval word");
    double fsk441 = mul(kTuningWordScale, div(div(kFsk441SpacingHz, r), p.clockHz));
    const std::string fsk441Line = listing::fsk441IntervalLine(lowFourBytes(fsk441));
    run.body += fsk441Line;

    form.setResultsText(std::move(run.body));

    run.at(Step::Word, "WSPR interval word");
    double wspr = mul(kTuningWordScale, div(div(kWsprSpacingHz, r), p.clockHz));
    const std::string wsprLine = listing::wsprIntervalLine(lowFourBytes(wspr));

    run.at(Step::Word, "JT4 interval word");
    const double jt4Hz = mul(kJt4SpacingHz, tones.jt4Multiplier);
    double jt4 = mul(kTuningWordScale, div(div(jt4Hz, r), p.clockHz));
    const std::string jt4Four = lowFourBytes(jt4);
    const std::string jt4Line = isJt4Family(form.modeIndex())
                                    ? listing::jt4IntervalLine(jt4Four, form.modeText())
                                    : std::string(listing::kNoJt4IntervalLine);

    // The steps the interval words make at the DDS output, in listing order. The run has
    // already computed each of these quotients on its way to the words, so plain arithmetic
    // cannot fail here.
    recordWord(run, WordList::Interval, "FSK441_INTERVAL", fsk441Line, kFsk441SpacingHz / r, fsk441,
               kFsk441SpacingHz);
    std::string tail;
    if (!isJt4Family(form.modeIndex())) {
        const std::string syncLine = listing::syncOffsetLine(tones.syncOffsetText);
        const std::string jt65Line =
            listing::jt65IntervalLine(tones.jt65IntervalText, form.modeText());
        recordWord(run, WordList::Interval, "JT_SYNC_OFFSET", syncLine, kSyncToneHz / r,
                   tones.syncOffsetWord, kSyncToneHz);
        recordWord(run, WordList::Interval, "JT65_INTERVAL", jt65Line,
                   kJt65SpacingHz * tones.jt65Multiplier / r, tones.jt65IntervalWord,
                   kJt65SpacingHz * tones.jt65Multiplier);
        tail += listing::kLineEnd;
        tail += syncLine;
        tail += listing::kLineEnd;
        tail += jt65Line;
    }
    recordWord(run, WordList::Interval, "WSPR_INTERVAL", wsprLine, kWsprSpacingHz / r, wspr,
               kWsprSpacingHz);
    if (isJt4Family(form.modeIndex())) {
        recordWord(run, WordList::Interval, "JT4_INTERVAL", jt4Line, jt4Hz / r, jt4, jt4Hz);
    }
    for (const std::string_view line :
         {std::string_view(wsprLine), std::string_view(jt4Line), listing::kSeparatorLine,
          std::string_view(controlLine), std::string_view(phaseLine)}) {
        tail += listing::kLineEnd;
        tail += line;
    }
    form.appendResultsText(tail);

    if (run.words) {
        RunWords& words = *run.words;
        words.plan = {form.fieldText(Field::Comment),   form.fieldText(Field::Foutput),
                      form.fieldText(Field::RFMult),    form.fieldText(Field::Fo),
                      form.fieldText(Field::RefIn),     std::string(form.pllText()),
                      form.fieldText(Field::ClockFreq), form.fieldText(Field::ToneFreq),
                      form.fieldText(Field::RTTYShift), form.modeText()};
        words.clockHz = p.clockHz;
        words.rfMult = p.rfMult;
        words.pllMult = p.pllMult;
        if (!illegalPll) words.controlByte = control;
    }

    target.writeLine(form.resultsText());
    target.close();
    form.markResultsFresh();
    form.disableCarrierAdjuster();
}

}  // namespace meridel::run::detail
