// One whole calculation run in process, on the reference 50 MHz plan, with the listing kept in
// memory. Target: a median below 5 microseconds.
#include <benchmark/benchmark.h>

#include "listing/output_targets.h"
#include "model/main_window_model.h"
#include "model/settings_file.h"

namespace {

using meridel::run::Field;

class MemoryOpener : public meridel::listing::OutputOpener {
public:
    std::unique_ptr<meridel::listing::OutputChannel> open(const std::string&) override {
        bytes.clear();
        return std::make_unique<meridel::listing::RecordingChannel>(bytes);
    }
    std::string bytes;
};

void BM_CalculationRun(benchmark::State& state, const char* mode) {
    meridel::model::MainWindowModel model;
    const auto& defaults = meridel::model::defaultSettingsLines();
    meridel::model::MemorySettingsStore store({defaults.begin(), defaults.end()});
    meridel::model::applySettings(model, store);
    model.finishLoad();
    model.setFieldText(Field::RefIn, "20");
    model.selectPllText("10");
    model.setFieldText(Field::Foutput, "50");
    model.setFieldText(Field::ToneFreq, "1500");
    model.typeModeText(mode);
    MemoryOpener opener;
    for (auto _ : state) {
        auto failure = model.calculate(opener);
        benchmark::DoNotOptimize(failure);
        benchmark::DoNotOptimize(opener.bytes.data());
    }
    if (opener.bytes.size() < 1000) state.SkipWithError("the listing is incomplete");
}
BENCHMARK_CAPTURE(BM_CalculationRun, jt65b, "JT65B");
BENCHMARK_CAPTURE(BM_CalculationRun, jt4g, "JT4G");

}  // namespace

BENCHMARK_MAIN();
