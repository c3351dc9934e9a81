// The templates' timelines written out by hand from the modes' symbol counts and periods.
#include <gtest/gtest.h>

#include "planfile/plan_file.h"
#include "sequence/template_plan.h"

namespace {
using meridel::sequence::EventKind;
using meridel::sequence::Rational;
using meridel::sequence::SegmentKind;
using meridel::testing::loadPlan;
using meridel::testing::loadTemplate;

struct Span {
    SegmentKind kind;
    std::int64_t startUs, endUs;
};

// "G0ABC IO91" at 12 WPM is 129 dot units of 0.1 s; "G0ABC" 65. PI4: 146 x 1/6 s. JT4: 206 x
// 2520/11025 s = 47.085714 s. JT65: 126 x 4096/11025 s = 46.811429 s. WSPR: 162 x 8192/12000 s.
struct Timeline {
    const char* name;
    std::vector<Span> spans;
    std::size_t events;
} const kTimelines[] = {
    {"iaru-mixed",
     {{SegmentKind::Pi4, 0, 24'333'333},
      {SegmentKind::Cw, 25'000'000, 37'900'000},
      {SegmentKind::Pause, 37'900'000, 38'400'000},
      {SegmentKind::Carrier, 38'400'000, 59'500'000}},
     147 + 66 + 2 + 2},
    {"cw-carrier",
     {{SegmentKind::Cw, 0, 12'900'000},
      {SegmentKind::Pause, 12'900'000, 13'400'000},
      {SegmentKind::Carrier, 13'400'000, 59'500'000}},
     66 + 2 + 2},
    {"jt4-cw",
     {{SegmentKind::Jt4, 1'000'000, 48'085'714},
      {SegmentKind::Pause, 48'085'714, 48'585'714},
      {SegmentKind::Cw, 48'585'714, 55'085'714},
      {SegmentKind::Cw, 60'000'000, 66'500'000},
      {SegmentKind::Pause, 66'500'000, 67'000'000},
      {SegmentKind::Carrier, 67'000'000, 119'500'000}},
     207 + 2 + 36 + 36 + 2 + 2},
    {"jt65-cw",
     {{SegmentKind::Jt65, 1'000'000, 47'811'429},
      {SegmentKind::Pause, 47'811'429, 48'311'429},
      {SegmentKind::Cw, 48'311'429, 54'811'429},
      {SegmentKind::Cw, 60'000'000, 66'500'000},
      {SegmentKind::Pause, 66'500'000, 67'000'000},
      {SegmentKind::Carrier, 67'000'000, 119'500'000}},
     127 + 2 + 36 + 36 + 2 + 2},
    {"wspr", {{SegmentKind::Wspr, 1'000'000, 111'592'000}}, 163},
};

std::int64_t us(const Rational& t) {
    return (t * Rational(1000000)).rounded();
}

TEST(Cycle, TemplatesFollowTheirHandWrittenTimelines) {
    for (const Timeline& t : kTimelines) {
        const auto cycle = loadTemplate(t.name).cycle();
        ASSERT_EQ(cycle.segments.size(), t.spans.size()) << t.name;
        for (std::size_t i = 0; i < t.spans.size(); ++i) {
            EXPECT_EQ(cycle.segments[i].kind, t.spans[i].kind) << t.name << " " << i;
            EXPECT_EQ(us(cycle.segments[i].start), t.spans[i].startUs) << t.name << " " << i;
            EXPECT_EQ(us(cycle.segments[i].end), t.spans[i].endUs) << t.name << " " << i;
        }
        EXPECT_EQ(cycle.events.size(), t.events) << t.name;
        for (std::size_t i = 1; i < cycle.events.size(); ++i) {
            EXPECT_LE(cycle.events[i - 1].at, cycle.events[i].at) << t.name << " event " << i;
        }
    }
}

TEST(Cycle, CwKeysEachElementAndWsprStepsOnExactSymbolTimes) {
    // G = dash dash dot: down 0-0.3, 0.4-0.7, 0.8-0.9, then a 3-unit gap before 0's first dash.
    const auto cw = loadTemplate("cw-carrier").cycle();
    const std::vector<std::pair<std::int64_t, EventKind>> g = {
        {0, EventKind::SegmentStart},   {300'000, EventKind::KeyUp},
        {400'000, EventKind::KeyDown},  {700'000, EventKind::KeyUp},
        {800'000, EventKind::KeyDown},  {900'000, EventKind::KeyUp},
        {1'200'000, EventKind::KeyDown}};
    for (std::size_t i = 0; i < g.size(); ++i) {
        EXPECT_EQ(cw.events[i].micros(), g[i].first) << i;
        EXPECT_EQ(cw.events[i].kind, g[i].second) << i;
        EXPECT_EQ(cw.events[i].keyDown, g[i].second != EventKind::KeyUp) << i;
    }
    const auto wspr = loadTemplate("wspr").cycle();
    EXPECT_EQ(wspr.events[3].at, Rational(1) + Rational(3 * 8192, 12000));
    EXPECT_EQ(wspr.events[3].micros(), 3'048'000);
    EXPECT_EQ(wspr.events[161].micros(), 110'909'333);
    EXPECT_EQ(wspr.events[162].kind, EventKind::SegmentEnd);
    EXPECT_FALSE(wspr.events[162].keyDown);
    EXPECT_EQ(wspr.period(), Rational(600));
}

meridel::planfile::BeaconPlan planOf(const std::string& toml) {
    return meridel::planfile::readPlan(toml, "test.toml");
}

TEST(Cycle, RttyFramesAndFsk441Repeats) {
    const auto loaded =
        loadPlan(planOf("[messages]\nrtty = \"RY\"\nfsk441 = \"A\"\n[[segment]]\nkind = \"rtty\"\n"
                        "[[segment]]\nkind = \"fsk441\"\nlength = 1\n"));
    const auto cycle = loaded.cycle();
    // LTRS, R, Y: 3 characters of 7.5 bits of 1/45.45 s, each a start, 5 code and a stop event.
    EXPECT_EQ(cycle.segments[0].end, Rational(3 * 15 * 100, 2 * 4545));
    EXPECT_EQ(cycle.events[7].at, Rational(15 * 100, 2 * 4545));  // second start bit
    EXPECT_EQ(cycle.events[7].tone, 0);
    EXPECT_EQ(cycle.events[6].tone, 1);  // first stop bit, mark
    const std::size_t fskStart = 3 * 7 + 1;
    EXPECT_EQ(cycle.events.size(), fskStart + 441 + 1);
    EXPECT_EQ(cycle.events[fskStart + 5].index, 5 % 6);  // "A " is 6 symbols, sent again
    EXPECT_EQ(cycle.events[fskStart + 6].index, 0);
}

}  // namespace
