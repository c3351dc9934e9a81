#include "modes/jt_message.h"

#include <optional>

#include "modes/callsign_code.h"
#include "modes/jt_callsign_addon.h"
#include "modes/jt_report_field.h"
#include "modes/message_text.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kAllowed =
    "send \"CALL CALL GRID|REPORT|RO|RRR|73\", CQ/QRZ/DE forms, or free text of up to 13 "
    "characters from A-Z 0-9 blank + - . / ?";
constexpr std::string_view kFieldForms =
    "write grids as AA00..RR99 and reports as -01..-30, R-01..R-30, +00..+49, -31..-50, "
    "R+00..R+49 or R-31..R-50";

constexpr std::uint32_t kCq = 262177561, kQrz = 262177562, kDe = 267796945;
constexpr std::uint32_t kCqType2Prefix = 262178563, kQrzType2Prefix = 264002072;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

std::array<std::uint8_t, 12> pack72(std::uint32_t nc1, std::uint32_t nc2, std::uint32_t ng) {
    // nc1 (28 bits), nc2 (28) and ng (16) as two 36-bit halves of six symbols each
    const std::uint64_t hi = (std::uint64_t(nc1) << 8) | (nc2 >> 20);
    const std::uint64_t lo = (std::uint64_t(nc2 & 0xFFFFF) << 16) | ng;
    std::array<std::uint8_t, 12> s{};
    for (int i = 0; i < 6; ++i) {
        s[i] = std::uint8_t((hi >> (30 - 6 * i)) & 63);
        s[6 + i] = std::uint8_t((lo >> (30 - 6 * i)) & 63);
    }
    return s;
}

// "CQ n ..." -> "CQ 00n ...", "CQ DX ..." -> "CQ9DX ...", "CQ AB ..." -> "E9AB ...": the
// forms the callsign code has room for. Free text is sent rewritten too.
std::string rewriteCq(const std::string& m) {
    auto endsWord = [&](std::size_t i) { return i == m.size() || m[i] == ' '; };
    if (!m.starts_with("CQ ") || m.size() < 4) return m;
    if (isDigit(m[3]) && endsWord(4)) return cat({"CQ 00", std::string_view(m).substr(3)});
    if (m.size() >= 5 && endsWord(5)) {
        if (m.compare(3, 2, "DX") == 0) return cat({"CQ9DX", std::string_view(m).substr(5)});
        if (isLetter(m[3]) && isLetter(m[4])) return cat({"E9", std::string_view(m).substr(3)});
    }
    return m;
}

struct CallWord {
    std::uint32_t code = 0;
    std::optional<CallAddOn> addOn;
    bool cqQrzDe = false;
    std::string_view base;  // the ordinary callsign, without CQ/QRZ/DE, prefix or suffix
};

class Packer {
public:
    Packer(std::string_view kind, std::string_view typed) : kind_(kind), typed_(typed) {}

    [[noreturn]] void fail(const std::string& problem, std::string_view allowed = kAllowed) const {
        throw messageError(kind_, typed_, problem, allowed);
    }

    // The callsign code of one of the first two words, or nullopt for free text.
    std::optional<CallWord> callWord(std::string_view w) const {
        CallWord out;
        if (w == "CQ" || w == "QRZ" || w == "DE") {
            out.code = w == "CQ" ? kCq : w == "QRZ" ? kQrz : kDe;
            out.cqQrzDe = true;
            return out;
        }
        if (w.size() == 6 && w.starts_with("CQ ")) {
            out.code = kCq + 2 + std::uint32_t(std::stoi(std::string(w.substr(3))));
            return out;
        }
        std::string_view base = w;
        if (w.find('/') != std::string_view::npos) {
            out.addOn = parseCallAddOn(w);
            if (!out.addOn) return std::nullopt;
            base = out.addOn->base;
        }
        const auto code = callsignCode(base, true);
        if (!code) return std::nullopt;
        out.base = base;
        out.code = *code;
        return out;
    }

