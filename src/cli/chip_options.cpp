#include "cli/chip_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>

#include "firmware/register_lines.h"
#include "firmware/register_writes.h"
#include "firmware/si5351_header.h"
#include "firmware/tone_words.h"
#include "listing/output_targets.h"
#include "modes/symbol_table.h"
#include "numbers/clock_correction.h"
#include "numbers/decimal_text.h"
#include "numbers/field_number.h"
#include "numbers/tuning_word.h"
#include "si5351/registers.h"

namespace meridel::cli {
namespace {

using nlohmann::json;
using numbers::Rational;

constexpr std::array<std::string_view, 8> kValueOptions = {
    "--xtal", "--clkin", "--clk", "--amplitude", "--measured", "--measured-at", "--ppm", "--ppb"};

// The interval word each message's base word steps by.
const std::map<std::string, std::string>& intervalOfBase() {
    static const std::map<std::string, std::string> map = {{"JT_SYNC", "JT65_INTERVAL"},
                                                           {"JT4_TONE_0", "JT4_INTERVAL"},
                                                           {"WSPR_BASE", "WSPR_INTERVAL"},
                                                           {"FSK441_TONE_0", "FSK441_INTERVAL"},
                                                           {"PI4_TONE_0", "PI4_INTERVAL"}};
    return map;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// A decimal option as an exact fraction to `den`ths (the double the one number parser reads is
// within far less than that of the decimal typed).
Rational decimalOption(const char* option, const std::string& text, numbers::Int128 den,
                       const char* allowed) {
    const auto value = numbers::parsePlainNumber(text);
    std::optional<Rational> exact;
    if (value && std::abs(*value) < 1e15) exact = Rational::fromDouble(*value);
    if (!exact) throw UsageError{std::string(option) + " " + quoted(text) + " is not " + allowed};
    return numbers::roundedTo(*exact, den);
}

Rational exact(double hz) {
    return numbers::roundedTo(*Rational::fromDouble(hz), 1000000000);
}

json writeJson(const std::string& what, const std::vector<std::uint8_t>& bytes) {
    return {{"what", what}, {"bytes", bytes}};
}

json writesJson(const std::vector<firmware::RegisterWrite>& list) {
    json writes = json::array();
    for (const auto& w : list) writes.push_back(writeJson(w.what, w.bytes));
    return writes;
}

json correctionJson(const ClockCorrection& c) {
    return {{"source", c.source},
            {"ppb", numbers::partsPerBillion(c.factor).toDouble()},
            {"nominal_hz", c.nominalHz},
            {"corrected_hz", c.correctedHz}};
}

firmware::ClockNote clockNote(const ClockCorrection& c) {
    return {numbers::partsPerBillion(c.factor).toDouble(), c.source, c.nominalHz, c.correctedHz};
}

// A listing target that goes nowhere: the Si5351 run only needs the words.
class NullOpener : public listing::OutputOpener {
public:
    std::unique_ptr<listing::OutputChannel> open(const std::string&) override {
        return listing::openNullDevice();
    }
};

struct NamedTone {
    std::string id, name;
    Rational hz;
};

// Every tone the listing and the messages use, at the chip's output; each message's tones from 0
// to its highest symbol, so that a symbol indexes them (`messages` says where they start).
std::vector<NamedTone> planTones(const run::RunWords& words,
                                 const std::vector<firmware::MessageTable>& tables,
                                 std::vector<firmware::Si5351Table::MessageTones>& messages) {
    std::vector<NamedTone> tones;
    for (const run::RunWord& w : words.tones) tones.push_back({w.id, w.name, exact(w.requestedHz)});
    for (const firmware::MessageTable& t : tables) {
        const auto base =
            std::find_if(words.tones.begin(), words.tones.end(),
                         [&](const run::RunWord& w) { return w.name == t.base_word; });
        if (base == words.tones.end()) continue;
        const auto step = intervalOfBase().find(base->id);
        if (step == intervalOfBase().end()) continue;
        const auto interval =
            std::find_if(words.intervals.begin(), words.intervals.end(),
                         [&](const run::RunWord& w) { return w.id == step->second; });
        if (interval == words.intervals.end()) continue;
        std::string key = t.key;
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const int highest =
            t.symbols.empty() ? -1 : *std::max_element(t.symbols.begin(), t.symbols.end());
        messages.push_back({t.key, tones.size(), static_cast<std::size_t>(highest + 1)});
        for (int k = 0; k <= highest; ++k) {
            tones.push_back(
                {key + "_TONE_" + std::to_string(k), t.mode + " Tone " + std::to_string(k),
                 exact(base->requestedHz) + exact(interval->requestedHz) * Rational(k)});
        }
    }
    return tones;
}

Rational referenceOf(const ChipRequest& r) {
    if (r.xtal && r.clkin) throw UsageError{"--xtal and --clkin: give one reference"};
    if (r.xtal) {
        if (*r.xtal != "25" && *r.xtal != "26" && *r.xtal != "27") {
            throw UsageError{"--xtal " + quoted(*r.xtal) +
                             " is not a Si5351 crystal: use 25, 26 or "
                             "27 (MHz), or --clkin MHZ for a clock input"};
        }
        return Rational(std::stoi(*r.xtal) * 1000000LL);
    }
    if (r.clkin) {
        return decimalOption("--clkin", *r.clkin, 1000, "a clock in MHz: give 10 to 40") *
               Rational(1000000);
    }
    throw UsageError{"--dds Si5351 needs --xtal 25|26|27 or --clkin MHZ, its reference"};
}

si5351::Output outputOf(const ChipRequest& r) {
    si5351::Output out;
    out.clkin = r.clkin.has_value();
    if (r.clk) {
        if (*r.clk != "0" && *r.clk != "1" && *r.clk != "2") {
            throw UsageError{"--clk " + quoted(*r.clk) + " is not an output: use 0, 1 or 2"};
        }
        out.clk = *r.clk == "0" ? 0 : *r.clk == "1" ? 1 : 2;
    }
    return out;
}

int decodeSi5351(const Si5351Invocation& inv, const Rational& reference, std::FILE* out) {
    std::vector<std::array<std::uint8_t, 8>> blocks;
    for (const std::string& text : inv.firmware.decode) {
        std::size_t at = 0;
        while ((at = text.find_first_not_of(" \t;", at)) != std::string::npos) {
            const std::size_t end = text.find_first_of(" \t;", at);
            const std::string token = text.substr(at, end - at);
            const auto word = numbers::parseWordBytes(token);
            if (!word || word->bytes != 8) {
                throw UsageError{"--decode " + quoted(token) +
                                 " is not a Si5351 block: give PLL A's 8 bytes (registers 26-33) "
                                 "then the multisynth's 8, such as 0x03,0xE8,0x00,0x0E,0x0D,0x00,"
                                 "0x03,0xB8 0x00,0x01,0x00,0x01,0x00,0x00,0x00,0x00"};
            }
            std::array<std::uint8_t, 8> block{};
            for (int i = 0; i < 8; ++i) {
                block[static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(word->value >> (8 * (7 - i)));
            }
            blocks.push_back(block);
            at = end;
        }
    }
    if (blocks.empty() || blocks.size() % 2 != 0) {
        throw UsageError{
            "--decode with --dds Si5351 takes pairs of blocks: PLL A, then the "
            "output's multisynth"};
    }
    json decoded = json::array();
    for (std::size_t i = 0; i < blocks.size(); i += 2) {
        const auto pll = si5351::unpack(blocks[i]);
        const auto ms = si5351::unpack(blocks[i + 1]);
        if (!pll || !ms) {
            throw UsageError{"--decode: a block with P3 = 0 or P2 >= P3 sets no divider"};
        }
        const double hz = si5351::decodeFrequency(reference, blocks[i], blocks[i + 1])->toDouble();
        if (inv.json) {
            decoded.push_back({{"pll_ratio", pll->divider.toDouble()},
                               {"multisynth", ms->divider.toDouble()},
                               {"r_divider", ms->rDivider},
                               {"hz", hz}});
        } else {
            std::fprintf(out, "PLL A x%s, MS %s, R %d ; %s Hz\n",
                         numbers::trimmedDecimalText(pll->divider.toDouble()).c_str(),
                         numbers::trimmedDecimalText(ms->divider.toDouble()).c_str(), ms->rDivider,
                         numbers::trimmedDecimalText(hz).c_str());
        }
    }
    if (inv.json) {
        const std::string text =
            json{{"dds", {{"name", "Si5351"}, {"reference_hz", reference.toDouble()}}},
                 {"decoded", decoded}}
                .dump() +
            "\n";
        std::fputs(text.c_str(), out);
    }
    return 0;
}

json si5351Json(const firmware::Si5351Table& t) {
    json setup = json::array();
    for (const auto& w : si5351::setupWrites(t.plan, t.output)) {
        setup.push_back({{"register", w.reg}, {"bytes", w.bytes}, {"what", w.what}});
    }
    json tones = json::array();
    const auto writes = si5351::toneWrites(t.plan);
    for (std::size_t n = 0; n < t.plan.tones.size(); ++n) {
        const auto& tone = t.plan.tones[n];
        json write = writes.empty() ? json(nullptr)
                                    : json{{"register", writes[n].reg}, {"bytes", writes[n].bytes}};
        tones.push_back({{"name", t.names[n]},
                         {"requested_hz", tone.requestedHz.toDouble()},
                         {"pll", {tone.feedback.a, tone.feedback.b, tone.feedback.c}},
                         {"actual_hz", tone.actualHz.toDouble()},
                         {"error_hz", tone.errorHz.toDouble()},
                         {"write", write}});
    }
    json messageTones = json::object();  // each message's writes, indexed by symbol
    for (const auto& m : t.messages) {
        if (writes.empty()) break;
        json rows = json::array();
        for (std::size_t n = 0; n < m.count; ++n) {
            const auto& w = writes.at(m.first + n);
            rows.push_back({{"register", w.reg}, {"bytes", w.bytes}});
        }
        messageTones[m.key] = rows;
    }
    json out = {{"reference_hz", t.plan.referenceHz.toDouble()},
                {"clk", t.output.clk},
                {"output_divider", t.plan.outputDivider},
                {"r_divider", t.plan.rDivider},
                {"worst_error_hz", t.plan.worstErrorHz().toDouble()},
                {"setup", setup},
                {"tones", tones}};
    if (!messageTones.empty()) out["message_tones"] = messageTones;
    return out;
}

}  // namespace

bool ChipRequest::take(std::string_view option, const std::string& value) {
    std::optional<std::string>* slots[] = {&xtal,     &clkin,      &clk, &amplitude,
                                           &measured, &measuredAt, &ppm, &ppb};
    for (std::size_t i = 0; i < kValueOptions.size(); ++i) {
        if (option == kValueOptions[i]) {
            *slots[i] = value;
            return true;
        }
    }
    return false;
}

bool isChipOption(std::string_view option) {
    return std::find(kValueOptions.begin(), kValueOptions.end(), option) != kValueOptions.end();
}

bool isSi5351(const FirmwareRequest& firmware) {
    if (!firmware.dds) return false;
    std::string name = *firmware.dds;
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name == "SI5351";
}

std::optional<Rational> givenCorrection(const ChipRequest& r) {
    if (r.ppm && r.ppb) throw UsageError{"--ppm and --ppb: give one correction"};
    if ((r.ppm || r.ppb) && r.measured) {
        throw UsageError{"--measured computes the correction itself: leave out --ppm and --ppb"};
    }
    if (r.measuredAt && !r.measured) throw UsageError{"--measured-at needs --measured HZ"};
    if (!r.ppm && !r.ppb) return std::nullopt;
    const char* option = r.ppm ? "--ppm" : "--ppb";
    const Rational parts =
        decimalOption(option, r.ppm ? *r.ppm : *r.ppb, 1000000000,
                      "a correction: a number, positive when the clock runs fast, such as -2.5");
    const auto factor = r.ppm ? numbers::factorFromPpm(parts) : numbers::factorFromPpb(parts);
    if (!factor) {
        const std::string limit = std::to_string(numbers::kMaxCorrectionPpm);
        throw UsageError{std::string(option) + " " + quoted(r.ppm ? *r.ppm : *r.ppb) +
                         " is more than a real clock is off: the calibration takes -" + limit +
                         " to " + limit + " ppm (--ppm) or -" + limit + "000 to " + limit +
                         "000 ppb (--ppb)"};
    }
    return factor;
}

Rational measuredCorrection(const ChipRequest& r, const Rational& expectedHz, int rfMult) {
    const bool atDds = r.measuredAt && *r.measuredAt == "dds";
    if (r.measuredAt && !atDds && *r.measuredAt != "antenna") {
        throw UsageError{"--measured-at " + quoted(*r.measuredAt) +
                         " is not a place: use dds or "
                         "antenna"};
    }
    const Rational measured = decimalOption("--measured", *r.measured, 1000000,
                                            "a frequency in Hz, such as 144489001.25");
    const Rational expected = atDds ? expectedHz : expectedHz * Rational(rfMult);
    const auto factor = numbers::factorFromMeasurement(expected, measured);
    if (!factor) {
        throw UsageError{"--measured " + quoted(*r.measured) +
                         " is not a reading of this carrier: it is more than " +
                         std::to_string(numbers::kMaxCorrectionPpm) +
                         " ppm (the most a real clock is off) from the " +
                         numbers::trimmedDecimalText(expected.toDouble()) + " Hz its word makes " +
                         (atDds ? "at the chip" : "at the antenna") +
                         "; give the counter's reading in Hz, with --measured-at dds for a "
                         "reading at the chip"};
    }
    return *factor;
}

std::optional<ClockCorrection> correctDdsClock(const ChipRequest& r, FirmwarePlan& plan,
                                               model::MainWindowModel& model) {
    auto factor = givenCorrection(r);
    if (!factor && !r.measured) return std::nullopt;
    const dds::Chip& chip = *plan.chip;
    const double refIn = numbers::parseFieldNumber(model.fieldText(run::Field::RefIn));
    const double nominalHz =
        chip.picListing ? numbers::parseFieldNumber(model.fieldText(run::Field::ClockFreq)) * 1e6
                        : plan.clockHz;
    if (!(nominalHz > 0) || (chip.picListing && !(refIn > 0))) {
        throw UsageError{"a clock correction needs a clock: give --clock, or --ref-in and --pll"};
    }
    std::string source;
    if (factor) {
        source = r.ppm ? "--ppm " + *r.ppm : "--ppb " + *r.ppb;
    } else {
        const double foHz = numbers::parseFieldNumber(model.fieldText(run::Field::Fo)) * 1e6;
        const auto ftw = numbers::frequencyWord(foHz, nominalHz, chip.wordBits);
        if (!ftw) {
            throw UsageError{"--measured: the carrier of this plan is no word of the " +
                             std::string(chip.name) + " at its clock"};
        }
        const double rfMult = numbers::parseFieldNumber(model.fieldText(run::Field::RFMult));
        const bool usable = std::isfinite(rfMult) && rfMult >= 1 && rfMult <= 1e6;
        factor =
            measuredCorrection(r, exact(numbers::wordFrequency(*ftw, nominalHz, chip.wordBits)),
                               usable ? static_cast<int>(std::lround(rfMult)) : 1);
        source = "--measured " + *r.measured;
    }
    ClockCorrection c{*factor, nominalHz, 0, source};
    c.correctedHz = numbers::correctedClock(exact(nominalHz), *factor).toDouble();
    if (chip.picListing) {
        const double correctedRef = numbers::correctedClock(exact(refIn * 1e6), *factor).toDouble();
        model.setFieldText(run::Field::RefIn, numbers::trimmedDecimalText(correctedRef / 1e6));
    } else {
        plan.clockHz = c.correctedHz;
        plan.clockText = numbers::trimmedDecimalText(c.correctedHz / 1e6);
    }
    return c;
}

nlohmann::json chipAdditions(const ChipRequest& r, const firmware::ChipWords& words,
                             const std::optional<ClockCorrection>& correction,
                             firmware::HeaderExtras& extras,
                             std::span<const firmware::MessageTable> tables) {
    json out = json::object();
    if (correction) {
        out["calibration"] = correctionJson(*correction);
        extras.correction = clockNote(*correction);
    }
    if (!r.registers && !r.amplitude) return out;
    const dds::Chip& chip = *words.chip;
    firmware::RegisterSetup setup;
    setup.clockHz = words.clockHz;
    setup.refMult = words.refMult;
    if (r.amplitude) {
        setup.amplitude = numbers::parsePlainNumber(*r.amplitude);
        if (!setup.amplitude) {
            throw firmware::FirmwareError("--amplitude " + quoted(*r.amplitude) +
                                          " is not a fraction of full scale: give 0 to 1");
        }
    }
    if (words.controlByte && *words.controlByte >= 0 && *words.controlByte <= 0xFF) {
        setup.pllControl = static_cast<std::uint8_t>(*words.controlByte);
    }
    const firmware::ChipSetup start = firmware::setupWrites(chip, setup);
    json j = {{"setup", json::array()},
              {"after_first_word", json::array()},
              {"words", json::array()},
              {"notes", start.notes}};
    for (const auto& w : start.writes) j["setup"].push_back(writeJson(w.what, w.bytes));
    for (const auto& w : start.afterFirstWord) {
        j["after_first_word"].push_back(writeJson(w.what, w.bytes));
    }
    for (const firmware::ChipWord& word : words.tones) {
        j["words"].push_back({{"name", word.name},
                              {"writes", writesJson(firmware::wordWrites(chip, setup, word.ftw))}});
    }
    if (const auto keying = firmware::carrierKeying(words, setup)) {
        j["key_up"] = writesJson(keying->up);
        j["key_down"] = writesJson(keying->down);
    }
    json perTone = json::object();
    for (const firmware::MessageTable& table : tables) {
        json rows = json::array();  // indexed by symbol
        for (const firmware::ToneWord& t : firmware::tableTones(table, words).tones) {
            rows.push_back(writesJson(firmware::wordWrites(chip, setup, t.ftw)));
        }
        perTone[table.key] = rows;
    }
    j["message_tones"] = perTone;
    out["registers"] = j;
    extras.registers = setup;
    return out;
}

int runSi5351(const Si5351Invocation& inv, std::FILE* out, std::FILE* err) {
    const auto usage = [&](const std::string& message) {
        std::fprintf(err, "meridel-cli: %s\n", inv.reported(message).c_str());
        return 2;
    };
    firmware::Si5351Table table;
    Rational reference;
    std::optional<Rational> factor;
    try {
        if (inv.firmware.clock || inv.firmware.refMult || inv.chip.amplitude ||
            (inv.firmware.format && *inv.firmware.format != "c")) {
            throw UsageError{
                "--dds Si5351 takes --xtal or --clkin, --clk and the C format; "
                "--clock, --ref-mult, --amplitude and --format asm are for the DDS "
                "chips"};
        }
        if (inv.firmware.name) headerPrefix(*inv.firmware.name);
        reference = referenceOf(inv.chip);
        table.output = outputOf(inv.chip);
        if (!inv.firmware.decode.empty()) return decodeSi5351(inv, reference, out);
        factor = givenCorrection(inv.chip);
    } catch (const UsageError& error) {
        return usage(error.message);
    } catch (const numbers::RationalOverflow&) {
        return usage("--clkin, --ppm or --ppb is too large to work with exactly");
    }

    std::string failure;
    std::vector<std::string> warnings;
    try {
        model::MainWindowModel model;
        inv.prepare(model);
        model.setFieldText(run::Field::RefIn, "1000");
        model.selectPllText("1");
        model.setFieldText(run::Field::FileName, "");
        auto encoded = beacon::encodeMessages(inv.messages, model.modeIndex(), model.modeText());
        NullOpener opener;
        run::RunWords words;
        if (const auto runFailure = model.calculate(opener, words)) {
            throw firmware::FirmwareError(runFailure->message);
        }
        std::vector<firmware::MessageTable> tables;
        if (inv.messages.any()) {
            auto messages = beacon::tieToWords(std::move(encoded), inv.messages, words);
            words = messages.words;
            tables = messages.tables;
        }
        const auto tones = planTones(words, tables, table.messages);
        std::vector<Rational> hz;
        for (const NamedTone& t : tones) {
            hz.push_back(t.hz);
            table.ids.push_back(t.id);
            table.names.push_back(t.name);
        }
        if (inv.chip.measured) {
            const auto nominal = si5351::plan(reference, hz);
            const auto carrier = std::find(table.ids.begin(), table.ids.end(), "SSB_CARRIER");
            if (carrier == table.ids.end()) {
                throw firmware::FirmwareError("--measured: this plan has no carrier word");
            }
            const Rational actual =
                nominal.tones.at(static_cast<std::size_t>(carrier - table.ids.begin())).actualHz;
            factor = measuredCorrection(inv.chip, actual, words.rfMult);
        }
        const Rational corrected = factor ? numbers::correctedClock(reference, *factor) : reference;
        if (factor) {
            const std::string source = inv.chip.measured ? "--measured " + *inv.chip.measured
                                       : inv.chip.ppm    ? "--ppm " + *inv.chip.ppm
                                                         : "--ppb " + *inv.chip.ppb;
            table.calibration = firmware::clockNoteText(
                clockNote({*factor, reference.toDouble(), corrected.toDouble(), source}));
        }
        table.plan = si5351::plan(corrected, hz);
        if (const auto note = si5351::accuracyNote(table.plan, Rational(1, 1000)); !note.empty()) {
            warnings.push_back("Si5351: " + note);
        }
    } catch (const UsageError& error) {
        return usage(error.message);
    } catch (const si5351::PlanError& error) {
        failure = error.what();
    } catch (const firmware::FirmwareError& error) {
        failure = error.what();
    } catch (const modes::MessageError& error) {
        failure = error.what();
    } catch (const numbers::RationalOverflow& error) {
        failure = std::string("the Si5351 plan is out of exact range: ") + error.what();
    }
    if (!failure.empty()) failure = inv.reported(failure);

    if (inv.json) {
        json object = {{"dds", {{"name", "Si5351"}, {"reference_hz", reference.toDouble()}}},
                       {"si5351", failure.empty() ? si5351Json(table) : json(nullptr)},
                       {"dds_warnings", warnings},
                       {"error", failure.empty() ? json(nullptr) : json{{"message", failure}}}};
        if (!table.calibration.empty()) object["calibration"] = table.calibration;
        std::fputs((object.dump() + "\n").c_str(), out);
    } else {
        for (const std::string& w : warnings) std::fprintf(err, "warning: %s\n", w.c_str());
        if (!failure.empty()) {
            std::fprintf(err, "error: %s\n", failure.c_str());
        } else {
            const std::string header =
                firmware::si5351Header(table, "meridel-cli", inv.firmware.name.value_or("SI5351"));
            try {
                if (inv.file) {
                    listing::writeWholeFile(*inv.file, header,
                                            "Check --file and the free space of the disk.");
                } else {
                    std::fputs(header.c_str(), out);
                }
            } catch (const listing::OutputError& error) {
                std::fprintf(err, "error: %s\n", error.what());
                return 1;
            }
        }
    }
    std::fflush(out);
    return failure.empty() ? 0 : 1;
}

}  // namespace meridel::cli
