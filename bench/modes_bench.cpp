// The message encoders, each once per iteration: a beacon encodes its message when the
// operator presses Calculate, so anything in the microseconds is plenty.
#include <benchmark/benchmark.h>

#include "modes/encoders.h"

namespace {

using namespace meridel::modes;

void BM_Jt65Standard(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodeJt("CQ K1ABC FN42", JtSubmode::JT65B));
}
BENCHMARK(BM_Jt65Standard);

void BM_Jt4Standard(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodeJt("K1ABC W9XYZ -15", JtSubmode::JT4G));
}
BENCHMARK(BM_Jt4Standard);

void BM_WsprType1(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodeWspr("K1ABC FN42 37"));
}
BENCHMARK(BM_WsprType1);

void BM_WsprType3(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodeWspr("<PJ4/K1ABC> FK52UD 37"));
}
BENCHMARK(BM_WsprType3);

void BM_Pi4(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(encodePi4("OZ7IGY"));
}
BENCHMARK(BM_Pi4);

}  // namespace

BENCHMARK_MAIN();
