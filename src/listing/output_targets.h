#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "listing/output_channel.h"

namespace meridel::listing {

// Where an upper-cased listing name lands on a case-sensitive file system: each folder of the
// path that exists is found whatever the case of its name ("OUT/BEACON.ASM" goes into an
// existing "out"), preferring an exact match; the file itself keeps the upper-case name.
std::filesystem::path resolveListingPath(const std::string& upperCaseName);

// Writes Windows-1252 text to a C stream. Write errors surface at the latest when it is closed.
class StreamChannel : public OutputChannel {
public:
    // `owned` streams are closed by close(); standard output is only flushed.
    StreamChannel(std::FILE* stream, std::string displayName, bool owned);
    ~StreamChannel() override;
    void writeLine(std::string_view text) override;
    void close() override;

private:
    [[noreturn]] void fail(const char* action, int error);
    std::FILE* stream_;
    std::string displayName_;
    bool owned_;
    // A file's own buffer, of one size on every C library, so that a failing device (a full
    // disk) fails at the same byte natively and in WebAssembly.
    std::unique_ptr<char[]> buffer_;
};

// Opens a StreamChannel on `path` (created or truncated); throws OutputError naming the path
// and the system's reason when that is not possible.
std::unique_ptr<OutputChannel> openFileChannel(const std::filesystem::path& path);

// Writes `bytes` as the whole file at `path` (created or truncated), as they are. Throws
// OutputError: 'Cannot write "PATH": REASON. ADVICE'.
void writeWholeFile(const std::filesystem::path& path, std::string_view bytes,
                    std::string_view advice);

// Files written together or not at all. add() makes a temporary file beside each target at
// once, so that a folder that takes no file fails while every file is still as it was. commit()
// writes each file's bytes into its temporary and flushes it to the disk, and only when every
// one is complete renames them over their targets: a full disk or any other failure leaves
// every target as it was. A target that is no regular file (a device such as /dev/null) is
// written where it is, after every temporary is complete. A batch that fails or is destroyed
// before commit() removes its temporaries.
class FileBatch {
public:
    FileBatch() = default;
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;
    ~FileBatch();

    // Throws OutputError: 'Cannot write "PATH" (OPTION): REASON. ...', naming the option that
    // named the file.
    void add(const std::filesystem::path& path, std::string option);
    // The bytes of a file added before; a file without bytes is written empty.
    void setBytes(const std::filesystem::path& path, std::string bytes);
    // For a file that another writer makes (a sound file): the temporary to write it into
    // before commit(), which then only flushes and renames it. Empty for a path not added, or
    // for a target that is written where it is.
    std::filesystem::path temporaryOf(const std::filesystem::path& path);
    // Throws OutputError naming the file and its option, and saying which files were written.
    void commit();

private:
    struct Pending {
        std::filesystem::path path;    // as named, for the messages
        std::filesystem::path target;  // where a link leads
        std::filesystem::path temporary;
        std::string option;
        std::string bytes;
        bool external = false;  // written by another writer into `temporary`
    };
    [[noreturn]] void fail(const Pending& file, int error, bool atCommit) const;
    std::vector<Pending> files_;
    std::vector<const Pending*> renamed_;
};

// The platform's null device, opened for writing.
std::unique_ptr<OutputChannel> openNullDevice();

// The desktop program's targets: the resolved upper-case file, or the platform's null device.
class FileOpener : public OutputOpener {
public:
    std::unique_ptr<OutputChannel> open(const std::string& upperCaseName) override;
};

// Appends the exact bytes a target received (Windows-1252, CR LF) to `bytes`, which outlives the
// channel, and passes every line on to `next` when there is one.
class RecordingChannel : public OutputChannel {
public:
    explicit RecordingChannel(std::string& bytes, std::unique_ptr<OutputChannel> next = nullptr);
    void writeLine(std::string_view text) override;
    void close() override;

private:
    std::string& bytes_;
    std::unique_ptr<OutputChannel> next_;
};

}  // namespace meridel::listing
