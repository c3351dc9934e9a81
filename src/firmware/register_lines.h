#pragma once

#include <optional>
#include <span>
#include <string>

#include "firmware/chip_words.h"
#include "firmware/message_table.h"
#include "firmware/register_writes.h"

namespace meridel::firmware {

// The C header's register section, in the order the writes go out: the set-up as a comment,
// each tone word's writes, the key-up and key-down writes, and each message table's writes per
// tone as a table a symbol indexes (`<prefix>MSG_<KEY>_TONE_WRITE[symbol]`), so a firmware sends
// a symbol's bytes as they are. A chip with two writes per word numbers them: _WRITE0, _WRITE1.
// The keying writes at the plan's carrier (its first tone word when it has none); nullopt
// without tone words.
std::optional<KeyingWrites> carrierKeying(const ChipWords& words, const RegisterSetup& setup);

std::string registerLines(const ChipWords& words, std::span<const MessageTable> messages,
                          const RegisterSetup& setup, const std::string& prefix);

}  // namespace meridel::firmware
