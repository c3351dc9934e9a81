#pragma once

#include <string>
#include <string_view>

// Field texts are held as UTF-8; files hold single-byte ISO 8859-1 text.
namespace meridel::listing {

// UTF-8 to ISO 8859-1: a character outside it, or a byte that is not valid UTF-8, becomes "?".
std::string toLatin1(std::string_view utf8);
void appendLatin1(std::string& out, std::string_view utf8);

// ISO 8859-1 bytes to UTF-8 (every byte is a character).
std::string latin1ToUtf8(std::string_view latin1);

// Upper case for file names: ASCII and ISO 8859-1 letters ("beacon.asm" gives "BEACON.ASM",
// "é" gives "É"); every other character, and any invalid UTF-8 byte, is kept as it is.
std::string toUpperCase(std::string_view utf8);

}  // namespace meridel::listing
