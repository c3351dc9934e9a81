#include "listing/text_encoding.h"

#include <cstdint>
#include <cstring>

namespace meridel::listing {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

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

void appendLatin1(std::string& out, std::string_view utf8) {
    if (isAscii(utf8)) {
        out += utf8;
        return;
    }
    out.reserve(out.size() + utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = decode(utf8, pos);
        out += (cp <= 0xFF) ? static_cast<char>(cp) : '?';
    }
}

std::string toLatin1(std::string_view utf8) {
    std::string out;
    appendLatin1(out, utf8);
    return out;
}

std::string latin1ToUtf8(std::string_view latin1) {
    if (isAscii(latin1)) return std::string(latin1);
    std::string out;
    out.reserve(latin1.size() * 2);
    for (char c : latin1) appendUtf8(out, static_cast<unsigned char>(c));
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
        appendUtf8(out, cp);
    }
    return out;
}

}  // namespace meridel::listing
