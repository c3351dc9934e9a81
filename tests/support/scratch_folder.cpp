#include "support/scratch_folder.h"

#include <gtest/gtest.h>

namespace meridel::testing {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "meridel-" + prefix + "-" + info->test_suite_name() + "-" + info->name();
    for (char& c : name) {
        if (c == '/') c = '-';  // parameterised names hold a "/"
    }
    path_ = fs::temp_directory_path() / name;
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

}  // namespace meridel::testing
