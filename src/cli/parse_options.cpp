#include "cli/parse_options.h"

#include <algorithm>
#include <string_view>

#include "numbers/double_chars.h"
#include "numbers/field_number.h"
#include "numbers/quoted_text.h"

namespace meridel::cli {
namespace {

using model::MainWindowModel;
using run::Field;

// The mode entry that `text` names whatever its case (ASCII, as the entries are), or -1.
int modeEntryIndex(std::string_view text) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const auto& entries = MainWindowModel::modeEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (std::equal(entries[i].begin(), entries[i].end(), text.begin(), text.end(),
                       [&](char x, char y) { return lower(x) == lower(y); })) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// For a --mode text that names no entry: the run goes on without a selection.
std::string modeNotice(const std::string& text) {
    std::string names;
    for (const std::string& entry : MainWindowModel::modeEntries()) {
        names.append(names.empty() ? "" : " ").append(entry);
    }
    return "--mode \"" + text + "\" is none of the modes " + names +
           " (in any case): computing with no mode selected, shown as \"" + text + "\"";
}

std::optional<Edit> fieldEdit(std::string_view option, const std::string& value) {
    const auto set = [value](Field field) -> Edit {
        return [field, value](MainWindowModel& m) { m.setFieldText(field, value); };
    };
    if (option == "--ref-in") return set(Field::RefIn);
    if (option == "--rf-mult") return set(Field::RFMult);
    if (option == "--output") return set(Field::Foutput);
    if (option == "--tone") return set(Field::ToneFreq);
    if (option == "--comment") return set(Field::Comment);
    if (option == "--file") return set(Field::FileName);
    if (option == "--shift") return [value](MainWindowModel& m) { m.typeRttyShiftText(value); };
    if (option == "--mode") {
        // A mode typed in the wrong case surely means that entry, and the listing shows the
        // entry's own text; unlike in the window, where a typed text is shown as typed.
        if (const int index = modeEntryIndex(value); index >= 0) {
            return [index](MainWindowModel& m) { m.selectMode(index); };
        }
        return [value](MainWindowModel& m) { m.typeModeText(value); };
    }
    if (option == "--pll") {
        const auto& entries = MainWindowModel::pllEntries();
        if (!value.empty() && std::find(entries.begin(), entries.end(), value) == entries.end()) {
            throw UsageError{"--pll \"" + value +
                             "\" is not a PLL multiplier of the list: use one of 20 to 4, 1, or "
                             "\"\" for none"};
        }
        return [value](MainWindowModel& m) { m.selectPllText(value); };
    }
    return std::nullopt;
}

// The window reads a number from the start of its field; what it leaves out is said, so that
// "14,0971" read as 14 does not pass unnoticed.
std::optional<std::string> partlyReadNotice(std::string_view option, const std::string& text) {
    if (option != "--ref-in" && option != "--rf-mult" && option != "--output" &&
        option != "--tone" && option != "--shift") {
        return std::nullopt;
    }
    const std::string_view rest = numbers::unreadFieldRest(text);
    if (rest.empty()) return std::nullopt;
    const std::string value = numbers::shortestText(numbers::parseFieldNumber(text));
    const std::string head =
        std::string(option) + " " + numbers::quotedText(text) + " is read as " + value + ": ";
    if (text.find_first_not_of(" \t\n") == text.size() - rest.size()) {
        return head + "it holds no number (give digits, with . as the decimal point)";
    }
    return head + "the number ends before " + numbers::quotedText(rest) +
           " (the decimal point is .)";
}

bool looksLikeOption(std::string_view arg) {
    return arg.size() > 2 && arg.starts_with("--");
}

}  // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const auto eq = option.find('=');
            option.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        if (option == "--json" || option == "--help" || option == "--version") {
            if (value) throw UsageError{option + " takes no value"};
            (option == "--json"   ? options.json
             : option == "--help" ? options.help
                                  : options.version) = true;
            continue;
        }
        const auto takeValue = [&]() -> std::string {
            if (value) return *value;
            if (i + 1 >= args.size()) throw UsageError{option + " needs a value"};
            // "--jt-message --json" surely forgot the message; a value that starts with "--"
            // goes after "=".
            if (looksLikeOption(args[i + 1])) {
                throw UsageError{option + " needs a value, not the option \"" + args[i + 1] +
                                 "\" (a value that starts with -- is given as " + option +
                                 "=VALUE)"};
            }
            return args[++i];
        };
        if (isSequenceOption(option)) {
            if (takesNoValue(option) && value) throw UsageError{option + " takes no value"};
            takeSequenceOption(options.sequence, option, takeValue);
            continue;
        }
        if (option == "--settings") {
            options.settingsFile = takeValue();
            options.others.anyPlan = true;
            continue;
        }
        if (isMessageOption(option)) {
            takeMessageOption(options.messages, options.symbolFile, option, takeValue());
            options.others.anyPlan = true;  // messages are tied to a plan's words
            continue;
        }
        if (isSoundOption(option)) {
            options.sound.take(option, takeValue());
            continue;
        }
        if (isFirmwareOption(option)) {
            options.firmware.take(option, takeValue());
            continue;
        }
        if (option == "--registers") {
            if (value) throw UsageError{option + " takes no value"};
            options.chip.registers = true;
            continue;
        }
        if (isChipOption(option)) {
            options.chip.take(option, takeValue());
            continue;
        }
        const bool known = fieldEdit(option, "").has_value();
        if (!known) throw UsageError{"unknown option \"" + option + "\""};
        const std::string text = takeValue();
        if (const auto notice = partlyReadNotice(option, text)) {
            options.notices.push_back(*notice);
        }
        if (option == "--mode" && modeEntryIndex(text) < 0) {
            options.notices.push_back(modeNotice(text));
        }
        options.edits.push_back(*fieldEdit(option, text));
        options.others.anyPlan = true;
        if (option == "--ref-in" || option == "--pll") options.others.clockFields = true;
        if (option == "--file") options.file = text;
    }
    return options;
}

}  // namespace meridel::cli
