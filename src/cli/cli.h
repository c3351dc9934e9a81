#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace meridel::cli {

// Exit statuses of meridel-cli.
inline constexpr int kCompleted = 0;
inline constexpr int kRunFailed = 1;
inline constexpr int kUsageError = 2;

// The whole command-line tool: `args` without the program name. Writes the listing or the JSON
// object to `out` and warnings, errors and usage texts to `err`.
int runCli(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace meridel::cli
