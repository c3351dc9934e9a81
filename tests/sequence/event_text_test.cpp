// The event table as the firmware reads it: a 30 s carrier with a 1 kHz 8-bit timer, whose
// counts (30000 = 117 x 256 + 48) are easy to check by hand.
#include <gtest/gtest.h>

#include <regex>

#include "planfile/plan_file.h"
#include "sequence/event_text.h"
#include "sequence/template_plan.h"

namespace {

TEST(EventText, CarrierCycleInCAndAssembler) {
    const auto cycle =
        meridel::testing::loadPlan(meridel::planfile::readPlan("[[segment]]\nkind = \"carrier\"\n"
                                                               "start = 0\nend = 30\n",
                                                               "carrier.toml"))
            .cycle();
    const auto timer = meridel::sequence::timerReloads(cycle, {1000, 1, 8});
    const std::string c = meridel::sequence::cEventSection(cycle, &timer);
    for (const char* expected : {
             "/* Beacon cycle of 60 s, sent in slot 1 of 1 (every 60 s), 2 events.\n",
             "#define DDS_KIND_START 0U\n",
             "#define DDS_KIND_END 4U\n",
             "#define DDS_TABLE_NONE 0U\n",
             "#define DDS_TABLE_CARRIER 7U\n",
             "#define DDS_TONE_NONE 255U\n",
             "#define DDS_EVENT_COUNT 2U\n",
             "DDS_EVENT_AT_US[2] PROGMEM = {\n    0UL, 30000000UL\n};\n",
             "DDS_EVENT_KIND[2] PROGMEM = {\n    0, 4\n};\n",
             "DDS_EVENT_TABLE[2] PROGMEM = {\n    7, 7\n};\n",
             "DDS_EVENT_TONE[2] PROGMEM = {\n    0, 255\n};\n",
             "DDS_EVENT_KEY[2] PROGMEM = {\n    1, 0\n};\n",
             "DDS_EVENT_WRAPS[2] PROGMEM = {\n    0UL, 117UL\n};\n",
             "DDS_EVENT_REST[2] PROGMEM = {\n    0UL, 48UL\n};\n",
             "#define DDS_CYCLE_TAIL_WRAPS 117UL\n#define DDS_CYCLE_TAIL_REST 48UL\n",
             // The rests after the waits' 117 turns; the first wait is none at all.
             "The shortest REST is 48 counts (48000.000 us)",
             "The period is\n * 60000 counts, a whole number: no drift. */\n",
             "#define DDS_CYCLE_CARRY_NUM 0UL\n#define DDS_CYCLE_CARRY_DEN 1UL\n",
         }) {
        EXPECT_NE(c.find(expected), std::string::npos) << expected << "\nin:\n" << c;
    }
    const auto lines = meridel::sequence::asmEventLines(cycle, &timer);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3],
              "0x00,0x00,0x00,0x00,0x00,0x07,0x00,0x00,0x00,0x01,0x00,0x00,0x00,0x00,0x00,0x00,"
              "0x00,0x00 ; 0.000000 s start carrier tone 0 key down");
    EXPECT_EQ(lines[4],
              "0x01,0xC9,0xC3,0x80,0x04,0x07,0x00,0x00,0xFF,0x00,0x00,0x00,0x00,0x75,0x00,0x00,"
              "0x00,0x30 ; 30.000000 s end carrier key up");
}

// Two plans' headers go into one firmware: every name of the section carries the prefix.
TEST(EventText, EveryNameTakesThePrefix) {
    const auto cycle = meridel::testing::loadTemplate("iaru-mixed").cycle();
    const auto timer = meridel::sequence::timerReloads(cycle, {16'000'000, 1, 16});
    const std::string c = meridel::sequence::cEventSection(cycle, &timer, "BAND_2M");
    const std::regex name(R"((#define|static const \w+) (\w+))");
    int names = 0;
    for (auto it = std::sregex_iterator(c.begin(), c.end(), name); it != std::sregex_iterator();
         ++it, ++names) {
        EXPECT_EQ((*it)[2].str().rfind("BAND_2M_", 0), 0u) << (*it)[2];
    }
    EXPECT_EQ(names, 33);
    EXPECT_EQ(c.find("DDS_"), std::string::npos);
}

}  // namespace
