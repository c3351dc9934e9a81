// The window's behaviour, driven by scripts of edits in tests/data/sessions/*.session. After each
// step the transcript shows what changed: fields, lists, captions, warning, results window and
// the files in the working folder (listings, MERIDEL.INI). The transcript must equal the golden
// file next to the script.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "listing/output_targets.h"
#include "model/firmware_model.h"
#include "model/listen_model.h"
#include "model/main_window_model.h"
#include "model/messages_model.h"
#include "model/sequence_model.h"
#include "model/settings_file.h"
#include "model/window_lifecycle.h"
#include "support/fixtures.h"
#include "support/golden.h"
#include "support/scratch_folder.h"

namespace meridel::model {
namespace {
namespace fs = std::filesystem;
using State = std::map<std::string, std::string>;

constexpr std::array<std::pair<const char*, Field>, 10> kFields = {{
    {"RefIn", Field::RefIn},
    {"ClockFreq", Field::ClockFreq},
    {"Foutput", Field::Foutput},
    {"RFMult", Field::RFMult},
    {"Fo", Field::Fo},
    {"KeyFreq", Field::KeyFreq},
    {"ToneFreq", Field::ToneFreq},
    {"FileName", Field::FileName},
    {"Comment", Field::Comment},
    {"RTTYShift", Field::RTTYShift},
}};

// "\r", "\n", "\t", "\\" and "\xHH" in a script argument.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return out;
}

std::string combo(int index, std::string_view text) {
    return std::to_string(index) + " \"" + testing::visibleBytes(text) + "\"";
}

// Built by appending: GCC 12 at -O3 warns falsely on "literal" + string.
std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) text.append(part);
    return text;
}

State stateOf(const MainWindowModel& m) {
    State s;
    for (const auto& [name, field] : kFields) {
        s[name] = joined({"\"", testing::visibleBytes(m.fieldText(field)), "\""});
    }
    s["PLL"] = combo(m.pllIndex(), m.pllText());
    s["Mode"] = combo(m.mode().index, m.mode().text);
    s["Shift"] = combo(m.rttyShift().index, m.rttyShift().text);
    s["Caption"] = m.calculateCaption();
    s["Adjuster"] = m.carrierAdjusterEnabled() ? "enabled" : "disabled";
    s["Warning"] =
        joined({m.warningVisible() ? "shown \"" : "hidden \"", m.warningCaption(), "\""});
    const ResultsWindowState& r = m.results();
    s["Results"] = std::string(r.exists ? "exists" : "none") + (r.visible ? " shown" : " hidden") +
                   (r.colour == ResultsColour::Fresh ? " fresh" : " stale");
    s["ResultsText"] = joined({"\n", testing::visibleBytes(r.text)});
    for (const auto& entry : fs::recursive_directory_iterator(fs::current_path())) {
        if (!entry.is_regular_file()) continue;
        s[joined({"file ", fs::relative(entry.path()).string()})] =
            joined({"\n", testing::visibleBytes(testing::readBytes(entry.path().string()))});
    }
    return s;
}

std::string lines(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += "\n" + t;
    return out;
}

// The Firmware window as its model shows it, after an update from the plan.
std::string firmwareState(FirmwareModel& fw, const MainWindowModel& plan) {
    fw.update(plan);
    std::string s = fw.chip().name.data() + std::string(fw.ownClock() ? " own" : " window") +
                    " clock \"" + fw.shownClock() + "\" mult \"" + fw.shownMultiplier(plan) +
                    "\" format " + FirmwareModel::formatName(fw.format()) +
                    (fw.canExport() ? ", exports " : ", no export ") + fw.exportFileName();
    for (const FirmwareWordRow& r : fw.rows()) {
        s += "\n" + r.name + " | " + r.bytes + " | " + r.requestedHz + " | " + r.actualHz + " | " +
             r.errorHz +
             (r.level == FirmwareWordRow::Level::Warn    ? " | warn"
              : r.level == FirmwareWordRow::Level::Error ? " | error"
                                                         : "");
    }
    if (!fw.correctionNote().empty()) s += "\n" + fw.correctionNote();
    return s + lines(fw.warnings()) + (fw.error().empty() ? "" : "\nerror: " + fw.error()) +
           (fw.prompt().empty() ? "" : "\nprompt: " + fw.prompt());
}

