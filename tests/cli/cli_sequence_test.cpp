// The "sequence" member of meridel-cli's JSON for the WSPR template with an RP2040 timer: the
// counts before each event and after the last add up to the ten-minute period exactly.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_process.h"

namespace {
using nlohmann::json;
using CliSequence = meridel::testing::CliFolder;

TEST_F(CliSequence, JsonEventsAndTimerCountsAddUpToThePeriod) {
    const auto r = cli({"--plan", MERIDEL_TEST_DATA "/../../examples/wspr.toml", "--json",
                        "--timer-hz", "125000000", "--timer-bits", "16"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json sequence = json::parse(r.out).at("sequence");
    const json& events = sequence.at("events");
    ASSERT_EQ(events.size(), 163u);
    EXPECT_EQ(events[1].at("at_us"), 1'682'667);  // 1 s + 8192/12000 s
    EXPECT_EQ(events[1].at("at"), "631/375");
    std::uint64_t ticks = sequence.at("timer").at("tail_ticks").get<std::uint64_t>();
    for (const json& e : events) {
        ticks += e.at("ticks_before").get<std::uint64_t>();
        EXPECT_EQ(e.at("wraps").get<std::uint64_t>() * 65536 + e.at("rest").get<std::uint64_t>(),
                  e.at("ticks_before").get<std::uint64_t>());
    }
    EXPECT_EQ(ticks, 600ULL * 125'000'000);  // one cycle of two minutes in five
    EXPECT_LT(sequence.at("timer").at("worst_error_ns").get<double>(), 4.0);
    ASSERT_EQ(sequence.at("findings").size(), 1u);
    EXPECT_EQ(sequence.at("findings")[0].at("rule"), "duty");
}

}  // namespace
