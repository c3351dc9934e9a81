#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/main_window_model.h"
#include "numbers/error.h"

namespace meridel::model {

inline constexpr const char* kSettingsFileName = "MERIDEL.INI";

// The seven lines, in file order: RefIn, the PLLMult entry, RFMult, Foutput, ToneFreq,
// FileName, and the mode index as field decimal text.
using SettingsLines = std::array<std::string, 7>;
const SettingsLines& defaultSettingsLines();

// A settings file that cannot be read, applied or written; the message names the file, the
// line or folder, and the system's reason.
class SettingsError : public Error {
public:
    explicit SettingsError(const std::string& what, bool readOnly = false)
        : Error(what), readOnly_(readOnly) {}
    // The user made the file read-only: it was left exactly as it is.
    bool readOnly() const { return readOnly_; }

private:
    bool readOnly_;
};

// The one way both settings files are written. The bytes go into a temporary file in the same
// folder, which is renamed over the old one and takes its owner and mode, so a failed write never
// leaves a half-written file; where the folder is read-only, a writable file is rewritten in
// place. A symbolic link is written through to its target and stays a link. A file the user can
// read but not write was made read-only on purpose: it is not touched, and the SettingsError
// says so (readOnly()). An unreadable file that gets replaced becomes readable for its owner.
void writeSettingsFile(const std::filesystem::path& path, std::string_view bytes);
// The file (or the target of a link) is one the user made read-only.
bool settingsFileReadOnly(const std::filesystem::path& path);

// What the user has been told about a settings file while the program runs: a read-only file is
// told about once, not at every save.
struct SettingsNotices {
    bool readOnlyTold = false;
    // The error's text for the user, or nullopt for a read-only file already told about.
    std::optional<std::string> tell(const SettingsError& error);
};

// Reads a settings source line by line: nullopt at its end. Throws SettingsError.
class SettingsLineReader {
public:
    virtual ~SettingsLineReader() = default;
    virtual std::optional<std::string> readLine() = 0;
};

// Where the settings live. Texts are UTF-8 here; the file holds Windows-1252.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string name() const = 0;
    virtual std::unique_ptr<SettingsLineReader> openForReading() = 0;  // throws SettingsError
    virtual void write(const SettingsLines& lines) = 0;                // throws SettingsError
};

// "MERIDEL.INI" (or another path) on disk. Lines end in CR LF, LF or CR when read; a line
// longer than kMaxLineBytes makes the file damaged rather than filling memory. Writing puts
// the seven lines, CR LF each, through writeSettingsFile.
class FileSettingsStore : public SettingsStore {
public:
    static constexpr std::size_t kMaxLineBytes = 1 << 20;
    explicit FileSettingsStore(std::filesystem::path path) : path_(std::move(path)) {}
    std::string name() const override { return path_.string(); }
    std::unique_ptr<SettingsLineReader> openForReading() override;
    void write(const SettingsLines& lines) override;

private:
    std::filesystem::path path_;
};

// Settings held in memory (the command-line tool's start state, and tests).
class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::string name() const override { return "(memory)"; }
    std::unique_ptr<SettingsLineReader> openForReading() override;
    void write(const SettingsLines& lines) override { lines_.assign(lines.begin(), lines.end()); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// One reading pass: applies each line to its field as soon as it is read (each assignment runs
// that field's change handler), recomputes ClockFreq, then selects the mode of line 7. Throws
// SettingsError naming the line when the source is missing, short or holds a bad mode index.
void applySettings(MainWindowModel& model, SettingsStore& store);

// ReadIni: a pass, and on its failure the recovery path, taken once, which rewrites the store
// with the default lines and reads it again. Returns the error that had no recovery (the
// defaults are then applied in memory), or nullopt when the window holds the stored settings.
// A read-only file that the recovery may not replace is reported through `notices`.
std::optional<std::string> readIni(MainWindowModel& model, SettingsStore& store,
                                   SettingsNotices& notices);
std::optional<std::string> readIni(MainWindowModel& model, SettingsStore& store);

// The seven lines that the unload handler writes for the window as it is.
SettingsLines settingsLinesOf(const MainWindowModel& model);

}  // namespace meridel::model
