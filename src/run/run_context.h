#pragma once

#include <cstdint>
#include <string>

#include "listing/output_channel.h"
#include "run/form.h"
#include "run/run_words.h"

// Internal to the calculation run: the values one run derives and shares between its steps.
namespace meridel::run::detail {

struct FrequencyPlan {
    std::int32_t rfMult = 0;   // R
    std::int32_t pllMult = 0;  // P
    double clockHz = 0;        // Fclk, read back from the ClockFreq text
    double carrierHz = 0;      // Fc, read back from the Fo text
    double toneHz = 0;         // Ft
};

// The step a run is at, so that an arithmetic failure can say what was being computed.
enum class Step {
    RfMultiplier,
    DdsCarrier,
    PllMultiplier,
    DdsClock,
    ReadBack,
    ClockCheck,
    ToneFrequency,
    PhaseConstant,
    Word,  // a tuning or interval word; RunState::word names it
    KeyingFrequency,
    ControlByte,
};

struct RunState {
    explicit RunState(Form& f) : form(f) {}
    Form& form;
    FrequencyPlan plan;
    std::string body;           // the listing body, until it becomes the results text
    RunWords* words = nullptr;  // where the run records its words, when asked to
    Step step = Step::RfMultiplier;
    const char* word = "";
    void at(Step s, const char* wordName = "") {
        step = s;
        word = wordName;
    }
};

// What the tone plan hands on to the end of the run.
struct TonePlanResult {
    std::int32_t jt4Multiplier = 0;  // M4
    std::int32_t jt65Multiplier = 0;
    std::string syncOffsetText;    // low four bytes of the sync offset word
    std::string jt65IntervalText;  // low four bytes of the JT65 interval word
    double syncOffsetWord = 0;     // the two words as rounded, for the run's word list
    double jt65IntervalWord = 0;
};

// The JT4 family is every mode index above 3; 0 to 3 and "no selection" (-1) are JT65.
inline bool isJt4Family(std::int16_t modeIndex) {
    return modeIndex > 3;
}

// Appends a line and its CR LF to the listing body.
inline void appendLine(std::string& body, const std::string& line) {
    body += line;
    body += "\r\n";
}

enum class WordList { Tone, Interval };

// Adds the word of a listing line to the run's word list, when the caller asked for one.
// `rounded` is the word as encodeTuningWord left it. `offsetHz` is, at the RF output, a tone's
// offset from the carrier or an interval's step, from which the exact request is made.
void recordWord(RunState& run, WordList list, const char* id, std::string_view line,
                double requestedHz, double rounded, double offsetHz);

// The tone lines up to the RTTY mark line, the JT interval words and the range warnings.
TonePlanResult buildTonePlan(RunState& run);

// Everything from the RTTY space line on: the rest of the body, KeyFreq, the results text, the
// one final write of the target and the after-run state of the window.
void finishRun(RunState& run, const TonePlanResult& tones, const std::string& phaseLine,
               listing::OutputChannel& target);

}  // namespace meridel::run::detail
