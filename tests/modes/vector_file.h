// Reading the MODE|message|expected files of tests/data/modes and encoding a row's message.
#pragma once

#include <string>
#include <vector>

#include "modes/encoders.h"

namespace meridel::modes {

struct VectorRow {
    int line;
    std::string mode;  // a SymbolTable mode; "CW@n" is CW at n WPM (CW alone: 20 WPM)
    std::string message;
    std::string expected;
};

std::vector<VectorRow> readVectorFile(const std::string& name);

SymbolTable encodeRow(const VectorRow& row);

// Symbols as the files write them: blank-separated numbers for JT65 and RTTY, otherwise one
// digit per symbol.
std::string spellSymbols(const SymbolTable& table);

}  // namespace meridel::modes
