#include "modes/jt_report_field.h"

#include <cstdio>

#include "modes/callsign_code.h"

namespace meridel::modes {

namespace {

// An integer as a Fortran list-directed read takes it: blanks around, an optional sign, digits,
// ended by a blank, a '/' or the end of the text.
std::optional<int> listDirectedInt(std::string_view s) {
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    int value = 0, digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits)
        value = value * 10 + (s[i] - '0');
    if (digits == 0 || (i < s.size() && s[i] != ' ' && s[i] != '/')) return std::nullopt;
    return negative ? -value : value;
}

// "-05", "R+12": a report as receivers print it.
std::string report(bool roger, int r) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s%c%02d", roger ? "R" : "", r < 0 ? '-' : '+',
                  r < 0 ? -r : r);
    return buffer;
}

}  // namespace

std::optional<std::uint32_t> reportFieldCode(std::string_view word) {
    std::string w(word.substr(0, 4));
    w.resize(4, ' ');
    if (w == "    ") return kNgBase + 1;

    // -01..-30 and R-01..R-30: the original report range
    const bool roger = w.starts_with("R-");
    if (w[0] == '-' || roger) {
        const auto n = listDirectedInt(std::string_view(w).substr(roger ? 2 : 1, 2));
        if (!n) return std::nullopt;
        if (*n >= 1 && *n <= 30) return kNgBase + std::uint32_t(roger ? 31 : 1) + std::uint32_t(*n);
    } else if (w == "RO  ") {
        return kNgBase + 62;
    } else if (w == "RRR ") {
        return kNgBase + 63;
    } else if (w == "73  ") {
        return kNgBase + 64;
    }

    // -50..+49 ride on the pseudo-grids KA00..KA99, and R-50..R+49 on LA00..LA99.
    auto n = listDirectedInt(w);
    if (!n) n = listDirectedInt(std::string_view(w).substr(1));
    if (n && *n >= -50 && *n <= 49) {
        const int tu = *n + 50;
        const int x = w[0] == 'R' ? 11 : 10;
        return std::uint32_t((179 - 10 * x - tu / 10) * 180 + tu % 10);
    }
    if (isGrid4(w)) return gridCode(w);
    return std::nullopt;
}

std::string reportFieldText(std::uint32_t ng) {
    if (ng == kNgBase + 1) return "";
    if (ng > kNgBase + 1 && ng <= kNgBase + 31) return report(false, -int(ng - kNgBase - 1));
    if (ng > kNgBase + 31 && ng <= kNgBase + 61) return report(true, -int(ng - kNgBase - 31));
    if (ng == kNgBase + 62) return "RO";
    if (ng == kNgBase + 63) return "RRR";
    if (ng == kNgBase + 64) return "73";

    // A grid, or a pseudo-grid carrying an extended report.
    const int lat = int(ng % 180), lon = 179 - int(ng / 180);  // 10Y + m, 10X + n
    const int x = lon / 10, n = lon % 10, y = lat / 10, m = lat % 10;
    if (y == 0 && (x == 10 || x == 11)) {
        return report(x == 11, 10 * n + m - 50);
    }
    return std::string{char('A' + x), char('A' + y), char('0' + n), char('0' + m)};
}

}  // namespace meridel::modes
