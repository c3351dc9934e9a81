// Hostile texts given to every field option of meridel-cli (and, for a megabyte, through a
// settings file, since one argument cannot be that long). Nothing crashes: each run completes
// (0) or fails (1) with a JSON object that says why, and the numbers read as documented.
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>

#include "cli/cli_process.h"
#include "numbers/decimal_text.h"

namespace meridel::testing {
namespace {

using nlohmann::json;

struct HostileArgument {
    const char* name;
    std::string text;
    double reading;
    // Exit status with this text in --ref-in, --rf-mult, --output, --tone, --shift (the other
    // fields at their first-start values): '0' completed, '1' arithmetic failure.
    const char* statuses;
};
// Test names and failure reports show the case by its name.
void PrintTo(const HostileArgument& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<std::string> kNumberOptions = {"--ref-in", "--rf-mult", "--output", "--tone",
                                                 "--shift"};

const std::vector<HostileArgument> kHostileArguments = {
    {"LargestDecade", "1E308", 1e308, "11111"},
    {"BeyondDouble", "1E309", std::numeric_limits<double>::infinity(), "11111"},
    {"MinusZero", "-0", 0.0, "11000"},
    {"Hex32Bits", "&HFFFFFFFF", 4294967295.0, "01100"},
    {"HexWithoutDigits", "&H", 0.0, "11000"},
    {"OctalWithoutDigits", "&O", 0.0, "11000"},
    {"ExponentWithoutDigits", "1e", 1.0, "00000"},
    {"TwoPointsFirst", "..5", 0.0, "11000"},
    {"TwoPointsInside", "1.2.3", 1.2, "00000"},
    {"TabInside", "1\t2", 12.0, "00000"},
    {"LineFeedInside", "5\n0.505", 50.505, "00000"},
    {"NonAsciiLetterFirst",
     "\xc3\xa9"
     "5",
     0.0, "11000"},
};

class CliHostile : public CliFolder, public ::testing::WithParamInterface<HostileArgument> {};

TEST_P(CliHostile, EveryNumberOptionCompletesOrFailsWithAnArithmeticError) {
    const HostileArgument& h = GetParam();
    for (std::size_t i = 0; i < kNumberOptions.size(); ++i) {
        SCOPED_TRACE(kNumberOptions[i]);
        const CliResult r = cli({kNumberOptions[i], h.text, "--json"});
        EXPECT_EQ(r.status, h.statuses[i] - '0');
        const json object = json::parse(r.out);
        if (r.status == 0) {
            EXPECT_TRUE(object["error"].is_null());
            EXPECT_NE(object["listing"].get<std::string>().find("PHASE180  Constant  0x"),
                      std::string::npos);
        } else {
            EXPECT_EQ(object["error"]["kind"], "arithmetic");
        }
        EXPECT_EQ(r.err, "");
    }
}

TEST_P(CliHostile, ReferenceReadsAsDocumented) {
    const HostileArgument& h = GetParam();
    const CliResult r = cli({"--ref-in", h.text, "--json"});
    const double clock = 16 * h.reading;  // the first-start PLL multiplier is 16
    EXPECT_EQ(json::parse(r.out)["ClockFreq"],
              std::isfinite(clock) ? numbers::fieldDecimalText(clock) : " 204.8");
}

TEST_P(CliHostile, TextOptionsTakeAnyText) {
    const HostileArgument& h = GetParam();
    const CliResult r = cli({"--comment", h.text, "--mode", h.text, "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    const json object = json::parse(r.out);
    EXPECT_TRUE(object["error"].is_null());
}

TEST_P(CliHostile, PllTextThatIsNoEntryIsAUsageError) {
    const CliResult r = cli({"--pll", GetParam().text});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("is not a PLL multiplier of the list"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Cli, CliHostile, ::testing::ValuesIn(kHostileArguments),
                         [](const auto& info) { return std::string(info.param.name); });

// A megabyte in each numeric line of a settings file: the run fails with an arithmetic error
// that names the field, and the message stays short enough to read.
class CliMegabyte : public CliFolder, public ::testing::WithParamInterface<int> {};

TEST_P(CliMegabyte, MegabyteNumberReadsAsTooLargeAndFailsTheRun) {
    std::vector<std::string> lines = {"12.8", "16", "1", "50.505", " ", "", "2"};
    lines[static_cast<std::size_t>(GetParam())] = std::string(1'000'000, '7');
    {
        std::ofstream file(folder / "MERIDEL.INI", std::ios::binary);
        for (const std::string& line : lines) file << line << "\r\n";
    }
    const CliResult r = cli({"--settings", "MERIDEL.INI"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");  // every such failure comes before the target is opened
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err.substr(0, 200);
    EXPECT_LT(r.err.size(), 1000u) << r.err.substr(0, 200);
}

// Lines 1 (RefIn), 3 (RFMult), 4 (Foutput) and 5 (ToneFreq).
INSTANTIATE_TEST_SUITE_P(Cli, CliMegabyte, ::testing::Values(0, 2, 3, 4));

}  // namespace
}  // namespace meridel::testing
