#include "sequence/cycle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace meridel::sequence {
namespace {

struct KindInfo {
    SegmentKind kind;
    std::string_view name;
    std::string_view table;  // message table key, "" for none
    std::string_view what;   // for errors: the message a segment of this kind needs
};

constexpr std::array<KindInfo, 9> kKinds = {{
    {SegmentKind::Pi4, "pi4", "pi4", "a PI4 callsign (pi4 in [messages])"},
    {SegmentKind::Cw, "cw", "cw", "a CW text (cw in [messages])"},
    {SegmentKind::Carrier, "carrier", "", ""},
    {SegmentKind::Wspr, "wspr", "wspr", "a WSPR message (wspr in [messages])"},
    {SegmentKind::Jt65, "jt65", "jt", "a JT message (jt in [messages]) and a JT65 mode"},
    {SegmentKind::Jt4, "jt4", "jt", "a JT message (jt in [messages]) and a JT4 mode"},
    {SegmentKind::Rtty, "rtty", "rtty", "an RTTY text (rtty in [messages])"},
    {SegmentKind::Fsk441, "fsk441", "fsk441", "an FSK441 message (fsk441 in [messages])"},
    {SegmentKind::Pause, "pause", "", ""},
}};

const KindInfo& info(SegmentKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

// RTTY frames each character as 1 start bit, 5 code bits and 1.5 stop bits: 15 half bits.
constexpr int kRttyHalfBits = 15;

std::string where(std::size_t i, SegmentKind kind) {
    return "segment " + std::to_string(i + 1) + " (" + std::string(kindName(kind)) + ")";
}

class EventList {
public:
    EventList(std::vector<Event>& events, int segment) : events_(events), segment_(segment) {}
    void add(const Rational& at, EventKind kind, int index, int tone, bool down) {
        events_.push_back({at, kind, segment_, index, tone, down});
    }

private:
    std::vector<Event>& events_;
    int segment_;
};

// One event per symbol: the firmware steps the table index each period.
void symbolEvents(EventList& list, const Rational& start, const Rational& end,
                  const Rational& period, const std::vector<std::uint8_t>& symbols) {
    Rational at = start;
    for (std::size_t i = 0; at < end; ++i, at = start + period * Rational(std::int64_t(i))) {
        const int tone = symbols[i % symbols.size()];
        list.add(at, i == 0 ? EventKind::SegmentStart : EventKind::Symbol,
                 static_cast<int>(i % symbols.size()), tone, true);
    }
}

// Key changes only: a run of equal key states is one event. CW has one tone, the key-down
// word (tone 0); a key-up loads none.
void cwEvents(EventList& list, const Rational& start, const Rational& unit,
              const std::vector<std::uint8_t>& keys) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const bool down = keys[i] != 0;
        if (i > 0 && (keys[i - 1] != 0) == down) continue;
        const Rational at = start + unit * Rational(std::int64_t(i));
        list.add(at,
                 i == 0 ? EventKind::SegmentStart
                 : down ? EventKind::KeyDown
                        : EventKind::KeyUp,
                 static_cast<int>(i), down ? 0 : -1, down);
    }
}

// Each ITA2 code on air, a bit at a time; tone 0 is space, 1 mark.
void rttyEvents(EventList& list, const Rational& start, const Rational& bit,
                const std::vector<std::uint8_t>& codes) {
    const Rational halfBit = bit / Rational(2);
    for (std::size_t c = 0; c < codes.size(); ++c) {
        const Rational charStart = start + halfBit * Rational(std::int64_t(c * kRttyHalfBits));
        const int index = static_cast<int>(c);
        list.add(charStart, c == 0 ? EventKind::SegmentStart : EventKind::Symbol, index, 0, true);
        for (int b = 0; b < 5; ++b) {
            list.add(charStart + bit * Rational(b + 1), EventKind::Symbol, index,
                     (codes[c] >> b) & 1, true);
        }
        list.add(charStart + bit * Rational(6), EventKind::Symbol, index, 1, true);
    }
}

const firmware::MessageTable* tableWithKey(std::span<const firmware::MessageTable> tables,
                                           std::string_view key) {
    for (const firmware::MessageTable& t : tables) {
        if (t.key == key) return &t;
    }
    return nullptr;
}

Rational messageLength(SegmentKind kind, const firmware::MessageTable& table,
                       const Rational& period) {
    const auto count = static_cast<std::int64_t>(table.symbols.size());
    if (kind == SegmentKind::Rtty) return period * Rational(count * kRttyHalfBits, 2);
    return period * Rational(count);
}

// Cycles are at most an hour, which also bounds the event table (FSK441: 441 a second).
const Rational kLongestCycle{3600};

Cycle placeSegments(const SequencePlan& plan, std::span<const firmware::MessageTable> tables,
                    double cwWpm);

}  // namespace

std::string_view kindName(SegmentKind kind) {
    return info(kind).name;
}

bool takesLength(SegmentKind kind) {
    return kind == SegmentKind::Carrier || kind == SegmentKind::Pause ||
           kind == SegmentKind::Fsk441;
}

std::optional<SegmentKind> kindNamed(std::string_view name) {
    for (const KindInfo& k : kKinds) {
        if (k.name == name) return k.kind;
    }
    return std::nullopt;
}

std::string_view eventName(EventKind kind) {
    switch (kind) {
        case EventKind::SegmentStart:
            return "start";
        case EventKind::Symbol:
            return "symbol";
        case EventKind::KeyDown:
            return "key_down";
        case EventKind::KeyUp:
            return "key_up";
        case EventKind::SegmentEnd:
            return "end";
    }
    return "";
}

