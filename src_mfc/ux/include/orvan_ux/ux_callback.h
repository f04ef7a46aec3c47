// Control callbacks: a plain function called with the creating screen and two values that the
// screen chose when it declared the callback.
#pragma once

#include <cstdint>

namespace ORVAN_UXClass {

class ORVAN_UXViewController;

// The result is ignored by the toolkit.
using ORVAN_UXCallback = int (*)(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);

// One declared callback: the function (null when absent) and its two arguments.
struct ORVAN_UXCallbackSlot {
    ORVAN_UXCallback function = nullptr;
    int64_t arg1 = 0;
    int64_t arg2 = 0;

    explicit operator bool() const { return function != nullptr; }
    void Call(ORVAN_UXViewController* userData) const {
        if (function) function(userData, arg1, arg2);
    }
};

}  // namespace ORVAN_UXClass
