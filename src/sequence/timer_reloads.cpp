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
    plan.periodTicks = cycle.period() * rate;
    // The count at which each event is due, rounded once from its exact time; never after the
    // period's last whole count, where the next cycle starts.
    std::vector<std::int64_t> due;
    for (const Event& e : cycle.events) {
        if (e.at > cycle.period()) {
            throw SequenceError("an event at " + e.at.text() + " s falls after the cycle's end; " +
                                "shorten the segments or lengthen the cycle");
        }
        const Rational exact = e.at * rate;
        due.push_back(std::min(exact.rounded(), plan.periodTicks.floor()));
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
    plan.tail = wait(previous, plan.periodTicks.floor());
    plan.carry = plan.periodTicks - Rational(plan.periodTicks.floor());
    const auto shortest = [&plan](const Reload& r) {
        if (r.rest > 0 && (plan.shortestRest == 0 || r.rest < plan.shortestRest)) {
            plan.shortestRest = r.rest;
        }
    };
    for (const Reload& r : plan.reloads) shortest(r);
    shortest(plan.tail);
    return plan;
}

Rational TimerPlan::driftPerDay() const {
    return carry * Rational(86400) / periodTicks;
}

}  // namespace meridel::sequence
