// The main window's behaviour without any widget: start-up, the change handlers and their
// nesting, the carrier adjuster, the stale colour, the after-run state, the results window, and
// the load and unload handlers around MERIDEL.INI.
#include "model/main_window_model.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gui/main_window_layout.h"
#include "model/settings_file.h"
#include "model/window_lifecycle.h"
#include "support/recording_form.h"
#include "support/scratch_folder.h"

namespace meridel::model {
using run::FailureKind;
using run::Field;
namespace {
namespace fs = std::filesystem;

using testing::MemoryOpener;

// The window after its load handler ran on a folder without a settings file.
class StartedWindow : public ::testing::Test {
protected:
    StartedWindow() { testing::loadFirstStart(model); }

    std::optional<run::RunFailure> calculate() {
        model.setFieldText(Field::FileName, "");
        MemoryOpener opener;
        return model.calculate(opener);
    }
    const std::string& text(Field field) const { return model.fieldText(field); }

    MainWindowModel model;
};

// --- start-up ---------------------------------------------------------------------------------

TEST(MainWindowModelStart, AsCreatedBeforeTheLoadHandler) {
    const MainWindowModel model;
    for (Field field : {Field::RefIn, Field::ClockFreq, Field::Foutput, Field::RFMult, Field::Fo,
                        Field::KeyFreq, Field::FileName}) {
        EXPECT_EQ(model.fieldText(field), "") << static_cast<int>(field);
    }
    EXPECT_EQ(model.fieldText(Field::ToneFreq), "1500");
    EXPECT_EQ(model.fieldText(Field::Comment), "Frequency data");
    EXPECT_EQ(model.pllIndex(), -1);
    EXPECT_EQ(model.mode().index, -1);
    EXPECT_EQ(model.mode().entries.size(), 11u);
    EXPECT_EQ(model.calculateCaption(), "Calculate");
    EXPECT_FALSE(model.carrierAdjusterEnabled());
    EXPECT_FALSE(model.results().exists);
    EXPECT_EQ(MainWindowModel::pllEntries().size(), 18u);
    EXPECT_EQ(MainWindowModel::pllEntries().back(), "1");  // no 2 or 3 before it
    EXPECT_EQ(MainWindowModel::pllEntries()[16], "4");
}

TEST_F(StartedWindow, FirstStartWithoutSettingsFile) {
    EXPECT_EQ(text(Field::RefIn), "12.8");
    EXPECT_EQ(model.pllText(), "16");
    EXPECT_EQ(text(Field::ClockFreq), " 204.8");
    EXPECT_EQ(text(Field::RFMult), "1");
    EXPECT_EQ(text(Field::Foutput), "50.505");
    EXPECT_EQ(text(Field::Fo), " 50.505");
    EXPECT_EQ(text(Field::ToneFreq), " ");
    EXPECT_EQ(text(Field::FileName), " ");
    EXPECT_EQ(model.calculateCaption(), "Calculate + Write file");
    EXPECT_EQ(model.modeText(), "JT65C");
    EXPECT_EQ(model.rttyShift().text, "170");
    EXPECT_EQ(model.rttyShift().index, 1);
    EXPECT_EQ(text(Field::KeyFreq), "");
    EXPECT_EQ(text(Field::Comment), "Frequency data");
    EXPECT_FALSE(model.carrierAdjusterEnabled());
    EXPECT_FALSE(model.warningVisible());
    EXPECT_TRUE(model.results().visible);
    EXPECT_EQ(model.results().text, "");
}

TEST(MainWindowModelStart, ReadingTheSettingsDerivesTheFieldsOnTheWay) {
    // RefIn comes before any PLL entry is selected, RFMult before Foutput.
    MainWindowModel model;
    std::vector<std::pair<std::string, std::string>> shown;  // ClockFreq, Fo after each change
    model.setChangeListener([&] {
        const auto now =
            std::make_pair(model.fieldText(Field::ClockFreq), model.fieldText(Field::Fo));
        if (shown.empty() || shown.back() != now) shown.push_back(now);
    });
    testing::loadFirstStart(model);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {" 0", ""}, {" 204.8", ""}, {" 204.8", " 0"}, {" 204.8", " 50.505"}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(model.results().colour, ResultsColour::Stale);
    EXPECT_TRUE(model.results().exists);  // marking stale created it
}

// --- DDS clock and DDS carrier ----------------------------------------------------------------

TEST_F(StartedWindow, DdsClockTakesTheNumericPrefixes) {
    const struct {
        std::string refIn, pll, clock;
    } cases[] = {
        {"10 MHz", "16", " 160"}, {"200", "1", " 200"}, {"12.8", "", " 0"},   {"abc", "20", " 0"},
        {"1 296", "4", " 5184"},  {"-10", "4", "-40"},  {".05", "10", " .5"},
    };
    for (const auto& c : cases) {
        model.setFieldText(Field::RefIn, c.refIn);
        model.selectPllText(c.pll);
        EXPECT_EQ(text(Field::ClockFreq), c.clock) << c.refIn << " x " << c.pll;
    }
}

TEST_F(StartedWindow, TheTwoCarrierHandlersDivideDifferently) {
    model.setFieldText(Field::RFMult, "2.5");
    EXPECT_EQ(text(Field::Fo), " 25.2525");  // RFMult handler: rounded to 2
    model.setFieldText(Field::Foutput, "");
    model.setFieldText(Field::Foutput, "50.505");
    EXPECT_EQ(text(Field::Fo), " 20.202");  // Foutput handler: the whole text, 2.5

    model.setFieldText(Field::RFMult, "3.5");
    EXPECT_EQ(text(Field::Fo), " 12.62625");  // 3.5 rounds to 4
}

TEST_F(StartedWindow, RfMultValuesThatLeaveFoAlone) {
    for (const char* rfMult : {"0", "-2", "", "abc", "0.5", "-0.4", "3000000000"}) {
        model.setFieldText(Field::RFMult, "1");
        model.setFieldText(Field::Foutput, "50.505");
        ASSERT_EQ(text(Field::Fo), " 50.505");
        model.setFieldText(Field::RFMult, rfMult);
        EXPECT_EQ(text(Field::Fo), " 50.505") << "RFMult \"" << rfMult << "\"";
        EXPECT_EQ(model.results().colour, ResultsColour::Stale) << rfMult;
    }
}

TEST_F(StartedWindow, OutputCarrierReadsTheWholeMultiplierText) {
    const std::string unchanged = "(unchanged)";
    const struct {
        std::string rfMult, fo;
    } cases[] = {
        {"-2", "-25.2525"},  {"", unchanged},    {"0", unchanged},   {"2x", unchanged},
        {" 2 ", " 25.2525"}, {"abc", unchanged}, {"1e1", " 5.0505"}, {"2.5", " 20.202"},
    };
    for (const auto& c : cases) {
        model.setFieldText(Field::Foutput, "99");
        model.setFieldText(Field::RFMult, c.rfMult);
        const std::string before = text(Field::Fo);
        model.setFieldText(Field::Foutput, "50.505");
        EXPECT_EQ(text(Field::Fo), c.fo == unchanged ? before : c.fo)
            << "RFMult \"" << c.rfMult << "\"";
    }
}

// --- Calculate button caption ------------------------------------------------------------------

TEST_F(StartedWindow, CalculateCaptionFollowsTheFileName) {
    const struct {
        std::string fileName, caption;
    } cases[] = {
        {"", "Calculate"},
        {"b", "Calculate + Write file"},
        {" ", "Calculate + Write file"},
        {"", "Calculate"},
        {"beacon.asm", "Calculate + Write file"},
    };
    for (const auto& c : cases) {
        model.setFieldText(Field::FileName, c.fileName);
        EXPECT_EQ(model.calculateCaption(), c.caption) << "\"" << c.fileName << "\"";
    }
}

// --- stale colour -------------------------------------------------------------------------------

struct Edit {
    const char* what;
    std::function<void(MainWindowModel&)> apply;
    bool marksStale;
};

TEST_F(StartedWindow, ExactlyFiveInputsMakeTheResultsStale) {
    const auto set = [](Field field, const char* value) {
        return [=](MainWindowModel& m) { m.setFieldText(field, value); };
    };
    const std::vector<Edit> edits = {
        {"RefIn", set(Field::RefIn, "10"), true},
        {"PLLMult", [](MainWindowModel& m) { m.selectPllText("20"); }, true},
        {"PLLMult cleared", [](MainWindowModel& m) { m.selectPll(-1); }, true},
        {"RFMult", set(Field::RFMult, "2"), true},
        {"RFMult 0", set(Field::RFMult, "0"), true},
        {"Foutput", set(Field::Foutput, "144.49"), true},
        {"KeyFreq", set(Field::KeyFreq, "50.5"), true},
        {"ToneFreq", set(Field::ToneFreq, "800"), false},
        {"Comment", set(Field::Comment, "another"), false},
        {"FileName", set(Field::FileName, "x.asm"), false},
        {"RTTYShift typed", [](MainWindowModel& m) { m.typeRttyShiftText("200"); }, false},
        {"RTTYShift listed", [](MainWindowModel& m) { m.selectRttyShift(3); }, false},
        {"mode listed", [](MainWindowModel& m) { m.selectMode(5); }, false},
        {"mode typed", [](MainWindowModel& m) { m.typeModeText("JT9"); }, false},
        {"ClockFreq", set(Field::ClockFreq, " 1"), false},
        {"Fo", set(Field::Fo, " 1"), false},
        {"results text", [](MainWindowModel& m) { m.editResultsText("typed"); }, false},
        {"RefIn set to the text it holds", set(Field::RefIn, "12.8"), false},
    };
    for (const Edit& edit : edits) {
        MainWindowModel fresh;
        testing::loadFirstStart(fresh);
        fresh.setFieldText(Field::FileName, "");
        MemoryOpener opener;
        ASSERT_FALSE(fresh.calculate(opener).has_value());
        ASSERT_EQ(fresh.results().colour, ResultsColour::Fresh);
        edit.apply(fresh);
        EXPECT_EQ(fresh.results().colour == ResultsColour::Stale, edit.marksStale) << edit.what;
    }
}

// --- combo boxes --------------------------------------------------------------------------------

TEST_F(StartedWindow, TypingIntoAComboSelectsTheEntryOfThatTextOrNone) {
    model.typeModeText("JT4A");
    EXPECT_EQ(model.modeIndex(), 4);
    model.typeModeText("JT4");  // not an entry: no selection, the typed text shown
    EXPECT_EQ(model.modeIndex(), -1);
    EXPECT_EQ(model.modeText(), "JT4");
    model.selectMode(-1);
    EXPECT_EQ(model.modeText(), "");

    model.typeRttyShiftText("200");
    EXPECT_EQ(model.rttyShift().index, -1);
    EXPECT_EQ(text(Field::RTTYShift), "200");
    model.selectRttyShift(3);
    EXPECT_EQ(text(Field::RTTYShift), "850");
    EXPECT_EQ(model.rttyShift().text, "850");
}

// --- carrier adjuster ---------------------------------------------------------------------------

TEST_F(StartedWindow, SetCarrPutsTheToneOnTheKeyingFrequency) {
    const struct {
        std::string keyFreq, tone, rfMult, foutput, fo;
    } cases[] = {
        {"50.5065", "1500", "1", " 50.505", " 50.505"},
        {"144.4915", "1500", "1", " 144.49", " 144.49"},
        {"", "1500", "1", "-.0015", "-.0015"},
        {"432.3008", "800", "3", " 432.3", " 144.1"},
        {"10 MHz", " ", "1", " 10", " 10"},
    };
    for (const auto& c : cases) {
        model.setFieldText(Field::RFMult, c.rfMult);
        model.setFieldText(Field::ToneFreq, c.tone);
        model.setFieldText(Field::KeyFreq, "1");
        model.setFieldText(Field::KeyFreq, c.keyFreq);
        EXPECT_TRUE(model.carrierAdjusterEnabled()) << "a KeyFreq edit enables it";
        model.clickSetCarr();
        EXPECT_EQ(text(Field::Foutput), c.foutput) << c.keyFreq << " - " << c.tone << " Hz";
        EXPECT_EQ(text(Field::Fo), c.fo) << c.keyFreq;
        EXPECT_FALSE(model.carrierAdjusterEnabled()) << "the Foutput handler disables it";
        EXPECT_EQ(model.results().colour, ResultsColour::Stale);
    }
}

// --- after a run --------------------------------------------------------------------------------

TEST_F(StartedWindow, AfterARunTheTextIsBlackAndTheAdjusterDisabled) {
    model.setFieldText(Field::ToneFreq, "1500");
    model.closeResultsWindow();
    ASSERT_FALSE(calculate().has_value());
    EXPECT_EQ(text(Field::KeyFreq), "50.5065");  // the run wrote it, which enabled the adjuster
    EXPECT_FALSE(model.carrierAdjusterEnabled());
    EXPECT_EQ(model.results().colour, ResultsColour::Fresh);
    EXPECT_TRUE(model.results().visible) << "a run shows the closed results window again";
    EXPECT_EQ(model.results().text.rfind("0x", 0), 0u);
    EXPECT_NE(model.results().text.substr(model.results().text.size() - 2), "\r\n");

    model.setFieldText(Field::RefIn, "10");
    EXPECT_EQ(model.results().colour, ResultsColour::Stale);
    model.editResultsText("typed by the user");
    ASSERT_FALSE(calculate().has_value());
    EXPECT_EQ(model.results().text.find("typed"), std::string::npos);
    EXPECT_EQ(model.results().colour, ResultsColour::Fresh);
}

TEST_F(StartedWindow, AFailedRunKeepsTheResultsAndTheWindowGoesOn) {
    ASSERT_FALSE(calculate().has_value());
    const std::string before = model.results().text;
    model.setFieldText(Field::RFMult, "0");
    const auto failure = calculate();
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->message.find("RF Mult"), std::string::npos) << failure->message;
    EXPECT_EQ(model.results().text, before);
    model.setFieldText(Field::RFMult, "1");
    EXPECT_FALSE(calculate().has_value());
}

// --- the results window's place -----------------------------------------------------------------

TEST(ResultsWindowPlace, TenTwipsRightOfTheMainWindowAtItsTop) {
    EXPECT_EQ(resultsWindowPlace({1000, 500}, 7900), (TwipsPoint{8910, 500}));
    EXPECT_EQ(resultsWindowPlace({0, 0}, 7770), (TwipsPoint{7780, 0}));
    EXPECT_EQ(resultsWindowPlace({-2000, 300}, 1000), (TwipsPoint{-990, 300}));
}

TEST(Twips, FifteenTwipsAPixelAt96Dpi) {
    EXPECT_EQ(gui::twipsToPixels(gui::kMainClientWidth, 96), 518);
    EXPECT_EQ(gui::twipsToPixels(gui::kMainClientHeight, 96), 322);
    EXPECT_EQ(gui::twipsToPixels(-120, 96), -8);
    EXPECT_EQ(gui::twipsToPixels(10, 96), 1);  // two thirds of a pixel still shows a gap
    EXPECT_EQ(gui::twipsToPixels(gui::kMainClientWidth, 144), 777);
    EXPECT_EQ(gui::pixelsToTwips(518, 96), gui::kMainClientWidth);
    EXPECT_EQ(gui::pixelsToTwips(1, 120), 12);
}

// --- load and unload handlers -------------------------------------------------------------------

class WindowLifecycle : public ::testing::Test {
protected:
    testing::ScratchFolder scratch{"lifecycle"};
    fs::path folder = scratch.path();
    fs::path file = folder / kSettingsFileName;
    MainWindowModel model;
};

TEST_F(WindowLifecycle, LoadCreatesTheDefaultsAndShowsTheResultsWindow) {
    EXPECT_FALSE(loadMainWindow(model, file).has_value());
    EXPECT_EQ(testing::readBytes(file.string()), "12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n2\r\n");
    EXPECT_EQ(model.rttyShift().text, "170");
    EXPECT_TRUE(model.results().visible);
    EXPECT_FALSE(model.warningVisible());
}

TEST_F(WindowLifecycle, UnloadSavesSevenLinesThenHidesTheResultsWindow) {
    ASSERT_FALSE(loadMainWindow(model, file).has_value());
    model.setFieldText(Field::RefIn, " 10 ");
    model.selectPll(-1);
    model.typeModeText("JT4B");
    model.setFieldText(Field::FileName, "b.asm");
    model.setFieldText(Field::KeyFreq, "1");  // not stored
    EXPECT_FALSE(unloadMainWindow(model, file).has_value());
    EXPECT_EQ(testing::readBytes(file.string()), " 10 \r\n\r\n1\r\n50.505\r\n \r\nb.asm\r\n 5\r\n");
    EXPECT_FALSE(model.results().visible);

    MainWindowModel again;
    ASSERT_FALSE(loadMainWindow(again, file).has_value());
    EXPECT_EQ(again.fieldText(Field::RefIn), " 10 ");
    EXPECT_EQ(again.pllIndex(), -1);
    EXPECT_EQ(again.modeText(), "JT4B");
    EXPECT_EQ(again.fieldText(Field::KeyFreq), "");
}

TEST_F(WindowLifecycle, NoModeSelectedIsSavedAsMinusOne) {
    ASSERT_FALSE(loadMainWindow(model, file).has_value());
    model.typeModeText("none of them");
    ASSERT_FALSE(unloadMainWindow(model, file).has_value());
    EXPECT_EQ(testing::readBytes(file.string()), "12.8\r\n16\r\n1\r\n50.505\r\n \r\n \r\n-1\r\n");
}

// The messages name the file, the folder and the system's reason.
void expectNamesFileFolderAndReason(const std::string& message, const fs::path& folder,
                                    const std::string& reason) {
    EXPECT_NE(message.find("File: MERIDEL.INI"), std::string::npos) << message;
    EXPECT_NE(message.find("Folder: " + folder.string()), std::string::npos) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
}

TEST_F(WindowLifecycle, AFolderNamedLikeTheFileGivesOneMessageAndTheDefaults) {
    fs::create_directory(file);
    const auto message = loadMainWindow(model, file);
    ASSERT_TRUE(message.has_value());
    expectNamesFileFolderAndReason(*message, folder, "directory");
    EXPECT_EQ(model.fieldText(Field::ClockFreq), " 204.8");
    EXPECT_EQ(model.modeText(), "JT65C");
    EXPECT_TRUE(model.results().visible) << "start-up goes on";

    const auto saved = unloadMainWindow(model, file);
    ASSERT_TRUE(saved.has_value());
    expectNamesFileFolderAndReason(*saved, folder, "directory");
    EXPECT_FALSE(model.results().visible) << "the program ends all the same";
    EXPECT_TRUE(fs::is_directory(file));
}

TEST_F(WindowLifecycle, AFolderPathThroughARegularFileFailsBothWays) {
    std::ofstream(folder / "plain") << "a file, not a folder";
    const fs::path unreachable = folder / "plain" / kSettingsFileName;
    const auto message = loadMainWindow(model, unreachable);
    ASSERT_TRUE(message.has_value());
    expectNamesFileFolderAndReason(*message, folder / "plain", "Not a directory");
    EXPECT_EQ(model.fieldText(Field::Fo), " 50.505");
    ASSERT_TRUE(unloadMainWindow(model, unreachable).has_value());
}

}  // namespace
}  // namespace meridel::model
