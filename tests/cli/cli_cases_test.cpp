// meridel-cli and the settings probe as a user meets them, driven by tests/data/cli/*.cases:
// each line is a shell command run in a fresh folder, with $CLI (meridel-cli), $PROBE (a
// start-up and shutdown of the window's settings), $DATA (tests/data) and $NOBODY (runs a
// command as the unprivileged user nobody; the tests run as root, whom permissions do not
// stop). A blank line starts the next case in a new folder. The transcript shows each command's
// exit status, standard output and error, and every file that changed, and must equal the
// golden file next to the cases.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli_process.h"
#include "support/fixtures.h"
#include "support/golden.h"
#include "support/scratch_folder.h"
#include "support/unprivileged.h"

namespace meridel::testing {
namespace {
namespace fs = std::filesystem;

// Files and how they are shown; a file over 4 kB shows its size only.
std::map<std::string, std::string> filesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const std::string name = it->path().lexically_relative(folder).string();
        if (it->is_symlink()) {
            files[name] = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            files[name] = "(folder)";
        } else if (it->file_size() > 4096) {
            files[name] = "(" + std::to_string(it->file_size()) + " bytes)";
        } else {
            files[name] = "\n" + visibleBytes(readBytes(it->path().string()));
        }
    }
    return files;
}

class CliCases : public ::testing::TestWithParam<fs::path> {
protected:
    // Copies of the programs that nobody can start, whatever the build folder's permissions.
    void SetUp() override {
        fs::create_directories(bin_.path());
        fs::permissions(bin_.path(), fs::perms::all);
        // The WebAssembly build runs the same cases with its own meridel-cli (a Node script).
        const char* other = std::getenv("MERIDEL_CLI_UNDER_TEST");
        cli_ = copyExecutable(other ? other : MERIDEL_CLI, bin_.path());
        probe_ = copyExecutable(MERIDEL_SETTINGS_PROBE, bin_.path());
    }

    std::string runCase(const std::vector<std::string>& commands, int number) {
        ScratchFolder scratch("cli-" + std::to_string(number));
        const fs::path& folder = scratch.path();
        fs::permissions(folder, fs::perms::all);
        const fs::path out = fs::path(folder).concat(".out"), err = fs::path(folder).concat(".err");
        std::ostringstream transcript;
        auto files = filesIn(folder);
        for (const std::string& command : commands) {
            // Appended piece by piece: GCC 12 at -O3 warns falsely on "literal" + string.
            std::string line = "cd ";
            line.append(shellQuoted(folder.string())).append(" && CLI=");
            line.append(shellQuoted(cli_.string())).append(" PROBE=");
            line.append(shellQuoted(probe_.string())).append(" DATA=");
            line.append(shellQuoted(MERIDEL_TEST_DATA)).append(" NOBODY=");
            line.append(shellQuoted("setpriv --reuid=65534 --regid=65534 --clear-groups --"));
            line.append(" bash -c ").append(shellQuoted(command));
            line.append(" >").append(shellQuoted(out.string()));
            line.append(" 2>").append(shellQuoted(err.string()));
            const int raw = std::system(line.c_str());
            transcript << "$ " << command << "\n  status "
                       << (WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) << "\n";
            for (const auto& [name, path] : {std::pair{"stdout", out}, {"stderr", err}}) {
                std::string shown = visibleBytes(readBytes(path.string()));
                for (std::size_t at; (at = shown.find(folder.string())) != std::string::npos;) {
                    shown.replace(at, folder.string().size(), "$FOLDER");
                }
                if (!shown.empty()) transcript << "  " << name << ":\n" << shown << "\n";
            }
            const auto now = filesIn(folder);
            for (const auto& [name, shown] : now) {
                if (files[name] != shown) transcript << "  file " << name << ": " << shown << "\n";
            }
            files = now;
        }
        fs::remove(out);
        fs::remove(err);
        return transcript.str();
    }

    ScratchFolder bin_{"cli-bin"};
    fs::path cli_, probe_;
};

TEST_P(CliCases, TranscriptMatchesGolden) {
    std::ifstream cases(GetParam());
    std::string transcript;
    std::vector<std::string> commands;
    int number = 0;
    const auto flush = [&] {
        if (!commands.empty()) transcript += runCase(commands, ++number) + "\n";
        commands.clear();
    };
    for (std::string line; std::getline(cases, line);) {
        if (line.empty()) {
            flush();
        } else if (line[0] == '#') {
            transcript += line + "\n";
        } else {
            commands.push_back(line);
        }
    }
    flush();
    expectGolden(fs::path(GetParam()).replace_extension(".golden"), transcript);
}

INSTANTIATE_TEST_SUITE_P(Cli, CliCases,
                         ::testing::ValuesIn(filesWithExtension(MERIDEL_TEST_DATA "/cli",
                                                                ".cases")),
                         [](const auto& info) { return testNameOf(info.param); });

}  // namespace
}  // namespace meridel::testing
