// The normalised form every encoder reads, and the wording of its refusals.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "modes/symbol_table.h"

namespace meridel::modes {

// Joins the pieces (appending, which GCC 12 does not mistake for overlapping copies).
std::string cat(std::initializer_list<std::string_view> pieces);

// Upper-cases ASCII letters, turns each run of blanks into one blank and trims both ends.
std::string normaliseMessage(std::string_view message);

// Names one character for an error text: 'x' when printable, otherwise its byte value.
std::string describeCharacter(char c);

// "<kind> message "<text>": <problem>; <allowed>"
[[nodiscard]] MessageError messageError(std::string_view kind, std::string_view text,
                                        std::string_view problem, std::string_view allowed);

// Throws when `text` has a character outside `alphabet`, or when it is empty.
void requireAlphabet(std::string_view kind, std::string_view text, std::string_view alphabet,
                     std::string_view allowed);

}  // namespace meridel::modes
