#pragma once

#include <string>
#include <string_view>

// Field texts are held as UTF-8; files hold single-byte Windows-1252 text, the code page of the
// systems the listings and settings files come from: ISO 8859-1 plus the euro sign, curly
// quotes, dashes and a few letters in 0x80-0x9F.
namespace meridel::listing {

// UTF-8 to Windows-1252: a character outside it, or a byte that is not valid UTF-8, becomes "?".
std::string toWindows1252(std::string_view utf8);
void appendWindows1252(std::string& out, std::string_view utf8);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) read as the control characters of the same number, so every byte written back
// is the byte that was read.
std::string windows1252ToUtf8(std::string_view bytes);

// Upper case for file names: ASCII and Windows-1252 letters ("beacon.asm" gives "BEACON.ASM",
// "é" gives "É", "ÿ" gives "Ÿ"); every other character, and any invalid UTF-8 byte, is kept as
// it is.
std::string toUpperCase(std::string_view utf8);

}  // namespace meridel::listing
