#include "audio/sound_files.h"

#include <fftw3.h>
#include <png.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numbers>
#include <vector>

#include "audio/synth.h"
#include "audio/transmission.h"

namespace meridel::audio {
namespace {

// The picture: margins for the labels, a plot at least this wide and tall, at most this many
// pixels of pooled spectrum in either direction.
constexpr int kLeft = 76, kTop = 34, kRight = 12, kBottom = 12;
constexpr int kMinPlotWidth = 600, kMinPlotHeight = 300;
constexpr int kMaxColumns = 1200, kMaxRows = 900;
constexpr double kShownRangeDb = 45;  // below the strongest pixel, drawn black
constexpr int kFontScale = 2;

// 5 x 7 glyphs for the axis labels, one row a byte, the left column in bit 4.
struct Glyph {
    char c;
    std::array<std::uint8_t, 7> rows;
};
constexpr std::array<Glyph, 16> kGlyphs = {{
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
}};
constexpr int kCharWidth = 6 * kFontScale;

struct Rgb {
    std::uint8_t r, g, b;
};

class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height), pixels_(width * height * 3) {}
    int width() const { return width_; }
    int height() const { return height_; }
    void set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint8_t* p = &pixels_[static_cast<std::size_t>((y * width_ + x) * 3)];
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
    void text(int x, int y, const std::string& s, Rgb c) {
        for (char ch : s) {
            const auto g = std::find_if(kGlyphs.begin(), kGlyphs.end(),
                                        [ch](const Glyph& glyph) { return glyph.c == ch; });
            for (int row = 0; g != kGlyphs.end() && row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (!((g->rows[row] >> (4 - col)) & 1)) continue;
                    for (int d = 0; d < kFontScale * kFontScale; ++d) {
                        set(x + col * kFontScale + d % kFontScale,
                            y + row * kFontScale + d / kFontScale, c);
                    }
                }
            }
            x += kCharWidth;
        }
    }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

private:
    int width_, height_;
    std::vector<std::uint8_t> pixels_;
};

// Black through blue, cyan and yellow to white, as waterfalls are usually drawn.
Rgb colour(double level) {
    static constexpr std::array<Rgb, 5> kStops = {
        {{0, 0, 0}, {0, 0, 200}, {0, 200, 220}, {250, 230, 0}, {255, 255, 255}}};
    const double x = std::clamp(level, 0.0, 1.0) * (kStops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x), kStops.size() - 2);
    const double t = x - static_cast<double>(i);
    const auto mix = [t](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
    };
    return {mix(kStops[i].r, kStops[i + 1].r), mix(kStops[i].g, kStops[i + 1].g),
            mix(kStops[i].b, kStops[i + 1].b)};
}

// The smallest step of 1, 2 or 5 times a power of ten that leaves at most `count` ticks.
double tickStep(double range, int count) {
    for (double decade = 0.1;; decade *= 10) {
        for (double m : {1.0, 2.0, 5.0}) {
            if (range / (m * decade) <= count) return m * decade;
        }
    }
}

std::string number(double v) {
    const double whole = std::round(v);
    if (std::abs(v - whole) < 1e-6) return std::to_string(static_cast<long long>(whole));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

// Power in dB of each frame (rows) and FFT bin of the view (columns), pooled by their maximum
// to at most kMaxRows x kMaxColumns.
struct Spectrogram {
    std::vector<double> db;
    int rows = 0, columns = 0;
    double firstHz = 0, hzPerColumn = 0, secondsPerRow = 0;
};

Spectrogram spectrogram(std::span<const std::int16_t> samples, const WaterfallView& view) {
    const int n = view.fftSize;
    const int hop = n / 2;
    const double binHz = static_cast<double>(kSampleRate) / n;
    const int firstBin = std::max(0, static_cast<int>(std::floor(view.lowHz / binHz)));
    const int lastBin = std::min(n / 2, static_cast<int>(std::ceil(view.highHz / binHz)));
    const int bins = std::max(1, lastBin - firstBin + 1);
    const auto size = static_cast<int>(samples.size());
    const int frames = size > n ? 1 + (size - n) / hop : 1;
    const int colPool = (bins + kMaxColumns - 1) / kMaxColumns;
    const int rowPool = (frames + kMaxRows - 1) / kMaxRows;

    Spectrogram out;
    out.columns = (bins + colPool - 1) / colPool;
    out.rows = (frames + rowPool - 1) / rowPool;
    out.firstHz = firstBin * binHz;
    out.hzPerColumn = binHz * colPool;
    out.secondsPerRow = static_cast<double>(hop) * rowPool / kSampleRate;
    out.db.assign(static_cast<std::size_t>(out.rows * out.columns), -400.0);

    std::vector<double> window(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
    }
    const auto in = static_cast<double*>(fftw_malloc(sizeof(double) * n));
    const auto spectrum =
        static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * (n / 2 + 1)));
    const fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, spectrum, FFTW_ESTIMATE);
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < n; ++i) {
            const int at = f * hop + i;
            in[i] = at < size ? samples[static_cast<std::size_t>(at)] * window[i] : 0.0;
        }
        fftw_execute(plan);
        for (int b = 0; b < bins; ++b) {
            const fftw_complex& c = spectrum[firstBin + b];
            const double db = 10 * std::log10(c[0] * c[0] + c[1] * c[1] + 1e-30);
            double& cell =
                out.db[static_cast<std::size_t>((f / rowPool) * out.columns + b / colPool)];
            cell = std::max(cell, db);
        }
    }
    fftw_destroy_plan(plan);
    fftw_free(spectrum);
    fftw_free(in);
    return out;
}

}  // namespace

