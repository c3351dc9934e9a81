// Saving where the folder is read-only but "MERIDEL.INI" is writable, and through a symbolic
// link, as the unprivileged user nobody: a damaged file is recovered without a message, the
// save lands in the file that is there and the file keeps its permissions; where the folder is
// writable the file is still replaced whole by a new one. The file is in Windows-1252.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/settings_folder.h"
#include "support/unprivileged.h"

namespace meridel::model {
namespace {
namespace fs = std::filesystem;

// "€ beacon.asm" as file name: 0x80 in the file, read back as the euro sign.
const std::string kStored = "10\r\n20\r\n9\r\n1296.5\r\n1500\r\n\x80 beacon.asm\r\n 4\r\n";
const std::string kStoredFields =
    "[10]\n[20]\n[9]\n[1296.5]\n[1500]\n[\xE2\x82\xAC beacon.asm]\n[ 4]\n";
const std::string kSaved = "99\r\n20\r\n9\r\n1296.5\r\n1500\r\n\x80 beacon.asm\r\n 4\r\n";
const std::string kDefaultFields = "[12.8]\n[16]\n[1]\n[50.505]\n[ ]\n[ ]\n[ 2]\n";
const std::string kSavedDefaults = "99\r\n16\r\n1\r\n50.505\r\n \r\n \r\n 2\r\n";
constexpr mode_t kFileMode = 0606;  // nobody is among the others, who may read and write

struct InPlaceCase {
    const char* name;
    const char* linkTarget;  // "MERIDEL.INI" is a symbolic link to this, or "" for none
    bool folderWritable;     // the folder that holds the file itself
    bool damaged;            // the file holds one line only
    bool replaced;           // a new file takes the old one's place (else it is rewritten)
};
void PrintTo(const InPlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsInPlace : public testing::SettingsFolder,
                        public ::testing::WithParamInterface<InPlaceCase> {};

struct stat statOf(const fs::path& file) {
    struct stat s {};
    EXPECT_EQ(::stat(file.c_str(), &s), 0) << file;
    return s;
}

TEST_P(SettingsInPlace, RecoversAndSavesIntoTheFileThatIsThere) {
    const InPlaceCase& c = GetParam();
    const fs::path probe = testing::copyExecutable(MERIDEL_SETTINGS_PROBE, folder);
    fs::path file = path;
    if (*c.linkTarget) {
        file = folder / c.linkTarget;
        fs::create_directories(file.parent_path());
        fs::create_symlink(c.linkTarget, path);
    }
    std::ofstream(file, std::ios::binary) << (c.damaged ? std::string("x\r\n") : kStored);
    ASSERT_EQ(::chmod(file.c_str(), kFileMode), 0);
    fs::permissions(file.parent_path(), c.folderWritable
                                            ? fs::perms::all
                                            : fs::perms::owner_all | fs::perms::group_read |
                                                  fs::perms::group_exec | fs::perms::others_read |
                                                  fs::perms::others_exec);
    const ino_t before = statOf(file).st_ino;

    const auto r = testing::runAsNobody(folder, {probe.string(), "--save"});

    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "read: ok\n" + (c.damaged ? kDefaultFields : kStoredFields) + "save: ok\n");
    EXPECT_EQ(testing::readBytes(file.string()), c.damaged ? kSavedDefaults : kSaved);
    EXPECT_EQ(fs::is_symlink(path), *c.linkTarget != '\0');
    EXPECT_EQ(statOf(file).st_mode & 07777, kFileMode);
    EXPECT_EQ(statOf(file).st_ino != before, c.replaced);
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        EXPECT_EQ(entry.path().extension(), entry.path() == probe ? "" : ".INI") << entry.path();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsInPlace,
    ::testing::Values(InPlaceCase{"ReadOnlyFolder", "", false, false, false},
                      InPlaceCase{"ReadOnlyFolderDamagedFile", "", false, true, false},
                      InPlaceCase{"WritableFolder", "", true, false, true},
                      InPlaceCase{"LinkIntoReadOnlyFolder", "shared/S.INI", false, true, false},
                      InPlaceCase{"LinkIntoWritableFolder", "shared/S.INI", true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace meridel::model
