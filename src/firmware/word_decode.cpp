#include "firmware/word_decode.h"

#include "firmware/chip_words.h"
#include "numbers/tuning_word.h"

namespace meridel::firmware {

std::vector<DecodedWord> decodeWords(const dds::Chip& chip, double clockHz, std::string_view text) {
    std::vector<DecodedWord> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(" \t\r\n;", start);
        const std::string token(text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start));
        start = end == std::string_view::npos ? text.size() : end + 1;
        if (token.empty()) continue;
        const std::string quoted = "\"" + token + "\"";
        const auto word = numbers::parseWordBytes(token);
        if (!word) {
            throw FirmwareError(quoted + " is not a word in the listing's form, such as " +
                                kWordExample);
        }
        if (word->bytes > chip.wordBytes) {
            throw FirmwareError(quoted + " has " + std::to_string(word->bytes) + " bytes; the " +
                                std::string(chip.name) + " takes words of at most " +
                                std::to_string(chip.wordBytes));
        }
        if (chip.wordBits < 64 && (word->value >> chip.wordBits) != 0) {
            throw FirmwareError(quoted + " is beyond the " + std::string(chip.name) + "'s " +
                                std::to_string(chip.wordBits) + "-bit words");
        }
        words.push_back({numbers::wordBytesText(word->value, word->bytes), word->value,
                         numbers::wordFrequency(word->value, clockHz, chip.wordBits)});
    }
    return words;
}

}  // namespace meridel::firmware
