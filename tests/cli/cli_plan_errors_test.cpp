// Every error about a value of a plan file names the file, the line and the key, whether the
// reader finds it or only the computed plan shows it.
#include <array>
#include <fstream>

#include "cli_process.h"

namespace meridel::testing {
namespace {

class CliPlanErrors : public CliFolder {};

TEST_F(CliPlanErrors, NameTheFileLineAndKey) {
    struct Row {
        const char* plan;
        const char* error;  // what the first error line says after "error: " or "meridel-cli: "
    };
    const std::array<Row, 31> rows = {{
        {"[plan]\noutput = \"14,0971\"\n", "p.toml:2: plan.output: "},
        {"[plan]\n\ntone = nan\n", "p.toml:3: plan.tone: "},
        {"[plan]\nref_in = \"\"\n", "p.toml:2: plan.ref_in: "},
        {"[plan]\nshift = \"\xEF\xBC\x91\"\n", "p.toml:2: plan.shift: "},
        {"[plan]\nrf_mult = 0\n", "p.toml:2: plan.rf_mult: "},
        {"[plan]\nref_in = 0\n", "p.toml:2: plan.ref_in: "},
        {"[plan]\ntone = 1e300\n", "p.toml:2: plan.tone: "},
        {"[plan]\nshift = -1e300\n", "p.toml:2: plan.shift: "},
        {"[plan]\noutput = 1e308\n", "p.toml:2: plan.output: "},
        {"[plan]\nref_in = 20\n[dds]\nchip = \"AD9851\"\nclock = 180\n", "p.toml:2: plan.ref_in: "},
        {"[dds]\nchip = \"AD9851\"\n", "p.toml:2: dds.chip: "},
        {"[dds]\nchip = \"AD9851\"\nclock = 180\nformat = \"asm\"\n", "p.toml:4: dds.format: "},
        {"[dds]\nchip = \"AD9852\"\nclock = 180\n", "p.toml:3: dds.clock: "},
        {"[dds]\nref_mult = 6\n", "p.toml:2: dds.ref_mult: "},
        {"[dds]\nchip = \"AD9851\"\nclock = 180\nref_mult = 2.5\n", "p.toml:4: dds.ref_mult: "},
        {"[dds]\nchip = \"AD9851\"\nclock = 1e-9\n", "p.toml:3: dds.clock: "},
        {"[dds]\nchip = \"AD9851\"\nclock = 180\n[plan]\nrf_mult = 0\n",
         "p.toml:5: plan.rf_mult: "},
        {"[messages]\nwspr = \"K1ABC FN42 37\"\n[dds]\nchip = \"AD9833\"\nclock = 1\n",
         "p.toml:5: dds.clock: "},
        {"[dds]\nchip = \"Si5351\"\n", "p.toml:2: dds.chip: "},
        {"[calibration]\nmeasured = 5\n", "p.toml:2: calibration.measured: "},
        {"[calibration]\nppm = 1e4\n", "p.toml:2: calibration.ppm: "},
        {"[messages]\ncw_wpm = 0\ncw = \"TEST\"\n", "p.toml:2: messages.cw_wpm: "},
        {"[messages]\npi4_audio = -5\npi4 = \"K1ABC\"\n", "p.toml:2: messages.pi4_audio: "},
        {"[messages]\njt = \"~\"\n", "p.toml:2: messages.jt: "},
        {"[messages]\nrtty = \"~\"\n", "p.toml:2: messages.rtty: "},
        {"[messages]\nfsk441 = \"~\"\n", "p.toml:2: messages.fsk441: "},
        {"[messages]\n\npi4 = \"~\"\n", "p.toml:3: messages.pi4: "},
        {"[cycle]\nseconds = 60\nslots = 2\nslot = 3\n", "p.toml:4: cycle.slot: "},
        {"[cycle]\nseconds = 60\n\n[[segment]]\nkind = \"cw\"\n", "p.toml:4: segment 1 (cw) "},
        {"[[segment]]\nkind = \"carrier\"\nstart = -1\nlength = 5\n", "p.toml:1: segment 1 "},
        {"[timer]\nhz = 16000000\n", "p.toml:2: timer.hz: "},
    }};
    for (const Row& row : rows) {
        std::ofstream(folder / "p.toml", std::ios::binary) << row.plan;
        const CliResult r = cli({"--plan", "p.toml"});
        std::string first = r.err.substr(0, r.err.find('\n'));
        for (const char* prefix : {"error: ", "meridel-cli: "}) {
            if (first.starts_with(prefix)) first.erase(0, std::string(prefix).size());
        }
        EXPECT_NE(r.status, 0) << row.plan;
        EXPECT_TRUE(first.starts_with(row.error)) << row.plan << "\n" << r.err;
    }
}

}  // namespace
}  // namespace meridel::testing
