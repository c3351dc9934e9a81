#include "planfile/plan_file.h"

#include "dds/chips.h"
#include "numbers/clock_correction.h"
#include "numbers/double_chars.h"
#include "numbers/field_number.h"
#include "numbers/quoted_text.h"

#include <toml++/toml.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

namespace meridel::planfile {
namespace {

using sequence::Rational;

bool isSi5351Name(std::string_view name) {
    constexpr std::string_view kName = "si5351";
    return name.size() == kName.size() &&
           std::equal(name.begin(), name.end(), kName.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a + 32) : a) == b;
           });
}

// Reads one document, keeping its name for the messages.
class Reader {
public:
    explicit Reader(const std::string& name) : name_(name) {}

    [[noreturn]] void fail(const toml::source_region& at, const std::string& key,
                           const std::string& what) const {
        throw PlanError(name_ + ":" + std::to_string(at.begin.line) + ": " + key + ": " + what);
    }

    // A text value; a number is taken as the text it was written as would read.
    std::string text(const toml::node& node, const std::string& key) const {
        if (const auto* s = node.as_string()) return s->get();
        if (const auto* i = node.as_integer()) return std::to_string(i->get());
        if (const auto* f = node.as_floating_point()) return shortest(f->get());
        fail(node.source(), key, "must be a text in quotes");
    }

    // A number as a text or a TOML number, kept as written: the window's lenient reading is
    // for its own fields only, so "14,0971" or "" here would silently be another beacon.
    std::string numberText(const toml::node& node, const std::string& key,
                           const std::string& allowed) const {
        std::string written = text(node, key);
        if (!numbers::parsePlainNumber(written)) {
            fail(node.source(), key,
                 numbers::quotedText(written) + " is not " + allowed +
                     " (a plain number: digits, \".\" as the decimal point, such as 14.0971)");
        }
        return written;
    }

    double number(const toml::node& node, const std::string& key) const {
        if (const auto* i = node.as_integer()) return static_cast<double>(i->get());
        if (const auto* f = node.as_floating_point(); f && std::isfinite(f->get())) return f->get();
        fail(node.source(), key, "must be a number");
    }

