#include "vector_file.h"

#include <fstream>
#include <map>

namespace meridel::modes {

std::vector<VectorRow> readVectorFile(const std::string& name) {
    std::ifstream in(std::string(MERIDEL_MODES_DATA) + "/" + name);
    std::vector<VectorRow> rows;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (text.empty() || text[0] == '#') continue;
        const auto a = text.find('|'), b = text.find('|', a + 1);
        rows.push_back(
            {line, text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1)});
    }
    return rows;
}

SymbolTable encodeRow(const VectorRow& row) {
    static const std::map<std::string, JtSubmode> kSubmodes = {
        {"JT65A", JtSubmode::JT65A}, {"JT65B", JtSubmode::JT65B}, {"JT65C", JtSubmode::JT65C},
        {"JT4A", JtSubmode::JT4A},   {"JT4B", JtSubmode::JT4B},   {"JT4C", JtSubmode::JT4C},
        {"JT4D", JtSubmode::JT4D},   {"JT4E", JtSubmode::JT4E},   {"JT4F", JtSubmode::JT4F},
        {"JT4G", JtSubmode::JT4G}};
    const std::string& m = row.message;
    if (row.mode == "WSPR") return encodeWspr(m);
    if (row.mode == "FSK441") return encodeFsk441(m);
    if (row.mode == "PI4") return encodePi4(m);
    if (row.mode == "RTTY") return encodeRtty(m);
    if (row.mode.starts_with("CW"))
        return encodeCw(m, row.mode == "CW" ? 20 : std::stod(row.mode.substr(3)));
    return encodeJt(m, kSubmodes.at(row.mode));
}

std::string spellSymbols(const SymbolTable& table) {
    const bool numbers = table.mode.starts_with("JT65") || table.mode == "RTTY";
    std::string s;
    for (auto symbol : table.symbols) {
        if (numbers && !s.empty()) s += ' ';
        s += std::to_string(symbol);
    }
    return s;
}

}  // namespace meridel::modes
