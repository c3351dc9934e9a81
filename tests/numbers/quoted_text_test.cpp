// How error texts quote user text: whole characters, at most 40 of them, nothing raw that a
// terminal would act on.
#include <gtest/gtest.h>

#include <string>

#include "numbers/quoted_text.h"

namespace meridel::numbers {
namespace {

struct Quote {
    std::string text;
    std::string quoted;
};

// '"' + text + tail, appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + string.
std::string inQuotes(const std::string& text, const char* tail = "\"") {
    std::string out = "\"";
    return out.append(text).append(tail);
}

TEST(QuotedText, EscapesControlsAndCutsAfter40Characters) {
    const std::string a40(40, 'A');
    std::string e41;
    for (int i = 0; i < 41; ++i) e41 += "\xC3\xA9";
    const Quote cases[] = {
        {"", "\"\""},
        {"K1ABC fn42", "\"K1ABC fn42\""},
        {"a\tb\r\n\x1B[31m\x7F", "\"a\\tb\\r\\n\\x1B[31m\\x7F\""},
        {"say \"hi\" \\o/", "\"say \\\"hi\\\" \\\\o/\""},
        {a40, inQuotes(a40)},
        {std::string(a40).append("B"), inQuotes(a40, "...\" (41 characters)")},
        {e41, inQuotes(e41.substr(0, 80), "...\" (41 characters)")},
        {"\xC3(", "\"\\xC3(\""},           // a lead byte without its continuation
        {"\xE2\x82", "\"\\xE2\\x82\""},    // a sequence cut short
        {"\xC2\x85!", "\"\\xC2\\x85!\""},  // a C1 control in UTF-8
        {"\xF0\x9F\x93\xA1", "\"\xF0\x9F\x93\xA1\""},
    };
    for (const Quote& c : cases) EXPECT_EQ(quotedText(c.text), c.quoted) << c.text;
}

TEST(QuotedText, NamesTheWholeCharacterAtAPosition) {
    EXPECT_EQ(quotedCharacter("gr\xC3\xBC\xC3\x9F"
                              "e",
                              2),
              "'\xC3\xBC'");
    EXPECT_EQ(quotedCharacter("a\tb", 1), "'\\t'");
    EXPECT_EQ(quotedCharacter("'", 0), "'\\''");
    EXPECT_EQ(quotedCharacter("\xE2\x82", 0), "'\\xE2'");
    EXPECT_EQ(characterLength("\xE2\x82\xAC!", 0), 3u);
    EXPECT_EQ(characterLength("\xE2\x82\xAC!", 1), 1u);  // inside a sequence: one byte
}

}  // namespace
}  // namespace meridel::numbers
