// Damaged and unreachable settings files: a folder in its place, unreadable, binary or NUL
// bytes, 100 MB, CR-only line ends, and a working folder that is read-only at start-up and at
// shutdown. A whole file is never lost; each failure without recovery has a clear message.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/settings_file.h"
#include "support/recording_form.h"
#include "support/settings_folder.h"
#include "support/unprivileged.h"

namespace meridel::model {
using run::FailureKind;
using run::Field;
namespace {
namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string& kDefaultBytes = testing::kDefaultSettingsBytes;
const std::string kWholeBytes = "10\r\n20\r\n9\r\n1296.5\r\n1500\r\nbeacon.asm\r\n 4\r\n";

class SettingsFaults : public testing::SettingsFolder {
protected:
    // Start-up (and with --save, shutdown) of the window as nobody, in the test folder.
    testing::CommandResult startAsNobody(bool save) {
        const fs::path probe = testing::copyExecutable(MERIDEL_SETTINGS_PROBE, folder);
        std::vector<std::string> command = {probe.string()};
        if (save) command.push_back("--save");
        return testing::runAsNobody(folder, command);
    }
};

std::string probeLines(const std::string& readResult, const std::string& fields) {
    return "read: " + readResult + "\n" + fields;
}
const std::string kDefaultFields = "[12.8]\n[16]\n[1]\n[50.505]\n[ ]\n[ ]\n[ 2]\n";
const std::string kWholeFields = "[10]\n[20]\n[9]\n[1296.5]\n[1500]\n[beacon.asm]\n[ 4]\n";

void expectDefaults(const MainWindowModel& m) {
    EXPECT_EQ(settingsLinesOf(m), (SettingsLines{"12.8", "16", "1", "50.505", " ", " ", " 2"}));
    EXPECT_EQ(m.fieldText(Field::ClockFreq), " 204.8");
    EXPECT_EQ(m.fieldText(Field::Fo), " 50.505");
}

// --- damaged contents: read in full, or replaced whole by the defaults ----------------------

struct DamagedCase {
    const char* name;
    std::string bytes;
    bool replacedByDefaults;
    SettingsLines shown;  // the window's seven settings after start-up
};
// Test names and failure reports show the case by its name.
void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedFile : public SettingsFaults, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFile, StartsWithWhatTheFileHoldsOrWithTheDefaults) {
    const DamagedCase& c = GetParam();
    writeFile(c.bytes);
    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());
    EXPECT_EQ(settingsLinesOf(model), c.shown);
    EXPECT_EQ(fileBytes(), c.replacedByDefaults ? kDefaultBytes : c.bytes);
    EXPECT_FALSE(fs::exists(fs::path(path).concat(".tmp")));
}

const SettingsLines kDefaultLines = {"12.8", "16", "1", "50.505", " ", " ", " 2"};

INSTANTIATE_TEST_SUITE_P(
    Settings, DamagedFile,
    ::testing::Values(
        // Binary bytes with fewer than seven line ends: damaged.
        DamagedCase{"BinaryBytes", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe"s, true, kDefaultLines},
        // Binary bytes in seven lines are texts like any other (ISO 8859-1 shown as UTF-8);
        // line 7 without a number reads as 0 and selects JT65A.
        DamagedCase{"BinaryBytesInSevenLines",
                    std::string("\x01\x02\r\n\xff\r\n\x7f\r\n\xe9\r\n\t\r\n\x80\r\n\x1b[\r\n"),
                    false,
                    {"\x01\x02", "", "\x7f", "\xc3\xa9", "\t", "\xc2\x80", " 0"}},
        DamagedCase{"OnlyNulBytes", std::string(4096, '\0'), true, kDefaultLines},
        // NUL bytes inside lines stay in the texts; a number reads up to them.
        DamagedCase{"NulBytesInsideLines",
                    "12.8\0x\r\n16\r\n1\r\n50.505\0\r\n \r\n \r\n3\0\r\n"s,
                    false,
                    {"12.8\0x"s, "16", "1", "50.505\0"s, " ", " ", " 3"}},
        DamagedCase{"CrOnlyLineEnds",
                    "10\r20\r9\r1296.5\r1500\rbeacon.asm\r 4\r",
                    false,
                    {"10", "20", "9", "1296.5", "1500", "beacon.asm", " 4"}},
        DamagedCase{"LfOnlyLineEnds",
                    "10\n20\n9\n1296.5\n1500\nbeacon.asm\n 4\n",
                    false,
                    {"10", "20", "9", "1296.5", "1500", "beacon.asm", " 4"}},
        DamagedCase{"EmptyFile", "", true, kDefaultLines},
        DamagedCase{"ModeBeyondSixteenBits", "12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n40000\r\n",
                    true, kDefaultLines}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsFaults, NulBytesInsideLinesReadAsTheNumberBeforeThem) {
    writeFile("12.8\0x\r\n16\r\n1\r\n50.505\0\r\n \r\n \r\n3\0\r\n"s);
    MainWindowModel model;
    start(model);
    EXPECT_EQ(model.fieldText(Field::ClockFreq), " 204.8");
    EXPECT_EQ(model.fieldText(Field::Fo), " 50.505");
    EXPECT_EQ(model.modeText(), "JT44");
}

// --- a 100 MB file: seven lines are read, nothing more, and memory stays small --------------

// The peak resident set size since the last reset, in kB.
long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}
long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}
void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Far below the file's 100 MB, far above what seven lines of at most a mebibyte need.
constexpr long kGenerousGrowthKb = 64 * 1024;
constexpr std::uintmax_t kHundredMegabytes = 100'000'000;

