#include "support/unprivileged.h"

namespace meridel::testing {
namespace fs = std::filesystem;

fs::path copyExecutable(const fs::path& program, const fs::path& folder) {
    const fs::path copy = folder / program.filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return copy;
}

}  // namespace meridel::testing
