#include "cli/cli.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string_view>

#include "audio/transmission.h"
#include "beacon/message_plan.h"
#include "cli/chip_options.h"
#include "cli/firmware_options.h"
#include "cli/message_options.h"
#include "cli/sequence_options.h"
#include "cli/sound_options.h"
#include "dds/chips.h"
#include "firmware/c_header.h"
#include "firmware/tone_words.h"
#include "firmware/word_checks.h"
#include "listing/output_targets.h"
#include "listing/text_encoding.h"
#include "model/main_window_model.h"
#include "model/settings_file.h"
#include "modes/symbol_table.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/error.h"
#include "numbers/field_number.h"
#include "numbers/quoted_text.h"
#include "sequence/cycle.h"
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
    "                   listing (with --format c the header), error, dds, words, intervals\n"
    "                   and dds_warnings\n"
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
    "                   AD9912: even, from 4; 1 bypasses it); one the chip does not have\n"
    "                   is a warning\n"
    "  --name PREFIX    the C header's prefix of every macro and table and of its include\n"
    "                   guard (default DDS), so that one firmware can include one header\n"
    "                   per plan: upper-case letters, digits and '_'\n"
    "  --decode BYTES   decode words in the listing's form (\"0x40,0x00,0x49,0xFC,0xCE,0x47\"),\n"
    "                   several separated by blanks or \";\", or by giving --decode again,\n"
    "                   into their frequencies at --clock; no plan is computed. Lines pasted\n"
    "                   from the listing (comments after \";\" and \"--\" lines are skipped) and\n"
    "                   the header's {0x40, 0x00, ...} and 0x400049FCCE47ULL are read too. A\n"
    "                   word at or above half the clock gets a note: the chip puts out its\n"
    "                   alias. A text that is no word ends with status 1\n"
    "\n"
    "register writes, the Si5351 and clock correction:\n"
    "  --registers      add the chip's register writes to the C header and the JSON: the\n"
    "                   set-up, then the writes of each tone word in the chip's own form\n"
    "  --amplitude F    the output amplitude, a fraction 0 to 1 of full scale (AD9852/AD9854\n"
    "                   OSK multiplier, AD9910 profile); implies --registers\n"
    "  --ppm X          correct the clock by X parts per million, positive when it runs fast\n"
    "  --ppb X          the same in parts per billion\n"
    "  --measured HZ    correct the clock from a counter's reading of the carrier word\n"
    "  --measured-at P  where that reading was taken: antenna (the default, after RF Mult)\n"
    "                   or dds\n"
    "  --dds Si5351     the Si5351 clock generator: a PLL A fraction per tone, one fixed output\n"
    "                   divider, written as I2C register writes (C header or --json)\n"
    "  --xtal MHZ       the Si5351 crystal: 25, 26 or 27\n"
    "  --clkin MHZ      or its clock input instead, 10 to 40 MHz\n"
    "  --clk N          the Si5351 output, 0 (the default), 1 or 2; with --decode, the Si5351\n"
    "                   takes pairs of 8-byte blocks, PLL A then the output's multisynth\n"
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
    "  --cw-message TEXT     a CW identification of up to 200 characters: key down (1) or up\n"
    "                        (0) per dot unit on the single-tone word\n"
    "  --cw-wpm WPM          the CW speed, 1 to 60 words a minute, PARIS timing (default 12)\n"
    "  --rtty-message TEXT   up to 200 characters as ITA2 codes with LTRS/FIGS shifts, 45.45\n"
    "                        baud, 1 start and 1.5 stop bits, from \"RTTY Space\"\n"
    "  --symbol-file NAME    write the symbol tables as an assembler include to NAME (as\n"
    "                        given, a file other than that of --file); without it they follow\n"
    "                        the listing on standard output. With --format c they go into the\n"
    "                        C header instead\n"
    "A message that cannot be encoded ends with status 1 and writes no file. When one file\n"
    "cannot be written, none is.\n"
    "\n"
    "the beacon's cycle:\n"
    "  --plan FILE      read a beacon plan file (TOML): fields, chip, messages, the cycle\n"
    "                   ([cycle], [[segment]]) and a timer; the other options override it\n"
    "  --write-plan FILE write the fields, chip, messages, cycle and timer as a plan file\n"
    "                   and compute nothing else\n"
    "  --check          check the plan's cycle against the beacon rules (CW ID every minute\n"
    "                   at 12 WPM or less, 20 s of carrier, start of each digital mode,\n"
    "                   overlaps) and print the findings and the PA duty cycle; status 1\n"
    "                   when a rule is breached\n"
    "  --event-file NAME write the cycle's events as an assembler include to NAME; without\n"
    "                   it they follow the symbol tables on standard output. With --format c\n"
    "                   they go into the C header instead\n"
    "  --timer-hz HZ    add the counts of a timer clocked at HZ before each event, the\n"
    "                   rounding carried so that no event is off by more than half a count\n"
    "  --timer-prescaler N  the timer's prescaler (default 1)\n"
    "  --timer-bits N   the timer's width, 8 to 32 (default 16): counts are given as full\n"
    "                   turns of the counter and a rest\n"
    "\n"
    "hearing the messages (the words of the plan's chip keyed as the symbols say):\n"
    "  --wav FILE           write what a USB receiver hears, 12000 samples/s 16-bit mono, as\n"
    "                       the WSJT decoders read it; several messages follow each other,\n"
    "                       and a plan's cycle is keyed as its events say, from its start\n"
    "  --waterfall FILE.png draw the same audio as a waterfall: frequency across, time down\n"
    "  --dial MHZ           the receiver's USB dial; by default the carrier, for WSPR 1500 Hz\n"
    "                       below it. Every tone must lie 0 to 3000 Hz above the dial\n"
    "  --seconds S          the length of the sound, 1 to 3600 s (default the cycle's length,\n"
    "                       else 120 for WSPR and 60 for the others, or longer to hold all)\n"
    "  --snr DB             add white noise: the SNR in 2500 Hz, -60 to 60 dB\n"
    "  --sound-words KIND   the words the tones are made of: stepped (base word plus n\n"
    "                       interval words, as the PIC program of the AD9852 listing adds\n"
    "                       them; the default for the listing) or tones (a word per tone,\n"
    "                       as the C header gives them; the default with --format c)\n"
    "\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "An option's value that starts with \"--\" is given after \"=\": --comment=\"-- 6 m --\".\n"
    "Exit status: 0 when the run completed, 1 when it failed, 2 on a usage error.\n"
    "The chip's words are checked, whatever the chip: a clock above its maximum, a multiplier\n"
    "it does not have, words above 0.4 x clock, tones that base + n x interval puts more than\n"
    "0.01 of their spacing off, and a phase constant the chip cannot hold are warnings on\n"
    "standard error; words at or above half the clock (the chip puts out clock - f), an\n"
    "interval word of 0 or a tone more than half a spacing off end with status 1, and no\n"
    "header or symbol file is written (the AD9852 listing is written as always).\n"
    "--check ends with 1 when a rule of the beacon cycle is breached.\n"
    "\n"
    "example: write the include file of a 50 MHz JT65B beacon with a 200 MHz DDS clock\n"
    "  meridel-cli --ref-in 20 --pll 10 --output 50 --tone 1500 --shift 850 \\\n"
    "              --mode JT65B --comment \"50 MHz beacon\" --file beacon.inc\n"
    "example: the C header of a 20 m WSPR plan for an AD9851 module at 180 MHz\n"
    "  meridel-cli --dds AD9851 --clock 180 --ref-mult 6 --output 14.0971 --file beacon.h\n"
    "example: check a beacon plan, then write its C header with ATmega328P timer counts\n"
    "  meridel-cli --plan beacon.toml --check\n"
    "  meridel-cli --plan beacon.toml --format c --timer-hz 16000000 --file beacon.h\n";

