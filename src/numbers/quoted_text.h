// User text as error messages quote it: in double quotes, at most 40 characters of it, and with
// control characters and broken UTF-8 escaped, so that a pasted 10 kB text or a stray escape
// character cannot flood or garble a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace meridel::numbers {

inline constexpr std::size_t kQuotedCharacters = 40;

// "text", or "the first 40 characters..." (N characters) for a longer text.
std::string quotedText(std::string_view utf8);

// The length in bytes of the character at `at`: its whole UTF-8 sequence, or 1 for a byte that
// starts none.
std::size_t characterLength(std::string_view utf8, std::size_t at);

// The character at `at` in single quotes: 'ä', '\t', '\x01' (a byte that is not UTF-8: '\xE2').
std::string quotedCharacter(std::string_view utf8, std::size_t at);

}  // namespace meridel::numbers
