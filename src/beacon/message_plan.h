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

// The messages of a plan, encoded and tied to the words of its run: every symbol is a tone
// number counted from the table's base word in steps of its mode's interval word.
struct BeaconMessages {
    std::vector<firmware::MessageTable> tables;  // jt, wspr, fsk441, pi4, cw, rtty, as given
    run::RunWords words;                         // the run's words, with PI4's when it is sent
};

// Encodes every message given, in that order, against the words of a completed run and the
// mode list's selection (index 0..10, -1 for none, and its text). A message that cannot be
// encoded throws modes::MessageError naming the message, the character or word and what is
// allowed; a JT message without a JT65 or JT4 mode selected, or a CW speed or PI4 audio
// frequency out of range, too.
BeaconMessages encodeMessages(const MessageInputs& inputs, int modeIndex, std::string_view modeText,
                              run::RunWords words);

}  // namespace meridel::beacon
