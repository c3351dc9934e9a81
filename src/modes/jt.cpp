#include "modes/encoders.h"
#include "modes/jt_submode.h"

namespace meridel::modes {

SymbolTable encodeJt(std::string_view message, JtSubmode submode) {
    return isJt65(submode) ? encodeJt65(message, submode) : encodeJt4(message, submode);
}

}  // namespace meridel::modes
