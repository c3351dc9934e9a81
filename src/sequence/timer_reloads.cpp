#include "sequence/timer_reloads.h"

#include <algorithm>
#include <string>

namespace meridel::sequence {

TimerPlan timerReloads(const Cycle& cycle, const TimerSpec& timer) {
    if (timer.hz > 10'000'000'000)
        throw SequenceError("timer clock above 10 GHz; check --timer-hz");
    if (timer.hz == 0) {
        throw SequenceError("timer clock must be a whole number of hertz above 0");
    }
    if (timer.prescaler == 0) throw SequenceError("timer prescaler must be 1 or more");
    if (timer.bits < 8 || timer.bits > 32) {
        throw SequenceError("timer bits " + std::to_string(timer.bits) + " is not 8 to 32");
    }
    TimerPlan plan;
    plan.timer = timer;
    const Rational rate(static_cast<std::int64_t>(timer.hz), timer.prescaler);
    plan.tick = Rational(1) / rate;
    const std::uint64_t turn = std::uint64_t(1) << timer.bits;
    // The count at which each event is due, rounded once from its exact time.
    std::vector<std::int64_t> due;
    for (const Event& e : cycle.events) {
        if (e.at > cycle.period()) {
            throw SequenceError("an event at " + e.at.text() + " s falls after the cycle's end; " +
                                "shorten the segments or lengthen the cycle");
        }
        const Rational exact = e.at * rate;
        due.push_back(exact.rounded());
        const Rational error = Rational(due.back()) - exact;
        plan.worstError = std::max(plan.worstError,
                                   (error < Rational(0) ? Rational(0) - error : error) * plan.tick);
    }
    const auto wait = [turn](std::int64_t from, std::int64_t to) {
        const auto ticks = static_cast<std::uint64_t>(to - from);
        return Reload{ticks, ticks / turn, static_cast<std::uint32_t>(ticks % turn)};
    };
    std::int64_t previous = 0;
    for (const std::int64_t at : due) {
        plan.reloads.push_back(wait(previous, at));
        previous = at;
    }
    plan.tail = wait(previous, (cycle.period() * rate).rounded());
    return plan;
}

}  // namespace meridel::sequence
