#include "model/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/recording_form.h"
#include "support/settings_folder.h"

namespace meridel::model {
using run::FailureKind;
using run::Field;
namespace {
namespace fs = std::filesystem;

const std::string& kDefaultBytes = testing::kDefaultSettingsBytes;
using SettingsTest = testing::SettingsFolder;

void expectDefaults(const MainWindowModel& m) {
    EXPECT_EQ(m.fieldText(Field::RefIn), "12.8");
    EXPECT_EQ(m.pllText(), "16");
    EXPECT_EQ(m.fieldText(Field::ClockFreq), " 204.8");
    EXPECT_EQ(m.fieldText(Field::RFMult), "1");
    EXPECT_EQ(m.fieldText(Field::Foutput), "50.505");
    EXPECT_EQ(m.fieldText(Field::Fo), " 50.505");
    EXPECT_EQ(m.fieldText(Field::ToneFreq), " ");
    EXPECT_EQ(m.fieldText(Field::FileName), " ");
    EXPECT_EQ(m.calculateCaption(), "Calculate + Write file");
    EXPECT_EQ(m.modeIndex(), 2);
    EXPECT_EQ(m.modeText(), "JT65C");
}

TEST_F(SettingsTest, MissingFileIsCreatedWithTheDefaults) {
    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());
    expectDefaults(model);
    EXPECT_EQ(fileBytes(), kDefaultBytes);
}

TEST_F(SettingsTest, ShortFileIsReplacedByTheDefaults) {
    writeFile("10\r\n20\r\n3\r\n144\r\n1000\r\nx.asm\r\n");
    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());
    expectDefaults(model);
    EXPECT_EQ(fileBytes(), kDefaultBytes);
}

TEST_F(SettingsTest, StoredValuesAreAppliedWithTheirHandlers) {
    writeFile("10\r\n20\r\n3\r\n432.3\r\n  800 \r\nbeacon.asm\r\n 5\r\n");
    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());
    EXPECT_EQ(model.fieldText(Field::ClockFreq), " 200");
    EXPECT_EQ(model.fieldText(Field::Fo), " 144.1");
    EXPECT_EQ(model.fieldText(Field::ToneFreq), "  800 ");
    EXPECT_EQ(model.fieldText(Field::FileName), "beacon.asm");
    EXPECT_EQ(model.modeText(), "JT4B");
    EXPECT_FALSE(model.carrierAdjusterEnabled());
}

TEST_F(SettingsTest, ModeLineIsRoundedHalfToEven) {
    const std::vector<std::pair<std::string, int>> cases = {
        {" 2", 2}, {"2", 2}, {"2.5", 2}, {"3.5", 4}, {"abc", 0}, {"-1", -1}, {" 10", 10}};
    for (const auto& [line, index] : cases) {
        writeFile("12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n" + line + "\r\n");
        MainWindowModel model;
        EXPECT_FALSE(start(model).has_value());
        EXPECT_EQ(model.modeIndex(), index) << "line 7: \"" << line << "\"";
        EXPECT_EQ(fileBytes().substr(fileBytes().size() - line.size() - 2), line + "\r\n")
            << "the file is left as it was";
    }
}

TEST_F(SettingsTest, ModeIndexOutOfRangeSendsTheReadingToTheDefaults) {
    for (const char* line : {"11", "-2", "40000", "1e10"}) {
        writeFile("10\r\n20\r\n3\r\n144\r\n1000\r\nx.asm\r\n" + std::string(line) + "\r\n");
        MainWindowModel model;
        EXPECT_FALSE(start(model).has_value());
        expectDefaults(model);
        EXPECT_EQ(fileBytes(), kDefaultBytes) << line;
    }
}

TEST_F(SettingsTest, LinesEndInCrLfLfOrCrAndLaterLinesSurvive) {
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        const std::string bytes = "10" + end + "20" + end + "1" + end + "50" + end + " " + end +
                                  " " + end + "4" + end + "an eighth line" + end;
        writeFile(bytes);
        MainWindowModel model;
        EXPECT_FALSE(start(model).has_value());
        EXPECT_EQ(model.fieldText(Field::ClockFreq), " 200");
        EXPECT_EQ(model.modeText(), "JT4A");
        EXPECT_EQ(fileBytes(), bytes);
    }
    writeFile("10\n20\n1\n50\n \n \n4");  // no line end after the last line
    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());
    EXPECT_EQ(model.modeText(), "JT4A");
}

TEST_F(SettingsTest, UnknownPllEntryClearsTheSelection) {
    writeFile("10\r\n2\r\n1\r\n50\r\n \r\n \r\n2\r\n");
    MainWindowModel model;
    model.selectPll(0);
    EXPECT_FALSE(start(model).has_value());
    EXPECT_EQ(model.pllIndex(), -1);
    EXPECT_EQ(model.fieldText(Field::ClockFreq), " 0");
}

TEST_F(SettingsTest, WrittenFileRoundTripsBlanksNoSelectionAndLatin1) {
    MainWindowModel written;
    start(written);
    written.setFieldText(Field::RefIn, " 10 ");
    written.selectPll(-1);
    written.setFieldText(Field::ToneFreq, "");
    written.setFieldText(Field::FileName,
                         "b\xC3\xA9"
                         "acon.asm");
    written.typeModeText("my mode");
    FileSettingsStore store(path);
    store.write(settingsLinesOf(written));
    EXPECT_EQ(fileBytes(),
              " 10 \r\n\r\n1\r\n50.505\r\n\r\nb\xE9"
              "acon.asm\r\n-1\r\n");

    MainWindowModel read;
    EXPECT_FALSE(start(read).has_value());
    EXPECT_EQ(settingsLinesOf(read), settingsLinesOf(written));
    EXPECT_EQ(read.modeIndex(), -1);
    EXPECT_EQ(read.fieldText(Field::FileName),
              "b\xC3\xA9"
              "acon.asm");
    EXPECT_FALSE(fs::exists(folder / "MERIDEL.INI.tmp"));
}

TEST_F(SettingsTest, FolderThatCannotHoldTheFileGivesDefaultsAndAMessage) {
    std::ofstream(folder / "plain") << "a regular file";
    FileSettingsStore store(folder / "plain" / kSettingsFileName);
    MainWindowModel model;
    const auto error = readIni(model, store);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("plain"), std::string::npos) << *error;
    EXPECT_NE(error->find("Not a directory"), std::string::npos) << *error;
    expectDefaults(model);
}

TEST_F(SettingsTest, OverlongLineIsDamageNotAnAllocation) {
    writeFile(std::string(FileSettingsStore::kMaxLineBytes + 1, '7') + "\r\n");
    MainWindowModel model;
    EXPECT_FALSE(start(model).has_value());
    expectDefaults(model);
}

}  // namespace
}  // namespace meridel::model
