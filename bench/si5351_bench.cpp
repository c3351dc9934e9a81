// Planning a whole WSPR table for the Si5351: a beacon plans once per transmission, so anything
// below a millisecond is plenty. Target: below 1 ms for 2 m (one divider) and for 630 m (the
// widest divider search, about 130 candidates).
#include <benchmark/benchmark.h>

#include <array>

#include "si5351/plan.h"

namespace {

using meridel::numbers::Rational;

void BM_WsprTable(benchmark::State& state) {
    const Rational centre(state.range(0));
    std::array<Rational, 4> tones;
    for (int n = 0; n < 4; ++n) tones[n] = centre + Rational(375 * n, 256);
    for (auto _ : state) {
        benchmark::DoNotOptimize(meridel::si5351::plan(Rational(25000000), tones));
    }
}
BENCHMARK(BM_WsprTable)->Arg(144490500)->Arg(10140200)->Arg(475700)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
