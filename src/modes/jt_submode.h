// The two JT families behind encodeJt, and their submode names.
#pragma once

#include <string>

#include "modes/encoders.h"

namespace meridel::modes {

inline bool isJt65(JtSubmode s) {
    return s <= JtSubmode::JT65C;
}

inline std::string jtModeName(JtSubmode s) {
    if (isJt65(s)) return std::string("JT65") + char('A' + int(s) - int(JtSubmode::JT65A));
    return std::string("JT4") + char('A' + int(s) - int(JtSubmode::JT4A));
}

SymbolTable encodeJt65(std::string_view message, JtSubmode submode);
SymbolTable encodeJt4(std::string_view message, JtSubmode submode);

}  // namespace meridel::modes