std::string messageFieldsState(const MessagesModel& m) {
    std::string s;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        s +=
            std::string(i ? " " : "") + messageFields()[i].key.data() + "=\"" + m.texts()[i] + "\"";
    }
    return s;
}

// The errors marked on the fields, and the plan's.
std::string messageErrorsState(const MessagesModel& m) {
    std::string s;
    for (std::size_t i = 0; i < kMessageFieldCount; ++i) {
        const std::string& error = m.fieldError(static_cast<MessageField>(i));
        if (!error.empty()) s += "\n" + std::string(messageFields()[i].key) + ": " + error;
    }
    return s + (m.planError().empty() ? "" : "\nplan: " + m.planError());
}

// Each encoded message, with its picture spelt out where it has two levels.
std::string messagesState(const MessagesModel& m) {
    std::string s;
    for (const EncodedMessage& e : m.messages()) {
        s += "\n" + e.title + "\n" + e.symbols +
             "\npicture: " + std::to_string(e.picture.steps.size()) + " steps of " +
             std::to_string(e.picture.levels) + " levels";
        if (e.picture.levels > 2) continue;
        s += "\n";
        for (const std::uint8_t step : e.picture.steps) s += static_cast<char>('0' + step);
    }
    return s;
}

// The Listen window after an update: where the sound is heard, or why there is none, and
// whether the waterfall is drawn.
std::string listenState(ListenModel& l, const MainWindowModel& plan, const MessageTexts& texts,
                        const planfile::BeaconPlan* cycle, const FirmwareModel* chips) {
    l.update(plan, texts, cycle, chips);
    const auto& w = l.waterfall();
    return "dial \"" + l.dialText() + "\" snr \"" + l.snrText() + "\"" + lines(l.summary()) +
           (l.error().empty() ? "" : "\nerror: " + l.error()) +
           (w.rgb.size() == static_cast<std::size_t>(w.width * w.height * 3) && !w.rgb.empty()
                ? "\nwaterfall drawn"
                : "\nno waterfall");
}

class UnopenableTarget : public listing::OutputOpener {
    std::unique_ptr<listing::OutputChannel> open(const std::string& name) override {
        throw listing::OutputError("cannot open \"" + name + "\": test target");
    }
};

class Session {
public:
    std::string run(std::istream& script) {
        for (std::string line; std::getline(script, line);) {
            if (line.empty() || line[0] == '#') continue;
            out_ << "> " << line << "\n";
            step(line);
            State now = stateOf(*model_);
            if (fw_) now["Firmware"] = "\n" + firmwareState(*fw_, *model_);
            if (listen_) {
                now["Listen"] =
                    "\n" + listenState(*listen_, *model_, messageTexts(),
                                       sequence_ ? &sequence_->plan() : nullptr, fw_.get());
            }
            if (messages_) {
                now["Message fields"] = messageFieldsState(*messages_);
                now["Messages"] = messagesState(*messages_);
                now["Message errors"] = messageErrorsState(*messages_);
            }
            for (const auto& [key, value] : now) {
                if (shown_[key] != value) out_ << "  " << key << ": " << value << "\n";
            }
            for (const auto& [key, value] : shown_) {
                if (!now.count(key)) out_ << "  " << key << ": (gone)\n";
            }
            shown_ = std::move(now);
        }
        return out_.str();
    }

private:
    void report(const std::optional<std::string>& message) {
        out_ << "  message: " << (message ? *message : "none") << "\n";
    }
    void report(const std::optional<run::RunFailure>& failure) {
        if (!failure) return void(out_ << "  run completed\n");
        out_ << "  run failed (" << (failure->kind == run::FailureKind::Output ? "output" : "arith")
             << "): " << failure->message << "\n";
    }

