#include "firmware/word_decode.h"

#include <optional>

#include "firmware/chip_words.h"
#include "listing/listing_text.h"
#include "numbers/decimal_text.h"
#include "numbers/quoted_text.h"
#include "numbers/tuning_word.h"

namespace meridel::firmware {
namespace {

constexpr std::string_view kBlanks = " \t\r";

bool startsWord(std::string_view rest) {
    return rest.starts_with("0x") || rest.starts_with("0X") || rest.starts_with("{");
}

std::string_view skipBlanks(std::string_view text) {
    const std::size_t at = text.find_first_not_of(kBlanks);
    return at == std::string_view::npos ? std::string_view() : text.substr(at);
}

// The listing's separator lines: "------..." and the "--" of a JT65 mode.
bool isRule(std::string_view line) {
    line = skipBlanks(line);
    while (!line.empty() && kBlanks.find(line.back()) != std::string_view::npos) {
        line.remove_suffix(1);
    }
    return line.size() >= 2 && line.find_first_not_of('-') == std::string_view::npos;
}

// The listing's lines without a frequency word: the control register and the phase constant.
bool isRegisterLine(std::string_view line) {
    static const std::string control = [] {
        const std::string text = listing::controlRegisterLine(0);
        return text.substr(0, text.find("0x"));
    }();
    static const std::string phase = listing::phaseConstantLine("");
    line = skipBlanks(line);
    return line.starts_with(control) || line.starts_with(phase) ||
           line.starts_with(listing::kIllegalPllLine);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A C literal such as 0x400049FCCE47ULL: its digits give the byte count.
std::optional<numbers::WordBytes> parseHexLiteral(std::string_view text) {
    if (!text.starts_with("0x") && !text.starts_with("0X")) return std::nullopt;
    std::size_t end = text.find_last_not_of("uUlL");
    if (end == std::string_view::npos || text.size() - end - 1 > 3) return std::nullopt;
    const std::string_view digits = text.substr(2, end - 1);
    if (digits.empty() || digits.size() > 16) return std::nullopt;
    numbers::WordBytes word;
    for (char c : digits) {
        const int v = hexValue(c);
        if (v < 0) return std::nullopt;
        word.value = word.value << 4 | static_cast<std::uint64_t>(v);
    }
    word.bytes = static_cast<int>((digits.size() + 1) / 2);
    return word;
}

// Cuts the next token off `line`: a brace group, or a run up to a blank or ";" where a byte
// list that goes on after ", " is one token. Blanks inside a token are dropped.
std::string nextToken(std::string_view& line) {
    std::string token;
    if (line.front() == '{') {
        const std::size_t close = line.find('}');
        const std::string_view inside =
            line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        line = close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
        if (line.starts_with(",")) line.remove_prefix(1);  // between the rows of an array
        for (char c : inside) {
            if (kBlanks.find(c) == std::string_view::npos) token += c;
        }
        return close == std::string_view::npos ? "{" + token : token;
    }
    while (true) {
        const std::size_t end = line.find_first_of(" \t\r;");
        token += line.substr(0, end);
        line = end == std::string_view::npos ? std::string_view() : line.substr(end);
        const std::string_view rest = skipBlanks(line);
        if (!token.ends_with(",") || !startsWord(rest)) return token;
        line = rest;
    }
}

std::string bytesText(int bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

DecodedWord decodeToken(const dds::Chip& chip, double clockHz, const std::string& token) {
    const std::string quoted = numbers::quotedText(token);
    auto word = numbers::parseWordBytes(token);
    if (!word) word = parseHexLiteral(token);
    if (!word) {
        throw FirmwareError(quoted + " is not a word in the listing's form, such as " +
                            kWordExample);
    }
    const std::string name(chip.name);
    // The AD9852/54 listing prints interval words in their low four bytes.
    const int intervalBytes = chip.picListing ? 4 : chip.wordBytes;
    if (word->bytes != chip.wordBytes && word->bytes != intervalBytes) {
        const std::string sizes = intervalBytes == chip.wordBytes
                                      ? "words of " + bytesText(chip.wordBytes)
                                      : "tuning words of " + bytesText(chip.wordBytes) +
                                            " and interval words of " + bytesText(intervalBytes);
        throw FirmwareError(quoted + " has " + bytesText(word->bytes) + "; the " + name +
                            " takes " + sizes);
    }
    if (chip.wordBits < 64 && (word->value >> chip.wordBits) != 0) {
        throw FirmwareError(quoted + " is beyond the " + name + "'s " +
                            std::to_string(chip.wordBits) + "-bit words");
    }
    DecodedWord decoded{numbers::wordBytesText(word->value, word->bytes), word->value,
                        numbers::wordFrequency(word->value, clockHz, chip.wordBits), ""};
    if (chip.wordBits <= 64 && word->value >> (chip.wordBits - 1) != 0) {
        decoded.note = "at or above half the clock: the " + name + " puts out its alias at " +
                       numbers::plainDecimalText(clockHz - decoded.hz) + " Hz";
    }
    return decoded;
}

}  // namespace

std::vector<DecodedWord> decodeWords(const dds::Chip& chip, double clockHz, std::string_view text) {
    std::vector<DecodedWord> words;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (isRule(line) || isRegisterLine(line)) continue;
        while (!(line = skipBlanks(line)).empty()) {
            if (line.front() == ';') {
                line = skipBlanks(line.substr(1));
                if (!startsWord(line)) break;  // the rest of the line is a comment
                continue;
            }
            words.push_back(decodeToken(chip, clockHz, nextToken(line)));
        }
    }
    return words;
}

}  // namespace meridel::firmware
