#include "cli/cli.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "listing/output_targets.h"
#include "listing/text_encoding.h"
#include "model/main_window_model.h"
#include "model/settings_file.h"
#include "version.h"

namespace meridel::cli {
namespace {

using model::MainWindowModel;
using run::Field;

constexpr const char* kUsage =
    "usage: meridel-cli [--ref-in TEXT] [--pll TEXT] [--rf-mult TEXT] [--output TEXT]\n"
    "                   [--tone TEXT] [--shift TEXT] [--mode TEXT] [--comment TEXT]\n"
    "                   [--file NAME] [--settings FILE] [--json] [--help] [--version]\n";

constexpr const char* kHelp =
    "Computes the AD9852 DDS register listing of a beacon plan, exactly as the Calculate\n"
    "button of the MERIDEL window does, and prints it or writes it to a file.\n"
    "\n"
    "It starts from the window's first-start settings (Ref. input 12.8 MHz, PLL 16, RF mult 1,\n"
    "carrier 50.505 MHz, tone \" \", RTTY shift 170, mode JT65C, comment \"Frequency data\", no\n"
    "file name). Each option then sets one field's text exactly as given, blanks included, as\n"
    "if typed into the window, in the order given.\n"
    "\n"
    "options:\n"
    "  --ref-in TEXT    Ref. Input Freq, MHz (RefIn)\n"
    "  --pll TEXT       PLL Clock Multiplier: one of 20 19 18 ... 5 4 1, or \"\" for none\n"
    "  --rf-mult TEXT   RF Mult after the DDS (RFMult)\n"
    "  --output TEXT    Output carrier (USB), MHz (Foutput)\n"
    "  --tone TEXT      Tone Freq, Hz (ToneFreq)\n"
    "  --shift TEXT     RTTY Shift, Hz: 85, 170, 425, 850 or any text\n"
    "  --mode TEXT      mode: JT65A JT65B JT65C JT44 JT4A ... JT4G, in any case (jt65b\n"
    "                   selects JT65B); any other text means no selection, shown with that\n"
    "                   text, and a notice on standard error names the modes\n"
    "  --comment TEXT   comment line of the listing header\n"
    "  --file NAME      write the listing to NAME, upper-cased as the window does\n"
    "                   (beacon.inc becomes BEACON.INC); without it the listing goes to\n"
    "                   standard output\n"
    "  --settings FILE  start from a MERIDEL.INI-style settings file (never written)\n"
    "  --json           print one JSON object: Fo, ClockFreq, KeyFreq, warning, results,\n"
    "                   listing and error\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 when the run completed, 1 when it failed, 2 on a usage error.\n"
    "\n"
    "example: write the include file of a 50 MHz JT65B beacon with a 200 MHz DDS clock\n"
    "  meridel-cli --ref-in 20 --pll 10 --output 50 --tone 1500 --shift 850 \\\n"
    "              --mode JT65B --comment \"50 MHz beacon\" --file beacon.inc\n";

struct UsageError {
    std::string message;
};

// A field option: the edit it makes on the window model.
using Edit = std::function<void(MainWindowModel&)>;

struct Options {
    std::vector<Edit> edits;  // in command-line order
    std::vector<std::string> notices;
    std::optional<std::string> settingsFile;
    bool json = false;
    bool help = false;
    bool version = false;
};

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
            return args[++i];
        };
        if (option == "--settings") {
            options.settingsFile = takeValue();
            continue;
        }
        const bool known = fieldEdit(option, "").has_value();
        if (!known) throw UsageError{"unknown option \"" + option + "\""};
        const std::string text = takeValue();
        if (option == "--mode" && modeEntryIndex(text) < 0) {
            options.notices.push_back(modeNotice(text));
        }
        options.edits.push_back(*fieldEdit(option, text));
    }
    return options;
}

