// A whole calculation run over arbitrary field texts. The input is split at '|' into, in this
// order: RefIn, the PLLMult entry text, RFMult, Foutput, ToneFreq, RTTYShift, the mode text,
// Comment, FileName and KeyFreq; missing parts keep the first-start window's texts. The run
// completes or fails with an arithmetic or output failure; a completed run has written the
// header, the results text and one CR LF to its target, and the phase constant line ends the
// results text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "listing/text_encoding.h"
#include "model/main_window_model.h"
#include "run/calculation_run.h"
#include "support/fixtures.h"

namespace {

using meridel::model::MainWindowModel;
using meridel::run::Field;

std::vector<std::string> splitAtBars(std::string_view bytes) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t bar = bytes.find('|');
        parts.emplace_back(bytes.substr(0, bar));
        if (bar == std::string_view::npos) return parts;
        bytes.remove_prefix(bar + 1);
    }
}

void type(MainWindowModel& model, std::size_t part, const std::string& text) {
    switch (part) {
        case 0:
            model.setFieldText(Field::RefIn, text);
            break;
        case 1:
            model.selectPllText(text);
            break;
        case 2:
            model.setFieldText(Field::RFMult, text);
            break;
        case 3:
            model.setFieldText(Field::Foutput, text);
            break;
        case 4:
            model.setFieldText(Field::ToneFreq, text);
            break;
        case 5:
            model.typeRttyShiftText(text);
            break;
        case 6:
            model.typeModeText(text);
            break;
        case 7:
            model.setFieldText(Field::Comment, text);
            break;
        case 8:
            model.setFieldText(Field::FileName, text);
            break;
        case 9:
            model.setFieldText(Field::KeyFreq, text);
            break;
        default:
            break;
    }
}

// "PHASE180  Constant  0xHH,0xHH": the last line of every completed run's results text.
bool endsWithPhaseLine(std::string_view results) {
    const std::size_t lineStart = results.rfind("\r\n");
    const std::string_view last =
        lineStart == std::string_view::npos ? results : results.substr(lineStart + 2);
    constexpr std::string_view kLabel = "PHASE180  Constant  ";
    if (last.size() != kLabel.size() + 9 || last.substr(0, kLabel.size()) != kLabel) return false;
    const std::string_view bytes = last.substr(kLabel.size());
    return bytes.substr(0, 2) == "0x" && bytes[4] == ',' && bytes.substr(5, 2) == "0x";
}

bool endsWithLineEnd(std::string_view text) {
    return text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MainWindowModel model;
    meridel::testing::loadFirstStart(model);
    const std::vector<std::string> parts = splitAtBars(bytes);
    for (std::size_t i = 0; i < parts.size(); ++i) type(model, i, parts[i]);

    meridel::testing::MemoryOpener opener;
    const auto failure = model.calculate(opener);
    if (failure) {
        FUZZ_CHECK(failure->kind == meridel::run::FailureKind::Arithmetic ||
                   failure->kind == meridel::run::FailureKind::Output);
        FUZZ_CHECK(!failure->message.empty());
        // An abandoned run leaves its target closed, holding whole header lines at most.
        FUZZ_CHECK(!opener.opened || opener.closed);
        FUZZ_CHECK(opener.received.empty() || endsWithLineEnd(opener.received));
        return 0;
    }
    const std::string& results = model.results().text;
    FUZZ_CHECK(opener.opened && opener.closed);
    FUZZ_CHECK(endsWithPhaseLine(results));
    const std::string tail = meridel::listing::toWindows1252(results) + "\r\n";
    FUZZ_CHECK(opener.received.size() > tail.size());
    FUZZ_CHECK(opener.received.substr(opener.received.size() - tail.size()) == tail);
    FUZZ_CHECK(model.results().colour == meridel::model::ResultsColour::Fresh);
    FUZZ_CHECK(!model.carrierAdjusterEnabled());
    return 0;
}
