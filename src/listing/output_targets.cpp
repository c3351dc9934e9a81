#include "listing/output_targets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>

#include "listing/text_encoding.h"

namespace meridel::listing {
namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL:";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

namespace {

// The existing folder inside `parent` whose upper-cased name is `upperName`, if any.
std::optional<fs::path> findFolder(const fs::path& parent, const std::string& upperName) {
    std::error_code ec;
    const fs::path dir = parent.empty() ? fs::path(".") : parent;
    if (fs::is_directory(dir / upperName, ec)) return fs::path(upperName);
    std::optional<fs::path> best;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (toUpperCase(name) != upperName || !it->is_directory(ec)) continue;
        if (!best || name < best->string()) best = fs::path(name);
    }
    return best;
}

}  // namespace

fs::path resolveListingPath(const std::string& upperCaseName) {
    const fs::path name(upperCaseName);
    fs::path resolved = name.root_path();
    const fs::path relative = name.relative_path();
    auto component = relative.begin();
    for (auto last = relative.end(); component != last; ++component) {
        if (std::next(component) == last) break;  // the file itself takes the upper-case name
        const std::string part = component->string();
        if (part == "." || part == ".." || part.empty()) {
            resolved /= *component;
            continue;
        }
        const auto folder = findFolder(resolved, part);
        resolved /= folder ? *folder : *component;
    }
    if (component != relative.end()) resolved /= *component;
    return resolved;
}

StreamChannel::StreamChannel(std::FILE* stream, std::string displayName, bool owned)
    : stream_(stream), displayName_(std::move(displayName)), owned_(owned) {
    // glibc's default for disks and /dev/full; musl would take 1 kB.
    constexpr std::size_t kBufferBytes = 4096;
    if (owned_ && stream_) {
        buffer_ = std::make_unique<char[]>(kBufferBytes);
        std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferBytes);
    }
}

StreamChannel::~StreamChannel() {
    if (stream_ && owned_) std::fclose(stream_);
}

void StreamChannel::fail(const char* action, int error) {
    throw OutputError("Cannot " + std::string(action) + " \"" + displayName_ +
                      "\": " + std::strerror(error) +
                      ". Check the File Name field and the free space of the disk.");
}

void StreamChannel::writeLine(std::string_view text) {
    if (!stream_) fail("write to", EBADF);
    const std::string bytes = toWindows1252(text);
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size() ||
        std::fwrite("\r\n", 1, 2, stream_) != 2) {
        fail("write to", errno ? errno : EIO);
    }
}

void StreamChannel::close() {
    if (!stream_) return;
    std::FILE* stream = stream_;
    stream_ = nullptr;
    errno = 0;
    const bool flushed = std::fflush(stream) == 0 && !std::ferror(stream);
    const int flushError = errno;
    const bool closed = owned_ ? std::fclose(stream) == 0 : true;
    const int closeError = errno;
    if (!flushed) fail("write to", flushError ? flushError : EIO);
    if (!closed) fail("close", closeError ? closeError : EIO);
}

std::unique_ptr<OutputChannel> openFileChannel(const fs::path& path) {
    // The system would cut the name at a NUL and open another file.
    if (path.native().find('\0') != fs::path::string_type::npos) {
        throw OutputError(
            "Cannot open the listing file for writing: its name contains a NUL "
            "character. Check the File Name field.");
    }
    errno = 0;
    std::FILE* stream = std::fopen(path.string().c_str(), "wb");
    if (!stream) {
        const int error = errno ? errno : EIO;
        throw OutputError("Cannot open the listing file \"" + path.string() +
                          "\" for writing: " + std::strerror(error) +
                          ". Check the File Name field: its folder must exist and be writable.");
    }
    return std::make_unique<StreamChannel>(stream, path.string(), /*owned=*/true);
}

void writeWholeFile(const fs::path& path, std::string_view bytes, std::string_view advice) {
    errno = 0;
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int error = errno;
    if (file && std::fclose(file) != 0) {
        written = false;
        if (!error) error = errno;
    }
    if (written) return;
    std::string message = "Cannot write \"";
    message.append(path.string()).append("\": ").append(std::strerror(error ? error : EIO));
    throw OutputError(message.append(". ").append(advice));
}

