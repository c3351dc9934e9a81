// Files written together or not at all: a name that cannot be written fails before any file
// changes, and a batch given up leaves the folder as it found it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

TEST(FileBatch, WritesEveryFileOnCommit) {
    const ScratchFolder folder("batch");
    const fs::path a = folder.path() / "A.INC", b = folder.path() / "b.inc";
    write(a, "old contents, longer than the new");
    FileBatch batch;
    batch.add(a, "--file");
    batch.add(b, "--symbol-file");
    EXPECT_EQ(readBytes(a.string()), "old contents, longer than the new");  // not yet truncated
    batch.setBytes(a, "listing\r\n");
    batch.setBytes(b, "symbols\r\n");
    batch.commit();
    EXPECT_EQ(readBytes(a.string()), "listing\r\n");
    EXPECT_EQ(readBytes(b.string()), "symbols\r\n");
}

TEST(FileBatch, GivenUpLeavesOldFilesAndRemovesNewOnes) {
    const ScratchFolder folder("batch");
    const fs::path kept = folder.path() / "KEPT.INC", fresh = folder.path() / "fresh.inc";
    write(kept, "old");
    {
        FileBatch batch;
        batch.add(kept, "--file");
        batch.add(fresh, "--symbol-file");
        EXPECT_TRUE(fs::exists(fresh));
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
    EXPECT_FALSE(fs::exists(fresh));
}

TEST(FileBatch, RefusesANameWithANul) {
    FileBatch batch;
    EXPECT_THROW(batch.add(std::string("a\0b", 3), "--file"), OutputError);
}

}  // namespace
}  // namespace meridel::listing