void writeWav(const std::string& path, std::span<const std::int16_t> samples,
              const std::string& where) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto fail = [&path, &where](std::string why) {
        while (!why.empty() && why.back() == '.') why.pop_back();
        return SoundError("cannot write the WAV file \"" + path + "\": " + why + "; check " +
                          where + " and the free space of the disk");
    };
    if (!file) throw fail(sf_strerror(nullptr));
    const auto count = static_cast<sf_count_t>(samples.size());
    const bool written = sf_write_short(file, samples.data(), count) == count;
    const std::string why = sf_strerror(file);
    if (sf_close(file) != 0 || !written) throw fail(why);
}

void checkWritable(const std::string& path, const std::string& what, const std::string& option) {
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) {
        throw SoundError("cannot write " + what + " \"" + path + "\": " + std::strerror(errno) +
                         "; check " + option + " and the free space of the disk");
    }
    std::fclose(file);
    if (!existed) std::filesystem::remove(path, ec);
}

std::array<std::uint8_t, 3> waterfallColour(double level) {
    const Rgb rgb = colour(level);
    return {rgb.r, rgb.g, rgb.b};
}

WaterfallView viewAround(double lowHz, double highHz, double symbolSeconds) {
    if (!(lowHz <= highHz)) return {};  // nothing keyed: the whole passband
    const double margin = std::max(25.0, (highHz - lowHz) / 4);
    WaterfallView view;
    view.lowHz = std::max(0.0, lowHz - margin);
    view.highHz = std::min(kPassbandHz, highHz + margin);
    const double samples = std::clamp(symbolSeconds * kSampleRate, 256.0, 16384.0);
    view.fftSize = 1 << static_cast<int>(std::lround(std::log2(samples)));
    return view;
}

WaterfallImage drawWaterfall(std::span<const std::int16_t> samples, const WaterfallView& view) {
    const Spectrogram s = spectrogram(samples, view);
    const int colScale = std::max(1, kMinPlotWidth / s.columns);
    const int rowScale = std::max(1, kMinPlotHeight / s.rows);
    Picture picture(kLeft + s.columns * colScale + kRight, kTop + s.rows * rowScale + kBottom);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) picture.set(x, y, {255, 255, 255});
    }

    std::vector<double> sorted = s.db;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double top = *std::max_element(s.db.begin(), s.db.end());
    const double floor = std::max(sorted[sorted.size() / 2], top - kShownRangeDb);
    const double range = std::max(top - floor, 10.0);
    for (int r = 0; r < s.rows; ++r) {
        for (int c = 0; c < s.columns; ++c) {
            const Rgb rgb =
                colour((s.db[static_cast<std::size_t>(r * s.columns + c)] - floor) / range);
            for (int d = 0; d < rowScale * colScale; ++d) {
                picture.set(kLeft + c * colScale + d % colScale, kTop + r * rowScale + d / colScale,
                            rgb);
            }
        }
    }

    // Frequency along the top, time down the left, at round numbers.
    const Rgb ink{0, 0, 0};
    const double pxPerHz = colScale / s.hzPerColumn;
    const double hzStep = tickStep(view.highHz - view.lowHz, 8);
    for (double f = std::ceil(s.firstHz / hzStep) * hzStep; f <= view.highHz; f += hzStep) {
        const int x =
            kLeft + static_cast<int>(std::lround((f - s.firstHz) * pxPerHz + colScale / 2.0));
        if (x >= picture.width() - kRight) break;
        for (int y = kTop - 6; y < kTop; ++y) picture.set(x, y, ink);
        const std::string label = number(f);
        picture.text(x - static_cast<int>(label.size()) * kCharWidth / 2, 6, label, ink);
    }
    picture.text(4, 6, "Hz", ink);
    const double pxPerSecond = rowScale / s.secondsPerRow;
    const double seconds = s.rows * s.secondsPerRow;
    const double sStep = tickStep(seconds, 12);
    for (double t = 0; t <= seconds; t += sStep) {
        const int y = kTop + static_cast<int>(std::lround(t * pxPerSecond));
        for (int x = kLeft - 6; x < kLeft; ++x) picture.set(x, y, ink);
        const std::string label = number(t) + " s";
        picture.text(kLeft - 8 - static_cast<int>(label.size()) * kCharWidth, y - 7, label, ink);
    }

    return {picture.width(), picture.height(), picture.pixels(), range};
}

void writeWaterfall(const std::string& path, std::span<const std::int16_t> samples,
                    const WaterfallView& view) {
    const WaterfallImage picture = drawWaterfall(samples, view);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, picture.rgb.data(), 0, nullptr)) {
        throw SoundError("cannot write the waterfall picture \"" + path + "\": " + image.message +
                         "; check --waterfall and the free space of the disk");
    }
}

}  // namespace meridel::audio
