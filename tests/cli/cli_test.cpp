// End-to-end tests of the meridel-cli executable: bytes on standard output, files, exit
// statuses and the JSON object.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_process.h"

namespace {
namespace fs = std::filesystem;
using nlohmann::json;
using Result = meridel::testing::CliResult;
using CliTest = meridel::testing::CliFolder;

const std::vector<std::string> kReferencePlan = {
    "--ref-in", "20",      "--pll", "10",        "--output", "50",     "--tone",
    "1500",     "--shift", "850",   "--comment", "Test",     "--mode", "JT65B"};

std::vector<std::string> with(std::vector<std::string> args, std::vector<std::string> more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST_F(CliTest, ReferencePlanPrintsTheListingBytesOnStandardOutput) {
    const Result r = cli(kReferencePlan);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, meridel::testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst"));
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, DefaultPlanIsTheFirstStartWindow) {
    const Result r = cli({});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\r\n    ;Frequency data\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("    ;Fcarrier = 50.505 , RF Mult = 1 , Fo(carrier) =  50.505\r\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("    ;Ref in   = 12.8 , PLL Mult= 16 , Clock freq  =  204.8\r\n"),
              std::string::npos);
    EXPECT_NE(r.out.find(" ; JT65C Interval      \r\n"), std::string::npos);
    EXPECT_NE(r.out.find(" ; 0Hz Tone    \r\n"), std::string::npos);
    EXPECT_NE(r.out.find(" ; RTTY Mark   1445Hz\r\n"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 31), "PHASE180  Constant  0x20,0x00\r\n");
}

TEST_F(CliTest, FileOptionCreatesAndReplacesTheUpperCasedFile) {
    fs::create_directories(folder / "out");
    std::ofstream(folder / "out" / "BEACON.ASM") << std::string(5000, 'x');
    const Result r = cli(with(kReferencePlan, {"--file", "out/beacon.asm"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(meridel::testing::readBytes((folder / "out" / "BEACON.ASM").string()),
              meridel::testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst"));
    EXPECT_FALSE(fs::exists(folder / "out" / "beacon.asm"));
}

TEST_F(CliTest, ExitStatuses) {
    EXPECT_EQ(cli({"--bogus"}).status, 2);
    EXPECT_EQ(cli({"--pll", "7.5"}).status, 2);
    EXPECT_EQ(cli({"--ref-in"}).status, 2);
    EXPECT_EQ(cli({"--json=1"}).status, 2);

    const Result usage = cli({"--pll", "2"});
    EXPECT_NE(usage.err.find("usage: meridel-cli"), std::string::npos);
    EXPECT_EQ(usage.out, "");

    const Result failed = cli({"--rf-mult", "0"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err.rfind("error: RF Mult \"0\"", 0), 0u) << failed.err;

    const Result noPll = cli({"--pll", ""});
    EXPECT_EQ(noPll.status, 1);
    EXPECT_NE(noPll.err.find("PLL Clock Multiplier"), std::string::npos);

    const Result missingFolder = cli({"--file", "no/such/folder/x.asm"});
    EXPECT_EQ(missingFolder.status, 1);
    EXPECT_NE(missingFolder.err.find("NO/SUCH/FOLDER/X.ASM"), std::string::npos);
}

TEST_F(CliTest, WarningsGoToStandardError) {
    const Result r =
        cli({"--ref-in", "20", "--pll", "10", "--output", "50", "--mode", "JT4G", "--rf-mult=1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "warning: USE 32-BIT ADD FOR JT4G\n");
}

TEST_F(CliTest, JsonObjectOfACompletedRun) {
    const Result r = cli(with(kReferencePlan, {"--json"}));
    EXPECT_EQ(r.status, 0);
    const json object = json::parse(r.out);
    EXPECT_EQ(object["Fo"], " 50");
    EXPECT_EQ(object["ClockFreq"], " 200");
    EXPECT_EQ(object["KeyFreq"], "50.0015");
    EXPECT_TRUE(object["warning"].is_null());
    EXPECT_TRUE(object["error"].is_null());
    const std::string golden = meridel::testing::readBytes(MERIDEL_TEST_DATA "/jt65b_200mhz.lst");
    EXPECT_EQ(object["listing"], golden);
    EXPECT_EQ(object["results"], golden.substr(golden.find("0x40,0x00,0x49"),
                                               golden.size() - golden.find("0x40,0x00,0x49") - 2));
    EXPECT_EQ(object.size(), 7u);
}

TEST_F(CliTest, JsonObjectOfFailedRuns) {
    json object = json::parse(cli({"--rf-mult", "abc", "--json"}).out);
    EXPECT_EQ(object["error"]["kind"], "arithmetic");
    EXPECT_TRUE(object["listing"].is_null());
    EXPECT_TRUE(object["results"].is_null());
    EXPECT_EQ(object["Fo"], " 50.505");  // as the first start left it

    object = json::parse(cli({"--tone", "1e308", "--json"}).out);
    EXPECT_EQ(object["error"]["kind"], "arithmetic");
    const std::string listing = object["listing"];
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 7);  // the header only
    EXPECT_EQ(object["warning"], nullptr);

    const Result r = cli({"--file", "a/b", "--json"});
    EXPECT_EQ(r.status, 1);
    object = json::parse(r.out);
    EXPECT_EQ(object["error"]["kind"], "output");
    EXPECT_TRUE(object["listing"].is_null());
    EXPECT_EQ(object["ClockFreq"], " 204.8");
}

TEST_F(CliTest, JsonWithFileRecordsWhatTheFileReceivedAndTextsAreUtf8) {
    const Result r = cli({"--comment", "Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC", "--mode", "mein Modus",
                          "--file", "g.inc", "--json"});
    EXPECT_EQ(r.status, 0);
    const json object = json::parse(r.out);
    const std::string file = meridel::testing::readBytes((folder / "G.INC").string());
    EXPECT_NE(file.find("    ;Gr\xFC\xDF?\r\n"), std::string::npos);
    EXPECT_NE(object["listing"].get<std::string>().find("    ;Gr\xC3\xBC\xC3\x9F?\r\n"),
              std::string::npos);
    EXPECT_NE(object["results"].get<std::string>().find(" ; mein Modus Interval      "),
              std::string::npos);
}

TEST_F(CliTest, HelpAndVersion) {
    const Result help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--ref-in", "--pll", "--rf-mult", "--output", "--tone", "--shift", "--mode", "--comment",
          "--file", "--settings", "--json", "--help", "--version", "--file beacon.inc"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const Result version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("meridel-cli ", 0), 0u);
}

}  // namespace
