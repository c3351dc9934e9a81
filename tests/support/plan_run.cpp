#include "support/plan_run.h"

#include <cmath>

#include "support/fixtures.h"

namespace meridel::testing {

std::optional<run::RunFailure> runPlan(const PlanFields& plan, run::RunWords& words,
                                       std::string* listing) {
    model::MainWindowModel form;
    loadFirstStart(form);
    form.setFieldText(run::Field::RefIn, plan.refIn);
    form.selectPllText(plan.pll);
    form.setFieldText(run::Field::Foutput, plan.output);
    form.setFieldText(run::Field::RFMult, plan.rfMult);
    form.setFieldText(run::Field::ToneFreq, plan.tone);
    form.typeRttyShiftText(plan.shift);
    form.setFieldText(run::Field::FileName, "");
    form.typeModeText(plan.mode);
    MemoryOpener opener;
    auto failure = form.calculate(opener, words);
    if (listing) *listing = opener.received;
    return failure;
}

std::uint64_t exactWord(double hz, double clock, int bits) {
    __extension__ typedef unsigned __int128 Wide;
    int eh = 0;
    int ec = 0;
    const Wide mh = static_cast<Wide>(std::ldexp(std::frexp(hz, &eh), 53));
    const Wide mc = static_cast<Wide>(std::ldexp(std::frexp(clock, &ec), 53));
    const int shift = eh - ec + bits;
    if (shift < -60) return 0;
    const Wide num = shift >= 0 ? mh << shift : mh;
    const Wide den = shift >= 0 ? mc : mc << -shift;
    return static_cast<std::uint64_t>((2 * num + den) / (2 * den));
}

}  // namespace meridel::testing
