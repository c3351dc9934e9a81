#include "numbers/tuning_word.h"
#include "run/run_context.h"
#include "run/tone_words.h"

namespace meridel::run::detail {

void recordWord(RunState& run, WordList list, const char* id, std::string_view line,
                double requestedHz, double rounded, double offsetHz) {
    if (!run.words) return;
    // The label follows " ; "; the word's own text before it holds no blank.
    const std::size_t at = line.find(" ; ");
    const std::string_view label = at == std::string_view::npos ? "" : line.substr(at + 3);
    std::string name;
    for (const char c : label) {
        if (c != ' ') {
            name += c;
        } else if (!name.empty() && name.back() != ' ') {
            name += ' ';
        }
    }
    if (!name.empty() && name.back() == ' ') name.pop_back();
    const FrequencyPlan& p = run.plan;
    RunWord word{id, std::move(name), requestedHz, numbers::roundedWord(rounded, 48),
                 list == WordList::Tone ? exactOffsetToneHz(offsetHz, p.rfMult, p.carrierHz)
                                        : exactStepHz(offsetHz, p.rfMult)};
    (list == WordList::Tone ? run.words->tones : run.words->intervals).push_back(std::move(word));
}

}  // namespace meridel::run::detail
