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
    std::vector<Bar> bars;
    std::vector<Stretch> keyDown;
    std::vector<Mark> marks;
};

// The Beacon sequence window: a plan file opened and saved, its fields put into the main window,
// and its cycle placed over its messages in the main window's mode and checked.
class SequenceModel {
public:
    // Reads a plan file and fills the main window's fields that it gives; the error for the
    // user (file, line and key), or nullopt.
    std::optional<std::string> open(const std::filesystem::path& file, MainWindowModel& main);
    // Writes the main window's fields with the plan's messages, cycle and timer.
    std::optional<std::string> save(const std::filesystem::path& file,
                                    const MainWindowModel& main) const;
    // Places and checks the cycle; the error for the user, or nullopt (the timeline is then
    // empty).
    std::optional<std::string> compute(const MainWindowModel& main);

    const planfile::BeaconPlan& plan() const { return plan_; }
    const Timeline& timeline() const { return timeline_; }

private:
    planfile::BeaconPlan plan_;
    Timeline timeline_;
};

}  // namespace meridel::model
