#include "support/scratch_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <system_error>

namespace meridel::testing {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "meridel-" + prefix + "-" + info->test_suite_name() + "-" + info->name();
    for (char& c : name) {
        if (c == '/') c = '-';  // parameterised names hold a "/"
    }
    // A unique suffix, so that two runs of the suite on one machine never share a folder.
    std::string pattern = (fs::temp_directory_path() / name).string() + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    path_ = pattern;
    // As a plain mkdir would make it (mkdtemp's is private to the owner).
    fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

}  // namespace meridel::testing
