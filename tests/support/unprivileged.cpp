#include "support/unprivileged.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/recording_form.h"

namespace meridel::testing {
namespace fs = std::filesystem;

namespace {
std::string shellQuote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
}  // namespace

CommandResult runAsNobody(const fs::path& folder, const std::vector<std::string>& command) {
    // The captured output goes next to the test folder: nobody may not write inside it.
    const fs::path out = fs::path(folder).concat(".out");
    const fs::path err = fs::path(folder).concat(".err");
    std::string line = "cd " + shellQuote(folder.string()) +
                       " && setpriv --reuid=65534 --regid=65534 --clear-groups --";
    for (const std::string& arg : command) line.append(" ").append(shellQuote(arg));
    line += " >" + shellQuote(out.string()) + " 2>" + shellQuote(err.string());
    const int raw = std::system(line.c_str());
    CommandResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(out.string()),
                         readBytes(err.string())};
    fs::remove(out);
    fs::remove(err);
    return result;
}

fs::path copyExecutable(const fs::path& program, const fs::path& folder) {
    const fs::path copy = folder / program.filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return copy;
}

}  // namespace meridel::testing
