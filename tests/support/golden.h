#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace meridel::testing {

// Bytes as readable text for a golden file: CR LF ends a line, a lone CR or LF shows as <CR>
// or <LF> (then a line break), other control bytes and bytes above 0x7E as <xx>. Two texts are
// equal exactly when their visible forms are.
std::string visibleBytes(std::string_view bytes);

// Compares `actual` with the golden file; with MERIDEL_UPDATE_GOLDEN=1 in the environment it
// rewrites the file instead (review the diff before committing it).
void expectGolden(const std::filesystem::path& golden, const std::string& actual);

// The files with the given extension in a folder, sorted by name.
std::vector<std::filesystem::path> filesWithExtension(const std::filesystem::path& folder,
                                                      std::string_view extension);

// Test names may hold only letters, digits and "_".
std::string testNameOf(const std::filesystem::path& file);

}  // namespace meridel::testing
