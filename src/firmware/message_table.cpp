#include "firmware/message_table.h"

namespace meridel::firmware {

std::string intervalIdOf(const MessageTable& m) {
    if (m.key == "jt") return m.mode.rfind("JT65", 0) == 0 ? "JT65_INTERVAL" : "JT4_INTERVAL";
    if (m.key == "wspr") return "WSPR_INTERVAL";
    if (m.key == "fsk441") return "FSK441_INTERVAL";
    if (m.key == "pi4") return "PI4_INTERVAL";
    return "";
}

std::string symbolMeaning(const MessageTable& m, std::string_view intervalName) {
    if (m.key == "cw") {
        return "1 = key down on " + m.base_word + ", 0 = key up, one per dot unit";
    }
    if (m.key == "rtty") {
        return "ITA2 codes, sent as 1 start bit (space, " + m.base_word +
               "), the 5 bits least significant first (1 = mark), 1.5 stop bits (mark)";
    }
    return "tone n = " + m.base_word + " + n x " + std::string(intervalName);
}

}  // namespace meridel::firmware
