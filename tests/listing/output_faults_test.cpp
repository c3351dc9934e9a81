// Listing targets that cannot take the listing: a folder, a missing folder, and a device that
// fills up part-way. Each is an output failure naming the target and the system's reason, and
// nothing else on disk changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "listing/output_targets.h"
#include "support/recording_form.h"
#include "support/scratch_folder.h"

namespace meridel::listing {
namespace {
namespace fs = std::filesystem;

class ListingFaults : public ::testing::Test {
protected:
    // The message of the OutputError that opening `upperCaseName` raises ("" when none does).
    static std::string openFailure(const std::string& upperCaseName) {
        try {
            FileOpener().open(upperCaseName);
        } catch (const OutputError& error) {
            return error.what();
        }
        return "";
    }

    testing::ScratchFolder scratch{"listing-faults"};
    fs::path root = scratch.path();
};

TEST_F(ListingFaults, TargetThatIsAFolderIsAnOutputFailureAndTheFolderStays) {
    fs::create_directories(root / "BEACON.ASM");
    std::ofstream(root / "BEACON.ASM" / "keep.txt") << "kept";

    const std::string message = openFailure((root / "BEACON.ASM").string());
    EXPECT_NE(message.find((root / "BEACON.ASM").string()), std::string::npos) << message;
    EXPECT_NE(message.find("Is a directory"), std::string::npos) << message;
    EXPECT_NE(message.find("File Name"), std::string::npos) << message;
    EXPECT_TRUE(fs::is_directory(root / "BEACON.ASM"));
    EXPECT_EQ(testing::readBytes((root / "BEACON.ASM" / "keep.txt").string()), "kept");
}

TEST_F(ListingFaults, TargetInAMissingFolderIsAnOutputFailureAndNoFolderIsCreated) {
    const std::string message = openFailure((root / "MISSING" / "BEACON.ASM").string());
    EXPECT_NE(message.find("MISSING/BEACON.ASM"), std::string::npos) << message;
    EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
    EXPECT_NE(message.find("its folder must exist"), std::string::npos) << message;
    EXPECT_TRUE(fs::is_empty(root));
}

TEST_F(ListingFaults, TargetBeneathARegularFileIsAnOutputFailure) {
    std::ofstream(root / "PLAIN") << "a file, not a folder";
    const std::string message = openFailure((root / "PLAIN" / "BEACON.ASM").string());
    EXPECT_NE(message.find("Not a directory"), std::string::npos) << message;
    EXPECT_EQ(testing::readBytes((root / "PLAIN").string()), "a file, not a folder");
}

// /dev/full accepts the open and fails every write that reaches it: a short line fails when the
// buffer is flushed at close, a line longer than the buffer fails in the write itself.
struct FullDeviceCase {
    const char* name;
    std::size_t lineLength;
};
// Test names and failure reports show the case by its name.
void PrintTo(const FullDeviceCase& c, std::ostream* os) {
    *os << c.name;
}

class FullDevice : public ::testing::TestWithParam<FullDeviceCase> {};

TEST_P(FullDevice, WriteThatFailsPartWayIsAnOutputFailureNamingTheTarget) {
    auto channel = openFileChannel("/dev/full");
    const std::string line(GetParam().lineLength, 'x');
    std::string message;
    try {
        channel->writeLine("header line");
        channel->writeLine(line);
        channel->close();
    } catch (const OutputError& error) {
        message = error.what();
    }
    EXPECT_NE(message.find("Cannot write to \"/dev/full\""), std::string::npos) << message;
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
    // The stream is released whatever closing reports, so a second close has nothing to do.
    try {
        channel->close();
    } catch (const OutputError&) {
    }
    EXPECT_NO_THROW(channel->close());
}

INSTANTIATE_TEST_SUITE_P(OutputLayer, FullDevice,
                         ::testing::Values(FullDeviceCase{"FailsAtClose", 100},
                                           FullDeviceCase{"FailsInTheWrite", 1 << 20}),
                         [](const auto& info) { return std::string(info.param.name); });

// A whole run whose target fills up: the run ends with an output failure after the results
// text is formed, and the target is closed so that the next run can open one again.
class FullDeviceOpener : public OutputOpener {
public:
    std::unique_ptr<OutputChannel> open(const std::string&) override {
        ++opens;
        return openFileChannel("/dev/full");
    }
    int opens = 0;
};

TEST(FullDeviceRun, RunEndsWithAnOutputFailureAndTheNextRunStartsAfresh) {
    model::MainWindowModel model;
    testing::loadFirstStart(model);
    FullDeviceOpener opener;
    for (int run = 1; run <= 2; ++run) {
        const auto failure = model.calculate(opener);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->kind, run::FailureKind::Output);
        EXPECT_NE(failure->message.find("/dev/full"), std::string::npos) << failure->message;
        EXPECT_NE(failure->message.find("No space left on device"), std::string::npos);
        EXPECT_EQ(opener.opens, run);
    }
    // The write comes last: the results window already shows what the file should have held.
    EXPECT_NE(model.results().text.find("PHASE180  Constant  0x20,0x00"), std::string::npos);
}

}  // namespace
}  // namespace meridel::listing
