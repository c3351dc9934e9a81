// The page's one entry into the program: meridel-cli's own runCli over an argument vector, with
// its standard output and error caught in memory. The request is a JSON array of arguments; the
// answer a JSON object {"status", "stdout", "stderr"} whose texts hold the output bytes one
// character each (byte 0x80 becomes U+0080), so a listing keeps its exact Windows-1252 bytes.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

// A memory stream that gives back its bytes when closed.
class Capture {
public:
    Capture() : file_(open_memstream(&data_, &size_)) {}
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    ~Capture() {
        if (file_) std::fclose(file_);
        std::free(data_);
    }
    std::FILE* file() const { return file_; }
    std::string take() {
        std::fclose(file_);
        file_ = nullptr;
        return std::string(data_ ? data_ : "", size_);
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

// Bytes as code points U+0000..U+00FF, which JSON carries as UTF-8.
std::string bytesAsText(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        if (b < 0x80) {
            text += static_cast<char>(b);
        } else {
            text += static_cast<char>(0xC0 | (b >> 6));
            text += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return text;
}

std::string answer(int status, const std::string& out, const std::string& err) {
    return nlohmann::json{
        {"status", status}, {"stdout", bytesAsText(out)}, {"stderr", bytesAsText(err)}}
        .dump();
}

}  // namespace

extern "C" {

// Returns the answer as a string that the caller frees with meridel_free.
EMSCRIPTEN_KEEPALIVE char* meridel_call(const char* request) {
    std::string reply;
    const auto arguments = nlohmann::json::parse(request, nullptr, false);
    if (!arguments.is_array()) {
        reply = answer(2, "", "web binding: the request must be a JSON array of strings\n");
    } else {
        std::vector<std::string> args;
        for (const auto& a : arguments) args.push_back(a.is_string() ? a.get<std::string>() : "");
        Capture out, err;
        const int status = meridel::cli::runCli(args, out.file(), err.file());
        std::string outText = out.take(), errText = err.take();
        reply = answer(status, outText, errText);
    }
    char* copy = static_cast<char*>(std::malloc(reply.size() + 1));
    if (copy) std::copy(reply.c_str(), reply.c_str() + reply.size() + 1, copy);
    return copy;
}

EMSCRIPTEN_KEEPALIVE void meridel_free(char* answer) {
    std::free(answer);
}
}