    std::int64_t whole(const toml::node& node, const std::string& key, std::int64_t low,
                       std::int64_t high) const {
        const auto* i = node.as_integer();
        if (!i || i->get() < low || i->get() > high) {
            fail(node.source(), key,
                 "must be a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high));
        }
        return i->get();
    }

    // Seconds: a number (59.5) or an exact fraction in quotes ("73/3").
    Rational seconds(const toml::node& node, const std::string& key) const {
        Rational out;
        const auto bad = [&]() {
            fail(node.source(), key,
                 "must be seconds, as a number (59.5) or a fraction (\"73/3\")");
        };
        try {
            if (const auto* i = node.as_integer()) return Rational(i->get());
            if (const auto* f = node.as_floating_point()) {
                if (!std::isfinite(f->get()) || !Rational::fromDecimal(shortest(f->get()), out)) {
                    bad();
                }
                return out;
            }
            if (const auto* s = node.as_string()) {
                if (!Rational::fromText(s->get(), out)) bad();
                return out;
            }
        } catch (const sequence::RationalOverflow&) {
            bad();
        }
        bad();
        return out;
    }

    static std::string shortest(double value) { return numbers::shortestFixedText(value); }

    void note(const std::string& key, const toml::node& node) const {
        lines_.emplace(key, static_cast<int>(node.source().begin.line));
    }
    BeaconPlan::Source source() const { return {name_, lines_}; }

    const toml::table& table(const toml::node& node, const std::string& key) const {
        const auto* t = node.as_table();
        if (!t) fail(node.source(), key, "must be a table ([" + key + "])");
        return *t;
    }

private:
    std::string name_;
    mutable std::map<std::string, int> lines_;
};

using Setter = std::function<void(const toml::node&, const std::string&)>;

// Walks a table's keys, each known one to its setter; any other key is an error, so that a
// misspelt key is not silently ignored.
void eachKey(const Reader& r, const toml::table& t, const std::string& section,
             const std::vector<std::pair<std::string_view, Setter>>& setters) {
    for (const auto& [key, node] : t) {
        const std::string full = section + "." + std::string(key.str());
        bool known = false;
        r.note(full, node);
        for (const auto& [name, set] : setters) {
            if (name == key.str()) {
                set(node, full);
                known = true;
            }
        }
        if (!known) {
            std::string names;
            for (const auto& s : setters) names.append(names.empty() ? "" : ", ").append(s.first);
            r.fail(key.source(), full, "is no key of [" + section + "]; use " + names);
        }
    }
}

void readSegments(const Reader& r, const toml::node& node, sequence::SequencePlan& plan) {
    const auto* list = node.as_array();
    if (!list) r.fail(node.source(), "segment", "must be a list of [[segment]] tables");
    for (const toml::node& item : *list) {
        const std::string section = "segment " + std::to_string(plan.segments.size() + 1);
        const toml::table& t = r.table(item, section);
        r.note(section, item);
        sequence::Segment segment;
        bool hasKind = false;
        eachKey(
            r, t, section,
            {{"kind",
              [&](const toml::node& n, const std::string& k) {
                  const auto kind = sequence::kindNamed(r.text(n, k));
                  if (!kind) {
                      r.fail(n.source(), k,
                             "must be pi4, cw, carrier, wspr, jt65, jt4, rtty, fsk441 or "
                             "pause");
                  }
                  segment.kind = *kind;
                  hasKind = true;
              }},
             {"start",
              [&](const toml::node& n, const std::string& k) { segment.start = r.seconds(n, k); }},
             {"length",
              [&](const toml::node& n, const std::string& k) { segment.length = r.seconds(n, k); }},
             {"end",
              [&](const toml::node& n, const std::string& k) { segment.end = r.seconds(n, k); }}});
        if (!hasKind) r.fail(item.source(), section, "needs a kind");
        plan.segments.push_back(segment);
    }
}

// One correction, as the command line takes it: a number of ppm, of ppb, or a counter's reading
// in Hz and where it was taken.
void readCalibration(const Reader& r, const toml::node& node, BeaconPlan::Calibration& c) {
    const auto numberText = [&r](std::optional<std::string>& field, const char* allowed) {
        return [&r, &field, allowed](const toml::node& n, const std::string& k) {
            field = r.numberText(n, k, allowed);
        };
    };
    // ppm or ppb within what a real clock is off (see numbers::kMaxCorrectionPpm).
    const auto partsText = [&r](std::optional<std::string>& field, double perPpm,
                                const char* unit) {
        return [&r, &field, perPpm, unit](const toml::node& n, const std::string& k) {
            field = r.numberText(
                n, k, std::string("a number of ") + unit + ", positive when the clock runs fast");
            const double limit = numbers::kMaxCorrectionPpm * perPpm;
            if (std::fabs(*numbers::parsePlainNumber(*field)) > limit) {
                r.fail(n.source(), k,
                       numbers::quotedText(*field) + " is more than a real clock is off; give " +
                           numbers::shortestText(-limit) + " to " + numbers::shortestText(limit) +
                           " " + unit);
            }
        };
    };
    const toml::table& t = r.table(node, "calibration");
    eachKey(r, t, "calibration",
            {{"ppm", partsText(c.ppm, 1, "ppm")},
             {"ppb", partsText(c.ppb, 1000, "ppb")},
             {"measured", numberText(c.measured, "a counter's reading in Hz")},
             {"measured_at", [&](const toml::node& n, const std::string& k) {
                  c.measuredAt = r.text(n, k);
                  if (c.measuredAt != "antenna" && c.measuredAt != "dds") {
                      r.fail(n.source(), k, "must be antenna or dds");
                  }
              }}});
    if (c.ppm && c.ppb) r.fail(node.source(), "calibration", "give ppm or ppb, not both");
    if ((c.ppm || c.ppb) && c.measured) {
        r.fail(node.source(), "calibration",
               "measured computes the correction itself: leave out ppm and ppb");
    }
    if (c.measuredAt && !c.measured) {
        r.fail(node.source(), "calibration.measured_at", "needs measured, the counter's reading");
    }
}

BeaconPlan readDocument(const toml::table& doc, const Reader& r) {
    BeaconPlan plan;
    const auto textInto = [&](std::optional<std::string>& field) -> Setter {
        return [&r, &field](const toml::node& n, const std::string& k) { field = r.text(n, k); };
    };
    const auto plainInto = [&](std::optional<std::string>& field, const char* allowed) -> Setter {
        return [&r, &field, allowed](const toml::node& n, const std::string& k) {
            field = r.numberText(n, k, allowed);
        };
    };
    // The window's PLL list: the exact text of one of its entries.
    const auto pllInto = [&](std::optional<std::string>& field) -> Setter {
        return [&r, &field](const toml::node& n, const std::string& k) {
            field = r.text(n, k);
            const auto value = numbers::parsePlainNumber(*field);
            const int whole = value && *value >= 1 && *value <= 64 ? static_cast<int>(*value) : 0;
            if (!whole || *field != std::to_string(whole) ||
                !dds::allowsMultiplier(dds::defaultChip(), whole)) {
                r.fail(n.source(), k,
                       numbers::quotedText(*field) + " is not a PLL multiplier; use " +
                           dds::multiplierText(dds::defaultChip()));
            }
        };
    };
    const auto chipInto = [&](std::optional<std::string>& field) -> Setter {
        return [&r, &field](const toml::node& n, const std::string& k) {
            field = r.text(n, k);
            if (!dds::findChip(*field) && !isSi5351Name(*field)) {
                r.fail(n.source(), k,
                       numbers::quotedText(*field) + " is not a chip MERIDEL knows; use " +
                           dds::chipNames() + " or Si5351");
            }
        };
    };
    const auto formatInto = [&](std::optional<std::string>& field) -> Setter {
        return [&r, &field](const toml::node& n, const std::string& k) {
            field = r.text(n, k);
            if (*field != "asm" && *field != "c") {
                r.fail(n.source(), k,
                       numbers::quotedText(*field) + " is not a format; use asm or c");
            }
        };
    };
    const auto numberInto = [&](std::optional<double>& field) -> Setter {
        return [&r, &field](const toml::node& n, const std::string& k) { field = r.number(n, k); };
    };
    auto& f = plan.fields;
    auto& d = plan.dds;
    auto& m = plan.messages;
    std::optional<sequence::SequencePlan> sequence;
    const auto seq = [&]() -> sequence::SequencePlan& {
        if (!sequence) sequence.emplace();
        return *sequence;
    };
    for (const auto& [key, node] : doc) {
        const std::string name(key.str());
        if (name == "plan") {
            eachKey(r, r.table(node, name), name,
                    {{"ref_in", plainInto(f.refIn, "a reference in MHz")},
                     {"pll", pllInto(f.pll)},
                     {"rf_mult", plainInto(f.rfMult, "a multiplier")},
                     {"output", plainInto(f.output, "a carrier in MHz")},
                     {"tone", plainInto(f.tone, "a tone in Hz")},
                     {"shift", plainInto(f.shift, "a shift in Hz")},
                     {"mode", textInto(f.mode)},
                     {"comment", textInto(f.comment)},
                     {"file", textInto(f.file)}});
        } else if (name == "dds") {
            eachKey(r, r.table(node, name), name,
                    {{"chip", chipInto(d.chip)},
                     {"clock", plainInto(d.clock, "a clock in MHz")},
                     {"ref_mult", plainInto(d.refMult, "a multiplier")},
                     {"format", formatInto(d.format)}});
        } else if (name == "messages") {
            eachKey(r, r.table(node, name), name,
                    {{"jt", textInto(m.jt)},
                     {"wspr", textInto(m.wspr)},
                     {"fsk441", textInto(m.fsk441)},
                     {"pi4", textInto(m.pi4)},
                     {"cw", textInto(m.cw)},
                     {"rtty", textInto(m.rtty)},
                     {"cw_wpm", numberInto(m.cwWpm)},
                     {"pi4_audio", numberInto(m.pi4AudioHz)}});
        } else if (name == "calibration") {
            readCalibration(r, node, plan.calibration);
        } else if (name == "cycle") {
            eachKey(r, r.table(node, name), name,
                    {{"seconds",
                      [&](const toml::node& n, const std::string& k) {
                          seq().cycle = Rational(r.whole(n, k, 60, 3600));
                      }},
                     {"slots",
                      [&](const toml::node& n, const std::string& k) {
                          seq().slotCount = static_cast<int>(r.whole(n, k, 1, 1000));
                      }},
                     {"slot", [&](const toml::node& n, const std::string& k) {
                          seq().slot = static_cast<int>(r.whole(n, k, 1, 1000));
                      }}});
        } else if (name == "segment") {
            readSegments(r, node, seq());
        } else if (name == "timer") {
            sequence::TimerSpec timer;
            eachKey(r, r.table(node, name), name,
                    {{"hz",
                      [&](const toml::node& n, const std::string& k) {
                          timer.hz = static_cast<std::uint64_t>(r.whole(n, k, 1, 10'000'000'000));
                      }},
                     {"prescaler",
                      [&](const toml::node& n, const std::string& k) {
                          timer.prescaler = static_cast<std::uint32_t>(r.whole(n, k, 1, 65536));
                      }},
                     {"bits", [&](const toml::node& n, const std::string& k) {
                          timer.bits = static_cast<int>(r.whole(n, k, 8, 32));
                      }}});
            if (timer.hz == 0) r.fail(node.source(), name, "needs hz, the timer's clock");
            plan.timer = timer;
        } else {
            r.fail(key.source(), name,
                   "is no section of a plan file; use [plan], [dds], [calibration], [messages], "
                   "[cycle], [[segment]] or [timer]");
        }
    }
    plan.sequence = sequence;
    plan.source = r.source();
    return plan;
}

// TOML text in double quotes, with the escapes the format requires.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string secondsText(const Rational& t) {
    const std::string text = t.text();
    return text.find('/') == std::string::npos ? text : quoted(text);
}

std::string numberText(double value) {
    return Reader::shortest(value);
}

void line(std::string& out, std::string_view key, const std::optional<std::string>& value) {
    if (value) out.append(key).append(" = ").append(quoted(*value)).append("\n");
}

// A field's text as the file takes it: as typed when it is a plain number, else the number the
// window reads in it (" " is 0, "10 MHz" is 10). A text that reads as no finite number stays,
// and reading the file then names it.
std::optional<std::string> plainField(const std::optional<std::string>& text) {
    if (!text || numbers::parsePlainNumber(*text)) return text;
    const double value = numbers::parseFieldNumber(*text);
    return std::isfinite(value) ? numbers::shortestText(value) : *text;
}

}  // namespace

BeaconPlan readPlan(std::string_view text, const std::string& name) {
    const Reader reader(name);
    try {
        const toml::table doc = toml::parse(text, name);
        return readDocument(doc, reader);
    } catch (const toml::parse_error& error) {
        throw PlanError(name + ":" + std::to_string(error.source().begin.line) + ": " +
                        std::string(error.description()) + "; the file must be TOML");
    } catch (const sequence::RationalOverflow& error) {
        throw PlanError(name + ": " + error.what() + "; use shorter times");
    }
}

BeaconPlan readPlanFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PlanError(path + ": cannot be opened; check the plan file's name");
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    return readPlan(text, path);
}

