// The sound of a 2-minute WSPR transmission, from the chip's words (and a plan's cycle) to the
// WAV file on disk: target below 100 ms on one core, noise included.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "audio/sound_files.h"
#include "audio/synth.h"
#include "audio/transmission.h"
#include "modes/encoders.h"
#include "numbers/tuning_word.h"

namespace {

using namespace meridel;

const sequence::SequencePlan kCycle{
    120, 1, 1, {{sequence::SegmentKind::Wspr, 1, std::nullopt, std::nullopt}}};

void BM_WsprWav(benchmark::State& state) {
    const double clock = 180e6, carrier = 14.0956e6, spacing = 12000.0 / 8192;
    const auto word = [&](double hz) { return *numbers::frequencyWord(hz, clock, 32); };
    firmware::ChipWords words;
    words.chip = dds::findChip("AD9851");
    words.clockHz = clock;
    words.rfMult = 1;
    words.tones = {
        {"SSB_CARRIER", "SSB Carrier", carrier, word(carrier), 0},
        {"WSPR_BASE", "WSPR Base", carrier - 1.5 * spacing, word(carrier - 1.5 * spacing), 0}};
    words.intervals = {{"WSPR_INTERVAL", "WSPR Interval", spacing, word(spacing), 0}};
    const modes::SymbolTable wspr = modes::encodeWspr("K1ABC FN42 37");
    const firmware::MessageTable table{
        "wspr", "WSPR", wspr.text, wspr.symbols, wspr.symbol_seconds, "WSPR Base"};
    const auto path = (std::filesystem::temp_directory_path() / "meridel-bench.wav").string();
    audio::Listening how{carrier - 1500, 120, std::nullopt};
    if (state.range(0)) how.snrDb = -26;
    for (auto _ : state) {
        // The message alone, or the cycle of a WSPR plan, events and all.
        const audio::Transmission t =
            state.range(1)
                ? audio::cycleTransmission(sequence::buildCycle(kCycle, {&table, 1}, 12),
                                           {&table, 1}, words, audio::SoundWords::Stepped)
                : audio::beaconTransmission({&table, 1}, words);
        audio::checkPassband(t, how.dialHz);
        audio::writeWav(path, audio::listen(t.segments, how));
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WsprWav)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"noise", "cycle"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