Rational wpmFraction(double wpm) {
    // The plan gives speeds as short decimals; a millionth of a word a minute is exact for them.
    return Rational(std::llround(wpm * 1e6), 1000000);
}

Rational symbolPeriod(SegmentKind kind, const Rational& cwWpm) {
    switch (kind) {
        // 8192 samples at 12 kHz (WSJT-X transmit(); WSPR coding process, G4JNT)
        case SegmentKind::Wspr:
            return {8192, 12000};
        // 1/6 s, 146 symbols = 24.333 s (OZ2M's PI4 description)
        case SegmentKind::Pi4:
            return {1, 6};
        // 4096 and 2520 samples at 11025 Hz (WSJT-X modulator, JT65 and JT4)
        case SegmentKind::Jt65:
            return {4096, 11025};
        case SegmentKind::Jt4:
            return {2520, 11025};
        // 441 baud, 25 samples at 11025 Hz (WSJT abc441)
        case SegmentKind::Fsk441:
            return {1, 441};
        // 45.45 baud
        case SegmentKind::Rtty:
            return Rational(100) / Rational(4545);
        // PARIS: 50 dot units a word, so a unit is 60 / (50 wpm) = 1.2 / wpm s
        case SegmentKind::Cw:
            return Rational(6, 5) / cwWpm;
        case SegmentKind::Carrier:
        case SegmentKind::Pause:
            break;
    }
    return {0};
}

Cycle buildCycle(const SequencePlan& plan, std::span<const firmware::MessageTable> tables,
                 double cwWpm) {
    try {
        return placeSegments(plan, tables, cwWpm);
    } catch (const RationalOverflow&) {
        throw SequenceError(
            "a start, length or end is too large to place exactly; use times "
            "within the cycle, in seconds");
    }
}

namespace {

Cycle placeSegments(const SequencePlan& plan, std::span<const firmware::MessageTable> tables,
                    double cwWpm) {
    if (plan.cycle <= Rational(0) || plan.cycle.den() != 1 || plan.cycle.num() % 60 != 0 ||
        plan.cycle > kLongestCycle) {
        throw SequenceError(
            "cycle " + plan.cycle.text() +
            " s is not a whole number of minutes up to an hour; use 60, 120 or n x 60");
    }
    if (plan.slotCount < 1 || plan.slot < 1 || plan.slot > plan.slotCount) {
        throw SequenceError("slot " + std::to_string(plan.slot) + " of " +
                            std::to_string(plan.slotCount) +
                            " does not exist; slots is 1 or more and slot 1 to slots");
    }
    if (!(cwWpm >= 1 && cwWpm <= 60)) {
        throw SequenceError("CW speed out of range; use 1 to 60 WPM");
    }
    const Rational wpm = wpmFraction(cwWpm);
    Cycle cycle;
    cycle.length = plan.cycle;
    cycle.slotCount = plan.slotCount;
    cycle.slot = plan.slot;
    Rational previousEnd{0};
    for (std::size_t i = 0; i < plan.segments.size(); ++i) {
        const Segment& s = plan.segments[i];
        const KindInfo& k = info(s.kind);
        const Rational start = s.start.value_or(previousEnd);
        if (start < Rational(0)) throw SequenceError(where(i, s.kind) + ": start is negative");
        const firmware::MessageTable* table = nullptr;
        if (!k.table.empty()) {
            table = tableWithKey(tables, k.table);
            const bool jtMismatch =
                table && ((s.kind == SegmentKind::Jt65) != (table->mode.rfind("JT65", 0) == 0));
            if (!table || table->symbols.empty() || jtMismatch) {
                throw SequenceError(where(i, s.kind) + " needs " + std::string(k.what));
            }
        }
        if (s.length && s.end) {
            throw SequenceError(where(i, s.kind) + " has a length and an end; give one of them");
        }
        std::optional<Rational> length = s.end ? std::optional(*s.end - start) : s.length;
        if (takesLength(s.kind) && (!length || *length <= Rational(0))) {
            throw SequenceError(where(i, s.kind) +
                                " needs a length above 0 s, or an end after its start");
        }
        if (!takesLength(s.kind) && length) {
            throw SequenceError(where(i, s.kind) +
                                " takes its length from its message; remove its length or end");
        }
        const Rational period = symbolPeriod(s.kind, wpm);
        const Rational end = start + (length ? *length : messageLength(s.kind, *table, period));
        if (end > kLongestCycle) {
            throw SequenceError(where(i, s.kind) + " ends at " + end.text() +
                                " s, after an hour; start it earlier or shorten it");
        }
        const int index = static_cast<int>(i);
        cycle.segments.push_back({s.kind, start, end, std::string(k.table)});
        EventList list(cycle.events, index);
        switch (s.kind) {
            case SegmentKind::Carrier:
                list.add(start, EventKind::SegmentStart, -1, 0, true);
                break;
            case SegmentKind::Pause:
                list.add(start, EventKind::SegmentStart, -1, -1, false);
                break;
            case SegmentKind::Cw:
                cwEvents(list, start, period, table->symbols);
                break;
            case SegmentKind::Rtty:
                rttyEvents(list, start, period, table->symbols);
                break;
            default:
                symbolEvents(list, start, end, period, table->symbols);
                break;
        }
        list.add(end, EventKind::SegmentEnd, -1, -1, false);
        previousEnd = end;
    }
    // Stable: at one instant the end of a segment stays before the start of the next.
    std::stable_sort(cycle.events.begin(), cycle.events.end(),
                     [](const Event& a, const Event& b) { return a.at < b.at; });
    return cycle;
}

}  // namespace
}  // namespace meridel::sequence
