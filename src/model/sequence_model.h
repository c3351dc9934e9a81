#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/main_window_model.h"
#include "planfile/plan_file.h"

namespace meridel::model {

// One cycle as the Beacon sequence window draws it, in seconds from the cycle start.
struct Timeline {
    struct Bar {
        std::string kind;  // "pi4", "cw", ...
        double start, end;
    };
    struct Stretch {
        double start, end;
    };
    struct Mark {
        double at;
        bool breach;
        std::string text;  // "rule: what to change"
    };
    double length = 60;
    int slotCount = 1;  // sent in slot `slot` of every `slotCount` cycles
    int slot = 1;
    std::vector<Bar> bars;
    std::vector<Stretch> keyDown;
    std::vector<Mark> marks;
};

// One segment as the window lists it: texts the user reads and types back.
struct SegmentRow {
    std::string kind;    // "pi4", "cw", ...
    std::string start;   // seconds, or "after previous"
    std::string length;  // seconds, or "" (an end, or the message's own length)
    std::string end;     // seconds, or ""
    // A length or end the plan leaves to the message or the neighbours, shown as placed.
    bool lengthPlaced = false, endPlaced = false;
    friend bool operator==(const SegmentRow&, const SegmentRow&) = default;
};

enum class SegmentField { Kind, Start, Length, End };

// The Beacon sequence window: a plan file opened and saved, its fields put into the main window,
// and its cycle placed over its messages in the main window's mode and checked.
class SequenceModel {
public:
    // A plan file or template read but not yet taken, or why it cannot be read (file, line and
    // key).
    struct ReadPlan {
        std::optional<planfile::BeaconPlan> plan;
        std::string name;  // the file's name, or the template's with ".toml"
        std::string error;
    };
    static ReadPlan read(const std::filesystem::path& file);
    // The templates by name ("iaru-mixed", ...); picking one is opening its example file.
    static std::vector<std::string> templateNames();
    static ReadPlan readTemplate(const std::string& name);
    // The main window's fields that taking `plan` would change, as "Label: old -> new", so that
    // the user can be asked first.
    static std::vector<std::string> replacedFields(const planfile::BeaconPlan& plan,
                                                   const MainWindowModel& main);
    // Takes a plan read: fills the main window's fields that it gives and places its cycle; the
    // error for the user, or nullopt.
    std::optional<std::string> take(ReadPlan read, MainWindowModel& main);
    // Reading and taking at once.
    std::optional<std::string> open(const std::filesystem::path& file, MainWindowModel& main);
    std::optional<std::string> pickTemplate(const std::string& name, MainWindowModel& main);
    // The name of the file or template open, or saved last; empty before.
    const std::string& name() const { return name_; }

    // The segments, and the edits of them. An edit that would make a cycle that cannot be placed
    // is refused with the error naming the segment and field and what is allowed, and the plan
    // stays as it was; a plan that could not be placed before takes any edit toward a fix.
    std::vector<SegmentRow> segmentRows() const;
    static std::vector<std::string> kindNames();
    // A pause of up to 1 s where the cycle has room for it: at `at` (0 to the number of
    // segments) when there is free time there, else at the next place that has some.
    std::optional<std::string> addSegment(std::size_t at, const MainWindowModel& main);
    std::optional<std::string> removeSegment(std::size_t at, const MainWindowModel& main);
    // Swaps segment `at` with the one before (by -1) or after (by +1) it.
    std::optional<std::string> moveSegment(std::size_t at, int by, const MainWindowModel& main);
    std::optional<std::string> editSegment(std::size_t at, SegmentField field,
                                           const std::string& text, const MainWindowModel& main);
    // Writes the main window's fields with the plan's messages, cycle and timer, to `file` with
    // ".toml" added when it has another suffix or none (the file Open lists).
    std::optional<std::string> save(const std::filesystem::path& file, const MainWindowModel& main);
    static std::filesystem::path planFileName(std::filesystem::path file);
    // How the cycle repeats: "Cycle of 60 s", and the slot it is sent in when there are several.
    std::string cycleText() const;
    // Places and checks the cycle; the error for the user, or nullopt (the timeline is then
    // empty).
    std::optional<std::string> compute(const MainWindowModel& main);

    const planfile::BeaconPlan& plan() const { return plan_; }
    const Timeline& timeline() const { return timeline_; }

    // Why the cycle cannot be placed, or nullopt.
    const std::optional<std::string>& error() const { return error_; }

private:
    std::optional<std::string> computeTimeline(const MainWindowModel& main);
    // The free time after the segment before `at` up to the next fixed start or the cycle's end.
    sequence::Rational roomAt(std::size_t at) const;
    std::optional<std::string> apply(sequence::SequencePlan candidate, const std::string& edit,
                                     const MainWindowModel& main);

    planfile::BeaconPlan plan_;
    std::string name_;
    Timeline timeline_;
    std::vector<sequence::PlacedSegment> placed_;
    std::optional<std::string> error_;
};

}  // namespace meridel::model
