// Start and stop of the core runtime as the main frame calls them; replaceable so that the
// shell's logic can run without starting the real runtime.
#pragma once

#include <cstdint>
#include <functional>

struct CoreRuntime {
    std::function<int32_t()> initialize;  // 0 when the runtime runs
    std::function<void()> finalize;

    // The real core runtime.
    static CoreRuntime Default();
};
