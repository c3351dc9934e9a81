#include "listing/output_targets.h"

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

FileBatch::~FileBatch() {
    if (committed_) return;
    for (const Pending& file : files_) {
        std::error_code ignored;
        if (file.created) fs::remove(file.path, ignored);
    }
}

void FileBatch::fail(const Pending& file, int error) {
    std::string message = "Cannot write \"";
    message.append(file.path.string()).append("\" (").append(file.option).append("): ");
    message.append(std::strerror(error ? error : EIO));
    throw OutputError(message.append(". Check ")
                          .append(file.option)
                          .append(": its folder must exist and be writable. No file was written."));
}

void FileBatch::add(const fs::path& path, std::string option) {
    Pending file{path, std::move(option), {}, false};
    if (path.native().find('\0') != fs::path::string_type::npos) fail(file, EINVAL);
    std::error_code ec;
    file.created = !fs::exists(path, ec);
    errno = 0;
    // Appending neither truncates nor moves anything; it only proves the file can be written.
    std::FILE* probe = std::fopen(path.string().c_str(), "ab");
    const int error = errno;
    if (!probe) {
        file.created = false;
        fail(file, error);
    }
    std::fclose(probe);
    files_.push_back(std::move(file));
}

void FileBatch::setBytes(const fs::path& path, std::string bytes) {
    for (Pending& file : files_) {
        if (file.path == path) file.bytes = std::move(bytes);
    }
}

void FileBatch::commit() {
    committed_ = true;
    for (const Pending& file : files_) {
        errno = 0;
        std::FILE* out = std::fopen(file.path.string().c_str(), "wb");
        bool written =
            out && std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) == file.bytes.size();
        int error = errno;
        if (out && std::fclose(out) != 0) {
            written = false;
            if (!error) error = errno;
        }
        if (!written) fail(file, error);
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