// The run's target: the listing file, or standard output (plain mode) / the null device (JSON
// mode) when FileName is empty; in JSON mode every byte the target receives is also recorded.
class CliOpener : public listing::OutputOpener {
public:
    CliOpener(std::FILE* out, bool record) : out_(out), record_(record) {}

    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override {
        std::unique_ptr<listing::OutputChannel> channel;
        if (!upperCaseName.empty()) {
            channel = listing::openFileChannel(listing::resolveListingPath(upperCaseName));
        } else if (record_) {
            channel = listing::openNullDevice();
        } else {
            channel = std::make_unique<listing::StreamChannel>(out_, "standard output", false);
        }
        opened_ = true;
        if (!record_) return channel;
        return std::make_unique<listing::RecordingChannel>(received_, std::move(channel));
    }
    bool opened() const { return opened_; }
    const std::string& received() const { return received_; }

private:
    std::FILE* out_;
    bool record_;
    bool opened_ = false;
    std::string received_;
};

void startState(MainWindowModel& model, const std::optional<std::string>& settingsFile) {
    if (settingsFile) {
        model::FileSettingsStore store(*settingsFile);
        try {
            model::applySettings(model, store);
        } catch (const model::SettingsError& error) {
            throw UsageError{std::string(error.what()) +
                             ": give a settings file of seven lines as the window writes it"};
        }
    } else {
        const auto& defaults = model::defaultSettingsLines();
        model::MemorySettingsStore store({defaults.begin(), defaults.end()});
        model::applySettings(model, store);
    }
    model.finishLoad();
    if (!settingsFile) model.setFieldText(Field::FileName, "");
}

void printJson(std::FILE* out, const MainWindowModel& model, const CliOpener& opener,
               const std::optional<run::RunFailure>& failure) {
    using nlohmann::json;
    json object = json::object();
    object["Fo"] = model.fieldText(Field::Fo);
    object["ClockFreq"] = model.fieldText(Field::ClockFreq);
    object["KeyFreq"] = model.fieldText(Field::KeyFreq);
    object["warning"] = model.warningVisible() ? json(model.warningCaption()) : json(nullptr);
    // A fresh process starts with an empty results text, and a run that sets it never leaves
    // it empty.
    object["results"] = model.results().text.empty() ? json(nullptr) : json(model.results().text);
    object["listing"] =
        opener.opened() ? json(listing::windows1252ToUtf8(opener.received())) : json(nullptr);
    if (failure) {
        object["error"] = {
            {"kind", failure->kind == run::FailureKind::Arithmetic ? "arithmetic" : "output"},
            {"message", failure->message}};
    } else {
        object["error"] = nullptr;
    }
    const std::string text = object.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
    std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    Options options;
    MainWindowModel model;
    try {
        options = parseOptions(args);
        if (options.help) {
            std::fputs(kUsage, out);
            std::fputs("\n", out);
            std::fputs(kHelp, out);
            return kCompleted;
        }
        if (options.version) {
            std::fprintf(out, "meridel-cli %s\n", MERIDEL_VERSION);
            return kCompleted;
        }
        startState(model, options.settingsFile);
    } catch (const UsageError& error) {
        std::fprintf(err, "meridel-cli: %s\n%s", error.message.c_str(), kUsage);
        return kUsageError;
    }
    for (const std::string& notice : options.notices) {
        std::fprintf(err, "meridel-cli: %s\n", notice.c_str());
    }
    for (const Edit& edit : options.edits) edit(model);

    CliOpener opener(out, options.json);
    const auto failure = model.calculate(opener);

    if (options.json) {
        printJson(out, model, opener, failure);
    } else {
        if (model.warningVisible()) {
            std::fprintf(err, "warning: %s\n", model.warningCaption().c_str());
        }
        if (failure) std::fprintf(err, "error: %s\n", failure->message.c_str());
    }
    std::fflush(out);
    return failure ? kRunFailed : kCompleted;
}

}  // namespace meridel::cli
