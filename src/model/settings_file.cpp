#include "model/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "listing/text_encoding.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"

namespace meridel::model {
namespace fs = std::filesystem;

const SettingsLines& defaultSettingsLines() {
    static const SettingsLines lines = {"12.8", "16", "1", "50.505", " ", " ", "2"};
    return lines;
}

namespace {

constexpr int kLowestModeIndex = -1;
constexpr int kHighestModeIndex = 10;

std::string folderOf(const fs::path& path) {
    const fs::path parent = path.parent_path();
    return parent.empty() ? fs::current_path().string() : parent.string();
}

std::string systemReason(int error) {
    return std::strerror(error ? error : EIO);
}

class FileLineReader : public SettingsLineReader {
public:
    FileLineReader(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    ~FileLineReader() override { std::fclose(file_); }

    std::optional<std::string> readLine() override {
        std::string line;
        for (;;) {
            const int c = std::fgetc(file_);
            if (c == EOF) {
                if (std::ferror(file_)) {
                    throw SettingsError("Cannot read \"" + name_ + "\": " + systemReason(errno));
                }
                if (line.empty()) return std::nullopt;
                break;  // a last line without a line end still counts
            }
            if (c == '\n') break;
            if (c == '\r') {
                const int next = std::fgetc(file_);
                if (next != '\n' && next != EOF) std::ungetc(next, file_);
                break;
            }
            if (line.size() >= FileSettingsStore::kMaxLineBytes) {
                throw SettingsError("\"" + name_ + "\" has a line longer than " +
                                    std::to_string(FileSettingsStore::kMaxLineBytes) + " bytes");
            }
            line += static_cast<char>(c);
        }
        return listing::latin1ToUtf8(line);
    }

private:
    std::FILE* file_;
    std::string name_;
};

class MemoryLineReader : public SettingsLineReader {
public:
    explicit MemoryLineReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::optional<std::string> readLine() override {
        if (next_ >= lines_.size()) return std::nullopt;
        return lines_[next_++];
    }

private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<SettingsLineReader> FileSettingsStore::openForReading() {
    std::error_code ec;
    if (fs::is_directory(path_, ec)) {
        throw SettingsError("Cannot read \"" + name() + "\": it is a folder");
    }
    errno = 0;
    std::FILE* file = std::fopen(path_.string().c_str(), "rb");
    if (!file) throw SettingsError("Cannot open \"" + name() + "\": " + systemReason(errno));
    return std::make_unique<FileLineReader>(file, name());
}

void FileSettingsStore::write(const SettingsLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += listing::toLatin1(line);
        bytes += "\r\n";
    }
    const fs::path temporary = fs::path(path_).concat(".tmp");
    const auto fail = [&](const std::string& action, int error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw SettingsError("Cannot " + action + " the settings file \"" + name() +
                            "\" in the folder \"" + folderOf(path_) + "\": " + systemReason(error));
    };
    errno = 0;
    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file) fail("write", errno);
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) fail("write", written ? errno : writeError);
    std::error_code ec;
    fs::rename(temporary, path_, ec);
    if (ec) fail("replace", ec.value());
}

std::unique_ptr<SettingsLineReader> MemorySettingsStore::openForReading() {
    return std::make_unique<MemoryLineReader>(lines_);
}

void applySettings(MainWindowModel& model, SettingsStore& store) {
    auto reader = store.openForReading();
    std::string modeLine;
    for (int number = 1; number <= 7; ++number) {
        std::optional<std::string> line = reader->readLine();
        if (!line) {
            throw SettingsError("\"" + store.name() + "\" ends before line " +
                                std::to_string(number) + " of 7");
        }
        switch (number) {
            case 1:
                model.setFieldText(Field::RefIn, *line);
                break;
            case 2:
                model.selectPllText(*line);
                break;  // no matching entry clears the selection
            case 3:
                model.setFieldText(Field::RFMult, *line);
                break;
            case 4:
                model.setFieldText(Field::Foutput, *line);
                break;
            case 5:
                model.setFieldText(Field::ToneFreq, *line);
                break;
            case 6:
                model.setFieldText(Field::FileName, *line);
                break;
            default:
                modeLine = std::move(*line);
                break;
        }
    }
    reader.reset();  // closed before the last two steps, as the file is
    model.recomputeDdsClock();

    int modeIndex = 0;
    try {
        modeIndex = numbers::checked::toInt16(numbers::parseFieldNumber(modeLine));
    } catch (const numbers::ArithmeticError&) {
        modeIndex = kHighestModeIndex + 1;
    }
    if (modeIndex < kLowestModeIndex || modeIndex > kHighestModeIndex) {
        throw SettingsError("Line 7 of \"" + store.name() + "\" (\"" + modeLine +
                            "\") is not a mode index from -1 to 10");
    }
    model.selectMode(modeIndex);
}

std::optional<std::string> readIni(MainWindowModel& model, SettingsStore& store) {
    try {
        applySettings(model, store);
        return std::nullopt;
    } catch (const SettingsError&) {
        // Missing or damaged: replaced by the defaults, silently.
    }
    try {
        store.write(defaultSettingsLines());
        applySettings(model, store);
        return std::nullopt;
    } catch (const SettingsError& error) {
        // No second recovery: the window goes on with the defaults in memory.
        MemorySettingsStore defaults(
            {defaultSettingsLines().begin(), defaultSettingsLines().end()});
        applySettings(model, defaults);
        return error.what();
    }
}

SettingsLines settingsLinesOf(const MainWindowModel& model) {
    return {
        model.fieldText(Field::RefIn),
        std::string(model.pllText()),
        model.fieldText(Field::RFMult),
        model.fieldText(Field::Foutput),
        model.fieldText(Field::ToneFreq),
        model.fieldText(Field::FileName),
        numbers::fieldDecimalText(model.modeIndex()),
    };
}

}  // namespace meridel::model
