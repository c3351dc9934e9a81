// The tone lines of the modes the beacon keys, the JT interval words and the range warnings.
#include <array>

#include "listing/listing_text.h"
#include "numbers/checked_math.h"
#include "numbers/field_number.h"
#include "numbers/tuning_word.h"
#include "run/run_context.h"
#include "run/tone_words.h"

namespace meridel::run::detail {
namespace {

using namespace numbers;  // the run is arithmetic on field numbers throughout
using namespace numbers::checked;

constexpr double kSyncToneHz = 11025.0 / 1024.0 * 118.0;  // 1270.458984375 Hz
constexpr double kSyncOffsetNumerator = 1300950.0;        // 1300950 / 1024 is the same tone
constexpr double kJt65SpacingHz = 11025.0 / 4096.0;
constexpr double kJt4SpacingHz = 11025.0 / 2520.0;
constexpr double kRttySpaceHz = 1275.0;
constexpr double kTwentyFourBitLimit = 16777215.0;
constexpr double kCarrierLimitRatio = 0.4;

double offsetToneHz(double a, const FrequencyPlan& p) {
    return run::offsetToneHz(a, p.rfMult, p.carrierHz);
}

double intervalWord(double spacing, std::int32_t multiplier, const FrequencyPlan& p) {
    return intervalWordValue(spacing, multiplier, p.rfMult, p.clockHz);
}

struct SpacingMultipliers {
    std::int32_t jt65;
    std::int32_t jt4;
};

// JT65A and "no selection" (and any index outside the list) test both words with 1.
SpacingMultipliers multipliersFor(std::int16_t modeIndex) {
    static constexpr std::array<SpacingMultipliers, 11> kTable = {{
        {1, 1},
        {2, 0},
        {4, 0},
        {4, 0},  // JT65A, JT65B, JT65C, JT44
        {0, 1},
        {0, 2},
        {0, 4},
        {0, 9},
        {0, 18},
        {0, 36},
        {0, 72},  // JT4A to JT4G
    }};
    if (modeIndex >= 1 && modeIndex <= 10) return kTable[static_cast<std::size_t>(modeIndex)];
    return {1, 1};
}

}  // namespace

TonePlanResult buildTonePlan(RunState& run) {
    Form& form = run.form;
    const FrequencyPlan& p = run.plan;
    TonePlanResult result;

    static constexpr std::array<const char*, 4> kFskNames = {
        "FSK441 tone 0 word", "FSK441 tone 1 word", "FSK441 tone 2 word", "FSK441 tone 3 word"};
    static constexpr std::array<const char*, 4> kFskIds = {"FSK441_TONE_0", "FSK441_TONE_1",
                                                           "FSK441_TONE_2", "FSK441_TONE_3"};
    for (int k = 0; k < 4; ++k) {
        run.at(Step::Word, kFskNames[static_cast<std::size_t>(k)]);
        const double hz = offsetToneHz(441.0 * (k + 2), p);
        double word = toneWordValue(hz, p.clockHz);
        const std::string line = listing::fsk441ToneLine(encodeTuningWord(word), k);
        recordWord(run, WordList::Tone, kFskIds[static_cast<std::size_t>(k)], line, hz, word,
                   441.0 * (k + 2));
        appendLine(run.body, line);
    }

    run.at(Step::Word, "SSB carrier word");
    double carrier = toneWordValue(p.carrierHz, p.clockHz);
    const std::string carrierLine = listing::ssbCarrierLine(encodeTuningWord(carrier));
    recordWord(run, WordList::Tone, "SSB_CARRIER", carrierLine, p.carrierHz, carrier, 0);
    appendLine(run.body, carrierLine);

    run.at(Step::Word, "JT sync offset word");
    double syncOffset =
        mul(div(div(kSyncOffsetNumerator / 1024.0, p.clockHz), p.rfMult), kTuningWordScale);
    result.syncOffsetText = lowBytes(encodeTuningWord(syncOffset), 4);
    result.syncOffsetWord = syncOffset;

    run.at(Step::Word, "JT sync tone word");
    const double syncHz = offsetToneHz(kSyncToneHz, p);
    double sync = toneWordValue(syncHz, p.clockHz);
    const TuningWordText syncText = encodeTuningWord(sync);
    if (!isJt4Family(form.modeIndex())) {
        const std::string line = listing::jtSyncLine(syncText);
        recordWord(run, WordList::Tone, "JT_SYNC", line, syncHz, sync, kSyncToneHz);
        appendLine(run.body, line);
    }

    const SpacingMultipliers m = multipliersFor(form.modeIndex());
    result.jt4Multiplier = m.jt4;
    result.jt65Multiplier = m.jt65;

    run.at(Step::Word, "JT65 interval word");
    double jt65Interval = intervalWord(kJt65SpacingHz, m.jt65, p);
    run.at(Step::Word, "JT4 interval word");
    double jt4Interval = intervalWord(kJt4SpacingHz, m.jt4, p);
    run.at(Step::Word, "JT65 interval word");
    const TuningWordText jt65Text = encodeTuningWord(jt65Interval);
    run.at(Step::Word, "JT4 interval word");
    encodeTuningWord(jt4Interval);

    // Warnings: a later run hides an earlier warning unless its condition still holds, and the
    // carrier warning wins over the 32-bit add warning.
    form.hideWarning();
    if (jt65Interval > kTwentyFourBitLimit || jt4Interval > kTwentyFourBitLimit) {
        form.showWarning(listing::thirtyTwoBitAddWarning(form.modeText()));
    }
    run.at(Step::Word, "carrier to clock ratio");
    if (div(p.carrierHz, p.clockHz) > kCarrierLimitRatio) {
        form.showWarning(std::string(listing::kDdsFreqTooHighWarning));
    }
    result.jt65IntervalText = lowBytes(jt65Text, 4);
    result.jt65IntervalWord = jt65Interval;

    run.at(Step::Word, "single-tone word (Tone Freq)");
    const double toneHz = offsetToneHz(p.toneHz, p);
    double tone = toneWordValue(toneHz, p.clockHz);
    const std::string toneLine = listing::singleToneLine(encodeTuningWord(tone), p.toneHz);
    recordWord(run, WordList::Tone, "SINGLE_TONE", toneLine, toneHz, tone, p.toneHz);
    appendLine(run.body, toneLine);

    run.at(Step::Word, "RTTY mark word (RTTY Shift)");
    const double shift = operand(parseFieldNumber(form.fieldText(Field::RTTYShift)));
    const double markHz = add(kRttySpaceHz, shift);
    const double markDdsHz = offsetToneHz(markHz, p);
    double mark = toneWordValue(markDdsHz, p.clockHz);
    const std::string markLine = listing::rttyMarkLine(encodeTuningWord(mark), markHz);
    recordWord(run, WordList::Tone, "RTTY_MARK", markLine, markDdsHz, mark, markHz);
    appendLine(run.body, markLine);
    return result;
}

}  // namespace meridel::run::detail
