#include "audio/recording.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dds/chips.h"
#include "numbers/tuning_word.h"
#include "support/scratch_folder.h"

namespace meridel::audio {
namespace {

// A 50.293 MHz plan on an AD9851 at 120 MHz: a carrier, a WSPR base 1.5 Hz below it stepping by
// 1.4648 Hz, and a CW tone 800 Hz above it.
firmware::ChipWords planWords() {
    firmware::ChipWords words;
    words.chip = dds::findChip("AD9851");
    words.clockHz = 120e6;
    words.rfMult = 1;
    const auto w = [](std::string id, std::string name, double hz) {
        const std::uint64_t ftw = *numbers::frequencyWord(hz, 120e6, 32);
        return firmware::ChipWord{id, name, hz, ftw, numbers::wordFrequency(ftw, 120e6, 32)};
    };
    words.tones = {w("SSB_CARRIER", "SSB Carrier", 50.293e6),
                   w("WSPR_BASE", "WSPR Base", 50.293e6 - 1.5),
                   w("CW_TONE", "CW Tone", 50.293e6 + 800)};
    words.intervals = {w("WSPR_INTERVAL", "WSPR Interval", 12000.0 / 8192)};
    return words;
}

const firmware::MessageTable kWspr{"wspr", "WSPR", "", {0, 3, 1}, 0.5, "WSPR Base"};
const firmware::MessageTable kLongCw{"cw", "CW",     "", std::vector<std::uint8_t>(700, 1),
                                     0.1,  "CW Tone"};
const firmware::MessageTable kSilentCw{"cw", "CW", "", {0, 0}, 0.1, "CW Tone"};
// A cycle that keys up a CW identification before its WSPR: heard as WSPR's listeners tune.
const sequence::SequencePlan kCwThenWspr{
    120,
    1,
    1,
    {{sequence::SegmentKind::Cw, 0, std::nullopt, std::nullopt},
     {sequence::SegmentKind::Wspr, 1, std::nullopt, std::nullopt}}};

TEST(Recording, TakesTheFirstModesDialAndPeriodAndEachMessagesBand) {
    const auto words = planWords();
    const double step = words.intervals[0].actualHz;
    const double wsprLow = words.tones[1].actualHz - (50.293e6 - 1500);
    // The choice's numbers only: GCC 12 at -O3 warns falsely (-Wmaybe-uninitialized) on an
    // array of cases that each hold a RecordingChoice's string.
    struct Choice {
        std::optional<double> dialHz, seconds, snrDb;
    };
    struct Case {
        std::vector<firmware::MessageTable> tables;
        Choice choice;
        double dialHz, seconds;
        std::vector<std::pair<double, double>> bands;
        const sequence::SequencePlan* cycle = nullptr;
    };
    const Case cases[] = {
        {{kWspr}, {}, 50.293e6 - 1500, 120, {{wsprLow, wsprLow + 3 * step}}},
        // CW listeners tune to the carrier; a second's lead and 70 s of dots outlast the minute.
        {{kLongCw}, {}, 50.293e6, 71, {{800, 800}}},
        {{kWspr, kLongCw}, {}, 50.293e6 - 1500, 120, {{wsprLow, wsprLow + 3 * step}, {2300, 2300}}},
        {{kWspr}, {50.2925e6, 5, 10}, 50.2925e6, 5, {{wsprLow - 1000, wsprLow - 1000 + 3 * step}}},
        // Nothing keyed: no band.
        {{kSilentCw}, {}, 50.293e6, 60, {}},
        {{kWspr, kSilentCw},
         {},
         50.293e6 - 1500,
         120,
         {{wsprLow, wsprLow + 3 * step}},
         &kCwThenWspr},
    };
    for (const Case& c : cases) {
        std::optional<sequence::Cycle> cycle;
        if (c.cycle) cycle = sequence::buildCycle(*c.cycle, c.tables, 12);
        const RecordingChoice choice{c.choice.dialHz, c.choice.seconds, c.choice.snrDb};
        const Recording r = makeRecording(c.tables, words, choice, cycle ? &*cycle : nullptr);
        EXPECT_DOUBLE_EQ(r.how.dialHz, c.dialHz);
        EXPECT_EQ(r.how.seconds, c.seconds);
        EXPECT_EQ(r.samples.size(), static_cast<std::size_t>(c.seconds * kSampleRate));
        ASSERT_EQ(r.bands.size(), c.bands.size()) << c.tables[0].mode;
        for (std::size_t i = 0; i < c.bands.size(); ++i) {
            EXPECT_NEAR(r.bands[i].lowHz, c.bands[i].first, 0.01) << i;
            EXPECT_NEAR(r.bands[i].highHz, c.bands[i].second, 0.01) << i;
        }
    }
}

TEST(Recording, OutsideThePassbandNamesWhatSetsTheDial) {
    RecordingChoice choice{50.294e6, std::nullopt, std::nullopt, "Dial"};
    EXPECT_THROW(
        {
            try {
                makeRecording({&kWspr, 1}, planWords(), choice);
            } catch (const SoundError& e) {
                EXPECT_NE(std::string(e.what()).find("use Dial 50.2915"), std::string::npos)
                    << e.what();
                throw;
            }
        },
        SoundError);
}

TEST(CheckWritable, LeavesNoNewFileAndKeepsAnOldOne) {
    testing::ScratchFolder scratch("writable");
    const std::string fresh = (scratch.path() / "new.wav").string();
    const std::string old = (scratch.path() / "old.wav").string();
    std::ofstream(old) << "kept";
    checkWritable(fresh, "the WAV file", "--wav");
    checkWritable(old, "the WAV file", "--wav");
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(std::filesystem::file_size(old), 4u);
    try {
        checkWritable((scratch.path() / "no" / "x.png").string(), "the picture", "--waterfall");
        ADD_FAILURE() << "a missing folder was taken as writable";
    } catch (const SoundError& e) {
        EXPECT_NE(std::string(e.what()).find("check --waterfall"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace meridel::audio