TEST_F(SettingsFaults, HundredMegabyteFileWithSevenGoodLinesIsReadAndKept) {
    writeFile(kWholeBytes);
    fs::resize_file(path, kHundredMegabytes);  // a sparse tail of NUL bytes after line 7
    resetPeakResident();
    const long before = residentKb();

    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());

    EXPECT_LT(peakResidentKb() - before, kGenerousGrowthKb);
    EXPECT_EQ(settingsLinesOf(model),
              (SettingsLines{"10", "20", "9", "1296.5", "1500", "beacon.asm", " 4"}));
    EXPECT_EQ(fs::file_size(path), kHundredMegabytes);
}

TEST_F(SettingsFaults, HundredMegabyteLineIsDamageNotAnAllocation) {
    writeFile("");
    fs::resize_file(path, kHundredMegabytes);  // one line of NUL bytes
    resetPeakResident();
    const long before = residentKb();

    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());

    EXPECT_LT(peakResidentKb() - before, kGenerousGrowthKb);
    expectDefaults(model);
    EXPECT_EQ(fileBytes(), kDefaultBytes);
}

// --- no file can be read or written ----------------------------------------------------------

TEST_F(SettingsFaults, FileThatIsAFolderGivesTheDefaultsInMemoryAndAMessage) {
    fs::create_directories(path);
    MainWindowModel model;
    const auto message = start(model);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("MERIDEL.INI"), std::string::npos) << *message;
    EXPECT_NE(message->find(folder.string()), std::string::npos) << *message;
    EXPECT_NE(message->find("Is a directory"), std::string::npos) << *message;
    expectDefaults(model);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_FALSE(fs::exists(fs::path(path).concat(".tmp")));
}

TEST_F(SettingsFaults, UnreadableFileInAWritableFolderIsReplacedByTheDefaults) {
    writeFile(kWholeBytes);
    fs::permissions(path, fs::perms::none);
    fs::permissions(folder, fs::perms::all);
    const auto r = startAsNobody(false);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, probeLines("ok", kDefaultFields));
    EXPECT_EQ(fileBytes(), kDefaultBytes);
}

TEST_F(SettingsFaults, UnreadableFileInAReadOnlyFolderStaysAndTheDefaultsAreShown) {
    writeFile(kWholeBytes);
    fs::permissions(path, fs::perms::none);
    const auto r = startAsNobody(false);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, probeLines("Cannot write the settings file \"MERIDEL.INI\" in the folder \"" +
                                    folder.string() + "\": Permission denied",
                                kDefaultFields));
    EXPECT_EQ(fileBytes(), kWholeBytes);
}

TEST_F(SettingsFaults, ReadOnlyFolderAtStartUpWithoutAFileShowsTheDefaultsAndAMessage) {
    const auto r = startAsNobody(false);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, probeLines("Cannot write the settings file \"MERIDEL.INI\" in the folder \"" +
                                    folder.string() + "\": Permission denied",
                                kDefaultFields));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(SettingsFaults, ReadOnlyFolderAtShutdownFailsClearlyAndKeepsTheOldFileWhole) {
    writeFile(kWholeBytes);
    const auto r = startAsNobody(true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, probeLines("ok", kWholeFields) +
                         "save: Cannot write the settings file \"MERIDEL.INI\" in the folder \"" +
                         folder.string() + "\": Permission denied\n");
    EXPECT_EQ(fileBytes(), kWholeBytes);
    EXPECT_FALSE(fs::exists(fs::path(path).concat(".tmp")));
}

TEST_F(SettingsFaults, WritableFolderAtShutdownReplacesTheFileWhole) {
    writeFile(kWholeBytes);
    fs::permissions(folder, fs::perms::all);
    const auto r = startAsNobody(true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, probeLines("ok", kWholeFields) + "save: ok\n");
    EXPECT_EQ(fileBytes(), "99\r\n20\r\n9\r\n1296.5\r\n1500\r\nbeacon.asm\r\n 4\r\n");
}

}  // namespace
}  // namespace meridel::model