    // nc1, nc2 and ng of a standard message, or nullopt when it has to go as free text.
    std::optional<std::array<std::uint8_t, 12>> standard(const std::string& m) const {
        std::size_t end1 = m.find(' ');
        if (m.size() >= 6 && m.starts_with("CQ ") && isDigit(m[3]) && isDigit(m[4]) &&
            isDigit(m[5]) && (m.size() == 6 || m[6] == ' '))
            end1 = 6;
        if (end1 == std::string::npos || end1 >= m.size()) return std::nullopt;
        const std::string w1 = m.substr(0, end1);
        const std::size_t start2 = end1 + 1, end2 = std::min(m.find(' ', start2), m.size());
        const std::string w2 = m.substr(start2, end2 - start2);
        std::string w3, rest;
        if (end2 < m.size()) {
            const std::size_t end3 = std::min(m.find(' ', end2 + 1), m.size());
            w3 = m.substr(end2 + 1, end3 - end2 - 1);
            if (end3 < m.size()) rest = m.substr(end3 + 1);
        }

        const auto c1 = callWord(w1);
        const auto c2 = callWord(w2);
        const auto field = reportFieldCode(w3 == "OOO" ? "" : w3);
        if (!c1 || !c2 || !field) return std::nullopt;
        std::uint32_t nc1 = c1->code, nc2 = c2->code, ng = *field;

        using Kind = CallAddOn::Kind;
        auto isType1 = [](const std::optional<CallAddOn>& a) {
            return a && (a->kind == Kind::Type1Prefix || a->kind == Kind::Type1Suffix);
        };
        if (c1->addOn && !isType1(c1->addOn)) return std::nullopt;
        if (c1->addOn && c2->addOn) return std::nullopt;
        if (c2->addOn && !isType1(c2->addOn)) {
            // Type 2: the add-on rides in the first callsign field, after CQ, QRZ or DE.
            if (!c1->cqQrzDe) return std::nullopt;
            const bool prefix = c2->addOn->kind == Kind::Type2Prefix;
            static constexpr std::uint32_t kBase[2][3] = {
                {267649090, 267698375, 267747660}, {kCqType2Prefix, kQrzType2Prefix, 265825581}};
            const int row = nc1 == kCq ? 0 : nc1 == kQrz ? 1 : 2;
            nc1 = kBase[prefix ? 1 : 0][row] + c2->addOn->k;
        }

        // Whatever the encoder would drop or respell is refused.
        for (const std::string_view base : {c1->base, c2->base}) {
            // Only the first 6 characters are coded.
            if (base.size() > 6)
                fail(cat({"callsign \"", base, "\" is longer than 6 characters"}),
                     "a callsign has at most 6 characters besides its prefix or suffix");
            // The code respells 3DA0 as 3D0 for room, and decoders print 3DA0.
            if (base.starts_with("3D0"))
                fail(cat({"callsign \"", base, "\" would arrive as \"3DA0", base.substr(3), "\""}),
                     "no callsign starts with 3D0; 3DA0 callsigns are sent as typed");
            // The code shares Q + letter with Guinea's 3X + letter, which decoders print.
            if (base.size() >= 2 && base[0] == 'Q' && isLetter(base[1]))
                fail(cat({"callsign \"", base, "\" would arrive as \"3X", base.substr(1), "\""}),
                     "no callsign starts with Q and a letter; 3X callsigns are sent as typed");
        }
        const std::string_view pfx = std::string_view(w2).substr(0, w2.find('/'));
        if (nc1 >= kCqType2Prefix && nc1 < kQrzType2Prefix && pfx.size() >= 3 && isDigit(pfx[0]) &&
            isDigit(pfx[1]) && isDigit(pfx[2]))
            fail(cat({"after CQ, prefix \"", pfx, "\" would arrive as the CQ number ",
                      pfx.substr(0, 3)}),
                 "a prefix after CQ does not start with three digits");
        if (c2->cqQrzDe)
            fail(cat({"\"", w2, "\" cannot be the second word"}), "CQ, QRZ and DE go first");
        if (w3 == "OOO")
            fail("\"OOO\" marks an EME message only after at least 7 other characters",
                 "drop the OOO or send a longer message");
        if (!rest.empty())
            fail(cat({"\"", rest, "\" after the third word cannot be sent"}),
                 "a standard message has at most three words: CALL CALL GRID|REPORT|RO|RRR|73");
        if (isType1(c1->addOn) || isType1(c2->addOn)) {
            if (!w3.empty())
                fail(cat({"\"", w3, "\" cannot go with a prefixed or suffixed callsign"}),
                     "its prefix or suffix takes the place of the grid or report");
            const std::uint32_t k = c1->addOn ? c1->addOn->k : c2->addOn->k + 450;
            ng = addOnFieldCode(k);
        } else {
            // After a plain DE a receiver shows a prefix of the first word as the grid it
            // came from; a suffix of the second word is still read as one.
            const bool plainDe = c1->cqQrzDe && nc1 == kDe;
            if (isPolarGridCode(ng) && !c2->addOn && !(plainDe && addOnOfFieldCode(ng) <= 450))
                fail(cat({"grid \"", w3,
                          "\" lies north of 85 degrees, where the code carries callsign prefixes"}),
                     kFieldForms);
            const std::string spelled = reportFieldText(ng);
            if (spelled != w3)
                fail(cat({"\"", w3, "\" would arrive as \"", spelled, "\""}), kFieldForms);
        }
        return pack72(nc1, nc2, ng);
    }

private:
    std::string_view kind_;
    std::string_view typed_;
};

}  // namespace

