#include "sequence/event_text.h"

#include <array>
#include <cstdio>

#include "numbers/tuning_word.h"

namespace meridel::sequence {
namespace {

// Table numbers: the message table keys, and the carrier that keys the single tone.
constexpr std::array<std::string_view, 8> kTables = {"",    "jt", "wspr", "fsk441",
                                                     "pi4", "cw", "rtty", "carrier"};

std::string cycleComment(const Cycle& c) {
    return "Beacon cycle of " + c.length.text() + " s, sent in slot " + std::to_string(c.slot) +
           " of " + std::to_string(c.slotCount) + " (every " + c.period().text() + " s), " +
           std::to_string(c.events.size()) + " events";
}

std::string tableKey(const Cycle& c, const Event& e) {
    const PlacedSegment& s = c.segments[static_cast<std::size_t>(e.segment)];
    return s.kind == SegmentKind::Carrier ? "carrier" : s.table;
}

// What one event does, in words, for the listing's comments.
std::string eventComment(const Cycle& c, const Event& e) {
    char at[32];
    std::snprintf(at, sizeof at, "%.6f s", e.at.toDouble());
    std::string text = std::string(at) + " " + std::string(eventName(e.kind)) + " " +
                       std::string(kindName(c.segments[static_cast<std::size_t>(e.segment)].kind));
    if (e.index >= 0) text += " #" + std::to_string(e.index);
    if (e.tone >= 0) text += " tone " + std::to_string(e.tone);
    return text + (e.keyDown ? " key down" : " key up");
}

template <typename Value>
std::string cArray(const char* type, const char* name, const std::vector<Value>& values,
                   const char* suffix) {
    std::string text = "static const " + std::string(type) + " " + name + "[" +
                       std::to_string(values.size()) + "] PROGMEM = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += (i % 8 == 0) ? "\n    " : " ";
        text += std::to_string(values[i]) + suffix + (i + 1 < values.size() ? "," : "");
    }
    return text + "\n};\n";
}

}  // namespace

int tableNumber(const std::string& key) {
    for (std::size_t i = 1; i < kTables.size(); ++i) {
        if (kTables[i] == key) return static_cast<int>(i);
    }
    return 0;
}

int kindNumber(EventKind kind) {
    return static_cast<int>(kind);
}

std::string cEventSection(const Cycle& c, const TimerPlan* timer) {
    std::string h = "/* " + cycleComment(c) + ".\n";
    h += " * Kind: 0 segment start, 1 symbol step, 2 key down, 3 key up, 4 segment end.\n";
    h +=
        " * Table: 0 none, 1 jt, 2 wspr, 3 fsk441, 4 pi4, 5 cw, 6 rtty, 7 carrier (single tone);\n";
    h += " * index: symbol of that table (cw: dot unit, rtty: character); tone: 255 for none. */\n";
    h += "#define DDS_CYCLE_SECONDS " + std::to_string(c.length.num()) + "UL\n";
    h += "#define DDS_CYCLE_SLOTS " + std::to_string(c.slotCount) + "U\n";
    h += "#define DDS_CYCLE_SLOT " + std::to_string(c.slot) + "U\n";
    h += "#define DDS_EVENT_COUNT " + std::to_string(c.events.size()) + "U\n";
    std::vector<std::int64_t> at;
    std::vector<int> kind, table, index, tone, key;
    for (const Event& e : c.events) {
        at.push_back(e.micros());
        kind.push_back(kindNumber(e.kind));
        table.push_back(tableNumber(tableKey(c, e)));
        index.push_back(std::max(e.index, 0));
        tone.push_back(e.tone < 0 ? 255 : e.tone);
        key.push_back(e.keyDown ? 1 : 0);
    }
    h += cArray("uint32_t", "DDS_EVENT_AT_US", at, "UL");
    h += cArray("uint8_t", "DDS_EVENT_KIND", kind, "");
    h += cArray("uint8_t", "DDS_EVENT_TABLE", table, "");
    h += cArray("uint16_t", "DDS_EVENT_INDEX", index, "U");
    h += cArray("uint8_t", "DDS_EVENT_TONE", tone, "");
    h += cArray("uint8_t", "DDS_EVENT_KEY", key, "");
    if (!timer) return h;
    char error[64];
    std::snprintf(error, sizeof error, "%.3f", timer->worstError.toDouble() * 1e9);
    h +=
        "/* Timer counts before each event (the first from the cycle start): WRAPS full turns of\n";
    h += " * the " + std::to_string(timer->timer.bits) + "-bit counter, then REST counts; TAIL";
    h += " from the last event to the next\n * cycle's start. Worst event error " +
         std::string(error) + " ns. */\n";
    h += "#define DDS_TIMER_HZ " + std::to_string(timer->timer.hz) + "UL\n";
    h += "#define DDS_TIMER_PRESCALER " + std::to_string(timer->timer.prescaler) + "U\n";
    h += "#define DDS_TIMER_BITS " + std::to_string(timer->timer.bits) + "U\n";
    std::vector<std::uint64_t> wraps, rest;
    for (const Reload& r : timer->reloads) {
        wraps.push_back(r.wraps);
        rest.push_back(r.rest);
    }
    h += cArray("uint32_t", "DDS_EVENT_WRAPS", wraps, "UL");
    h += cArray("uint32_t", "DDS_EVENT_REST", rest, "UL");
    h += "#define DDS_CYCLE_TAIL_WRAPS " + std::to_string(timer->tail.wraps) + "UL\n";
    h += "#define DDS_CYCLE_TAIL_REST " + std::to_string(timer->tail.rest) + "UL\n";
    return h;
}

std::vector<std::string> asmEventLines(const Cycle& c, const TimerPlan* timer) {
    std::vector<std::string> lines;
    lines.push_back(";" + cycleComment(c));
    lines.push_back(
        ";time us (4 bytes), kind (0 start, 1 symbol, 2 key down, 3 key up, 4 end), table (0 "
        "none, 1 jt, 2 wspr, 3 fsk441, 4 pi4, 5 cw, 6 rtty, 7 carrier), index (2), tone, key" +
        std::string(timer ? ", then the timer's wraps (4) and rest counts (4) before it" : ""));
    if (timer) {
        lines.push_back(";timer " + std::to_string(timer->timer.hz) + " Hz / " +
                        std::to_string(timer->timer.prescaler) + ", " +
                        std::to_string(timer->timer.bits) + " bits; after the last event " +
                        std::to_string(timer->tail.wraps) + " wraps and " +
                        std::to_string(timer->tail.rest) + " counts to the next cycle");
    }
    for (std::size_t i = 0; i < c.events.size(); ++i) {
        const Event& e = c.events[i];
        // One field at a time: GCC 12 at -O3 warns falsely on "literal" + string.
        std::string line;
        const auto field = [&line](std::uint64_t value, int bytes) {
            line.append(line.empty() ? "" : ",").append(numbers::wordBytesText(value, bytes));
        };
        field(static_cast<std::uint64_t>(e.micros()), 4);
        field(static_cast<std::uint64_t>(kindNumber(e.kind)), 1);
        field(static_cast<std::uint64_t>(tableNumber(tableKey(c, e))), 1);
        field(static_cast<std::uint64_t>(std::max(e.index, 0)), 2);
        field(static_cast<std::uint64_t>(e.tone < 0 ? 255 : e.tone), 1);
        field(e.keyDown ? 1 : 0, 1);
        if (timer) {
            field(timer->reloads[i].wraps, 4);
            field(timer->reloads[i].rest, 4);
        }
        lines.push_back(line + " ; " + eventComment(c, e));
    }
    return lines;
}

}  // namespace meridel::sequence
