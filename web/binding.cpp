// The page's one entry into the program. A JSON array of arguments runs meridel-cli's own runCli,
// with its standard output and error caught in memory; the answer is a JSON object {"status",
// "stdout", "stderr"} whose texts hold the output bytes one character each (byte 0x80 becomes
// U+0080), so a listing keeps its exact Windows-1252 bytes. An object {"adjust_carrier":
// {"output", "tone", "key_freq"}} presses the window's carrier adjuster on those field texts and
// answers {"status": 0, "output"} with the carrier it gives. An object {"chips": true} answers
// {"status": 0, "chips": [...]}: each DDS chip of the program's table with what the page's
// fields make of it.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "dds/chips.h"
#include "model/main_window_model.h"

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

std::string callCli(const nlohmann::json& arguments) {
    std::vector<std::string> args;
    for (const auto& a : arguments) args.push_back(a.is_string() ? a.get<std::string>() : "");
    Capture out, err;
    const int status = meridel::cli::runCli(args, out.file(), err.file());
    std::string outText = out.take(), errText = err.take();
    return answer(status, outText, errText);
}

// The window model's own handler, so the carrier is the one the desktop would show.
std::string adjustCarrier(const nlohmann::json& fields) {
    using meridel::run::Field;
    meridel::model::MainWindowModel window;
    const auto text = [&](const char* key) {
        const auto it = fields.find(key);
        return it != fields.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    window.setFieldText(Field::Foutput, text("output"));
    window.setFieldText(Field::ToneFreq, text("tone"));
    window.setFieldText(Field::KeyFreq, text("key_freq"));
    window.clickSetCarr();
    return nlohmann::json{{"status", 0}, {"output", window.fieldText(Field::Foutput)}}.dump();
}

// The chip table as the page needs it: which chips have the PIC listing (and so the main
// plan's reference and PLL), which take a multiplier of their own, and their clock limit.
std::string chips() {
    nlohmann::json list = nlohmann::json::array();
    for (const meridel::dds::Chip& chip : meridel::dds::chips()) {
        const bool ownMultiplier =
            meridel::dds::hasMultiplier(chip) && chip.multiplier.option == "--ref-mult";
        list.push_back({{"name", chip.name},
                        {"listing", chip.picListing},
                        {"multiplier", ownMultiplier ? meridel::dds::multiplierText(chip) : ""},
                        {"max_clock_mhz", chip.maxClockHz / 1e6}});
    }
    return nlohmann::json{{"status", 0}, {"chips", list}}.dump();
}

}  // namespace

extern "C" {

// Returns the answer as a string that the caller frees with meridel_free.
EMSCRIPTEN_KEEPALIVE char* meridel_call(const char* request) {
    std::string reply;
    const auto parsed = nlohmann::json::parse(request, nullptr, false);
    if (parsed.is_array()) {
        reply = callCli(parsed);
    } else if (parsed.is_object() && parsed.contains("adjust_carrier")) {
        reply = adjustCarrier(parsed["adjust_carrier"]);
    } else if (parsed.is_object() && parsed.contains("chips")) {
        reply = chips();
    } else {
        reply = answer(2, "",
                       "web binding: the request must be a JSON array of strings or an object "
                       "{\"adjust_carrier\": {...}} or {\"chips\": true}\n");
    }
    char* copy = static_cast<char*>(std::malloc(reply.size() + 1));
    if (copy) std::copy(reply.c_str(), reply.c_str() + reply.size() + 1, copy);
    return copy;
}

EMSCRIPTEN_KEEPALIVE void meridel_free(char* answer) {
    std::free(answer);
}
}
