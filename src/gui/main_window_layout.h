#pragma once

#include <array>
#include <cmath>
#include <string_view>

namespace meridel::gui {

// The two windows are laid out in twips (1/1440 inch); a view converts them with the screen's
// logical dots per inch, so that 15 twips make one pixel at 96 dpi.
inline constexpr double kTwipsPerInch = 1440.0;

inline int twipsToPixels(int twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

inline int pixelsToTwips(int pixels, double dotsPerInch) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dotsPerInch));
}

// One control of the main window: its name, place and size in twips, and its tab index (focus
// moves over the controls that can take it in this order).
struct ControlPlace {
    std::string_view name;
    int left, top, width, height;
    int tabIndex;
};

// The main window: client area size, and where its top-left corner opens on the screen.
inline constexpr int kMainClientWidth = 7770;
inline constexpr int kMainClientHeight = 4830;
inline constexpr int kMainClientLeft = 810;
inline constexpr int kMainClientTop = 1110;

// Label1 is a two-element control array: "Label1_0" and "Label1_1".
inline constexpr std::array<ControlPlace, 29> kMainWindowControls = {{
    {"RefIn", 5400, 720, 1575, 285, 0},
    {"Label1_0", 3720, 720, 1575, 255, 1},
    {"Label2", 3720, 1080, 1575, 255, 2},
    {"ClockFreq", 5400, 2160, 1455, 285, 3},
    {"Label3", 4200, 2160, 1095, 255, 4},
    {"Command1", 5400, 3600, 1695, 615, 5},
    {"Foutput", 1920, 720, 1575, 285, 6},
    {"Label5", -120, 720, 2055, 255, 7},  // starts left of the client area
    {"RFMult", 1920, 1080, 495, 285, 8},
    {"Label6", 1200, 1080, 615, 255, 9},
    {"Fo", 5400, 2520, 1455, 285, 10},
    {"Label7", 3360, 2520, 1935, 255, 11},
    {"FileName", 1920, 3600, 2295, 285, 12},
    {"Label8", 600, 3600, 1095, 255, 13},
    {"Comment", 1920, 4080, 2295, 285, 14},
    {"Label9", 480, 3960, 1335, 615, 15},
    {"Label10", 5400, 1440, 2055, 615, 16},
    {"ToneFreq", 1920, 2280, 855, 285, 17},
    {"Label11", 720, 2280, 1095, 255, 18},
    {"KeyFreq", 1920, 2880, 1335, 285, 19},
    {"Label12", 360, 2880, 1455, 255, 20},
    {"Label1_1", 840, 1920, 975, 255, 21},
    {"Label4", 480, 1560, 1335, 255, 22},
    {"Label13", 0, 120, 7695, 375, 23},
    {"jt65mode", 1920, 1920, 855, 315, 24},
    {"RTTYShift", 1920, 1560, 855, 315, 25},
    {"SetCarr", 1920, 3300, 255, 195, 26},
    {"PLLMult", 5400, 1080, 615, 255, 27},
    {"SetCarrLabel", 0, 3240, 1815, 255, 28},
}};

// The results window: its client area, filled by the text box (which is 30 twips wider).
inline constexpr int kResultsClientWidth = 5985;
inline constexpr int kResultsClientHeight = 4935;
inline constexpr int kResultsTextWidth = 6015;
inline constexpr int kResultsTextHeight = 4935;

}  // namespace meridel::gui
