// The countdown step shared by the connect and settings-transfer screens: which step ends a
// countdown of whole seconds, what it shows on the way, and which countdown moves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvan_ux/ux_countdown.h"

namespace form_test {
namespace {

using ORVAN_UXClass::UXAllReady;
using ORVAN_UXClass::UXCountdown;
using ORVAN_UXClass::UXCountdownAdvance;
using ORVAN_UXClass::UXCountdownFromSeconds;
using ORVAN_UXClass::UXCountdownStep;
using ORVAN_UXClass::UXCountdownVerdict;

constexpr int32_t kNotReady[] = {1, -1, 1};
constexpr int32_t kReady[] = {1, 1, 1};

struct CountdownRun {
    int steps = 0;
    std::vector<int32_t> shown;  // what each step showed
    UXCountdownVerdict verdict = UXCountdownVerdict::Wait;
};

CountdownRun RunUntilDecided(UXCountdown left, std::span<const int32_t> readiness) {
    CountdownRun run;
    while (run.verdict == UXCountdownVerdict::Wait && run.steps < 100000) {
        const UXCountdownStep step = UXCountdownAdvance(left, readiness);
        left = step.left;
        run.shown.push_back(step.shown);
        run.verdict = step.verdict;
        ++run.steps;
    }
    return run;
}

TEST(CountdownStep, ThirtySecondsShowTwentyNineAtOnceAndGiveUpOnStep290) {
    const CountdownRun run = RunUntilDecided(UXCountdownFromSeconds(30, 0), kNotReady);
    EXPECT_EQ(run.verdict, UXCountdownVerdict::GiveUp);
    EXPECT_EQ(run.steps, 290);
    ASSERT_FALSE(run.shown.empty());
    EXPECT_EQ(run.shown.front(), 29);
    EXPECT_EQ(run.shown.back(), 0);
    // Every whole second from 29 down to 1 is shown, in order, before the end.
    std::vector<int32_t> distinct;
    for (int32_t value : run.shown) {
        if (distinct.empty() || distinct.back() != value) distinct.push_back(value);
    }
    std::vector<int32_t> expected;
    for (int32_t value = 29; value >= 0; --value) expected.push_back(value);
    EXPECT_EQ(distinct, expected);
}

TEST(CountdownStep, EndsOnTheSameStepForEveryLength) {
    // Whole tenths end every length a second before its end, whatever the length. A count that takes
    // 0.1 off a fractional number ends on the same steps for the lengths the screens use (30 and 0
    // seconds: steps 290 and 1); only at lengths this system never uses does its rounding move the
    // end a step later (5 seconds: step 41, 90 seconds: step 891). Whole tenths keep one rule for
    // any length a setting might bring.
    struct Case {
        int32_t seconds;
        int steps;
    };
    for (const Case& c : {Case{30, 290}, Case{60, 590}, Case{10, 90}, Case{5, 40}, Case{2, 10}, Case{1, 1},
                          Case{0, 1}, Case{-4, 1}}) {
        SCOPED_TRACE(c.seconds);
        const CountdownRun fail = RunUntilDecided(UXCountdownFromSeconds(c.seconds, 0), kNotReady);
        EXPECT_EQ(fail.verdict, UXCountdownVerdict::GiveUp);
        EXPECT_EQ(fail.steps, c.steps);
        const CountdownRun success = RunUntilDecided(UXCountdownFromSeconds(0, c.seconds), kReady);
        EXPECT_EQ(success.verdict, UXCountdownVerdict::Succeed);
        EXPECT_EQ(success.steps, c.steps);
    }
}

TEST(CountdownStep, OnlyTheCountdownOfTheCurrentStateMoves) {
    const UXCountdown start = UXCountdownFromSeconds(30, 2);
    const UXCountdownStep waiting = UXCountdownAdvance(start, kNotReady);
    EXPECT_EQ(waiting.left.failTenths, 299);
    EXPECT_EQ(waiting.left.successTenths, 20);
    EXPECT_EQ(waiting.shown, 29);
    const UXCountdownStep ready = UXCountdownAdvance(start, kReady);
    EXPECT_EQ(ready.left.failTenths, 300);
    EXPECT_EQ(ready.left.successTenths, 19);
    EXPECT_EQ(ready.shown, 1);
    EXPECT_EQ(ready.verdict, UXCountdownVerdict::Wait);
}

TEST(CountdownStep, ReadyMeansEveryWordIsOne) {
    struct Case {
        std::vector<int32_t> words;
        bool ready;
    };
    for (const Case& c : {Case{{}, true}, Case{{1, 1, 1}, true}, Case{{1, -1, 1}, false}, Case{{1, 2}, false},
                          Case{{0}, false}}) {
        SCOPED_TRACE(::testing::PrintToString(c.words));
        EXPECT_EQ(UXAllReady(c.words), c.ready);
    }
}

}  // namespace
}  // namespace form_test
