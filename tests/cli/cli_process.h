#pragma once

// Runs the meridel-cli executable in a folder of its own and captures what it printed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/recording_form.h"
#include "support/scratch_folder.h"
#include "support/unprivileged.h"

namespace meridel::testing {

using CliResult = CommandResult;  // exit status, standard output, standard error

inline std::string shellQuoted(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A fresh folder per test, named after the test, removed afterwards.
class CliFolder : public ::testing::Test {
protected:
    CliResult cli(const std::vector<std::string>& args) const {
        const std::filesystem::path out = std::filesystem::path(folder).concat(".out");
        const std::filesystem::path err = std::filesystem::path(folder).concat(".err");
        std::string command = "cd " + shellQuoted(folder.string()) + " && " MERIDEL_CLI;
        for (const std::string& arg : args) command.append(" ").append(shellQuoted(arg));
        command += " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
        const int raw = std::system(command.c_str());
        CliResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(out.string()),
                         readBytes(err.string())};
        std::filesystem::remove(out);
        std::filesystem::remove(err);
        return result;
    }

    ScratchFolder scratch{"cli"};
    std::filesystem::path folder = scratch.path();
};

}  // namespace meridel::testing