std::array<std::uint8_t, 12> packJtFreeText(std::string_view text) {
    std::uint32_t n[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 13; ++i) {
        const std::size_t v = i < text.size() ? kJtAlphabet.find(text[i]) : 36;
        n[i / 5] = 42 * n[i / 5] + std::uint32_t(v == std::string_view::npos ? 36 : v);
    }
    const std::uint32_t nc1 = 2 * n[0] + ((n[2] >> 15) & 1);
    const std::uint32_t nc2 = 2 * n[1] + ((n[2] >> 16) & 1);
    const std::uint32_t ng = (n[2] & 0x7FFF) | 0x8000;  // bit 15 flags free text
    return pack72(nc1, nc2, ng);
}

JtSource packJtMessage(std::string_view message, std::string_view kind, bool jt65) {
    JtSource out;
    out.text = normaliseMessage(message);
    requireAlphabet(kind, message, out.text, kJtAlphabet, kAllowed);
    // The reference encoders keep one blank of those a message starts with, which makes it free
    // text; the receivers print it without the blank.
    const bool leadingBlank = message.starts_with(' ');
    if (leadingBlank) out.text.insert(0, 1, ' ');
    const Packer packer(kind, message);
    if (out.text.size() > 22)
        packer.fail(cat({"it has ", std::to_string(out.text.size()), " characters"}),
                    "a message has at most 22 characters, free text at most 13");

    std::string body = out.text;
    if (body.size() >= 11 && body.ends_with(" OOO")) {
        body.resize(body.size() - 4);
        out.ooo = true;
        if (!jt65) packer.fail("JT4 has no EME \"OOO\" signal", "drop the OOO");
    }
    if (jt65) {
        out.shorthand = body == "RO" ? 2 : body == "RRR" ? 3 : body == "73" ? 4 : 0;
        if (out.shorthand) return out;
    }

    // Sent as "CQ 00n", "CQ n" is what receivers print.
    if (body.size() >= 6 && body.starts_with("CQ 00") && isDigit(body[5]) &&
        (body.size() == 6 || body[6] == ' '))
        packer.fail(
            cat({"\"", body.substr(0, 6), "\" would arrive as \"CQ ", body.substr(5, 1), "\""}),
            "write CQ numbers below 10 with one digit");
    const std::string m = rewriteCq(body);
    if (const auto packed = packer.standard(m)) {
        out.packed = *packed;
        return out;
    }
    if (m.size() > 13)
        packer.fail(cat({"as free text it has ", std::to_string(m.size()), " characters",
                         m.size() == body.size() ? "" : " (CQ forms take more room)",
                         leadingBlank ? " (a leading blank makes any message free text)" : ""}),
                    "free text has at most 13 characters; a standard message is "
                    "CALL CALL GRID|REPORT|RO|RRR|73 without a blank before it");
    out.packed = packJtFreeText(m);
    return out;
}

}  // namespace meridel::modes
