#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace meridel::testing {

// What a command run as another user left behind.
struct CommandResult {
    int status;  // exit status, or -1 when it did not exit normally
    std::string out, err;
};

// Runs `command` (program and arguments) in `folder` as the unprivileged user nobody, through
// `setpriv --reuid=65534 --regid=65534 --clear-groups`. The tests run as root, whom file
// permissions do not stop, so this is how they meet a read-only folder or an unreadable file.
CommandResult runAsNobody(const std::filesystem::path& folder,
                          const std::vector<std::string>& command);

// Copies an executable into `folder` (mode 0755) and returns its new path, so that nobody can
// start it whatever the permissions of the build folder.
std::filesystem::path copyExecutable(const std::filesystem::path& program,
                                     const std::filesystem::path& folder);

}  // namespace meridel::testing
