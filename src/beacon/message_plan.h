#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/message_table.h"
#include "run/run_words.h"

namespace meridel::beacon {

// The messages a beacon sends besides its carrier, each optional (empty: not sent).
struct MessageInputs {
    std::string jt;      // in the JT mode selected in the Mode list
    std::string wspr;    // "CALL GRID4 DBM" or a compound-callsign form
    std::string fsk441;  // meteor scatter text
    std::string pi4;     // the beacon's callsign, up to 8 characters, "/B" allowed
    std::string cw;      // the CW identification
    std::string rtty;
    double cwWpm = 12;        // CW speed, words a minute (PARIS)
    double pi4AudioHz = 800;  // the PI4 nominal frequency above the carrier, in hertz
    bool any() const { return !(jt + wspr + fsk441 + pi4 + cw + rtty).empty(); }
};

// PI4 in relation to its nominal frequency: tone 0 sits 117.1875 Hz below it, tones step by
// 234.375 Hz.
inline constexpr double kPi4ToneZeroBelowNominalHz = 117.1875;
inline constexpr double kPi4SpacingHz = 234.375;

// One message as its encoder gave it, and the id of the listing word (run::RunWord::id) its
// tone numbers count from.
struct EncodedMessage {
    firmware::MessageTable table;  // base_word is filled in by tieToWords
    std::string baseId;
};

// Encodes every message given, in the order jt, wspr, fsk441, pi4, cw, rtty; the JT message in
// the mode of the Mode list's selection (index 0..10, -1 for none, and the text it shows). A
// message that cannot be encoded throws modes::MessageError naming the message, the character
// or word and what is allowed; so do a JT message without a JT65 or JT4 mode selected and a CW
// speed or PI4 audio frequency out of range. Needs no run, so a bad message stops a plan
// before any file is written.
std::vector<EncodedMessage> encodeMessages(const MessageInputs& inputs, int modeIndex,
                                           std::string_view modeText);

// The messages of a plan tied to the words of its completed run: each table names its base
// word as the listing labels it, and a PI4 message adds the PI4 tone and interval words (a plan
// whose PI4 words cannot be computed throws modes::MessageError).
struct BeaconMessages {
    std::vector<firmware::MessageTable> tables;
    run::RunWords words;
};
BeaconMessages tieToWords(std::vector<EncodedMessage> messages, const MessageInputs& inputs,
                          run::RunWords words);

}  // namespace meridel::beacon
