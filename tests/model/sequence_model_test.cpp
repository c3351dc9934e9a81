// The Beacon sequence window's model: templates picked as their files open, segment edits that
// recompute the cycle, and edits refused with the segment, the field and what is allowed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

#include "model/sequence_model.h"

namespace {
using meridel::model::MainWindowModel;
using meridel::model::SegmentField;
using meridel::model::SequenceModel;

// The segments as the table lists them; a length or end as placed, not given, in brackets.
std::string rows(const SequenceModel& m) {
    std::string out;
    const auto placed = [](bool p, const std::string& t) { return p ? "[" + t + "]" : t; };
    for (const auto& r : m.segmentRows()) {
        out += (out.empty() ? "" : ";") + r.kind + "," + r.start + "," +
               placed(r.lengthPlaced, r.length) + "," + placed(r.endPlaced, r.end);
    }
    return out;
}

const std::string kPi4 = "pi4,0,[24.333],[24.333];";
const std::string kCw = "cw,25,[12.9],[37.9];";
const std::string kIaru =
    kPi4 + kCw + "pause,after previous,0.5,[38.4];carrier,after previous,[21.1],59.5";

TEST(SequenceModel, EditsRecomputeTheCycleOrAreRefused) {
    using W = const MainWindowModel&;
    using Edit = std::function<std::optional<std::string>(SequenceModel&, W)>;
    const auto edit = [](std::size_t at, SegmentField field, const char* text) -> Edit {
        return [=](SequenceModel& m, W w) { return m.editSegment(at, field, text, w); };
    };
    const struct {
        Edit change;
        std::string error;  // its start; "" for an edit that is taken
        std::string after;  // "" for kIaru, unchanged
    } cases[] = {
        {edit(2, SegmentField::Kind, "carrier"), "",
         kPi4 + kCw + "carrier,after previous,0.5,[38.4];carrier,after previous,[21.1],59.5"},
        {edit(3, SegmentField::Kind, "cw"), "",
         kPi4 + kCw + "pause,after previous,0.5,[38.4];cw,after previous,[12.9],[51.3]"},
        {edit(1, SegmentField::Start, ""), "",
         kPi4 + "cw,after previous,[12.9],[37.233];pause,after previous,0.5,[37.733];carrier,"
                "after previous,[21.767],59.5"},
        {edit(3, SegmentField::Start, "73/3"), "",
         kPi4 + kCw + "pause,after previous,0.5,[38.4];carrier,73/3,[35.167],59.5"},
        {edit(1, SegmentField::Start, "abc"), "Segment 2, start: \"abc\" is no time; give seconds",
         ""},
        {edit(0, SegmentField::Kind, "morse"),
         "Segment 1, kind: \"morse\" is no kind; use pi4, cw, carrier", ""},
        {edit(1, SegmentField::Length, "5"),
         "Cannot change the length of segment 2: segment 2 (cw) takes its length", ""},
        {edit(3, SegmentField::End, "20"),
         "Cannot change the end of segment 4: segment 4 (carrier) needs a length above 0", ""},
        {edit(0, SegmentField::Kind, "wspr"),
         "Cannot change the kind of segment 1: segment 1 (wspr) needs a WSPR message", ""},
        {edit(7, SegmentField::End, "1"), "There is no segment 8", ""},
        {[](SequenceModel& m, W w) { return m.addSegment(4, w); }, "",
         kIaru + ";pause,after previous,0.5,[60]"},  // the half second left
        {[](SequenceModel& m, W w) { return m.addSegment(0, w); }, "",
         // No time before the PI4 at 0 s: in the 2/3 s before the CW at 25 s.
         kPi4 + "pause,after previous,2/3,[25];" + kCw +
             "pause,after previous,0.5,[38.4];carrier,after previous,[21.1],59.5"},
        {[](SequenceModel& m, W w) { return m.removeSegment(2, w); }, "",
         kPi4 + kCw + "carrier,after previous,[21.6],59.5"},
        {[](SequenceModel& m, W w) { return m.removeSegment(4, w); },
         "There is no segment 5 to remove", ""},
        {[](SequenceModel& m, W w) { return m.moveSegment(2, -1, w); }, "",
         kPi4 + "pause,after previous,0.5,[24.833];" + kCw + "carrier,after previous,[21.6],59.5"},
        {[](SequenceModel& m, W w) { return m.moveSegment(3, 1, w); },
         "There is no place to move segment 4", ""},
    };
    for (const auto& c : cases) {
        MainWindowModel window;
        SequenceModel m;
        ASSERT_EQ(m.pickTemplate("iaru-mixed", window), std::nullopt);
        const auto error = c.change(m, window);
        EXPECT_EQ(error.value_or("").rfind(c.error, 0), 0u) << error.value_or("");
        EXPECT_EQ(error.has_value(), !c.error.empty()) << c.after;
        EXPECT_EQ(rows(m), c.after.empty() ? kIaru : c.after);
        // Taken or refused, the timeline is that of the plan as it now stands.
        EXPECT_EQ(m.timeline().bars.size(), m.segmentRows().size());
        EXPECT_EQ(m.error(), std::nullopt);
    }
}

TEST(SequenceModel, TemplatesOpenAsTheirFilesAndAKindChangeKeepsItsPlace) {
    ASSERT_EQ(SequenceModel::templateNames(),
              (std::vector<std::string>{"iaru-mixed", "jt4-cw", "jt65-cw", "wspr", "cw-carrier"}));
    for (const std::string& name : SequenceModel::templateNames()) {
        MainWindowModel picked;
        MainWindowModel opened;
        SequenceModel fromTemplate;
        SequenceModel fromFile;
        EXPECT_EQ(fromTemplate.pickTemplate(name, picked), std::nullopt) << name;
        EXPECT_EQ(fromFile.open(MERIDEL_EXAMPLES "/" + name + ".toml", opened), std::nullopt);
        EXPECT_EQ(fromTemplate.plan(), fromFile.plan()) << name;
        EXPECT_EQ(picked.fieldText(meridel::run::Field::Foutput),
                  opened.fieldText(meridel::run::Field::Foutput));
        EXPECT_EQ(picked.modeText(), opened.modeText());
    }
    MainWindowModel window;
    SequenceModel m;
    EXPECT_NE(m.pickTemplate("iaru", window), std::nullopt);
    ASSERT_EQ(m.pickTemplate("cw-carrier", window), std::nullopt);
    const auto cw = m.timeline().bars[0];
    ASSERT_EQ(m.editSegment(0, SegmentField::Kind, "carrier", window), std::nullopt);
    EXPECT_EQ(m.timeline().bars[0].start, cw.start);
    EXPECT_EQ(m.timeline().bars[0].end, cw.end);

    // What the window opened, calibration and all, it saves byte for byte.
    meridel::planfile::BeaconPlan calibrated = m.plan();
    calibrated.calibration.ppb = "-250";
    const std::string text = meridel::planfile::writePlan(calibrated);
    const std::string opened = ::testing::TempDir() + "sequence_model_opened.toml";
    const std::string saved = ::testing::TempDir() + "sequence_model_saved.toml";
    std::ofstream(opened, std::ios::binary) << text;
    ASSERT_EQ(m.open(opened, window), std::nullopt);
    ASSERT_EQ(m.save(saved, window), std::nullopt);
    std::ifstream in(saved, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
    std::remove(opened.c_str());
    std::remove(saved.c_str());

    // A plan the main window's mode cannot place takes the edit that fixes it.
    ASSERT_EQ(m.pickTemplate("jt4-cw", window), std::nullopt);
    window.selectMode(1);  // JT65B
    EXPECT_NE(m.compute(window), std::nullopt);
    EXPECT_EQ(m.editSegment(0, SegmentField::Kind, "jt65", window), std::nullopt);
    EXPECT_EQ(m.timeline().bars.size(), 6u);
}

TEST(SequenceModel, PlanFilesAreSavedAsTomlAndSlotsAreNamed) {
    const struct {
        const char* chosen;
        const char* saved;
    } names[] = {{"mybeacon", "mybeacon.toml"},
                 {"b.toml", "b.toml"},
                 {"B.TOML", "B.TOML"},
                 {"b.txt", "b.txt.toml"},
                 {"v1.2/beacon", "v1.2/beacon.toml"},
                 {".toml", ".toml.toml"}};
    for (const auto& n : names) EXPECT_EQ(SequenceModel::planFileName(n.chosen), n.saved);

    const struct {
        const char* name;
        const char* cycle;
    } templates[] = {{"iaru-mixed", "Cycle of 60 s"},
                     {"wspr", "Cycle of 120 s, sent in slot 1 of 5: from 0 s of every 600 s"}};
    for (const auto& t : templates) {
        MainWindowModel window;
        SequenceModel m;
        ASSERT_EQ(m.pickTemplate(t.name, window), std::nullopt);
        EXPECT_EQ(m.cycleText(), t.cycle);
        EXPECT_EQ(m.name(), std::string(t.name) + ".toml");
    }
}

}  // namespace
