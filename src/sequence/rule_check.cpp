#include "sequence/rule_check.h"

#include <algorithm>
#include <cstdio>

namespace meridel::sequence {
namespace {

// IARU Region 1 beacon requirements (iaru-r1-vhfbeacons.org): callsign in plain CW at least
// once a minute at no more than 60 characters a minute, a plain carrier of about 20-30 s, MGM on
// the even minute.
constexpr int kMaxCwWpm = 12;  // 60 characters a minute, 5 characters a PARIS word
const Rational kMinCarrier{20};
const Rational kMinute{60};

std::string seconds(const Rational& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", t.toDouble());
    return text;
}

std::string segmentName(const Cycle& c, std::size_t i) {
    return "segment " + std::to_string(i + 1) + " (" + std::string(kindName(c.segments[i].kind)) +
           ")";
}

// The overlap of [a0, a1) and [b0, b1), or 0.
Rational overlap(const Rational& a0, const Rational& a1, const Rational& b0, const Rational& b1) {
    const Rational from = std::max(a0, b0);
    const Rational to = std::min(a1, b1);
    return to > from ? to - from : Rational(0);
}

// A beacon of WSPR alone is a WSPR transmitter, not a beacon of the VHF beacon bands: its
// callsign is in every message (the WSPR payload carries it), and it keys no carrier.
bool wsprOnly(const Cycle& c) {
    bool any = false;
    for (const PlacedSegment& s : c.segments) {
        if (s.kind == SegmentKind::Wspr)
            any = true;
        else if (s.kind != SegmentKind::Pause)
            return false;
    }
    return any;
}

void checkPlacement(const Cycle& c, std::vector<Finding>& out) {
    std::vector<std::size_t> order(c.segments.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return c.segments[a].start < c.segments[b].start;
    });
    for (std::size_t k = 1; k < order.size(); ++k) {
        const PlacedSegment& before = c.segments[order[k - 1]];
        const PlacedSegment& after = c.segments[order[k]];
        if (after.start < before.end) {
            out.push_back({Rule::Overlap, true, true, after.start,
                           segmentName(c, order[k]) + " starts at " + seconds(after.start) +
                               ", before " + segmentName(c, order[k - 1]) + " ends at " +
                               seconds(before.end) + "; start it later or shorten the other"});
        }
    }
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        if (c.segments[i].end > c.length) {
            out.push_back({Rule::Overrun, true, true, c.segments[i].start,
                           segmentName(c, i) + " ends at " + seconds(c.segments[i].end) +
                               ", after the cycle of " + seconds(c.length) +
                               "; shorten it or lengthen the cycle"});
        }
    }
}

// A transmission longer than a minute cannot stop for the ID: the minutes it spans are
// identified by a CW ID that starts within the minute after it ends, in this cycle or the next
// transmitting one.
bool idFollows(const Cycle& c, const PlacedSegment& s) {
    return std::any_of(c.segments.begin(), c.segments.end(), [&](const PlacedSegment& id) {
        if (id.kind != SegmentKind::Cw) return false;
        for (const Rational& at : {id.start, id.start + c.period()}) {
            if (at >= s.end && at < s.end + kMinute) return true;
        }
        return false;
    });
}

void checkCw(const Cycle& c, double cwWpm, std::vector<Finding>& out) {
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        if (c.segments[i].kind == SegmentKind::Cw && cwWpm > kMaxCwWpm) {
            char text[160];
            std::snprintf(text, sizeof text,
                          " sends CW at %g WPM, %g characters a minute; use 12 WPM or less", cwWpm,
                          cwWpm * 5);
            out.push_back(
                {Rule::CwSpeed, true, false, c.segments[i].start, segmentName(c, i) + text});
        }
    }
    if (wsprOnly(c)) return;
    const std::int64_t minutes = (c.length / kMinute).floor();
    for (std::int64_t m = 0; m < minutes; ++m) {
        const Rational from = kMinute * Rational(m);
        const Rational to = from + kMinute;
        bool identified = false;
        for (const PlacedSegment& s : c.segments) {
            const bool longSpan = s.end - s.start > kMinute &&
                                  overlap(s.start, s.end, from, to) > Rational(0) &&
                                  idFollows(c, s);
            if ((s.kind == SegmentKind::Cw && s.start >= from && s.start < to) || longSpan) {
                identified = true;
            }
        }
        if (!identified) {
            out.push_back({Rule::CwId, true, false, from,
                           "no CW identification starts in the minute from " + seconds(from) +
                               "; add a cw segment in that minute"});
        }
    }
}

bool isDigital(SegmentKind kind) {
    return kind != SegmentKind::Cw && kind != SegmentKind::Carrier && kind != SegmentKind::Pause;
}

