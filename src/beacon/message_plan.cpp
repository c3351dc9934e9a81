#include "beacon/message_plan.h"

#include <array>
#include <cmath>

#include "modes/encoders.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/quoted_text.h"
#include "numbers/tuning_word.h"
#include "run/tone_words.h"

namespace meridel::beacon {
namespace {
using modes::JtSubmode;
using modes::MessageError;
using modes::SymbolTable;

// The Mode list's entries, in list order; JT44 has no encoder here.
constexpr std::array<std::optional<JtSubmode>, 11> kJtSubmodes = {
    JtSubmode::JT65A, JtSubmode::JT65B, JtSubmode::JT65C, std::nullopt,
    JtSubmode::JT4A,  JtSubmode::JT4B,  JtSubmode::JT4C,  JtSubmode::JT4D,
    JtSubmode::JT4E,  JtSubmode::JT4F,  JtSubmode::JT4G};

JtSubmode jtSubmode(int modeIndex, std::string_view modeText, std::string_view message) {
    const std::string which = "JT message \"" + std::string(message) + "\": ";
    if (modeIndex < 0 || modeIndex >= static_cast<int>(kJtSubmodes.size())) {
        throw MessageError(which + "no JT mode is selected (the Mode list shows \"" +
                           std::string(modeText) + "\"); select JT65A to JT65C or JT4A to JT4G");
    }
    const auto submode = kJtSubmodes[static_cast<std::size_t>(modeIndex)];
    if (!submode) {
        throw MessageError(which +
                           "JT44 messages cannot be encoded; select JT65A to JT65C or "
                           "JT4A to JT4G");
    }
    return *submode;
}

const run::RunWord& wordWithId(const run::RunWords& words, std::string_view id) {
    for (const run::RunWord& word : words.tones) {
        if (word.id == id) return word;
    }
    throw MessageError("the listing of this plan has no " + std::string(id) + " word");
}

EncodedMessage encoded(std::string key, SymbolTable table, std::string baseId) {
    const double character =
        key == "rtty" ? table.symbol_seconds * modes::kRttyBitsPerCharacter : 0;
    return {{std::move(key), std::move(table.mode), std::move(table.text), std::move(table.symbols),
             table.symbol_seconds, "", character},
            std::move(baseId)};
}

// The PI4 words, computed by the listing's own formulas for a tone and a step.
void addPi4Words(run::RunWords& words, double audioHz) {
    using namespace numbers::checked;
    const double carrierHz = wordWithId(words, "SSB_CARRIER").requestedHz;
    for (int k = 0; k < 4; ++k) {
        const double offsetHz =
            add(sub(audioHz, kPi4ToneZeroBelowNominalHz), mul(k, kPi4SpacingHz));
        const double hz = run::offsetToneHz(offsetHz, words.rfMult, carrierHz);
        double word = run::toneWordValue(hz, words.clockHz);
        numbers::encodeTuningWord(word);
        words.tones.push_back({"PI4_TONE_" + std::to_string(k), "PI4 Tone " + std::to_string(k), hz,
                               numbers::roundedWord(word, 48),
                               run::exactOffsetToneHz(offsetHz, words.rfMult, carrierHz)});
    }
    double interval = run::intervalWordValue(kPi4SpacingHz, 1, words.rfMult, words.clockHz);
    numbers::encodeTuningWord(interval);
    const double r = words.rfMult;
    words.intervals.push_back({"PI4_INTERVAL", "PI4 Interval", kPi4SpacingHz / r,
                               numbers::roundedWord(interval, 48),
                               run::exactStepHz(kPi4SpacingHz, words.rfMult)});
}

void checkRange(const char* what, double value, double low, double high, const char* unit) {
    if (!(value >= low && value <= high)) {
        throw MessageError(std::string(what) + " " + numbers::trimmedDecimalText(value) + " " +
                           unit + " is out of range; use " + numbers::trimmedDecimalText(low) +
                           " to " + numbers::trimmedDecimalText(high) + " " + unit);
    }
}

}  // namespace

std::vector<EncodedMessage> encodeMessages(const MessageInputs& in, int modeIndex,
                                           std::string_view modeText) {
    std::vector<EncodedMessage> out;
    if (!in.jt.empty()) {
        const JtSubmode submode = jtSubmode(modeIndex, modeText, in.jt);
        const bool jt65 = submode <= JtSubmode::JT65C;
        out.push_back(
            encoded("jt", modes::encodeJt(in.jt, submode), jt65 ? "JT_SYNC" : "JT4_TONE_0"));
    }
    if (!in.wspr.empty()) out.push_back(encoded("wspr", modes::encodeWspr(in.wspr), "WSPR_BASE"));
    if (!in.fsk441.empty()) {
        out.push_back(encoded("fsk441", modes::encodeFsk441(in.fsk441), "FSK441_TONE_0"));
    }
    if (!in.pi4.empty()) {
        checkRange("PI4 audio frequency", in.pi4AudioHz, 0, 3000, "Hz");
        out.push_back(encoded("pi4", modes::encodePi4(in.pi4), "PI4_TONE_0"));
    }
    if (!in.cw.empty()) {
        checkRange("CW speed", in.cwWpm, 1, 60, "WPM");
        out.push_back(encoded("cw", modes::encodeCw(in.cw, in.cwWpm), "SINGLE_TONE"));
    }
    if (!in.rtty.empty()) out.push_back(encoded("rtty", modes::encodeRtty(in.rtty), "RTTY_SPACE"));
    return out;
}

BeaconMessages tieToWords(std::vector<EncodedMessage> messages, const MessageInputs& inputs,
                          run::RunWords words) {
    if (!inputs.pi4.empty()) {
        try {
            addPi4Words(words, inputs.pi4AudioHz);
        } catch (const numbers::ArithmeticError& error) {
            throw MessageError("PI4 message " + numbers::quotedText(inputs.pi4) +
                               ": its words cannot be computed (" + error.what() +
                               ") at a PI4 audio frequency of " +
                               numbers::trimmedDecimalText(inputs.pi4AudioHz) +
                               " Hz with this plan's clock; check the plan's clock and carrier "
                               "and the PI4 audio frequency");
        }
    }
    BeaconMessages out;
    for (EncodedMessage& m : messages) {
        m.table.base_word = wordWithId(words, m.baseId).name;
        out.tables.push_back(std::move(m.table));
    }
    out.words = std::move(words);
    return out;
}

}  // namespace meridel::beacon
