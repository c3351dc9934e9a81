// meridel-cli with a listing target it cannot write: a folder, a missing folder, a read-only
// file or folder (as the unprivileged user nobody), and a full device. Exit status 1, the
// system's reason on standard error, nothing on standard output, and no file touched.
#include <filesystem>
#include <fstream>

#include "cli/cli_process.h"
#include "support/unprivileged.h"

namespace meridel::testing {
namespace {
namespace fs = std::filesystem;

using CliFaults = CliFolder;

TEST_F(CliFaults, TargetThatIsAFolder) {
    fs::create_directories(folder / "BEACON.INC");
    const CliResult r = cli({"--file", "beacon.inc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "error: Cannot open the listing file \"BEACON.INC\" for writing: Is a directory. "
              "Check the File Name field: its folder must exist and be writable.\n");
    EXPECT_TRUE(fs::is_directory(folder / "BEACON.INC"));
}

TEST_F(CliFaults, TargetInAMissingFolder) {
    const CliResult r = cli({"--file", "out/beacon.inc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("\"OUT/BEACON.INC\" for writing: No such file or directory"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(folder / "OUT"));
}

TEST_F(CliFaults, FullDeviceFailsTheRunWithTheSystemsReason) {
    // The name is upper-cased: reach /dev/full through a link with an upper-case name.
    fs::create_symlink("/dev/full", folder / "FULL");
    const CliResult r = cli({"--file", "full", "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"kind\":\"output\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("No space left on device"), std::string::npos) << r.out;
}

// As nobody: the listing file is read-only, or its folder is.
class CliReadOnlyTarget : public CliFolder {
protected:
    CliResult cliAsNobody(const std::vector<std::string>& args) {
        const fs::path program = copyExecutable(MERIDEL_CLI, folder);
        std::vector<std::string> command = {program.string()};
        command.insert(command.end(), args.begin(), args.end());
        return runAsNobody(folder, command);
    }
};

TEST_F(CliReadOnlyTarget, ReadOnlyFileKeepsItsContent) {
    fs::permissions(folder, fs::perms::all);
    std::ofstream(folder / "BEACON.INC") << "previous listing";
    fs::permissions(folder / "BEACON.INC",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const CliResult r = cliAsNobody({"--file", "beacon.inc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "error: Cannot open the listing file \"BEACON.INC\" for writing: Permission "
              "denied. Check the File Name field: its folder must exist and be writable.\n");
    EXPECT_EQ(readBytes((folder / "BEACON.INC").string()), "previous listing");
}

TEST_F(CliReadOnlyTarget, ReadOnlyFolderGetsNoFile) {
    fs::create_directories(folder / "ro");
    const CliResult r = cliAsNobody({"--file", "ro/beacon.inc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"ro/BEACON.INC\" for writing: Permission denied"), std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_empty(folder / "ro"));
}

}  // namespace
}  // namespace meridel::testing
