// --mode names a mode entry whatever its case, and the listing shows the entry's own text; any
// other text computes with no mode selected, shown as typed, with one notice naming the modes.
#include <gtest/gtest.h>

#include <string>

#include "cli/cli_process.h"

namespace {
using ModeTest = meridel::testing::CliFolder;

struct ModeCase {
    const char* mode;
    const char* intervalLine;  // the mode's interval line of the 200 MHz plan
    bool notice;
};

TEST_F(ModeTest, EntryInAnyCaseOrNoSelectionWithANotice) {
    const ModeCase cases[] = {
        {"jt65b", "0x00,0x73,0x9B,0x02 ; JT65B Interval      \r\n", false},
        {"jT4a", "0x00,0x5D,0xF3,0xD1 ; JT4A Interval\r\n", false},
        {"JT44", "0x00,0xE7,0x36,0x05 ; JT44 Interval      \r\n", false},
        // No selection computes with JT65A's spacing.
        {"jt65b ", "0x00,0x39,0xCD,0x81 ; jt65b  Interval      \r\n", true},
        {"JT4H", "0x00,0x39,0xCD,0x81 ; JT4H Interval      \r\n", true},
        {"", "0x00,0x39,0xCD,0x81 ;  Interval      \r\n", true},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.mode);
        const auto r = cli({"--ref-in", "20", "--pll", "10", "--output", "50", "--mode", c.mode});
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find(c.intervalLine), std::string::npos) << r.out;
        const std::string notice =
            std::string("meridel-cli: --mode \"") + c.mode +
            "\" is none of the modes JT65A JT65B JT65C JT44 JT4A JT4B JT4C JT4D JT4E JT4F JT4G "
            "(in any case): computing with no mode selected, shown as \"" +
            c.mode + "\"\n";
        EXPECT_EQ(r.err, c.notice ? notice : "");
    }
}

}  // namespace
