// Word decoding over arbitrary text, for any chip at any clock (the first byte picks the chip,
// the next four the clock in Hz): it refuses with a FirmwareError or gives words that fit the
// chip, frequencies from 0 up to the clock, and the same words again from their own spelling.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "dds/chips.h"
#include "firmware/chip_words.h"
#include "firmware/word_decode.h"
#include "fuzz_check.h"

namespace {
namespace firmware = meridel::firmware;

bool tryDecode(const meridel::dds::Chip& chip, double clockHz, std::string_view text,
               std::vector<firmware::DecodedWord>& words) {
    try {
        words = firmware::decodeWords(chip, clockHz, text);
        return true;
    } catch (const firmware::FirmwareError&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const auto all = meridel::dds::chips();
    const auto& chip = all[data[0] % all.size()];
    std::uint32_t clock = 0;
    std::memcpy(&clock, data + 1, sizeof clock);
    const double clockHz = 1.0 + clock;
    const std::string_view text(reinterpret_cast<const char*>(data) + 5, size - 5);

    std::vector<firmware::DecodedWord> words;
    if (!tryDecode(chip, clockHz, text, words)) return 0;
    std::string spelt;
    for (const auto& word : words) {
        FUZZ_CHECK(chip.wordBits >= 64 || (word.ftw >> chip.wordBits) == 0);
        FUZZ_CHECK(std::isfinite(word.hz) && word.hz >= 0 && word.hz < clockHz);
        spelt += word.bytes + "\n";
    }
    std::vector<firmware::DecodedWord> again;
    FUZZ_CHECK(tryDecode(chip, clockHz, spelt, again) && again.size() == words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        FUZZ_CHECK(again[i].ftw == words[i].ftw && again[i].bytes == words[i].bytes);
    }
    return 0;
}
