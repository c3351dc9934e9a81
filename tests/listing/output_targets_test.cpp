#include "listing/output_targets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/recording_form.h"
#include "support/scratch_folder.h"

namespace meridel::listing {
namespace {
namespace fs = std::filesystem;

class TempFolder : public ::testing::Test {
protected:
    testing::ScratchFolder scratch{"targets"};
    fs::path root = scratch.path();
};

TEST_F(TempFolder, ExistingFoldersAreFoundWhateverTheirCase) {
    fs::create_directories(root / "out" / "Sub");
    EXPECT_EQ(resolveListingPath((root / "OUT" / "SUB" / "BEACON.ASM").string()),
              root / "out" / "Sub" / "BEACON.ASM");
    // An exact match wins over another spelling.
    fs::create_directories(root / "OUT");
    EXPECT_EQ(resolveListingPath((root / "OUT" / "X").string()), root / "OUT" / "X");
    // Missing folders keep the upper-case name (and opening then fails).
    EXPECT_EQ(resolveListingPath((root / "NEW" / "X").string()), root / "NEW" / "X");
    // A plain name stays in the working folder.
    EXPECT_EQ(resolveListingPath("BEACON.ASM"), fs::path("BEACON.ASM"));
}

TEST_F(TempFolder, FileChannelWritesLatin1WithCrLfAndReplaces) {
    const fs::path file = root / "L.LST";
    { std::ofstream(file) << "old content that is longer than the new one\n"; }
    auto channel = openFileChannel(file);
    channel->writeLine("caf\xC3\xA9");
    channel->writeLine("");
    channel->close();
    channel->close();  // closing twice is harmless
    EXPECT_EQ(testing::readBytes(file.string()), "caf\xE9\r\n\r\n");
}

TEST_F(TempFolder, UnopenableTargetsNameThePathAndTheReason) {
    const auto messageFor = [](const fs::path& path) -> std::string {
        try {
            openFileChannel(path);
        } catch (const OutputError& error) {
            return error.what();
        }
        return "(opened)";
    };
    fs::create_directories(root / "folder");
    std::ofstream(root / "plain") << "x";
    const std::string isFolder = messageFor(root / "folder");
    EXPECT_NE(isFolder.find((root / "folder").string()), std::string::npos) << isFolder;
    EXPECT_NE(isFolder.find("Is a directory"), std::string::npos) << isFolder;
    EXPECT_NE(messageFor(root / "missing" / "X").find("No such file or directory"),
              std::string::npos);
    EXPECT_NE(messageFor(root / "plain" / "X").find("Not a directory"), std::string::npos);
    EXPECT_NE(messageFor(root / std::string("A\0B", 3)).find("NUL"), std::string::npos);
    EXPECT_FALSE(fs::exists(root / "A"));
}

TEST(StreamChannel, AWriteThatFailsPartWayIsReported) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full) GTEST_SKIP() << "no /dev/full here";
    StreamChannel channel(full, "/dev/full", /*owned=*/true);
    EXPECT_THROW(
        {
            for (int i = 0; i < 10000; ++i) channel.writeLine(std::string(100, 'x'));
            channel.close();
        },
        OutputError);
}

TEST(RecordingChannel, KeepsTheBytesAndPassesThemOn) {
    std::string outer, inner;
    {
        RecordingChannel channel(outer, std::make_unique<RecordingChannel>(inner));
        channel.writeLine("\xC3\xA9t\xC3\xA9");
        channel.close();
    }
    EXPECT_EQ(outer, "\xE9t\xE9\r\n");
    EXPECT_EQ(inner, outer);
}

}  // namespace
}  // namespace meridel::listing