// A field option: the edit it makes on the window model.
using Edit = std::function<void(MainWindowModel&)>;

struct Options {
    std::vector<Edit> edits;  // in command-line order
    std::vector<std::string> notices;
    std::optional<std::string> settingsFile;
    std::optional<std::string> file;  // the last --file
    FirmwareRequest firmware;
    ChipRequest chip;
    OtherOptions others;
    beacon::MessageInputs messages;
    std::optional<std::string> symbolFile;
    SequenceRequest sequence;
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

bool looksLikeOption(std::string_view arg) {
    return arg.size() > 2 && arg.starts_with("--");
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
            if (option == "--check" && value) throw UsageError{"--check takes no value"};
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
    // With a `batch`, a named listing is only recorded, and joins the batch.
    CliOpener(std::FILE* out, bool record, bool listingOut = true,
              listing::FileBatch* batch = nullptr)
        : out_(out), record_(record), listingOut_(listingOut), batch_(batch) {}

    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override {
        std::unique_ptr<listing::OutputChannel> channel;
        if (batch_ && (!upperCaseName.empty() || (listingOut_ && !record_))) {
            // Held back until every output of the invocation is known to be good.
            if (!upperCaseName.empty()) {
                listingPath_ = listing::resolveListingPath(upperCaseName);
                batch_->add(*listingPath_, "--file");
            }
            opened_ = true;
            return std::make_unique<listing::RecordingChannel>(received_);
        }
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
    // The listing's file, when the batch holds it.
    const std::optional<std::filesystem::path>& listingPath() const { return listingPath_; }
    // A listing held back for standard output.
    bool heldForOutput() const { return batch_ && opened_ && !listingPath_ && !record_; }

private:
    std::FILE* out_;
    bool record_;
    bool listingOut_;
    listing::FileBatch* batch_;
    std::optional<std::filesystem::path> listingPath_;
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
                                              const SoundPlan& sound,
                                              const std::optional<CycleResult>& cycle) {
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
    return prepareSound(sound, messages->tables, *chipWords, cycle ? &cycle->cycle : nullptr);
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
    std::optional<std::string> header;  // the C header, when one was written
    std::optional<ClockCorrection> correction;
    nlohmann::json additions = nlohmann::json::object();  // register writes, correction
    firmware::HeaderExtras headerExtras;                  // their C header section
};

nlohmann::json ddsJson(const dds::Chip& chip, std::optional<double> clockHz) {
    return {{"name", chip.name},
            {"bits", chip.wordBits},
            {"clock_hz", clockHz ? nlohmann::json(*clockHz) : nlohmann::json(nullptr)}};
}

nlohmann::json wordsJson(const std::vector<firmware::ChipWord>& words, std::int32_t rfMult) {
    nlohmann::json list = nlohmann::json::array();
    const double r = rfMult;
    for (const firmware::ChipWord& w : words) {
        list.push_back({{"name", w.name},
                        {"requested_hz", w.requestedHz},
                        {"ftw", w.ftw},
                        {"actual_hz", w.actualHz},
                        {"antenna_hz", w.actualHz * r},
                        {"antenna_error_hz", (w.actualHz - w.requestedHz) * r}});
    }
    return list;
}

// Each table's own tone words and how far they lie from their tones at the antenna.
void addTonesJson(nlohmann::json& messages, std::span<const firmware::MessageTable> tables,
                  const firmware::ChipWords& words) {
    for (const firmware::MessageTable& m : tables) {
        const firmware::TableTones t = firmware::tableTones(m, words);
        nlohmann::json list = nlohmann::json::array();
        for (const firmware::ToneWord& w : t.tones) {
            list.push_back({{"tone", w.tone},
                            {"requested_hz", w.requestedHz},
                            {"ftw", w.ftw},
                            {"actual_hz", w.actualHz},
                            {"antenna_hz", w.antennaHz},
                            {"antenna_error_hz", w.antennaErrorHz}});
        }
        nlohmann::json& table = messages[m.key];
        table["tones"] = list;
        table["worst_tone"] = t.worstTone;
        table["worst_error_hz"] = t.worstErrorHz;
        table["spacing_hz"] = t.spacingHz;
        table["spacing_error_percent"] = t.spacingErrorPercent;
    }
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
    object["words"] = fw.words ? wordsJson(fw.words->tones, fw.words->rfMult) : json(nullptr);
    object["intervals"] =
        fw.words ? wordsJson(fw.words->intervals, fw.words->rfMult) : json(nullptr);
    object["dds_warnings"] = fw.warnings;
    for (const auto& [key, value] : fw.additions.items()) object[key] = value;
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
               const std::optional<beacon::BeaconMessages>& messages,
               const std::optional<CycleResult>& cycle, const nlohmann::json& sound) {
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
    if (fw.header) {
        object["listing"] = *fw.header;
    } else {
        object["listing"] =
            opener.opened() ? json(listing::windows1252ToUtf8(opener.received())) : json(nullptr);
    }
    object["error"] =
        failure ? json{{"kind", failure->kind}, {"message", failure->message}} : json(nullptr);
    addFirmwareJson(object, fw);
    if (messages) {
        object["messages"] = messagesJson(*messages);
        if (fw.words) addTonesJson(object["messages"], messages->tables, *fw.words);
    }
    if (cycle) object["sequence"] = cycleJson(*cycle);
    if (!sound.is_null()) object["sound"] = sound;
    writeJson(out, object);
}

nlohmann::json decodedJson(const std::vector<firmware::DecodedWord>& words) {
    nlohmann::json decoded = nlohmann::json::array();
    for (const firmware::DecodedWord& w : words) {
        decoded.push_back(
            {{"bytes", w.bytes},
             {"ftw", w.ftw},
             {"hz", w.hz},
             {"note", w.note.empty() ? nlohmann::json(nullptr) : nlohmann::json(w.note)}});
    }
    return decoded;
}

// --decode: the words, or why the texts hold none (status 1, as a JSON object with --json).
int runDecode(std::FILE* out, std::FILE* err, const FirmwarePlan& plan,
              const std::vector<std::string>& texts, bool json) {
    std::vector<firmware::DecodedWord> words;
    std::optional<std::string> error;
    try {
        words = decodeWords(plan, texts);
    } catch (const Error& e) {
        error = e.what();
    }
    if (json) {
        writeJson(out, {{"dds", ddsJson(*plan.chip, plan.clockHz)},
                        {"decoded", error ? nlohmann::json(nullptr) : decodedJson(words)},
                        {"error", error ? nlohmann::json{{"kind", "input"}, {"message", *error}}
                                        : nlohmann::json(nullptr)}});
    } else if (error) {
        std::fprintf(err, "error: %s\n", error->c_str());
    } else {
        for (const firmware::DecodedWord& w : words) {
            std::fprintf(out, "%s ; ftw %llu ; %s Hz%s%s\n", w.bytes.c_str(),
                         static_cast<unsigned long long>(w.ftw),
                         numbers::trimmedDecimalText(w.hz).c_str(), w.note.empty() ? "" : " ; ",
                         w.note.c_str());
        }
    }
    std::fflush(out);
    return error ? kRunFailed : kCompleted;
}

// The chip's words of a completed run and what they ask of the chip and the firmware; a
// refusal in the checks is the run's failure, and then nothing more is written.
std::optional<Failure> checkFirmware(FirmwareResult& fw, const run::RunWords& words,
                                     const Options& options,
                                     std::span<const firmware::MessageTable> tables) {
    fw.words = firmware::chipWords(words, *fw.plan.chip, fw.plan.refMult);
    if (fw.correction) fw.words->ratedClockHz = fw.correction->nominalHz;
    fw.additions = chipAdditions(options.chip, *fw.words, fw.correction, fw.headerExtras);
    firmware::WordChecks checks = firmware::checkWords(*fw.words, tables);
    fw.warnings = std::move(checks.warnings);
    if (checks.refusals.empty()) return std::nullopt;
    std::string message;
    for (const std::string& refusal : checks.refusals) {
        message.append(message.empty() ? "" : "; ").append(refusal);
    }
    return Failure{"dds", message};
}

// The C header: into the batch when it goes to --file, else to standard output (not in JSON
// mode, whose "listing" carries it).
void writeHeader(FirmwareResult& fw, const Options& options,
                 std::span<const firmware::MessageTable> messages, listing::FileBatch& batch,
                 std::FILE* out, const std::optional<CycleResult>& cycle) {
    if (cycle) fw.headerExtras.section = cycleHeaderSection(*cycle);
    std::string header =
        firmware::cHeader(*fw.words, messages, "meridel-cli", fw.plan.prefix, fw.headerExtras);
    fw.header = header;
    if (options.file) {
        batch.setBytes(*options.file, std::move(header));
    } else if (!options.json) {
        std::fwrite(header.data(), 1, header.size(), out);
    }
}

// --write-plan and --check: no run, no listing.
int finishPlanOnly(const Options& options, MainWindowModel model, const std::string& nominalRefIn,
                   const std::optional<CycleResult>& cycle, std::FILE* out, std::FILE* err) {
    if (!options.sequence.writePlan) {
        return printFindings(*cycle, options.json, out) ? kRunFailed : kCompleted;
    }
    try {
        model.setFieldText(Field::RefIn, nominalRefIn);
        writePlanFile(options.sequence, model, options.firmware, options.chip, options.messages);
        return kCompleted;
    } catch (const listing::OutputError& error) {
        std::fprintf(err, "error: %s\n", error.what());
        return kRunFailed;
    }
}

// A multiplier chain after the DDS (x96 or x108 to microwave bands) takes a whole factor; the
// AD9852 and AD9854 read RF Mult as their listing always has.
constexpr double kMaxRfMult = 1000;
void checkRfMult(const FirmwarePlan& plan, const MainWindowModel& model) {
    if (plan.chip->picListing) return;
    const std::string& text = model.fieldText(Field::RFMult);
    const auto value = numbers::parseWholeNumber(text);
    if (!value || !(*value >= 1 && *value <= kMaxRfMult) || *value != std::floor(*value)) {
        throw UsageError{"--rf-mult \"" + text + "\" is out of range for the " +
                         std::string(plan.chip->name) + ": give a whole number from 1 to 1000"};
    }
}

// Usage errors between the output options, known once the firmware options are resolved.
void checkOutputs(const Options& options, const FirmwarePlan& plan) {
    if (!options.symbolFile) return;
    if (plan.header) {
        throw UsageError{
            "--symbol-file: with --format c the symbol tables go into the C header; leave out "
            "--symbol-file"};
    }
    if (!options.messages.any()) {
        throw UsageError{
            "--symbol-file needs a message to write: give --jt-message, "
            "--wspr-message, --fsk441-message, --pi4-message, --cw-message or "
            "--rtty-message"};
    }
    if (!options.file) return;
    // The listing lands on the upper-cased name; a case-blind file system would put both in
    // one file, so names that differ only in case are the same file here.
    const auto key = [](const std::filesystem::path& path) {
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(path, ec);
        return listing::toUpperCase((ec ? path : full).lexically_normal().string());
    };
    if (key(listing::resolveListingPath(listing::toUpperCase(*options.file))) ==
        key(*options.symbolFile)) {
        throw UsageError{"--symbol-file " + numbers::quotedText(*options.symbolFile) +
                         " names the file of --file " + numbers::quotedText(*options.file) +
                         ": give the symbol tables a file of their own"};
    }
}

// A run with firmware options or messages: every file it writes is written together or not at
// all.
std::optional<Failure> runBatch(MainWindowModel& model, const Options& options, FirmwareResult& fw,
                                std::vector<beacon::EncodedMessage> encoded, CliOpener& opener,
                                listing::FileBatch& batch,
                                std::optional<beacon::BeaconMessages>& messages,
                                const std::optional<CycleResult>& cycle, const SoundPlan& sound,
                                const std::optional<audio::Recording>& recording, std::FILE* out,
                                std::FILE* err) {
    const bool events = cycle && !fw.plan.header;
    try {
        if (fw.plan.header && options.file) batch.add(*options.file, "--file");
        if (options.symbolFile) batch.add(*options.symbolFile, "--symbol-file");
        if (events && options.sequence.eventFile) {
            batch.add(*options.sequence.eventFile, "--event-file");
        }
    } catch (const listing::OutputError& error) {
        return Failure{"output", error.what()};
    }
    run::RunWords words;
    if (auto failure = failureOf(model.calculate(opener, words))) return failure;
    try {
        if (options.messages.any()) {
            messages = beacon::tieToWords(std::move(encoded), options.messages, words);
            words = messages->words;
        }
        const std::span<const firmware::MessageTable> tables =
            messages ? std::span(messages->tables) : std::span<const firmware::MessageTable>();
        // Only the C header gives the tables a word per tone.
        if (auto failure = checkFirmware(
                fw, words, options,
                fw.plan.header ? tables : std::span<const firmware::MessageTable>())) {
            return failure;
        }
        if (fw.plan.header) writeHeader(fw, options, tables, batch, out, cycle);
        if (opener.listingPath()) batch.setBytes(*opener.listingPath(), opener.received());
        if (opener.heldForOutput()) {
            std::fwrite(opener.received().data(), 1, opener.received().size(), out);
        }
        if (messages && !fw.plan.header) {
            if (options.symbolFile) {
                batch.setBytes(*options.symbolFile, symbolFileBytes(*messages));
            } else if (!options.json) {
                printSymbols(*messages, out);
            }
        }
        if (events) {
            if (!options.json) reportBreaches(*cycle, err);
            if (options.sequence.eventFile) {
                batch.setBytes(*options.sequence.eventFile, eventFileBytes(*cycle));
            } else if (!options.json) {
                const std::string bytes = eventFileBytes(*cycle);
                std::fwrite(bytes.data(), 1, bytes.size(), out);
            }
        }
        batch.commit();
        if (recording) writeSound(sound, *recording, options.json, err);
    } catch (const audio::SoundError& error) {
        return Failure{"sound", error.what()};
    } catch (const firmware::FirmwareError& error) {
        return Failure{"arithmetic", error.what()};
    } catch (const modes::MessageError& error) {
        return Failure{"message", error.what()};
    } catch (const listing::OutputError& error) {
        return Failure{"output", error.what()};
    } catch (const numbers::ArithmeticError& error) {
        return Failure{"arithmetic", error.what()};
    }
    return std::nullopt;
}

// A plain listing run: the listing is written as the run goes, as the window does; the chip's
// words are checked afterwards.
std::optional<Failure> runListing(MainWindowModel& model, const Options& options,
                                  FirmwareResult& fw, CliOpener& opener) {
    run::RunWords words;
    if (auto failure = failureOf(model.calculate(opener, words))) return failure;
    try {
        return checkFirmware(fw, words, options, {});
    } catch (const firmware::FirmwareError& error) {
        return Failure{"arithmetic", error.what()};
    } catch (const numbers::ArithmeticError& error) {
        return Failure{"arithmetic", error.what()};
    }
}

int runChecked(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    Options options;
    MainWindowModel model;
    FirmwareResult fw;
    SoundPlan sound;
    try {
        SequenceRequest fromPlan;
        options = parseOptions(expandPlan(args, fromPlan));
        options.sequence.sequence = fromPlan.sequence;
        checkSequenceRequest(options.sequence);
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
        if (isSi5351(options.firmware)) {
            Si5351Invocation si{options.firmware, options.chip, options.messages, {},
                                options.file,     options.json};
            si.prepare = [&options, err](MainWindowModel& m) {
                startState(m, options.settingsFile);
                for (const std::string& notice : options.notices) {
                    std::fprintf(err, "meridel-cli: %s\n", notice.c_str());
                }
                for (const Edit& edit : options.edits) edit(m);
            };
            return runSi5351(si, out, err);
        }
        if (options.chip.xtal || options.chip.clkin || options.chip.clk) {
            throw UsageError{"--xtal, --clkin and --clk are for --dds Si5351"};
        }
        fw.plan = resolveFirmware(options.firmware, options.others);
        sound = resolveSound(options.sound,
                             options.messages.any() || options.sequence.sequence.has_value(),
                             fw.plan.header);
        fw.plan.requested = fw.plan.requested || options.chip.any();
        if (!options.firmware.decode.empty()) {
            return runDecode(out, err, fw.plan, options.firmware.decode, options.json);
        }
        checkOutputs(options, fw.plan);
        startState(model, options.settingsFile);
    } catch (const UsageError& error) {
        std::fprintf(err, "meridel-cli: %s\n%s", error.message.c_str(), kUsage);
        return kUsageError;
    }
    for (const std::string& notice : options.notices) {
        std::fprintf(err, "meridel-cli: %s\n", notice.c_str());
    }
    for (const Edit& edit : options.edits) edit(model);
    // A written plan keeps the clock as given, with its correction beside it.
    std::string nominalRefIn = model.fieldText(Field::RefIn);
    if (!fw.plan.chip->picListing) nominalRefIn = fw.plan.clockText;
    try {
        checkRfMult(fw.plan, model);
        fw.correction = correctDdsClock(options.chip, fw.plan, model);
    } catch (const UsageError& error) {
        std::fprintf(err, "meridel-cli: %s\n%s", error.message.c_str(), kUsage);
        return kUsageError;
    } catch (const numbers::RationalOverflow&) {
        std::fprintf(err, "meridel-cli: --ppm, --ppb or --measured is too large for this clock\n");
        return kUsageError;
    }
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

    // The cycle needs only the symbols: a plan that cannot be placed stops before any file.
    std::optional<CycleResult> cycle;
    if (!failure && !options.sequence.writePlan) {
        try {
            cycle = computeCycle(options.sequence, encoded, options.messages.cwWpm);
        } catch (const sequence::SequenceError& error) {
            failure = Failure{"sequence", error.what()};
        }
    }
    if (!failure && (options.sequence.writePlan || options.sequence.check)) {
        return finishPlanOnly(options, model, nominalRefIn, cycle, out, err);
    }

    std::optional<audio::Recording> recording;
    if (!failure && sound.requested()) {
        try {
            recording = rehearseSound(model, encoded, options, fw.plan, sound, cycle);
        } catch (const audio::SoundError& error) {
            failure = Failure{"sound", error.what()};
        }
    }

    listing::FileBatch batch;
    const bool batched = fw.plan.requested || options.messages.any() || cycle.has_value();
    CliOpener opener(out, options.json, !fw.plan.header, batched ? &batch : nullptr);
    std::optional<beacon::BeaconMessages> messages;
    if (failure) {
        // nothing is computed or written
    } else if (batched) {
        failure = runBatch(model, options, fw, std::move(encoded), opener, batch, messages, cycle,
                           sound, recording, out, err);
    } else {
        failure = runListing(model, options, fw, opener);
    }

    if (options.json) {
        printJson(out, model, opener, failure, fw, messages, cycle,
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

}  // namespace

int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    // The last guard: whatever a library folder refuses ends as an error, never as an abort.
    try {
        return runChecked(args, out, err);
    } catch (const Error& error) {
        std::fprintf(err, "error: %s\n", error.what());
    } catch (const std::exception& error) {
        std::fprintf(err, "error: %s (please report this input)\n", error.what());
    }
    return kRunFailed;
}

}  // namespace meridel::cli
