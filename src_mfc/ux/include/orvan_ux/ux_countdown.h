// The countdown of the connect and settings-transfer screens, as a pure step: given the tenths
// of a second left and the readiness words of this tick, what the screen shows and whether it
// waits, moves on or gives up.
#pragma once

#include <cstdint>
#include <span>

namespace ORVAN_UXClass {

// Period of one countdown step after the first, in milliseconds.
inline constexpr uint32_t UX_COUNTDOWN_STEP_MS = 100;

// Both countdowns, in tenths of a second. Whole tenths keep every step exact: the step on which
// the countdown ends does not depend on how 0.1 rounds.
struct UXCountdown {
    int64_t failTenths = 0;     // before the attempt is given up
    int64_t successTenths = 0;  // before moving on once everything is ready
};

// A countdown of whole seconds (negative counts as none).
UXCountdown UXCountdownFromSeconds(int32_t failSeconds, int32_t successSeconds);

enum class UXCountdownVerdict {
    Wait,     // show the value and run another step
    Succeed,  // ready, and the success delay is over
    GiveUp,   // not ready, and the fail countdown is over
};

struct UXCountdownStep {
    UXCountdown left;  // the countdowns after this step
    int32_t shown = 0;
    UXCountdownVerdict verdict = UXCountdownVerdict::Wait;
};

// True when every word is 1 (an empty set is ready).
bool UXAllReady(std::span<const int32_t> words);

// One step: when every readiness word is 1 the success countdown moves, otherwise the fail
// countdown does, by one tenth. The value shown is the whole seconds left that lie beyond the
// last one, so a countdown of s seconds shows s - 1 first and ends on its (10 s - 10)th step
// (the first step for one second or less): 30 seconds show 29 at once and give up on step 290.
UXCountdownStep UXCountdownAdvance(UXCountdown left, std::span<const int32_t> readiness);

}  // namespace ORVAN_UXClass
