#include "cli/cli.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string_view>

#include "audio/transmission.h"
#include "beacon/message_plan.h"
#include "cli/chip_options.h"
#include "cli/cli_opener.h"
#include "cli/firmware_options.h"
#include "cli/help_text.h"
#include "cli/message_options.h"
#include "cli/parse_options.h"
#include "cli/plan_lines.h"
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

// A failed run gives no words and no register writes: a script that reads them without the
// exit status must not send a refused plan's words to a chip.
void addFirmwareJson(nlohmann::json& object, const FirmwareResult& fw, bool failed) {
    using nlohmann::json;
    std::optional<double> clockHz;
    if (fw.words) {
        clockHz = fw.words->clockHz;
    } else if (!fw.plan.chip->picListing) {
        clockHz = fw.plan.clockHz;
    }
    object["dds"] = ddsJson(*fw.plan.chip, clockHz);
    const bool words = fw.words && !failed;
    object["words"] = words ? wordsJson(fw.words->tones, fw.words->rfMult) : json(nullptr);
    object["intervals"] = words ? wordsJson(fw.words->intervals, fw.words->rfMult) : json(nullptr);
    object["dds_warnings"] = fw.warnings;
    for (const auto& [key, value] : fw.additions.items()) {
        if (!failed || key != "registers") object[key] = value;
    }
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
    } else if (fw.plan.header) {
        object["listing"] = nullptr;  // no header was made; the run's listing is not the chip's
    } else {
        object["listing"] =
            opener.opened() ? json(listing::windows1252ToUtf8(opener.received())) : json(nullptr);
    }
    object["error"] =
        failure ? json{{"kind", failure->kind}, {"message", failure->message}} : json(nullptr);
    addFirmwareJson(object, fw, failure.has_value());
    if (messages) {
        object["messages"] = messagesJson(*messages);
        if (fw.words && !failure) addTonesJson(object["messages"], messages->tables, *fw.words);
        if (failure && object["messages"].contains("pi4")) object["messages"]["pi4"].erase("words");
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
    fw.additions = chipAdditions(options.chip, *fw.words, fw.correction, fw.headerExtras, tables);
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
    if (cycle) fw.headerExtras.section = cycleHeaderSection(*cycle, fw.plan.prefix);
    if (const auto& option = options.sequence.commentOutdatedBy) {
        fw.headerExtras.commentNote =
            "(the plan file's comment is left out: " + *option + " changed the plan)";
    }
    std::string header =
        firmware::cHeader(*fw.words, messages, "meridel-cli", fw.plan.prefix, fw.headerExtras);
    if (auto warning = firmware::headerSizeWarning(header.size()); !warning.empty()) {
        fw.warnings.push_back(std::move(warning));
    }
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
    if (options.symbolFile && plan.header) {
        throw UsageError{
            "--symbol-file: with --format c the symbol tables go into the C header; leave out "
            "--symbol-file"};
    }
    if (options.symbolFile && !options.messages.any()) {
        throw UsageError{
            "--symbol-file needs a message to write: give --jt-message, "
            "--wspr-message, --fsk441-message, --pi4-message, --cw-message or "
            "--rtty-message"};
    }
    // Two outputs on one file would leave only the last one written. The listing lands on the
    // upper-cased name, and a case-blind file system (a memory card, Windows) puts names that
    // differ only in case in one file, so those are one file here too.
    struct Output {
        const char* option;
        std::string name;
        std::filesystem::path path;
    };
    std::vector<Output> outputs;
    if (options.file && !options.file->empty()) {
        outputs.push_back({"--file", *options.file,
                           plan.header
                               ? std::filesystem::path(*options.file)
                               : listing::resolveListingPath(listing::toUpperCase(*options.file))});
    }
    const auto add = [&](const char* option, const std::optional<std::string>& name) {
        if (name) outputs.push_back({option, *name, *name});
    };
    add("--symbol-file", options.symbolFile);
    add("--event-file", options.sequence.eventFile);
    add("--wav", options.sound.wav);
    add("--waterfall", options.sound.waterfall);
    const auto key = [](const std::filesystem::path& path) {
        std::error_code ec;
        const std::filesystem::path full =
            std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
        return listing::toUpperCase((ec ? path : full).lexically_normal().string());
    };
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            if (key(outputs[i].path) != key(outputs[j].path)) continue;
            throw UsageError{std::string(outputs[j].option) + " " +
                             numbers::quotedText(outputs[j].name) + " names the file of " +
                             outputs[i].option + " " + numbers::quotedText(outputs[i].name) +
                             ": give each output a file of its own"};
        }
    }
}

// The sound files go into the batch's temporaries; an error names the file asked for.
void writeSoundInto(listing::FileBatch& batch, const SoundPlan& sound,
                    const audio::Recording& recording, bool json, std::FILE* err) {
    SoundPlan staged = sound;
    std::vector<std::pair<std::string, std::string>> names;  // temporary, target
    for (std::optional<std::string>* file : {&staged.wav, &staged.waterfall}) {
        if (!*file) continue;
        const std::filesystem::path temporary = batch.temporaryOf(**file);
        if (temporary.empty()) continue;  // a device: written where it is
        names.emplace_back(temporary.string(), **file);
        *file = temporary.string();
    }
    try {
        writeSound(staged, recording, json, err);
    } catch (const audio::SoundError& error) {
        std::string message = error.what();
        for (const auto& [temporary, target] : names) {
            for (auto at = message.find(temporary); at != std::string::npos;
                 at = message.find(temporary, at + target.size())) {
                message.replace(at, temporary.size(), target);
            }
        }
        throw audio::SoundError(message + "; no file was written");
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
        if (recording && sound.wav) batch.add(*sound.wav, "--wav");
        if (recording && sound.waterfall) batch.add(*sound.waterfall, "--waterfall");
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
        if (cycle && !options.json) reportBreaches(*cycle, err);
        if (events) {
            if (options.sequence.eventFile) {
                batch.setBytes(*options.sequence.eventFile, eventFileBytes(*cycle));
            } else if (!options.json) {
                const std::string bytes = eventFileBytes(*cycle);
                std::fwrite(bytes.data(), 1, bytes.size(), out);
            }
        }
        if (recording) writeSoundInto(batch, sound, *recording, options.json, err);
        batch.commit();
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
    SequenceRequest fromPlan;
    // An error about a value the plan file gave names its line.
    const auto withLine = [&](const std::string& message) {
        return fromPlan.plan ? planLineOf(*fromPlan.plan, args, message) + message : message;
    };
    try {
        options = parseOptions(expandPlan(args, fromPlan));
        options.sequence.sequence = fromPlan.sequence;
        options.sequence.commentOutdatedBy = fromPlan.commentOutdatedBy;
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
                                options.file,     options.json, withLine};
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
        std::fprintf(err, "meridel-cli: %s\n%s", withLine(error.message).c_str(), kUsage);
        return kUsageError;
    }
    for (const std::string& notice : options.notices) {
        std::fprintf(err, "meridel-cli: %s\n", withLine(notice).c_str());
    }
    for (const Edit& edit : options.edits) edit(model);
    // A written plan keeps the clock as given, with its correction beside it.
    std::string nominalRefIn = model.fieldText(Field::RefIn);
    if (!fw.plan.chip->picListing) nominalRefIn = fw.plan.clockText;
    try {
        checkRfMult(fw.plan, model);
        fw.correction = correctDdsClock(options.chip, fw.plan, model);
    } catch (const UsageError& error) {
        std::fprintf(err, "meridel-cli: %s\n%s", withLine(error.message).c_str(), kUsage);
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

    if (failure) failure->message = withLine(failure->message);
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