// IARU Region 1 beacon requirements (iaru-r1-vhfbeacons.org): a plain carrier of about 20-30 s,
// read as at least 20 s in each minute of the cycle on its own. Mixed mode starts the digital
// mode on the even minute and holds the carrier in the odd one, so an even minute in which a
// digital mode starts is excused; a minute is even only when the period of the cycle is a whole
// number of two-minute pairs. A beacon with no carrier at all and a digital mode is an MGM-only
// beacon, which the requirements allow (its CW ID is still checked).
void checkCarrier(const Cycle& c, std::vector<Finding>& out) {
    const auto any = [&](auto pred) {
        return std::any_of(c.segments.begin(), c.segments.end(), pred);
    };
    const bool mgmOnly = !any([](const PlacedSegment& s) {
        return s.kind == SegmentKind::Carrier;
    }) && any([](const PlacedSegment& s) { return isDigital(s.kind); });
    if (mgmOnly) return;
    const Rational pair = kMinute * Rational(2);
    const bool parityFixed = (c.period() / pair).den() == 1;
    const std::int64_t minutes = (c.length / kMinute).floor();
    for (std::int64_t m = 0; m < minutes; ++m) {
        const Rational from = kMinute * Rational(m);
        const Rational to = from + kMinute;
        const bool even = parityFixed && ((c.offset() + from) / kMinute).floor() % 2 == 0;
        Rational carrier{0};
        bool digitalStarts = false;
        for (const PlacedSegment& s : c.segments) {
            if (s.kind == SegmentKind::Carrier) carrier += overlap(s.start, s.end, from, to);
            if (isDigital(s.kind) && s.start >= from && s.start < to) digitalStarts = true;
        }
        if (carrier < kMinCarrier && !(even && digitalStarts)) {
            out.push_back(
                {Rule::Carrier, true, false, from,
                 "only " + seconds(carrier) + " of plain carrier in the minute from " +
                     seconds(from) + "; key a carrier of at least 20 s in that minute" +
                     (parityFixed && !even ? " (the odd minute holds the carrier)" : "")});
        }
    }
}

// Where in the UTC minute (or even-minute pair) the receivers look for each digital mode.
void checkModeStarts(const Cycle& c, std::vector<Finding>& out) {
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const PlacedSegment& s = c.segments[i];
        Rational window{60};
        Rational expected{0};
        std::string rule;
        switch (s.kind) {
            // even minute + 1 s (QRP Labs dt page; Etherkit application notes)
            case SegmentKind::Wspr:
                window = 120;
                expected = 1;
                rule = "an even minute + 1 s";
                break;
            // second 1 of the minute (WSJT-X transmitter)
            case SegmentKind::Jt65:
            case SegmentKind::Jt4:
                expected = 1;
                rule = "second 1 of a minute";
                break;
            // second 0 of the minute (OZ7IGY PI4 beacon minute)
            case SegmentKind::Pi4:
                rule = "second 0 of a minute";
                break;
            default:
                continue;
        }
        // WSPR off its even minute is not decoded at all: a hard breach.
        const bool hard = s.kind == SegmentKind::Wspr;
        const Rational inPeriod = c.offset() + s.start;
        const Rational phase = inPeriod - window * Rational((inPeriod / window).floor());
        if (phase != expected) {
            out.push_back({Rule::ModeStart, true, hard, s.start,
                           segmentName(c, i) + " starts at " + seconds(s.start) +
                               " of the cycle (" + seconds(phase) + " into its window); " +
                               "receivers expect it at " + rule});
        } else if ((c.period() / window).den() != 1) {
            // The next transmission starts a period later, at another place in the window.
            out.push_back({Rule::ModeStart, true, hard, s.start,
                           segmentName(c, i) + " starts at " + rule +
                               " in every other transmission only: its period of " +
                               c.period().text() + " s is no whole number of " + window.text() +
                               " s; make cycle x slots a multiple of " + window.text() + " s"});
        }
    }
}

}  // namespace

std::string_view ruleName(Rule rule) {
    switch (rule) {
        case Rule::Overlap:
            return "overlap";
        case Rule::Overrun:
            return "overrun";
        case Rule::CwId:
            return "cw-id";
        case Rule::CwSpeed:
            return "cw-speed";
        case Rule::Carrier:
            return "carrier";
        case Rule::ModeStart:
            return "mode-start";
        case Rule::Duty:
            return "duty";
    }
    return "";
}

std::vector<Finding> checkCycle(const Cycle& c, double cwWpm) {
    std::vector<Finding> out;
    checkPlacement(c, out);
    checkCw(c, cwWpm, out);
    checkCarrier(c, out);
    checkModeStarts(c, out);
    Rational down{0};
    Rational since{0};
    bool keyed = false;
    for (const Event& e : c.events) {
        if (keyed) down += e.at - since;
        keyed = e.keyDown;
        since = e.at;
    }
    char text[160];
    std::snprintf(text, sizeof text, "PA duty cycle %.1f %% (%.3f s key down in %.3f s)",
                  (down / c.period()).toDouble() * 100, down.toDouble(), c.period().toDouble());
    out.push_back({Rule::Duty, false, false, Rational(0), text});
    return out;
}

bool anyBreach(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.breach; });
}

bool anyHardBreach(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.breach && f.hard; });
}

}  // namespace meridel::sequence
