#include "modes/wspr_message.h"

#include <vector>

#include "modes/callsign_code.h"
#include "modes/message_text.h"
#include "modes/wspr_hash.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kKind = "WSPR";
constexpr std::size_t kMaxLength = 24;
constexpr std::string_view kForms =
    "send \"CALL GRID4 DBM\", \"PFX/CALL DBM\", \"CALL/SFX DBM\" or \"<CALL> GRID6 DBM\"";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlnum(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z');
}

class Packer {
public:
    Packer(std::string_view typed, const std::string& text) : typed_(typed), text_(text) {}

    [[noreturn]] void fail(const std::string& problem, std::string_view allowed = kForms) const {
        throw messageError(kKind, typed_, problem, allowed);
    }

    int power(std::string_view word) const {
        int dbm = 0;
        bool digits = !word.empty() && word.size() <= 3;
        for (char c : word) {
            digits = digits && isDigit(c);
            if (digits) dbm = dbm * 10 + (c - '0');  // never past 3 digits: no overflow
        }
        const int last = dbm % 10;
        if (!digits || dbm > 60 || (last != 0 && last != 3 && last != 7))
            fail(cat({"power ", word, " dBm is not allowed"}),
                 "use 0 to 60 dBm ending in 0, 3 or 7");
        return dbm;
    }

    std::uint32_t callsign(std::string_view call) const {
        // The code respells both prefixes, and decoders print the respelt form.
        if (call.starts_with("3D0"))
            fail(cat({"callsign \"", call, "\" would arrive as \"3DA0", call.substr(3), "\""}),
                 "no callsign starts with 3D0; 3DA0 callsigns are sent as typed");
        if (call.size() >= 3 && call.starts_with("3X") && call[2] >= 'A' && call[2] <= 'Z')
            fail(cat({"callsign \"", call, "\" would arrive as \"Q", call.substr(2), "\""}),
                 "WSPR cannot send a 3X callsign whose third character is a letter");
        const auto code = call.size() <= 6 ? callsignCode(call, true) : std::nullopt;
        if (call.size() < 2 || !code)
            fail(cat({"\"", call, "\" is not a callsign WSPR can send"}),
                 "a callsign has 2 to 6 letters and digits with a digit in its second or third "
                 "place, and only letters after that digit");
        return *code;
    }

    std::uint32_t grid4(std::string_view grid) const {
        if (!isGrid4(grid))
            fail(cat({"grid \"", grid, "\" is outside AA00-RR99"}),
                 "a grid is two letters A-R and two digits");
        return gridCode(grid);
    }

    // PFX/CALL or CALL/SFX: the callsign goes as usual, the add-on in place of the grid.
    WsprSource type2(std::string_view word, int dbm) const {
        const std::size_t slash = word.find('/');
        const std::string_view left = word.substr(0, slash), right = word.substr(slash + 1);
        std::uint32_t ng = 0, nadd = 1;
        std::string_view base;
        const auto addOnRule =
            "a prefix has 1 to 3 letters or digits, a suffix is one letter or "
            "digit or two digits";
        if (right.find('/') != std::string_view::npos)
            fail(cat({"\"", word, "\" has more than one '/'"}), addOnRule);
        auto alnum = [](std::string_view s) {
            for (char c : s)
                if (!isAlnum(c)) return false;
            return !s.empty();
        };
        if (right.size() == 1 && alnum(right)) {
            ng = 27232 + std::uint32_t(*callsignCharValue(right[0]));
            base = left;
        } else if (right.size() == 2 && isDigit(right[0]) && isDigit(right[1])) {
            ng = 27258 + std::uint32_t(10 * (right[0] - '0') + (right[1] - '0'));
            base = left;
        } else if (left.size() <= 3 && alnum(left)) {
            std::uint32_t p = 0;
            for (std::size_t i = 0; i < 3; ++i) {
                const std::size_t pad = 3 - left.size();  // right-aligned in 3 places
                p = 37 * p + std::uint32_t(i < pad ? 36 : *callsignCharValue(left[i - pad]));
            }
            nadd = p >= 32768 ? 1 : 0;
            ng = p - 32768 * nadd;
            base = right;
        } else {
            fail(cat({"\"", word, "\" has neither a prefix nor a suffix WSPR can send"}),
                 addOnRule);
        }
        const std::uint32_t n2 = (128 * ng + std::uint32_t(dbm) + 1 + nadd + 64) & 0x3FFFFF;
        return {text_, callsign(base), n2};
    }

    // <CALL> GRID6: the 6-character grid goes in the callsign field, first letter last, and
    // a 15-bit hash of the callsign with the power.
    WsprSource type3(std::string_view bracketed, std::string_view grid6, int dbm) const {
        const std::string_view call = bracketed.substr(1, bracketed.size() - 2);
        bool callOk = !call.empty() && call.size() <= 12;
        for (char c : call) callOk = callOk && (isAlnum(c) || c == '/');
        if (!callOk)
            fail(cat({"\"", bracketed, "\" is not a callsign in brackets"}),
                 "write <CALL> with 1 to 12 letters, digits or '/'");
        const bool gridOk = grid6.size() == 6 && isGrid4(grid6.substr(0, 4)) && grid6[4] >= 'A' &&
                            grid6[4] <= 'X' && grid6[5] >= 'A' && grid6[5] <= 'X';
        if (!gridOk)
            fail(cat({"\"", grid6, "\" is not a 6-character grid"}),
                 "a 6-character grid is AA00AA..RR99XX");
        const std::string rotated = std::string(grid6.substr(1)) + grid6[0];
        const std::uint32_t ih = hashLittle(call, 146) & 0x7FFF;
        return {text_, *callsignCode(rotated, false), 128 * ih + 64 - std::uint32_t(dbm + 1)};
    }

private:
    std::string_view typed_;
    const std::string& text_;
};

}  // namespace

WsprSource packWsprMessage(std::string_view message) {
    const std::string text = normaliseMessage(message);
    requireAlphabet(kKind, message, text, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /<>", kForms);
    const Packer packer(message, text);
    // "<" + 12 characters + "> " + 6-character grid + " " + 2 digits is the longest form.
    if (text.size() > kMaxLength)
        packer.fail(cat({"it has ", std::to_string(text.size()), " characters"}),
                    "a WSPR message has at most 24 characters");
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }

    if (words.size() == 3 && words[0].size() > 2 && words[0].front() == '<' &&
        words[0].back() == '>')
        return packer.type3(words[0], words[1], packer.power(words[2]));
    if (text.find_first_of("<>") != std::string::npos)
        packer.fail("brackets go only around the callsign of \"<CALL> GRID6 DBM\"");
    if (words.size() == 2 && words[0].find('/') != std::string_view::npos)
        return packer.type2(words[0], packer.power(words[1]));
    if (words.size() != 3)
        packer.fail(
            cat({"it has ", std::to_string(words.size()), words.size() == 1 ? " word" : " words"}));
    if (text.find('/') != std::string::npos)
        packer.fail("a callsign with a prefix or suffix goes without grid",
                    "send \"PFX/CALL DBM\" or \"CALL/SFX DBM\"");
    const std::uint32_t n1 = packer.callsign(words[0]);
    const std::uint32_t ng = packer.grid4(words[1]);
    const int dbm = packer.power(words[2]);
    return {text, n1, 128 * ng + std::uint32_t(dbm) + 64};
}

}  // namespace meridel::modes
