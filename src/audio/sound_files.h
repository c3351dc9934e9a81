#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace meridel::audio {

// Writes 12 000 samples/s 16-bit mono PCM as a WAV file. Throws SoundError naming the file and
// telling to check `where` (the option or field that named it).
void writeWav(const std::string& path, std::span<const std::int16_t> samples,
              const std::string& where = "--wav");

// Throws SoundError unless `path` can be created or written, so that a run can stop before it
// writes anything; leaves no file behind that was not there. `what` ("the WAV file") and
// `option` ("--wav") word the error.
void checkWritable(const std::string& path, const std::string& what, const std::string& option);

// How a waterfall shows the audio: the audio band drawn across, and the FFT length, which sets
// both the frequency and the time resolution.
struct WaterfallView {
    double lowHz = 0;
    double highHz = 3000;
    int fftSize = 4096;
};

// A view that shows every tone of `lowHz`..`highHz` (audio) with some room around it, with an
// FFT about one symbol long (`symbolSeconds`), so each symbol's tone stands apart.
WaterfallView viewAround(double lowHz, double highHz, double symbolSeconds);

// The spectrogram as a WSJT-X waterfall: frequency across, time down, the power in dB as
// colour, with the frequency (Hz) along the top and the time (s) down the left.
struct WaterfallImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, rows from the top
    double rangeDb = 0;             // from the darkest colour (the floor) to white (the top)
};
// The waterfall's colour of a level from 0 (the floor) to 1 (the top), as red, green, blue.
std::array<std::uint8_t, 3> waterfallColour(double level);
WaterfallImage drawWaterfall(std::span<const std::int16_t> samples, const WaterfallView& view);

// The waterfall as a PNG picture. Throws SoundError naming the file.
void writeWaterfall(const std::string& path, std::span<const std::int16_t> samples,
                    const WaterfallView& view);

}  // namespace meridel::audio
