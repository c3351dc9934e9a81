// The Listen window's waterfall shows a sensible stretch of the audio band around a narrow
// signal, inside the receiver's 0 to 3000 Hz.
#include <gtest/gtest.h>

#include "model/listen_model.h"

namespace {

TEST(ListenView, ANarrowSignalIsShownAmongItsSurroundings) {
    const struct {
        double low, high, shownLow, shownHigh;
    } cases[] = {
        {1475, 1525, 1400, 1600},  // one carrier: widened about its middle
        {0, 50, 0, 200},           // at the bottom of the band
        {2950, 3000, 2800, 3000},  // at the top
        {1000, 1200, 1000, 1200},  // wide enough already
        {0, 3000, 0, 3000},
    };
    for (const auto& c : cases) {
        const auto view = meridel::model::withMinimumSpan({c.low, c.high, 2048});
        EXPECT_EQ(view.lowHz, c.shownLow) << c.low;
        EXPECT_EQ(view.highHz, c.shownHigh) << c.low;
        EXPECT_EQ(view.fftSize, 2048);
    }
}

}  // namespace
