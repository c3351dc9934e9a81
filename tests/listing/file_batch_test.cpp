// Files written together or not at all: a name that cannot be written fails before any file
// changes, and a batch given up leaves the folder as it found it.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "listing/output_targets.h"
#include "support/fixtures.h"
#include "support/scratch_folder.h"

namespace meridel::listing {
namespace {
namespace fs = std::filesystem;
using meridel::testing::readBytes;
using meridel::testing::ScratchFolder;

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names in a folder, to see that no temporary is left behind.
std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(FileBatch, WritesEveryFileOnCommit) {
    const ScratchFolder folder("batch");
    const fs::path a = folder.path() / "A.INC", b = folder.path() / "b.inc";
    write(a, "old contents, longer than the new");
    fs::permissions(a, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    FileBatch batch;
    batch.add(a, "--file");
    batch.add(b, "--symbol-file");
    EXPECT_EQ(readBytes(a.string()), "old contents, longer than the new");  // not yet truncated
    EXPECT_FALSE(fs::exists(b));
    batch.setBytes(a, "listing\r\n");
    batch.setBytes(b, "symbols\r\n");
    batch.commit();
    EXPECT_EQ(readBytes(a.string()), "listing\r\n");
    EXPECT_EQ(readBytes(b.string()), "symbols\r\n");
    EXPECT_EQ(fs::status(a).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"A.INC", "b.inc"}));
}

TEST(FileBatch, GivenUpLeavesEveryFileAsItWas) {
    const ScratchFolder folder("batch");
    const fs::path kept = folder.path() / "KEPT.INC", fresh = folder.path() / "fresh.inc";
    write(kept, "old");
    {
        FileBatch batch;
        batch.add(kept, "--file");
        batch.add(fresh, "--symbol-file");
        try {
            batch.add(folder.path() / "missing" / "x.inc", "--symbol-file");
            ADD_FAILURE() << "a file in a missing folder was accepted";
        } catch (const OutputError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find("x.inc\" (--symbol-file): "), std::string::npos) << what;
            EXPECT_NE(what.find("No file was written"), std::string::npos) << what;
        }
    }
    EXPECT_EQ(readBytes(kept.string()), "old");
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"KEPT.INC"});
}

// A disk that fills up while the second file is written: both old files stay whole, the
// temporaries go and the message says that nothing was written. A small tmpfs is the disk
// where the test may mount one (as root); elsewhere a file size limit fails the write the same
// way.
TEST(FileBatch, AFullDiskLeavesEveryOldFile) {
    const ScratchFolder folder("batch");
    const fs::path disk = folder.path() / "disk";
    fs::create_directory(disk);
    const bool mounted = ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") == 0;
    const fs::path a = disk / "A.H", b = disk / "b.wav";
    write(a, "old header");
    write(b, "old sound");
    std::string message;
    {
        FileBatch batch;
        batch.add(a, "--file");
        batch.add(b, "--wav");
        batch.setBytes(a, std::string(4096, 'h'));
        batch.setBytes(b, std::string(200000, 's'));
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{100000, old.rlim_max};
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        if (!mounted) ::setrlimit(RLIMIT_FSIZE, &small);
        try {
            batch.commit();
        } catch (const OutputError& e) {
            message = e.what();
        }
        if (!mounted) ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
    }
    EXPECT_EQ(readBytes(a.string()), "old header");
    EXPECT_EQ(readBytes(b.string()), "old sound");
    EXPECT_EQ(namesIn(disk), (std::set<std::string>{"A.H", "b.wav"}));
    // Quoted piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "literal" + string.
    const std::string quoted = std::string(1, '"').append(b.string()).append("\" (--wav): ");
    EXPECT_NE(message.find(quoted), std::string::npos) << message;
    EXPECT_NE(message.find("No file was written."), std::string::npos) << message;
    if (mounted) ::umount(disk.c_str());
}

TEST(FileBatch, RefusesANameWithANul) {
    FileBatch batch;
    EXPECT_THROW(batch.add(std::string("a\0b", 3), "--file"), OutputError);
}

}  // namespace
}  // namespace meridel::listing
