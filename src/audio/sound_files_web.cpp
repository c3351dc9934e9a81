// The browser edition makes no sound files: libsndfile, FFTW and libpng are not built for
// WebAssembly. The page never asks for them; meridel-cli.js says so when asked.
#include "audio/sound_files.h"

#include "audio/transmission.h"

namespace meridel::audio {
namespace {

[[noreturn]] void unavailable(const std::string& option) {
    throw SoundError(option + ": WAV files and waterfalls are made by the desktop edition only");
}

}  // namespace

void writeWav(const std::string&, std::span<const std::int16_t>, const std::string& where) {
    unavailable(where);
}

void checkWritable(const std::string&, const std::string&, const std::string& option) {
    unavailable(option);
}

WaterfallView viewAround(double, double, double) {
    unavailable("--waterfall");
}

WaterfallImage drawWaterfall(std::span<const std::int16_t>, const WaterfallView&) {
    unavailable("--waterfall");
}

void writeWaterfall(const std::string&, std::span<const std::int16_t>, const WaterfallView&) {
    unavailable("--waterfall");
}

}  // namespace meridel::audio
