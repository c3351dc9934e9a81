// "MESSAGES.INI" keeps a value that is well-formed UTF-8 and reads any other as Windows-1252:
// the edges of each sequence length, overlong forms, surrogates and the last code point.
#include <gtest/gtest.h>

#include <string>

#include "model/messages_settings.h"

namespace meridel::model {
namespace {

TEST(MessagesFile, KeepsWellFormedUtf8AndReadsAnythingElseAsWindows1252) {
    const struct {
        const char* value;
        bool utf8;
    } cases[] = {
        {"\xC2\x80", true},           // U+0080
        {"\xC1\xBF", false},          // U+007F, overlong
        {"\xDF\xBF", true},           // U+07FF
        {"\xE0\x9F\xBF", false},      // U+07FF, overlong
        {"\xE0\xA0\x80", true},       // U+0800
        {"\xED\x9F\xBF", true},       // U+D7FF
        {"\xED\xA0\x80", false},      // U+D800, a surrogate
        {"\xED\xBF\xBF", false},      // U+DFFF, a surrogate
        {"\xEE\x80\x80", true},       // U+E000
        {"\xF0\x8F\xBF\xBF", false},  // U+FFFF, overlong
        {"\xF0\x90\x80\x80", true},   // U+10000
        {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
        {"\xF4\x90\x80\x80", false},  // U+110000
        {"\xF5\x80\x80\x80", false},  // lead byte above F4
        {"A\xE0\xA0", false},         // cut short
        {"\xC3\xA9\x41", true},       // followed by ASCII "A"
        {"\xC3\x41", false},          // no continuation byte
        {"\x80", false},              // a continuation byte alone
    };
    for (const auto& c : cases) {
        const auto cw = static_cast<std::size_t>(MessageField::Cw);
        const std::string value = parseMessageSettings(std::string("cw=") + c.value).texts[cw];
        EXPECT_EQ(value == c.value, c.utf8) << testing::PrintToString(std::string(c.value));
    }
}

}  // namespace
}  // namespace meridel::model