std::string writePlan(const BeaconPlan& plan) {
    std::string out = "# MERIDEL beacon plan\n";
    const auto section = [&](std::string_view title, std::string body) {
        if (!body.empty()) out.append("\n[").append(title).append("]\n").append(body);
    };
    std::string body;
    const auto& f = plan.fields;
    line(body, "ref_in", plainField(f.refIn));
    line(body, "pll", f.pll);
    line(body, "rf_mult", plainField(f.rfMult));
    line(body, "output", plainField(f.output));
    line(body, "tone", plainField(f.tone));
    line(body, "shift", plainField(f.shift));
    line(body, "mode", f.mode);
    line(body, "comment", f.comment);
    line(body, "file", f.file);
    section("plan", std::exchange(body, {}));
    line(body, "chip", plan.dds.chip);
    line(body, "clock", plainField(plan.dds.clock));
    line(body, "ref_mult", plainField(plan.dds.refMult));
    line(body, "format", plan.dds.format);
    section("dds", std::exchange(body, {}));
    const auto& c = plan.calibration;
    line(body, "ppm", c.ppm);
    line(body, "ppb", c.ppb);
    line(body, "measured", c.measured);
    line(body, "measured_at", c.measuredAt);
    section("calibration", std::exchange(body, {}));
    const auto& m = plan.messages;
    line(body, "jt", m.jt);
    line(body, "wspr", m.wspr);
    line(body, "fsk441", m.fsk441);
    line(body, "pi4", m.pi4);
    line(body, "cw", m.cw);
    line(body, "rtty", m.rtty);
    if (m.cwWpm) body += "cw_wpm = " + numberText(*m.cwWpm) + "\n";
    if (m.pi4AudioHz) body += "pi4_audio = " + numberText(*m.pi4AudioHz) + "\n";
    section("messages", std::exchange(body, {}));
    if (plan.sequence) {
        const auto& s = *plan.sequence;
        body = "seconds = " + s.cycle.text() + "\nslots = " + std::to_string(s.slotCount) +
               "\nslot = " + std::to_string(s.slot) + "\n";
        section("cycle", std::exchange(body, {}));
        for (const sequence::Segment& seg : s.segments) {
            out += "\n[[segment]]\nkind = \"" + std::string(sequence::kindName(seg.kind)) + "\"\n";
            if (seg.start) out += "start = " + secondsText(*seg.start) + "\n";
            if (seg.length) out += "length = " + secondsText(*seg.length) + "\n";
            if (seg.end) out += "end = " + secondsText(*seg.end) + "\n";
        }
    }
    if (plan.timer) {
        body = "hz = " + std::to_string(plan.timer->hz) +
               "\nprescaler = " + std::to_string(plan.timer->prescaler) +
               "\nbits = " + std::to_string(plan.timer->bits) + "\n";
        section("timer", std::exchange(body, {}));
    }
    return out;
}

std::string BeaconPlan::where(const std::string& key) const {
    const auto line = source.lines.find(key);
    if (line == source.lines.end()) return {};
    return source.file + ":" + std::to_string(line->second) + ": " + key + ": ";
}

beacon::MessageInputs messageInputs(const BeaconPlan::Messages& m) {
    beacon::MessageInputs in;
    in.jt = m.jt.value_or("");
    in.wspr = m.wspr.value_or("");
    in.fsk441 = m.fsk441.value_or("");
    in.pi4 = m.pi4.value_or("");
    in.cw = m.cw.value_or("");
    in.rtty = m.rtty.value_or("");
    in.cwWpm = m.cwWpm.value_or(in.cwWpm);
    in.pi4AudioHz = m.pi4AudioHz.value_or(in.pi4AudioHz);
    return in;
}

}  // namespace meridel::planfile
