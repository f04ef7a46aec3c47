// Start-up measurement: with ORVAN_REPORT_FIRST_PAINT=1 in the environment, the first paint after
// the start request was handled is written to standard output as
// "first-paint-unix-us <microseconds since 1970> screen <id>|none".
#pragma once

#include <cstdint>

// screenId: the activity id of the screen painted, or -1 when no screen was there to paint.
void ReportFirstPaint(int64_t screenId);
