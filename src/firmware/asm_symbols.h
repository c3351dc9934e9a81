#pragma once

#include <span>
#include <string>
#include <vector>

#include "firmware/message_table.h"
#include "run/run_words.h"

namespace meridel::firmware {

// The symbol tables as an assembler include in the register listing's style, for a PIC program
// to step through: per message a comment naming the mode, the message, the symbol count and
// period and what a symbol means, then data lines of up to 16 byte constants. Words the
// listing does not hold (PI4's) come first, as listing lines. Lines come without line ends;
// the writer's target adds them (CR LF).
std::vector<std::string> asmSymbolLines(std::span<const MessageTable> messages,
                                        const run::RunWords& words);

}  // namespace meridel::firmware
