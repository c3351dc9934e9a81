// JT65: 72 source bits, Reed-Solomon (63,12), row/column interleave, Gray code, and a 126-
// interval frame in which a pseudo-random half of the intervals carries the sync tone.
#include "modes/encoders.h"
#include "modes/gray_code.h"
#include "modes/jt_message.h"
#include "modes/jt_submode.h"
#include "modes/reed_solomon.h"

namespace meridel::modes {

namespace {

constexpr std::string_view kSync =
    "100110001111110101000101100100011100111101101111000110101011001"
    "101010100100000011000000011010010110101010011001001000011111111";
static_assert(kSync.size() == 126);

constexpr double kSymbolSeconds = 4096.0 / 11025.0;

std::vector<std::uint8_t> shorthandTones(int n) {
    // No sync and no data: blocks of 4 intervals alternate between tone 0 and tone 10 n.
    std::vector<std::uint8_t> tones(kSync.size());
    for (std::size_t i = 0; i < tones.size(); ++i)
        tones[i] = (i / 4) % 2 ? std::uint8_t(10 * n) : 0;
    return tones;
}

}  // namespace

SymbolTable encodeJt65(std::string_view message, JtSubmode submode) {
    SymbolTable table;
    table.mode = jtModeName(submode);
    table.symbol_seconds = kSymbolSeconds;
    const JtSource source = packJtMessage(message, table.mode, true);
    table.text = source.text;
    if (source.shorthand) {
        table.symbols = shorthandTones(source.shorthand);
        return table;
    }

    const auto codeword = reedSolomon63(source.packed);
    // Written into 9 rows of 7 and read out by columns, so a burst hits many rows.
    std::array<std::uint8_t, 63> info{};
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 9; ++j) info[9 * i + j] = grayCode(codeword[7 * j + i]);

    // EME (OOO) swaps the intervals that carry sync and data.
    const char syncMark = source.ooo ? '0' : '1';
    table.symbols.reserve(kSync.size());
    std::size_t next = 0;
    for (char s : kSync)
        table.symbols.push_back(s == syncMark ? 0 : std::uint8_t(info[next++] + 2));
    return table;
}

}  // namespace meridel::modes
