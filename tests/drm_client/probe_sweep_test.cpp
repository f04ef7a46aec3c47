// The unicast sweep's walk over the targets and its pace, driven by a clock the test sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_sweep.h"

namespace {

// Sends whatever is due at each pass, the passes step_us apart; the send times in microseconds.
std::vector<int64_t> SendWhatIsDue(drm_probe_sweep& sweep, int64_t start_us, int64_t step_us, int64_t until_us) {
    std::vector<int64_t> sent;
    for (int64_t now = start_us; now <= until_us && !sweep.done(); now += step_us) {
        for (uint64_t due = sweep.due(now); due > 0; --due) {
            sweep.advance(now);
            sent.push_back(now);
        }
    }
    return sent;
}

// The most probes any window of window_us held.
size_t MostInWindow(const std::vector<int64_t>& times, int64_t window_us) {
    size_t most = 0;
    std::deque<int64_t> held;
    for (const int64_t t : times) {
        held.push_back(t);
        while (held.front() <= t - window_us) held.pop_front();
        most = std::max(most, held.size());
    }
    return most;
}

TEST(ProbeSweepTest, WalksEveryAddressOfEveryRangeInOrder) {
    const std::vector<drm_probe_target_range> ranges = {{10, 12}, {20, 20}, {0xfffffffeu, 0xffffffffu}};
    drm_probe_sweep sweep;
    sweep.begin(ranges, 1000000, 0);
    std::vector<uint32_t> walked;
    while (!sweep.done()) {
        walked.push_back(sweep.next());
        sweep.advance(0);
    }
    EXPECT_EQ(walked, (std::vector<uint32_t>{10, 11, 12, 20, 0xfffffffeu, 0xffffffffu}));
    EXPECT_EQ(sweep.taken(), 6u);
    EXPECT_EQ(sweep.wait_us(0), -1);
    EXPECT_EQ(sweep.due(0), 0u);
}

TEST(ProbeSweepTest, NoTargetsIsDoneAtOnce) {
    drm_probe_sweep sweep;
    sweep.begin({}, 1000, 0);
    EXPECT_TRUE(sweep.done());
    sweep.begin(std::vector<drm_probe_target_range>{{1, 1}}, 1000, 0);
    EXPECT_FALSE(sweep.done());
    sweep.clear();
    EXPECT_TRUE(sweep.done());
}

TEST(ProbeSweepTest, KeepsToTheRateWhateverThePassesLengthAndEndsOnTime) {
    struct pace_case {
        uint32_t rate;
        int64_t step_us;  // between the listener's passes
        uint32_t addresses;
    };
    const pace_case cases[] = {
        {1000, 1000, 1022}, {1000, 10000, 1022}, {1000, 37, 1022}, {1000, 5000, 3000},
        {50, 1000, 100}, {1000, 1000, 5}, {100000, 1000, 150},    {20000, 1000, 20000}, {1, 250000, 3},
    };
    for (const pace_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << "/s, passes " << c.step_us << " us apart");
        drm_probe_sweep sweep;
        const int64_t start = 5000000;
        sweep.begin(std::vector<drm_probe_target_range>{{1000, 1000 + c.addresses - 1}}, c.rate, start);
        const std::vector<int64_t> sent = SendWhatIsDue(sweep, start, c.step_us, start + 600000000);
        ASSERT_EQ(sent.size(), c.addresses);
        // Within any second no more than the rate plus one pass's burst (a hundredth of a second's worth).
        const size_t burst = std::max<size_t>(1, c.rate / 100);
        EXPECT_LE(MostInWindow(sent, 1000000), c.rate + burst);
        // And the sweep is not slower than the rate by more than a pass.
        const int64_t ideal_us = static_cast<int64_t>(c.addresses - 1) * 1000000 / c.rate;
        EXPECT_LE(sent.back() - start, ideal_us + c.step_us);
    }
}

TEST(ProbeSweepTest, AHeldUpSweepDoesNotCatchUpInOneBurst) {
    drm_probe_sweep sweep;
    sweep.begin(std::vector<drm_probe_target_range>{{1, 100000}}, 1000, 0);
    std::vector<int64_t> sent = SendWhatIsDue(sweep, 0, 1000, 100000);
    // Two seconds without a pass (a stalled machine), then passes again.
    const std::vector<int64_t> after = SendWhatIsDue(sweep, 2100000, 1000, 3100000);
    EXPECT_LE(MostInWindow(after, 10000), 20u) << "at most a burst beyond the rate";
    EXPECT_LE(after.size(), 1000u + 10u + 1u);
    EXPECT_GE(after.size(), 990u);
    sent.insert(sent.end(), after.begin(), after.end());
    EXPECT_LE(MostInWindow(sent, 1000000), 1000u + 10u);
}

TEST(ProbeSweepTest, SaysHowLongUntilTheNextProbeIsDue) {
    drm_probe_sweep sweep;
    sweep.begin(std::vector<drm_probe_target_range>{{1, 10}}, 4, 1000);
    EXPECT_EQ(sweep.wait_us(1000), 0);
    EXPECT_EQ(sweep.due(1000), 1u);
    sweep.advance(1000);
    EXPECT_EQ(sweep.due(1000), 0u);
    EXPECT_EQ(sweep.wait_us(1000), 250000);
    EXPECT_EQ(sweep.wait_us(200000), 51000);
    EXPECT_EQ(sweep.due(251000), 1u);
}

}  // namespace
