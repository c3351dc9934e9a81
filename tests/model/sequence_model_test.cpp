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

std::string rows(const SequenceModel& m) {
    std::string out;
    for (const auto& r : m.segmentRows()) {
        out += (out.empty() ? "" : ";") + r.kind + "," + r.start + "," + r.length + "," + r.end;
    }
    return out;
}

const std::string kIaru = "pi4,0,,;cw,25,,;pause,after previous,0.5,;carrier,after previous,,59.5";

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
         "pi4,0,,;cw,25,,;carrier,after previous,0.5,;carrier,after previous,,59.5"},
        {edit(3, SegmentField::Kind, "cw"), "",
         "pi4,0,,;cw,25,,;pause,after previous,0.5,;cw,after previous,,"},
        {edit(1, SegmentField::Start, ""), "",
         "pi4,0,,;cw,after previous,,;pause,after previous,0.5,;carrier,after previous,,59.5"},
        {edit(3, SegmentField::Start, "73/3"), "",
         "pi4,0,,;cw,25,,;pause,after previous,0.5,;carrier,73/3,,59.5"},
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
         kIaru + ";pause,after previous,1,"},
        {[](SequenceModel& m, W w) { return m.addSegment(0, w); }, "",
         "pause,after previous,1,;" + kIaru},
        {[](SequenceModel& m, W w) { return m.removeSegment(2, w); }, "",
         "pi4,0,,;cw,25,,;carrier,after previous,,59.5"},
        {[](SequenceModel& m, W w) { return m.removeSegment(4, w); },
         "There is no segment 5 to remove", ""},
        {[](SequenceModel& m, W w) { return m.moveSegment(2, -1, w); }, "",
         "pi4,0,,;pause,after previous,0.5,;cw,25,,;carrier,after previous,,59.5"},
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

}  // namespace
