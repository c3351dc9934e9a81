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
constexpr double kPllRangeThresholdHz = 190000000.0;
constexpr std::int32_t kBypassControlByte = 0x64;
constexpr std::int32_t kRangeBit = 0x40;
constexpr double kHzPerMHz = 1000000.0;

std::string lowFourBytes(double word) {
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
    double space = mul(kTuningWordScale, div(add(p.carrierHz, div(kRttySpaceHz, r)), p.clockHz));
    appendLine(run.body, listing::rttySpaceLine(encodeTuningWord(space)));

    run.at(Step::Word, "WSPR base word");
    double wsprBase =
        mul(kTuningWordScale, div(sub(p.carrierHz, div(kWsprBaseOffsetHz, r)), p.clockHz));
    appendLine(run.body, listing::wsprBaseLine(encodeTuningWord(wsprBase)));

    run.at(Step::Word, "JT4 tone 0 word");
    const double offset =
        sub(kSyncToneHz, mul(mul(kJt4SpacingHz, kJt4FirstToneFactor), tones.jt4Multiplier));
    const double toneZeroHz = add(p.carrierHz, div(offset, r));
    if (isJt4Family(form.modeIndex())) {
        double toneZero = mul(kTuningWordScale, div(toneZeroHz, p.clockHz));
        appendLine(run.body,
                   listing::jt4ToneZeroLine(encodeTuningWord(toneZero), form.modeText(), offset));
    }
    appendLine(run.body, std::string(listing::kSeparatorLine));

    run.at(Step::ControlByte);
    const std::string controlLine = (p.pllMult == 2 || p.pllMult == 3)
                                        ? std::string(listing::kIllegalPllLine)
                                        : listing::controlRegisterLine(controlByte(p));

    // Written through the window, so its change handling runs: the carrier adjuster is enabled
    // and the results turn stale until the end of the run below.
    run.at(Step::KeyingFrequency);
    const double keyMHz = div(add(mul(r, p.carrierHz), p.toneHz), kHzPerMHz);
    form.setFieldText(Field::KeyFreq, plainDecimalText(keyMHz));

    run.at(Step::Word, "FSK441 interval word");
    run.body += listing::fsk441IntervalLine(
        lowFourBytes(mul(kTuningWordScale, div(div(kFsk441SpacingHz, r), p.clockHz))));

    form.setResultsText(std::move(run.body));

    run.at(Step::Word, "WSPR interval word");
    const std::string wsprLine = listing::wsprIntervalLine(
        lowFourBytes(mul(kTuningWordScale, div(div(kWsprSpacingHz, r), p.clockHz))));

    run.at(Step::Word, "JT4 interval word");
    const std::string jt4Four = lowFourBytes(
        mul(kTuningWordScale, div(div(mul(kJt4SpacingHz, tones.jt4Multiplier), r), p.clockHz)));
    const std::string jt4Line = isJt4Family(form.modeIndex())
                                    ? listing::jt4IntervalLine(jt4Four, form.modeText())
                                    : std::string(listing::kNoJt4IntervalLine);

    std::string tail;
    if (!isJt4Family(form.modeIndex())) {
        tail += listing::kLineEnd;
        tail += listing::syncOffsetLine(tones.syncOffsetText);
        tail += listing::kLineEnd;
        tail += listing::jt65IntervalLine(tones.jt65IntervalText, form.modeText());
    }
    for (const std::string_view line :
         {std::string_view(wsprLine), std::string_view(jt4Line), listing::kSeparatorLine,
          std::string_view(controlLine), std::string_view(phaseLine)}) {
        tail += listing::kLineEnd;
        tail += line;
    }
    form.appendResultsText(tail);

    target.writeLine(form.resultsText());
    target.close();
    form.markResultsFresh();
    form.disableCarrierAdjuster();
}

}  // namespace meridel::run::detail
