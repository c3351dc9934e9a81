// Integer timer counts for a microcontroller that steps the cycle's events from a hardware
// timer. Each event's count is measured from the exact event times, not from the previous
// rounded count, so the rounding error is carried into the next count and never adds up.
#pragma once

#include <cstdint>
#include <vector>

#include "sequence/cycle.h"

namespace meridel::sequence {

struct TimerSpec {
    std::uint64_t hz = 0;         // the timer's input clock
    std::uint32_t prescaler = 1;  // the timer counts every prescaler-th clock
    int bits = 16;                // width of the counter, 8 to 32
    friend bool operator==(const TimerSpec&, const TimerSpec&) = default;
};

// A wait between two instants: `ticks` timer counts in all, that is `wraps` full
// turns of the counter (2^bits counts each) and then `rest` counts.
struct Reload {
    std::uint64_t ticks;
    std::uint64_t wraps;
    std::uint32_t rest;
};

struct TimerPlan {
    TimerSpec timer;
    Rational tick;                // seconds per count
    std::vector<Reload> reloads;  // per event, the wait before it (the first: from the start)
    // From the last event to the next transmitting cycle's start, in whole counts: the period
    // of `periodTicks` counts is the tail, the reloads and `carry`, 0 <= carry < 1. A firmware
    // that adds the carry up and waits one count more each time it passes 1 never drifts.
    Reload tail{};
    Rational periodTicks;
    Rational carry;
    Rational worstError;  // largest |counted - exact| time of any event, seconds
    // The smallest non-zero rest of any wait: an interrupt that cannot set its next compare
    // value within that many counts runs late there. 0 when every rest is 0.
    std::uint32_t shortestRest = 0;
    // How far the cycle's start moves in a day when the carry is dropped, seconds (early).
    Rational driftPerDay() const;
};

// Throws SequenceError for a zero clock or prescaler, or bits outside 8..32.
TimerPlan timerReloads(const Cycle& cycle, const TimerSpec& timer);

}  // namespace meridel::sequence