namespace {

// Every byte, however the system splits the writes.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes `bytes` (or, with nullopt, only flushes what is there) into an existing file; the
// errno of a failure, 0 when all of it is on the disk.
int fill(const fs::path& path, const std::optional<std::string_view>& bytes, bool regular) {
    const int flags = O_WRONLY | O_CLOEXEC | (bytes && regular ? O_TRUNC : 0);
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return errno ? errno : EIO;
    errno = 0;
    bool done = !bytes || writeAll(fd, *bytes);
    // A device may not take fsync; its writes are done when write() returns.
    if (done && regular) done = ::fsync(fd) == 0;
    int error = done ? 0 : (errno ? errno : EIO);
    if (::close(fd) != 0 && !error) error = errno ? errno : EIO;
    return error;
}

// A new, empty file beside `target` that no one else uses, with the mode a new file gets
// (or the target's own); empty on failure, with errno set.
fs::path makeTemporary(const fs::path& target) {
    static unsigned serial = 0;
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + string.
        std::string name = ".";
        name += target.filename().string();
        (name += '.') += std::to_string(::getpid());
        (name += '-') += std::to_string(serial++);
        name += ".tmp";
        fs::path temporary = target;
        temporary.replace_filename(name);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return {};
        if (existed) ::fchmod(fd, old.st_mode & 07777);
        ::close(fd);
        return temporary;
    }
    errno = EEXIST;
    return {};
}

}  // namespace

FileBatch::~FileBatch() {
    for (const Pending& file : files_) {
        if (file.temporary.empty()) continue;
        if (std::find(renamed_.begin(), renamed_.end(), &file) == renamed_.end()) {
            ::unlink(file.temporary.c_str());
        }
    }
}

void FileBatch::fail(const Pending& file, int error, bool atCommit) const {
    std::string message = "Cannot write \"";
    message.append(file.path.string()).append("\" (").append(file.option).append("): ");
    message.append(std::strerror(error ? error : EIO)).append(". Check ").append(file.option);
    message.append(atCommit ? " and the free space of the disk."
                            : ": its folder must exist and be writable.");
    if (renamed_.empty()) {
        message.append(" No file was written.");
    } else {
        message.append(" Written before this failure:");
        for (const Pending* done : renamed_) {
            message.append(" \"").append(done->path.string()).append("\" (");
            message.append(done->option).append(")");
        }
        message.append("; the others are as they were.");
    }
    throw OutputError(message);
}

void FileBatch::add(const fs::path& path, std::string option) {
    Pending file{path, path, {}, std::move(option), {}, false};
    if (path.native().find('\0') != fs::path::string_type::npos) fail(file, EINVAL, false);
    std::error_code ec;
    // A link is written through, as opening it would: its target is replaced.
    if (fs::is_symlink(path, ec)) file.target = fs::weakly_canonical(path, ec);
    struct stat st {};
    if (::stat(file.target.c_str(), &st) == 0) {
        // The file itself must take writing (a read-only file or a folder does not).
        const int fd = ::open(file.target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0) fail(file, errno, false);
        ::close(fd);
        if (!S_ISREG(st.st_mode)) {
            files_.push_back(std::move(file));
            return;
        }
    }
    errno = 0;
    file.temporary = makeTemporary(file.target);
    if (file.temporary.empty()) fail(file, errno, false);
    files_.push_back(std::move(file));
}

void FileBatch::setBytes(const fs::path& path, std::string bytes) {
    for (Pending& file : files_) {
        if (file.path == path) file.bytes = std::move(bytes);
    }
}

fs::path FileBatch::temporaryOf(const fs::path& path) {
    for (Pending& file : files_) {
        if (file.path == path && !file.temporary.empty()) {
            file.external = true;
            return file.temporary;
        }
    }
    return {};
}

void FileBatch::commit() {
    for (const Pending& file : files_) {
        if (file.temporary.empty()) continue;
        const auto bytes =
            file.external ? std::nullopt : std::optional<std::string_view>(file.bytes);
        if (const int error = fill(file.temporary, bytes, true)) fail(file, error, true);
    }
    for (const Pending& file : files_) {
        if (!file.temporary.empty()) continue;
        if (const int error = fill(file.target, file.bytes, false)) fail(file, error, true);
    }
    for (const Pending& file : files_) {
        if (file.temporary.empty()) continue;
        if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) fail(file, errno, true);
        renamed_.push_back(&file);
    }
}

std::unique_ptr<OutputChannel> openNullDevice() {
    return openFileChannel(kNullDevice);
}

std::unique_ptr<OutputChannel> FileOpener::open(const std::string& upperCaseName) {
    if (upperCaseName.empty()) return openNullDevice();
    return openFileChannel(resolveListingPath(upperCaseName));
}

RecordingChannel::RecordingChannel(std::string& bytes, std::unique_ptr<OutputChannel> next)
    : bytes_(bytes), next_(std::move(next)) {}

void RecordingChannel::writeLine(std::string_view text) {
    if (next_) next_->writeLine(text);
    appendWindows1252(bytes_, text);
    bytes_ += "\r\n";
}

void RecordingChannel::close() {
    if (next_) next_->close();
}

}  // namespace meridel::listing
