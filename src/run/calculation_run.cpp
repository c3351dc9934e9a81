#include "run/calculation_run.h"

#include <memory>

#include "listing/listing_text.h"
#include "listing/text_encoding.h"
#include "numbers/checked_math.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"
#include "numbers/tuning_word.h"
#include "run/run_context.h"

namespace meridel::run {
namespace {

using namespace numbers;  // the run is arithmetic on field numbers throughout
using namespace numbers::checked;
using detail::RunState;
using detail::Step;

constexpr double kHzPerMHz = 1000000.0;
constexpr double kFullPhaseTurn = 16384.0;  // the AD9852's 14-bit phase offset

double readField(const Form& form, Field field) {
    return operand(parseFieldNumber(form.fieldText(field)));
}

// A field text as a message quotes it. A very long text (a paste gone wrong) is cut, at a
// character boundary, so that the message stays readable.
std::string quoted(std::string_view text) {
    constexpr std::size_t kLongestQuoted = 40;
    if (text.size() <= kLongestQuoted) return "\"" + std::string(text) + "\"";
    std::size_t cut = kLongestQuoted;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\" (" + std::to_string(text.size()) +
           " bytes)";
}

// Turns an arithmetic error into a message that names the value and the field to change.
std::string describeFailure(const RunState& run, ArithmeticErrorKind kind) {
    const Form& f = run.form;
    const std::string why = describe(kind);
    switch (run.step) {
        case Step::RfMultiplier:
            return "RF Mult " + quoted(f.fieldText(Field::RFMult)) +
                   " is beyond the 32-bit range: enter a whole multiplier such as 1, 2 or 9.";
        case Step::DdsCarrier:
            if (run.plan.rfMult == 0) {
                return "RF Mult " + quoted(f.fieldText(Field::RFMult)) +
                       " rounds to 0, so the output carrier cannot be divided by it: enter a "
                       "whole multiplier of 1 or more.";
            }
            return "Output carrier " + quoted(f.fieldText(Field::Foutput)) + " MHz is too large (" +
                   why + "): enter the output carrier in MHz.";
        case Step::PllMultiplier:
            return "PLL Clock Multiplier " + quoted(f.pllText()) +
                   " is beyond the 32-bit range: select one of the listed multipliers.";
        case Step::DdsClock:
            return "Ref. Input Freq " + quoted(f.fieldText(Field::RefIn)) +
                   " MHz times the PLL multiplier is too large (" + why +
                   "): enter the reference frequency in MHz.";
        case Step::ReadBack:
            return "The DDS clock (" + f.fieldText(Field::ClockFreq) + " MHz) or DDS carrier (" +
                   f.fieldText(Field::Fo) + " MHz) is too large to convert to Hz (" + why +
                   "): check Ref. Input Freq and Output carrier.";
        case Step::ClockCheck:
            if (run.plan.clockHz == 0) {
                if (f.pllText().empty()) {
                    return "No PLL Clock Multiplier is selected, so the DDS clock is 0 MHz: "
                           "select a multiplier.";
                }
                return "Ref. Input Freq " + quoted(f.fieldText(Field::RefIn)) +
                       " reads as 0 MHz, so the DDS clock is 0 MHz: enter the reference "
                       "frequency in MHz.";
            }
            return "The DDS carrier (" + f.fieldText(Field::Fo) +
                   " MHz) cannot be expressed against the DDS clock (" +
                   f.fieldText(Field::ClockFreq) + " MHz) (" + why +
                   "): check Output carrier, RF Mult and Ref. Input Freq.";
        case Step::ToneFrequency:
            return "Tone Freq " + quoted(f.fieldText(Field::ToneFreq)) +
                   " Hz is too large: enter the tone frequency in Hz.";
        case Step::PhaseConstant:
            return "The phase constant cannot be computed for RF Mult " +
                   quoted(f.fieldText(Field::RFMult)) + " (" + why + ").";
        case Step::KeyingFrequency:
            return "The keying RF frequency (RF Mult x DDS carrier + tone) is too large (" + why +
                   "): check RF Mult, Output carrier and Tone Freq.";
        case Step::ControlByte:
            return "PLL multiplier " + std::to_string(run.plan.pllMult) +
                   " is too large for the control register: select one of the listed "
                   "multipliers.";
        case Step::Word:
            break;
    }
    return std::string("The ") + run.word + " cannot be computed (" + why +
           ") with a DDS clock of " + trimmedDecimalText(run.plan.clockHz / kHzPerMHz) +
           " MHz, a DDS carrier of " + trimmedDecimalText(run.plan.carrierHz / kHzPerMHz) +
           " MHz and RF Mult " + std::to_string(run.plan.rfMult) +
           ": check Ref. Input Freq, Output carrier, RF Mult, Tone Freq and RTTY Shift.";
}

void run(RunState& run, listing::OutputOpener& opener,
         std::unique_ptr<listing::OutputChannel>& target) {
    Form& form = run.form;
    detail::FrequencyPlan& p = run.plan;

    form.prepareResultsWindow();

    run.at(Step::RfMultiplier);
    p.rfMult = toInt32(readField(form, Field::RFMult));

    run.at(Step::DdsCarrier);
    form.setFieldText(Field::Fo, fieldDecimalText(div(readField(form, Field::Foutput), p.rfMult)));

    run.at(Step::PllMultiplier);
    p.pllMult = toInt32(operand(parseFieldNumber(form.pllText())));

    run.at(Step::DdsClock);
    form.setFieldText(Field::ClockFreq,
                      fieldDecimalText(mul(readField(form, Field::RefIn), p.pllMult)));

    // Read back from the texts just written, so every word carries their 15-digit rounding.
    run.at(Step::ReadBack);
    p.clockHz = mul(readField(form, Field::ClockFreq), kHzPerMHz);
    p.carrierHz = mul(readField(form, Field::Fo), kHzPerMHz);

    // The carrier's word is not used; computing it stops a run with a zero or absurd clock
    // before the target is touched.
    run.at(Step::ClockCheck);
    mul(kTuningWordScale, div(p.carrierHz, p.clockHz));

    run.at(Step::ToneFrequency);
    p.toneHz = readField(form, Field::ToneFreq);

    const std::string targetName = listing::toUpperCase(form.fieldText(Field::FileName));

    // Half a turn of phase divided by R: a 180-degree step at RF after multiplication by R.
    run.at(Step::PhaseConstant);
    double phase = div(div(kFullPhaseTurn, p.rfMult), 2.0);
    const std::string phaseLine = listing::phaseConstantLine(lowBytes(encodeTuningWord(phase), 2));
    if (run.words) run.words->phaseConstant = static_cast<std::uint16_t>(roundedWord(phase, 16));

    target = opener.open(targetName);
    const auto header = listing::listingHeader({
        form.fieldText(Field::Comment),
        form.fieldText(Field::Foutput),
        form.fieldText(Field::RFMult),
        form.fieldText(Field::Fo),
        form.fieldText(Field::RefIn),
        form.pllText(),
        form.fieldText(Field::ClockFreq),
    });
    for (const std::string& line : header) target->writeLine(line);

    const detail::TonePlanResult tones = detail::buildTonePlan(run);
    detail::finishRun(run, tones, phaseLine, *target);
}

std::optional<RunFailure> runRecording(Form& form, listing::OutputOpener& opener, RunWords* words) {
    RunState state(form);
    state.words = words;
    std::unique_ptr<listing::OutputChannel> target;
    std::optional<RunFailure> failure;
    try {
        run(state, opener, target);
        return std::nullopt;
    } catch (const ArithmeticError& error) {
        failure = RunFailure{FailureKind::Arithmetic, describeFailure(state, error.kind)};
    } catch (const listing::OutputError& error) {
        failure = RunFailure{FailureKind::Output, error.what()};
    }
    // An abandoned run still closes its target, so that the next run can open it again.
    if (target) {
        try {
            target->close();
        } catch (const listing::OutputError&) {
            // The run's own failure is what the user needs to see.
        }
    }
    return failure;
}

}  // namespace

std::optional<RunFailure> runCalculation(Form& form, listing::OutputOpener& opener) {
    return runRecording(form, opener, nullptr);
}

std::optional<RunFailure> runCalculation(Form& form, listing::OutputOpener& opener,
                                         RunWords& words) {
    RunWords recorded;
    auto failure = runRecording(form, opener, &recorded);
    if (!failure) words = std::move(recorded);
    return failure;
}

}  // namespace meridel::run
