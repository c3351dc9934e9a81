// The event section's names: one prefix for all (the section itself is in the sequence command
// cases).
#include <gtest/gtest.h>

#include <regex>

#include "sequence/event_text.h"
#include "sequence/template_plan.h"

namespace {

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
