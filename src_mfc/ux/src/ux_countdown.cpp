// The countdown step in whole tenths.
#include "orvan_ux/ux_countdown.h"

#include <algorithm>

namespace ORVAN_UXClass {

namespace {

constexpr int64_t kTenthsPerSecond = 10;

// Whole seconds beyond the last one; 0 once a second or less is left.
int32_t ShownSeconds(int64_t tenths) {
    if (tenths <= kTenthsPerSecond) return 0;
    return static_cast<int32_t>((tenths - 1) / kTenthsPerSecond);
}

}  // namespace

UXCountdown UXCountdownFromSeconds(int32_t failSeconds, int32_t successSeconds) {
    return UXCountdown{
        .failTenths = std::max<int64_t>(failSeconds, 0) * kTenthsPerSecond,
        .successTenths = std::max<int64_t>(successSeconds, 0) * kTenthsPerSecond,
    };
}

bool UXAllReady(std::span<const int32_t> words) {
    return std::ranges::all_of(words, [](int32_t word) { return word == 1; });
}

UXCountdownStep UXCountdownAdvance(UXCountdown left, std::span<const int32_t> readiness) {
    const bool ready = UXAllReady(readiness);
    int64_t& tenths = ready ? left.successTenths : left.failTenths;
    tenths = std::max<int64_t>(tenths - 1, 0);
    UXCountdownStep step{.left = left, .shown = ShownSeconds(tenths)};
    if (step.shown <= 0) step.verdict = ready ? UXCountdownVerdict::Succeed : UXCountdownVerdict::GiveUp;
    return step;
}

}  // namespace ORVAN_UXClass
