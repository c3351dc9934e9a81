#include "cli/cli.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string_view>

#include "audio/transmission.h"
#include "beacon/message_plan.h"
#include "cli/firmware_options.h"
#include "cli/message_options.h"
#include "cli/sound_options.h"
#include "dds/chips.h"
#include "firmware/c_header.h"
#include "listing/output_targets.h"
#include "listing/text_encoding.h"
#include "model/main_window_model.h"
#include "model/settings_file.h"
#include "modes/symbol_table.h"
#include "numbers/decimal_text.h"
#include "version.h"

namespace meridel::cli {
namespace {

using model::MainWindowModel;
using run::Field;

constexpr const char* kUsage =
    "usage: meridel-cli [--ref-in TEXT] [--pll TEXT] [--rf-mult TEXT] [--output TEXT]\n"
    "                   [--tone TEXT] [--shift TEXT] [--mode TEXT] [--comment TEXT]\n"
    "                   [--file NAME] [--settings FILE] [--json] [--help] [--version]\n"
    "                   [--format asm|c] [--dds CHIP] [--clock MHZ] [--ref-mult N]\n"
    "                   [--jt-message TEXT] [--wspr-message TEXT] [--fsk441-message TEXT]\n"
    "                   [--pi4-message CALL] [--pi4-audio HZ] [--cw-message TEXT]\n"
    "                   [--cw-wpm WPM] [--rtty-message TEXT] [--symbol-file NAME]\n"
    "                   [--wav FILE] [--waterfall FILE.png] [--dial MHZ] [--seconds S]\n"
    "                   [--snr DB]\n"
    "       meridel-cli --decode BYTES... --clock MHZ [--dds CHIP] [--json]\n";

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
    "                   listing and error; with --format, --dds or --clock also dds, words,\n"
    "                   intervals and dds_warnings; with --wav or --waterfall also sound\n"
    "\n"
    "firmware options:\n"
    "  --format asm|c   asm: the PIC assembler listing (the default for the AD9852 and\n"
    "                   AD9854, the only chips that have it); c: a C header of every word,\n"
    "                   the default for the other chips. --file writes the header to NAME as\n"
    "                   given, not upper-cased\n"
    "  --dds CHIP       the DDS chip, in any case: AD9852 (the default), AD9854, AD9850,\n"
    "                   AD9851, AD9910, AD9912 or AD9833; words in its width\n"
    "  --clock MHZ      the system clock of a chip other than the AD9852/AD9854 (whose clock\n"
    "                   is --ref-in times --pll); needed for those chips and for --decode\n"
    "  --ref-mult N     the chip's own reference multiplier (AD9851: 6; AD9910: 12 to 127;\n"
    "                   AD9912: even, from 4; 1 bypasses it), checked against the chip\n"
    "  --decode BYTES   decode words in the listing's form (\"0x40,0x00,0x49,0xFC,0xCE,0x47\"),\n"
    "                   several separated by blanks or \";\", or by giving --decode again,\n"
    "                   into their frequencies at --clock; no plan is computed\n"
    "\n"
    "beacon messages (each optional; the symbols are tone numbers counted from a word of the\n"
    "listing, stepping by the mode's interval word):\n"
    "  --jt-message TEXT     a JT65 or JT4 message, in the mode of --mode (JT65A to JT65C,\n"
    "                        JT4A to JT4G); 126 or 206 symbols from \"JT Sync\" or \"JT4x Tone "
    "0\"\n"
    "  --wspr-message TEXT   \"CALL GRID4 DBM\" or a compound-callsign form; 162 symbols from\n"
    "                        \"WSPR Base\"\n"
    "  --fsk441-message TEXT meteor scatter text; 3 symbols a character from \"FSK441 Tone 0\"\n"
    "  --pi4-message CALL    a PI4 callsign (up to 8 characters, /B allowed); adds the PI4 tone\n"
    "                        and interval words\n"
    "  --pi4-audio HZ        the PI4 nominal frequency above the carrier (default 800)\n"
    "  --cw-message TEXT     a CW identification: key down (1) or up (0) per dot unit on the\n"
    "                        single-tone word\n"
    "  --cw-wpm WPM          the CW speed, 1 to 60 words a minute, PARIS timing (default 12)\n"
    "  --rtty-message TEXT   ITA2 codes with LTRS/FIGS shifts, 45.45 baud, 1 start and 1.5\n"
    "                        stop bits, from \"RTTY Space\"\n"
    "  --symbol-file NAME    write the symbol tables as an assembler include to NAME (as\n"
    "                        given); without it they follow the listing on standard output.\n"
    "                        With --format c they go into the C header instead\n"
    "A message that cannot be encoded ends with status 1 and writes no file.\n"
    "\n"
    "hearing the messages (the words of the plan's chip keyed as the symbols say):\n"
    "  --wav FILE           write what a USB receiver hears, 12000 samples/s 16-bit mono, as\n"
    "                       the WSJT decoders read it; several messages follow each other\n"
    "  --waterfall FILE.png draw the same audio as a waterfall: frequency across, time down\n"
    "  --dial MHZ           the receiver's USB dial; by default the carrier, for WSPR 1500 Hz\n"
    "                       below it. Every tone must lie 0 to 3000 Hz above the dial\n"
    "  --seconds S          the length of the sound, 1 to 3600 s (default 120 for WSPR,\n"
    "                       otherwise 60, or longer to hold the messages)\n"
    "  --snr DB             add white noise: the SNR in 2500 Hz, -60 to 60 dB\n"
    "\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 when the run completed, 1 when it failed, 2 on a usage error.\n"
    "Limit warnings of the chip (a clock above its maximum, an unsupported multiplier, a word\n"
    "above 0.4 x clock) go to standard error and do not stop the words.\n"
    "\n"
    "example: write the include file of a 50 MHz JT65B beacon with a 200 MHz DDS clock\n"
    "  meridel-cli --ref-in 20 --pll 10 --output 50 --tone 1500 --shift 850 \\\n"
    "              --mode JT65B --comment \"50 MHz beacon\" --file beacon.inc\n"
    "example: the C header of a 20 m WSPR plan for an AD9851 module at 180 MHz\n"
    "  meridel-cli --dds AD9851 --clock 180 --output 14.0956 --file beacon.h\n";

// A field option: the edit it makes on the window model.
using Edit = std::function<void(MainWindowModel&)>;

struct Options {
    std::vector<Edit> edits;  // in command-line order
    std::vector<std::string> notices;
    std::optional<std::string> settingsFile;
    std::optional<std::string> file;  // the last --file
    FirmwareRequest firmware;
    OtherOptions others;
    beacon::MessageInputs messages;
    std::optional<std::string> symbolFile;
    SoundRequest sound;
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
            options.others.anyPlan = true;
            continue;
        }
        if (isMessageOption(option)) {
            takeMessageOption(options.messages, options.symbolFile, option, takeValue());
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
        const bool known = fieldEdit(option, "").has_value();
        if (!known) throw UsageError{"unknown option \"" + option + "\""};
        const std::string text = takeValue();
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

// The run's target: the listing file, or standard output (plain mode) / the null device (JSON
// mode) when FileName is empty; in JSON mode every byte the target receives is also recorded.
class CliOpener : public listing::OutputOpener {
public:
    // `listingOut`: an unnamed listing goes to `out`; otherwise (a C header is printed
    // instead) to the null device.
    CliOpener(std::FILE* out, bool record, bool listingOut = true)
        : out_(out), record_(record), listingOut_(listingOut) {}

    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override {
        std::unique_ptr<listing::OutputChannel> channel;
        if (!upperCaseName.empty()) {
            channel = listing::openFileChannel(listing::resolveListingPath(upperCaseName));
        } else if (record_ || !listingOut_) {
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
    bool listingOut_;
    bool opened_ = false;
    std::string received_;
};

// A run that writes nothing: it only hands back the words.
class NullOpener : public listing::OutputOpener {
public:
    std::unique_ptr<listing::OutputChannel> open(const std::string&) override {
        return listing::openNullDevice();
    }
};

// The sound of the plan, made on a copy of the model that writes nothing, so that a sound that
// cannot be made or written stops the invocation before the listing or any other file exists.
// Empty when the run itself fails: the real run then says why.
std::optional<audio::Recording> rehearseSound(const MainWindowModel& model,
                                              const std::vector<beacon::EncodedMessage>& encoded,
                                              const Options& options, const FirmwarePlan& fwPlan,
                                              const SoundPlan& sound) {
    MainWindowModel copy = model;
    NullOpener nowhere;
    run::RunWords words;
    if (copy.calculate(nowhere, words)) return std::nullopt;
    std::optional<firmware::ChipWords> chipWords;
    std::optional<beacon::BeaconMessages> messages;
    try {
        messages = beacon::tieToWords(encoded, options.messages, words);
        chipWords = fwPlan.requested
                        ? firmware::chipWords(messages->words, *fwPlan.chip, fwPlan.refMult)
                        : firmware::chipWords(messages->words, dds::defaultChip());
    } catch (const firmware::FirmwareError&) {
        return std::nullopt;
    } catch (const modes::MessageError&) {
        return std::nullopt;
    }
    return prepareSound(sound, messages->tables, *chipWords);
}

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

// What the firmware options add to a run: the chip's words (none when the run failed) and its
// limit warnings.
struct FirmwareResult {
    FirmwarePlan plan;
    std::optional<firmware::ChipWords> words;
    std::vector<std::string> warnings;
};

nlohmann::json ddsJson(const dds::Chip& chip, std::optional<double> clockHz) {
    return {{"name", chip.name},
            {"bits", chip.wordBits},
            {"clock_hz", clockHz ? nlohmann::json(*clockHz) : nlohmann::json(nullptr)}};
}

nlohmann::json wordsJson(const std::vector<firmware::ChipWord>& words) {
    nlohmann::json list = nlohmann::json::array();
    for (const firmware::ChipWord& w : words) {
        list.push_back({{"name", w.name},
                        {"requested_hz", w.requestedHz},
                        {"ftw", w.ftw},
                        {"actual_hz", w.actualHz}});
    }
    return list;
}

void addFirmwareJson(nlohmann::json& object, const FirmwareResult& fw) {
    using nlohmann::json;
    std::optional<double> clockHz;
    if (fw.words) {
        clockHz = fw.words->clockHz;
    } else if (!fw.plan.chip->picListing) {
        clockHz = fw.plan.clockHz;
    }
    object["dds"] = ddsJson(*fw.plan.chip, clockHz);
    object["words"] = fw.words ? wordsJson(fw.words->tones) : json(nullptr);
    object["intervals"] = fw.words ? wordsJson(fw.words->intervals) : json(nullptr);
    object["dds_warnings"] = fw.warnings;
}

void writeJson(std::FILE* out, const nlohmann::json& object) {
    const std::string text =
        object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    std::fwrite(text.data(), 1, text.size(), out);
}

// Why an invocation ended early: "arithmetic" or "output" for a failed run, "message" for a
// message that cannot be encoded, "sound" for a sound that cannot be made or written.
struct Failure {
    std::string kind;
    std::string message;
};

std::optional<Failure> failureOf(const std::optional<run::RunFailure>& failure) {
    if (!failure) return std::nullopt;
    return Failure{failure->kind == run::FailureKind::Arithmetic ? "arithmetic" : "output",
                   failure->message};
}

void printJson(std::FILE* out, const MainWindowModel& model, const CliOpener& opener,
               const std::optional<Failure>& failure, const FirmwareResult& fw,
               const std::optional<beacon::BeaconMessages>& messages, const nlohmann::json& sound) {
    using nlohmann::json;
    json object = json::object();
    object["Fo"] = model.fieldText(Field::Fo);
    object["ClockFreq"] = model.fieldText(Field::ClockFreq);
    object["KeyFreq"] = model.fieldText(Field::KeyFreq);
    // The run's warning is about the AD9852 and its PIC listing; other chips have their own.
    object["warning"] = model.warningVisible() && fw.plan.chip->picListing
                            ? json(model.warningCaption())
                            : json(nullptr);
    // A fresh process starts with an empty results text, and a run that sets it never leaves
    // it empty.
    object["results"] = model.results().text.empty() ? json(nullptr) : json(model.results().text);
    object["listing"] =
        opener.opened() ? json(listing::windows1252ToUtf8(opener.received())) : json(nullptr);
    object["error"] =
        failure ? json{{"kind", failure->kind}, {"message", failure->message}} : json(nullptr);
    if (fw.plan.requested) addFirmwareJson(object, fw);
    if (messages) object["messages"] = messagesJson(*messages);
    if (!sound.is_null()) object["sound"] = sound;
    writeJson(out, object);
}

int printDecoded(std::FILE* out, const FirmwarePlan& plan,
                 const std::vector<firmware::DecodedWord>& words, bool json) {
    if (json) {
        nlohmann::json decoded = nlohmann::json::array();
        for (const firmware::DecodedWord& w : words) {
            decoded.push_back({{"bytes", w.bytes}, {"ftw", w.ftw}, {"hz", w.hz}});
        }
        writeJson(out, {{"dds", ddsJson(*plan.chip, plan.clockHz)}, {"decoded", decoded}});
    } else {
        for (const firmware::DecodedWord& w : words) {
            std::fprintf(out, "%s ; ftw %llu ; %s Hz\n", w.bytes.c_str(),
                         static_cast<unsigned long long>(w.ftw),
                         numbers::trimmedDecimalText(w.hz).c_str());
        }
    }
    std::fflush(out);
    return kCompleted;
}

// The firmware side of a completed run: the chip's words, its warnings and the C header.
void finishFirmware(FirmwareResult& fw, const run::RunWords& words, const Options& options,
                    std::span<const firmware::MessageTable> messages, std::FILE* out) {
    fw.words = firmware::chipWords(words, *fw.plan.chip, fw.plan.refMult);
    for (const dds::LimitWarning& w : firmware::limitWarnings(*fw.words)) {
        // The listing's own "DDS FREQ TOO HIGH!" says this for the AD9852/54.
        if (fw.plan.chip->picListing && w.kind == dds::LimitKind::AboveCarrierLimit) continue;
        fw.warnings.push_back(w.text);
    }
    if (!fw.plan.header) return;
    const std::string header = firmware::cHeader(*fw.words, messages);
    if (options.file) {
        // As given, not upper-cased: an #include names it as it is.
        listing::writeWholeFile(*options.file, header,
                                "Check --file and the free space of the disk.");
    } else if (!options.json) {
        std::fwrite(header.data(), 1, header.size(), out);
    }
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    Options options;
    MainWindowModel model;
    FirmwareResult fw;
    SoundPlan sound;
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
        fw.plan = resolveFirmware(options.firmware, options.others);
        sound = resolveSound(options.sound, options.messages.any());
        if (!options.firmware.decode.empty()) {
            const auto decoded = decodeWords(fw.plan, options.firmware.decode);
            return printDecoded(out, fw.plan, decoded, options.json);
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
    // A chip without the AD9852's PLL: its clock is the reference, with the PLL bypassed.
    if (!fw.plan.chip->picListing) {
        model.setFieldText(Field::RefIn, fw.plan.clockText);
        model.selectPllText("1");
    }
    // The header takes the place of the listing, which then goes nowhere.
    if (fw.plan.header) model.setFieldText(Field::FileName, "");

    // Messages are encoded before the run, so a bad one stops the plan before any file exists.
    std::vector<beacon::EncodedMessage> encoded;
    std::optional<Failure> failure;
    try {
        encoded = beacon::encodeMessages(options.messages, model.modeIndex(), model.modeText());
    } catch (const modes::MessageError& error) {
        failure = Failure{"message", error.what()};
    }

    std::optional<audio::Recording> recording;
    if (!failure && sound.requested()) {
        try {
            recording = rehearseSound(model, encoded, options, fw.plan, sound);
        } catch (const audio::SoundError& error) {
            failure = Failure{"sound", error.what()};
        }
    }

    CliOpener opener(out, options.json, !fw.plan.header);
    std::optional<beacon::BeaconMessages> messages;
    if (failure) {
        // nothing is computed or written
    } else if (fw.plan.requested || options.messages.any()) {
        run::RunWords words;
        failure = failureOf(model.calculate(opener, words));
        if (!failure) {
            try {
                if (options.messages.any()) {
                    messages = beacon::tieToWords(std::move(encoded), options.messages, words);
                    words = messages->words;
                }
                const std::span<const firmware::MessageTable> tables =
                    messages ? std::span(messages->tables)
                             : std::span<const firmware::MessageTable>();
                if (fw.plan.requested) finishFirmware(fw, words, options, tables, out);
                if (messages && !fw.plan.header)
                    writeSymbols(*messages, options.symbolFile, options.json, out);
                if (recording) writeSound(sound, *recording, options.json, err);
            } catch (const firmware::FirmwareError& error) {
                failure = Failure{"arithmetic", error.what()};
            } catch (const modes::MessageError& error) {
                failure = Failure{"message", error.what()};
            } catch (const listing::OutputError& error) {
                failure = Failure{"output", error.what()};
            } catch (const audio::SoundError& error) {
                failure = Failure{"sound", error.what()};
            }
        }
    } else {
        failure = failureOf(model.calculate(opener));
    }

    if (options.json) {
        printJson(out, model, opener, failure, fw, messages,
                  recording ? soundJson(sound, *recording) : nlohmann::json());
    } else {
        if (model.warningVisible() && fw.plan.chip->picListing) {
            std::fprintf(err, "warning: %s\n", model.warningCaption().c_str());
        }
        for (const std::string& warning : fw.warnings) {
            std::fprintf(err, "warning: %s\n", warning.c_str());
        }
        if (failure) std::fprintf(err, "error: %s\n", failure->message.c_str());
    }
    std::fflush(out);
    return failure ? kRunFailed : kCompleted;
}

}  // namespace meridel::cli
