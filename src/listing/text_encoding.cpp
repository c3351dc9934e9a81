#include "listing/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace meridel::listing {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// What Windows-1252 puts in 0x80-0x9F; its undefined bytes stand for themselves.
constexpr std::array<char32_t, 32> kHighCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t characterOf(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHighCharacters[byte - 0x80] : byte;
}

// The byte of a character, or '?' when the code page has none.
char byteOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighCharacters.size(); ++i) {
        if (kHighCharacters[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 character at `pos`; returns kInvalid (consuming one byte) for a byte that
// does not start a well-formed, shortest-form sequence.
char32_t decode(std::string_view s, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++pos;
        return kInvalid;
    }
    if (pos + length > s.size()) {
        ++pos;
        return kInvalid;
    }
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kInvalid;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kInvalid;
    }
    pos += length;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Eight bytes at a time: listings are almost always plain ASCII and checked once per write.
bool isAscii(std::string_view s) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        any |= word;
    }
    for (; i < s.size(); ++i) any |= static_cast<unsigned char>(s[i]);
    return (any & 0x8080808080808080ULL) == 0;
}

}  // namespace

void appendWindows1252(std::string& out, std::string_view utf8) {
    if (isAscii(utf8)) {
        out += utf8;
        return;
    }
    out.reserve(out.size() + utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = decode(utf8, pos);
        out += byteOf(cp);  // an invalid byte too becomes '?'
    }
}

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    appendWindows1252(out, utf8);
    return out;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) appendUtf8(out, characterOf(static_cast<unsigned char>(c)));
    return out;
}

std::string toUpperCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        char32_t cp = decode(utf8, pos);
        if (cp == kInvalid) {
            out += utf8[start];
            continue;
        }
        if (cp >= 'a' && cp <= 'z') cp -= 0x20;
        // à to þ, except the division sign ÷, have their capitals 0x20 below.
        if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) cp -= 0x20;
        // The code page's other small letters: š, œ, ž and ÿ.
        if (cp == 0x0161 || cp == 0x0153 || cp == 0x017E) cp -= 1;
        if (cp == 0x00FF) cp = 0x0178;
        appendUtf8(out, cp);
    }
    return out;
}

}  // namespace meridel::listing