    void step(const std::string& line) {
        const std::size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string arg = space == std::string::npos ? "" : unescape(line.substr(space + 1));
        const auto field = [&](const std::string& name) {
            for (const auto& [n, f] : kFields) {
                if (name == n) return f;
            }
            throw std::runtime_error("no field in: " + line);
        };
        if (verb == "new") {
            model_ = std::make_unique<MainWindowModel>();
        } else if (verb == "start") {
            step("new");
            testing::loadFirstStart(*model_);
        } else if (verb == "ini") {
            std::ofstream(kSettingsFileName, std::ios::binary) << arg;
        } else if (verb == "mkdir") {
            fs::create_directories(arg);
        } else if (verb == "chmod") {
            // "chmod 444 FILE": the file's mode, shown in octal by "perms FILE".
            const std::size_t blank = arg.find(' ');
            fs::permissions(arg.substr(blank + 1),
                            static_cast<fs::perms>(std::stoi(arg.substr(0, blank), nullptr, 8)));
        } else if (verb == "perms") {
            out_ << "  mode of " << arg << ": " << std::oct
                 << static_cast<int>(fs::status(arg).permissions()) << std::dec << "\n";
        } else if (verb == "load") {
            step("new");
            notices_ = {};  // a new start of the program
            report(loadMainWindow(*model_, kSettingsFileName, notices_));
        } else if (verb == "unload") {
            report(unloadMainWindow(*model_, kSettingsFileName, notices_));
        } else if (verb == "set") {
            const std::string name = arg.substr(0, arg.find(' '));
            model_->setFieldText(field(name),
                                 arg.size() > name.size() ? arg.substr(name.size() + 1) : "");
        } else if (verb == "pll") {
            model_->selectPllText(arg);
        } else if (verb == "pll#") {
            model_->selectPll(std::stoi(arg));
        } else if (verb == "mode") {
            model_->typeModeText(arg);
        } else if (verb == "mode#") {
            model_->selectMode(std::stoi(arg));
        } else if (verb == "shift") {
            model_->typeRttyShiftText(arg);
        } else if (verb == "shift#") {
            model_->selectRttyShift(std::stoi(arg));
        } else if (verb == "setcarr") {
            model_->clickSetCarr();
        } else if (verb == "close") {
            model_->closeResultsWindow();
        } else if (verb == "edit") {
            model_->editResultsText(arg);
        } else if (verb == "calc") {
            listing::FileOpener opener;
            report(model_->calculate(opener));
        } else if (verb == "calc-unopenable") {
            UnopenableTarget opener;
            report(model_->calculate(opener));
        } else if (verb == "fw") {
            toolStep(arg);
        } else if (verb == "msg") {
            messageStep(arg);
        } else if (verb == "listen") {
            listenStep(arg);
        } else if (verb == "messages-ini") {
            std::ofstream(kMessagesFileName, std::ios::binary) << arg;
        } else if (verb == "decode") {
            const std::size_t a = arg.find(' '), b = arg.find(' ', a + 1);
            const auto result = decodeWordsText(*dds::findChip(arg.substr(0, a)),
                                                arg.substr(a + 1, b - a - 1), arg.substr(b + 1));
            for (const DecodedRow& r : result.rows) {
                out_ << "  " << r.bytes << " | " << r.ftw << " | " << r.hz << "\n";
            }
            if (!result.error.empty()) out_ << "  error: " << result.error << "\n";
        } else {
            throw std::runtime_error("unknown step: " + line);
        }
    }

    // "fw chip NAME|clock TEXT|mult TEXT|format asm|c|calibrate KIND TEXT|tables|export FILE":
    // the Firmware window ("tables" takes the Beacon messages window's tables).
    void toolStep(const std::string& arg) {
        if (!fw_) fw_ = std::make_unique<FirmwareModel>();
        const std::string what = arg.substr(0, arg.find(' '));
        const std::string value = arg.size() > what.size() ? arg.substr(what.size() + 1) : "";
        const auto chips = FirmwareModel::chipEntries();
        if (what == "chip") {
            fw_->selectChip(
                static_cast<int>(std::find(chips.begin(), chips.end(), value) - chips.begin()));
        } else if (what == "clock") {
            fw_->setClockText(value);
        } else if (what == "mult") {
            fw_->setMultiplierText(value);
        } else if (what == "tables") {
            fw_->setMessageTables(messages_ ? messages_->tables()
                                            : std::vector<firmware::MessageTable>());
        } else if (what == "calibrate") {
            const auto kinds = FirmwareModel::calibrationEntries();
            const std::string kind = value.substr(0, value.find(' '));
            fw_->setCalibration(static_cast<Calibration>(
                                    std::find(kinds.begin(), kinds.end(), kind) - kinds.begin()),
                                value.substr(std::min(value.size(), kind.size() + 1)));
        } else if (what == "format") {
            fw_->selectFormat(value == "c" ? FirmwareFormat::CHeader : FirmwareFormat::AsmListing);
        } else {
            fw_->update(*model_);
            report(fw_->exportTo(value));
        }
    }

