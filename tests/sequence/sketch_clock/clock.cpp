// Runs a sketch on a simulated clock from its reset, at an even minute, to past the wrap of
// millis() at 2^32 ms (49.7 days), and checks that its transmissions start at second 1 of every
// fourth minute throughout: each one exactly four minutes after the one before.
#include <cstdint>
#include <cstdio>

#include "Arduino.h"

void setup();
void loop();

namespace {

std::uint64_t nowUs = 0;  // since the reset
bool waiting = false;     // millis() was read last: the sketch waits for a start
std::uint64_t lastStartMs = 0;
unsigned starts = 0, misplaced = 0;

}  // namespace

// A wait polls millis(); a second a poll keeps the polls on the starts' whole seconds.
uint32_t millis() {
    nowUs = (nowUs / 1000000 + 1) * 1000000;
    waiting = true;
    return static_cast<uint32_t>(nowUs / 1000);
}

// The first micros() after a wait is the transmission's start. Symbols step a tenth of a second
// a read: coarse, but no symbol is shorter.
uint32_t micros() {
    if (waiting) {
        const std::uint64_t ms = nowUs / 1000;
        const std::uint64_t expected = starts == 0 ? ms - ms % 240000 + 1000 : lastStartMs + 240000;
        if (ms != expected && ++misplaced <= 5) {
            std::printf("transmission %u starts at %llu ms, not %llu ms\n", starts + 1,
                        static_cast<unsigned long long>(ms),
                        static_cast<unsigned long long>(expected));
        }
        lastStartMs = ms;
        ++starts;
        waiting = false;
    }
    nowUs += 100000;
    return static_cast<uint32_t>(nowUs);
}

int main() {
    const std::uint64_t wrapMs = std::uint64_t(1) << 32;
    setup();
    const std::uint64_t endMs = wrapMs + 3 * 240000;
    while (lastStartMs < endMs && nowUs / 1000 < endMs + 86400000) loop();
    std::printf("%u transmissions to %.3f days, %u of them misplaced\n", starts,
                static_cast<double>(lastStartMs) / 86400000.0, misplaced);
    return misplaced == 0 && lastStartMs >= endMs ? 0 : 1;
}
