#include "model/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        return listing::windows1252ToUtf8(line);
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

namespace {

// The file a name stands for: a symbolic link is followed to its target (which need not exist
// yet), so that writing replaces the target and the link stays a link.
fs::path followLinks(fs::path path) {
    constexpr int kMostLinks = 40;  // as the system's own limit; a loop then fails on opening
    for (int hop = 0; hop < kMostLinks; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(path, ec)) break;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

bool writeAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Readable, and without a write permission for anyone: the user made it read-only on purpose,
// so it stays as it is. (A file that is only someone else's to write is not such a file: where
// the folder allows it, it is replaced as any other.)
bool madeReadOnly(const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return ::access(target.c_str(), R_OK) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// The errno of a failed replace; 0 when it was done, or -1 when no temporary file could be
// made beside `target` (a read-only folder), which leaves everything untouched.
int replaceAtomically(const fs::path& target, std::string_view bytes) {
    const std::string temporary = target.string() + "." + std::to_string(::getpid()) + ".tmp";
    const bool unreadable = ::access(target.c_str(), R_OK) != 0;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    // The new file takes the old one's owner and mode. One that was replaced because it could
    // not be read must be readable now, so its owner also gets reading and writing.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        // Only root may give a file away; otherwise the writer owns the new file.
        [[maybe_unused]] const int given = ::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, (old.st_mode & 07777) | (unreadable ? S_IRUSR | S_IWUSR : 0));
    }
    int error = writeAll(fd, bytes) && ::fsync(fd) == 0 ? 0 : (errno ? errno : EIO);
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error) ::unlink(temporary.c_str());
    return error;
}

// Rewrites the file where it is: the new bytes over the old, then cut to their length, so the
// file never passes through empty. Not atomic, but needs only the file to be writable.
int rewriteInPlace(const fs::path& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    const off_t size = static_cast<off_t>(bytes.size());
    int error = writeAll(fd, bytes) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0
                    ? 0
                    : (errno ? errno : EIO);
    if (::close(fd) != 0 && !error) error = errno;
    return error;
}

}  // namespace

void writeSettingsFile(const fs::path& path, std::string_view bytes) {
    const fs::path target = followLinks(path);
    std::string linked;
    if (target != path) linked.append(" (a link to \"").append(target.string()).append("\")");
    if (madeReadOnly(target)) {
        throw SettingsError("The settings file \"" + path.string() + "\"" + linked +
                                " is read-only, so it was left as it is and changes to the "
                                "settings are not kept. Make the file writable to keep them.",
                            true);
    }
    // A read-only folder (a shared install folder, a write-protected stick) allows no temporary
    // file: a writable file there is rewritten in place instead.
    errno = 0;
    int error = replaceAtomically(target, bytes);
    if (error == -1) error = rewriteInPlace(target, bytes);
    if (error == 0) return;
    throw SettingsError("Cannot write the settings file \"" + path.string() + "\"" + linked +
                        " in the folder \"" + folderOf(target) + "\": " + systemReason(error));
}

bool settingsFileReadOnly(const fs::path& path) {
    return madeReadOnly(followLinks(path));
}

std::optional<std::string> SettingsNotices::tell(const SettingsError& error) {
    if (!error.readOnly()) return error.what();
    if (readOnlyTold) return std::nullopt;
    readOnlyTold = true;
    return error.what();
}

void FileSettingsStore::write(const SettingsLines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += listing::toWindows1252(line);
        bytes += "\r\n";
    }
    writeSettingsFile(path_, bytes);
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
    SettingsNotices notices;
    return readIni(model, store, notices);
}

std::optional<std::string> readIni(MainWindowModel& model, SettingsStore& store,
                                   SettingsNotices& notices) {
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
        return notices.tell(error);
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
