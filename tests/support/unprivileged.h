#pragma once

#include <filesystem>

namespace meridel::testing {

// Copies an executable into `folder` (mode 0755) and returns its new path, so that the
// unprivileged user nobody can start it whatever the permissions of the build folder. The tests
// run as root, whom file permissions do not stop; running as nobody is how they meet a read-only
// folder or an unreadable file.
std::filesystem::path copyExecutable(const std::filesystem::path& program,
                                     const std::filesystem::path& folder);

}  // namespace meridel::testing