    // "msg KEY TEXT|open|close|encode|write FILE": the Beacon messages window.
    void messageStep(const std::string& arg) {
        if (!messages_) messages_ = std::make_unique<MessagesModel>();
        const std::string what = arg.substr(0, arg.find(' '));
        const std::string value = arg.size() > what.size() ? arg.substr(what.size() + 1) : "";
        if (what == "open") {
            messages_->open(kMessagesFileName);
            report(messages_->encode(*model_));
        } else if (what == "close") {
            report(messages_->close(kMessagesFileName));
        } else if (what == "encode") {
            report(messages_->encode(*model_));
        } else if (what == "write") {
            report(messages_->writeSymbolFile(*model_, value));
        } else {
            std::size_t field = 0;
            while (field < kMessageFieldCount && messageFields()[field].key != what) ++field;
            if (field == kMessageFieldCount) throw std::runtime_error("no message field: " + arg);
            messages_->setText(static_cast<MessageField>(field), value);
        }
    }

    MessageTexts messageTexts() const {
        return messages_ ? messages_->texts() : defaultMessageTexts();
    }

    // "listen dial TEXT|snr TEXT|plan EXAMPLE|wav FILE": the Listen window, over the Beacon
    // messages window's fields (their defaults until "msg" opens it) or the cycle of an example
    // plan file opened as the Beacon sequence window opens it.
    void listenStep(const std::string& arg) {
        if (!listen_) listen_ = std::make_unique<ListenModel>();
        const std::string what = arg.substr(0, arg.find(' '));
        const std::string value = arg.size() > what.size() ? arg.substr(what.size() + 1) : "";
        if (what == "dial") {
            listen_->setDialText(value);
        } else if (what == "snr") {
            listen_->setSnrText(value);
        } else if (what == "plan") {
            sequence_ = std::make_unique<SequenceModel>();
            report(sequence_->open(MERIDEL_TEST_DATA "/../../examples/" + value, *model_));
        } else {
            listen_->update(*model_, messageTexts(), sequence_ ? &sequence_->plan() : nullptr,
                            fw_.get());
            report(listen_->writeWav(value));
            // Its size only: the samples themselves are the audio tests' business.
            if (fs::exists(value)) {
                out_ << "  " << value << ": " << fs::file_size(value) << " bytes\n";
                fs::remove(value);
            }
        }
    }

    std::unique_ptr<MainWindowModel> model_ = std::make_unique<MainWindowModel>();
    std::unique_ptr<ListenModel> listen_;
    std::unique_ptr<SequenceModel> sequence_;
    std::unique_ptr<FirmwareModel> fw_;
    std::unique_ptr<MessagesModel> messages_;
    SettingsNotices notices_;
    State shown_;
    std::ostringstream out_;
};

class SessionScript : public ::testing::TestWithParam<fs::path> {};

TEST_P(SessionScript, TranscriptMatchesGolden) {
    testing::ScratchFolder scratch("session");
    const fs::path home = fs::current_path();
    fs::current_path(scratch.path());
    const std::string folder = fs::current_path().string();
    std::ifstream script(GetParam());
    std::string transcript = Session().run(script);
    fs::current_path(home);
    // The folder's name is unique to the run and under any TMPDIR.
    for (std::size_t at; (at = transcript.find(folder)) != std::string::npos;) {
        transcript.replace(at, folder.size(), "$FOLDER");
    }
    testing::expectGolden(fs::path(GetParam()).replace_extension(".golden"), transcript);
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, SessionScript,
    ::testing::ValuesIn(testing::filesWithExtension(MERIDEL_TEST_DATA "/sessions", ".session")),
    [](const auto& info) { return testing::testNameOf(info.param); });

}  // namespace
}  // namespace meridel::model
