#include "sequence/event_text.h"

#include <array>
#include <cctype>
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
std::string cArray(const char* type, const std::string& name, const std::vector<Value>& values,
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

namespace {

// "name" as the header's macros spell it: upper case.
std::string macroName(std::string_view name) {
    std::string text(name);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string decimal(double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// How the firmware waits for each event, and what the rests and the tail ask of its interrupt.
std::string timerSection(const TimerPlan& t, const std::string& p) {
    const std::string bits = std::to_string(t.timer.bits);
    const std::string turn = std::to_string(std::uint64_t(1) << t.timer.bits);
    const std::string worst = decimal(t.worstError.toDouble() * 1e9, "%.3f");
    std::string h =
        "/* Timer counts. Before each event (the first from the cycle's start) wait WRAPS full\n"
        " * turns of the " +
        bits + "-bit counter (" + turn +
        " counts each), then REST counts,\n"
        " * rounded from the event's exact time so that no error adds up (worst event error " +
        worst +
        " ns).\n"
        " * REST 0 after WRAPS turns: the event falls on the last turn's end. WRAPS 0 and REST 0:\n"
        " * the event is due at the count of the one before it (or of the cycle's start):\n"
        " * do it at once, without waiting.\n";
    if (t.shortestRest > 0) {
        const Rational us = Rational(t.shortestRest) * t.tick * Rational(1000000);
        h += " * The shortest REST is " + std::to_string(t.shortestRest) + " counts (" +
             decimal(us.toDouble(), "%.3f") +
             " us): an interrupt that takes longer to set its\n"
             " * next compare value misses it and runs a whole turn late.\n";
    }
    h += " * TAIL: from the last event to the next transmitting cycle's start. The period is\n * " +
         (t.carry == Rational(0) ? t.periodTicks.text()
                                 : decimal(t.periodTicks.toDouble(), "%.3f")) +
         " counts";
    if (t.carry == Rational(0)) {
        h += ", a whole number: no drift. */\n";
    } else {
        h += ", not whole: after each cycle add CARRY_NUM to a sum and, when it reaches\n"
             " * CARRY_DEN, take CARRY_DEN off it and wait one count more in the tail. Without "
             "that\n"
             " * the cycle starts " +
             decimal(t.driftPerDay().toDouble(), "%.6g") + " s a day early. */\n";
    }
    h += "#define " + p + "TIMER_HZ " + std::to_string(t.timer.hz) + "UL\n";
    h += "#define " + p + "TIMER_PRESCALER " + std::to_string(t.timer.prescaler) + "U\n";
    h += "#define " + p + "TIMER_BITS " + std::to_string(t.timer.bits) + "U\n";
    std::vector<std::uint64_t> wraps, rest;
    for (const Reload& r : t.reloads) {
        wraps.push_back(r.wraps);
        rest.push_back(r.rest);
    }
    h += cArray("uint32_t", p + "EVENT_WRAPS", wraps, "UL");
    h += cArray("uint32_t", p + "EVENT_REST", rest, "UL");
    h += "#define " + p + "CYCLE_TAIL_WRAPS " + std::to_string(t.tail.wraps) + "UL\n";
    h += "#define " + p + "CYCLE_TAIL_REST " + std::to_string(t.tail.rest) + "UL\n";
    h += "#define " + p + "CYCLE_CARRY_NUM " + std::to_string(t.carry.num()) + "UL\n";
    h += "#define " + p + "CYCLE_CARRY_DEN " + std::to_string(t.carry.den()) + "UL\n";
    return h;
}

}  // namespace

std::string cEventSection(const Cycle& c, const TimerPlan* timer, std::string_view prefix) {
    const std::string p = std::string(prefix) + "_";
    std::string h = "/* " + cycleComment(c) + ".\n";
    h += " * Per event: its time, kind (" + p + "KIND_...), table (" + p +
         "TABLE_..., whose symbols are the\n";
    h += " * message's " + p +
         "MSG_<KEY>_SYMBOLS), index (the symbol of that table; cw: dot unit,\n";
    h += " * rtty: character), the tone to load (" + p +
         "TONE_NONE for none) and the key state. */\n";
    h += "#define " + p + "CYCLE_SECONDS " + std::to_string(c.length.num()) + "UL\n";
    h += "#define " + p + "CYCLE_SLOTS " + std::to_string(c.slotCount) + "U\n";
    h += "#define " + p + "CYCLE_SLOT " + std::to_string(c.slot) + "U\n";
    for (const EventKind kind : {EventKind::SegmentStart, EventKind::Symbol, EventKind::KeyDown,
                                 EventKind::KeyUp, EventKind::SegmentEnd}) {
        h += "#define " + p + "KIND_" + macroName(eventName(kind)) + " " +
             std::to_string(kindNumber(kind)) + "U\n";
    }
    for (std::size_t i = 0; i < kTables.size(); ++i) {
        h += "#define " + p + "TABLE_" + (i == 0 ? "NONE" : macroName(kTables[i])) + " " +
             std::to_string(i) + "U\n";
    }
    h += "#define " + p + "TONE_NONE 255U\n";
    h += "#define " + p + "EVENT_COUNT " + std::to_string(c.events.size()) + "U\n";
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
    h += cArray("uint32_t", p + "EVENT_AT_US", at, "UL");
    h += cArray("uint8_t", p + "EVENT_KIND", kind, "");
    h += cArray("uint8_t", p + "EVENT_TABLE", table, "");
    h += cArray("uint16_t", p + "EVENT_INDEX", index, "U");
    h += cArray("uint8_t", p + "EVENT_TONE", tone, "");
    h += cArray("uint8_t", p + "EVENT_KEY", key, "");
    return timer ? h + timerSection(*timer, p) : h;
}

std::vector<std::string> asmEventLines(const Cycle& c, const TimerPlan* timer) {
    std::vector<std::string> lines;
    lines.push_back(std::string(";").append(cycleComment(c)));
    lines.push_back(
        ";time us (4 bytes), kind (0 start, 1 symbol, 2 key down, 3 key up, 4 end), table (0 "
        "none, 1 jt, 2 wspr, 3 fsk441, 4 pi4, 5 cw, 6 rtty, 7 carrier), index (2), tone, key" +
        std::string(timer ? ", then the timer's wraps (4) and rest counts (4) before it" : ""));
    if (timer) {
        lines.push_back(
            ";timer " + std::to_string(timer->timer.hz) + " Hz / " +
            std::to_string(timer->timer.prescaler) + ", " + std::to_string(timer->timer.bits) +
            " bits; after the last event " + std::to_string(timer->tail.wraps) + " wraps and " +
            std::to_string(timer->tail.rest) + " counts to the next cycle" +
            (timer->carry == Rational(0)
                 ? ""
                 : ", and " + timer->carry.text() + " of a count to carry into the next tail") +
            "; wraps 0 and rest 0: at once, with the event before");
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
