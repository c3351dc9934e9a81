#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "model/main_window_model.h"
#include "run/run_words.h"

namespace meridel::model {

// A Calculate press on a copy of the main window, for the windows that show its words: the
// window itself, its results and every file stay as they are.
struct AsideRun {
    std::optional<run::RunFailure> failure;
    run::RunWords words;  // when the run completed
    std::string listing;  // the bytes the listing file would hold (Windows-1252, CR LF)
};

// `clockMHz`, when given, is the system clock of a chip without the AD9852's PLL: the copy takes
// it as its reference with the PLL bypassed, as meridel-cli does.
AsideRun runPlanAside(const MainWindowModel& plan,
                      const std::optional<std::string>& clockMHz = std::nullopt);

// Lines as the listing's target writes them: Windows-1252, CR LF after each.
std::string listingBytes(const std::vector<std::string>& lines);

// Writes `bytes` as the whole file; the error text names the file and the system's reason.
std::optional<std::string> writeWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes);

}  // namespace meridel::model
