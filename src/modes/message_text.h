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

// Names the character that starts at byte `at` as the user typed it: 'x', 'ä', '\t'.
std::string describeCharacter(std::string_view text, std::size_t at);

// The number of characters (UTF-8 sequences) of a text.
std::size_t characterCount(std::string_view text);

// "<kind> message "<typed>": <problem>; <allowed>", with at most 40 characters of the message as
// typed, control characters escaped.
[[nodiscard]] MessageError messageError(std::string_view kind, std::string_view typed,
                                        std::string_view problem, std::string_view allowed);

// Throws when `text` (the normalised form of `typed`) has a character outside `alphabet`, or
// when it is empty.
void requireAlphabet(std::string_view kind, std::string_view typed, std::string_view text,
                     std::string_view alphabet, std::string_view allowed);

// Throws when `text` has more than `limit` characters: a beacon repeats what it sends, so a text
// longer than that only keeps the frequency busy.
void requireLength(std::string_view kind, std::string_view typed, std::string_view text,
                   std::size_t limit, std::string_view allowed);

}  // namespace meridel::modes
