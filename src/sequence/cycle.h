// A beacon's cycle: the segments it sends one after another, placed in exact time, and every
// instant at which the firmware must change something.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/message_table.h"
#include "sequence/rational.h"

namespace meridel::sequence {

enum class SegmentKind { Pi4, Cw, Carrier, Wspr, Jt65, Jt4, Rtty, Fsk441, Pause };

// "pi4", "cw", "carrier", ... as the plan file spells them; nullopt for any other name.
std::string_view kindName(SegmentKind kind);
std::optional<SegmentKind> kindNamed(std::string_view name);
// Carrier, pause and fsk441 run for a length of their own; the others as long as their message.
bool takesLength(SegmentKind kind);

struct Segment {
    SegmentKind kind = SegmentKind::Pause;
    std::optional<Rational> start;  // seconds from the cycle start; none: after the previous
    // Carrier, pause and fsk441 run for a length, or up to an end; the others take their
    // length from their message.
    std::optional<Rational> length;
    std::optional<Rational> end;  // seconds from the cycle start
    friend bool operator==(const Segment&, const Segment&) = default;
};

// The sequence repeats every `cycle` seconds; with slotCount > 1 it is sent in one cycle of
// every slotCount ("1 minute in 5, slot 3": cycle 60, slotCount 5, slot 3), the others silent.
struct SequencePlan {
    Rational cycle{60};
    int slotCount = 1;
    int slot = 1;
    std::vector<Segment> segments;
    friend bool operator==(const SequencePlan&, const SequencePlan&) = default;
};

// A plan that cannot be placed: names the segment (counted from 1) or the key and what to do.
struct SequenceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct PlacedSegment {
    SegmentKind kind;
    Rational start;
    Rational end;
    std::string table;  // key of the message table it sends ("pi4", "jt", ...), or ""
};

enum class EventKind { SegmentStart, Symbol, KeyDown, KeyUp, SegmentEnd };
std::string_view eventName(EventKind kind);

// One instant of the cycle. `index` is the symbol (CW: dot unit; RTTY: character) of the table
// the firmware is at, `tone` the tone number to load from that table's base word (RTTY: 0 space,
// 1 mark; CW key down and carrier: 0), both -1 where nothing is loaded.
struct Event {
    Rational at;  // seconds from the cycle start
    EventKind kind;
    int segment;  // index into Cycle::segments
    int index;
    int tone;
    bool keyDown;
    std::int64_t micros() const { return (at * Rational(1000000)).rounded(); }
};

struct Cycle {
    Rational length;  // of one cycle, seconds
    int slotCount = 1;
    int slot = 1;
    std::vector<PlacedSegment> segments;
    std::vector<Event> events;  // in time order
    // The time from one transmitting cycle's start to the next.
    Rational period() const { return length * Rational(slotCount); }
    // Where the cycle starts within its period of slots.
    Rational offset() const { return length * Rational(slot - 1); }
};

// The exact symbol period of a kind (CW: the dot unit at `cwWpm`; RTTY: one bit).
Rational symbolPeriod(SegmentKind kind, const Rational& cwWpm);

// A CW speed as an exact fraction (the plan's decimal text, or a double read from it).
Rational wpmFraction(double wpm);

// Places the segments and lists their events. `tables` are the encoded messages by key ("jt" for
// jt65 and jt4 segments, in the JT mode of the plan); a segment whose message is missing, a
// length where the message sets it, a cycle that is not a whole number of minutes or a slot
// outside 1..slotCount throws SequenceError.
Cycle buildCycle(const SequencePlan& plan, std::span<const firmware::MessageTable> tables,
                 double cwWpm);

}  // namespace meridel::sequence
