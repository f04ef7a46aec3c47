#include "first_paint_report.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void ReportFirstPaint(int64_t screenId) {
    const char* wanted = std::getenv("ORVAN_REPORT_FIRST_PAINT");
    if (wanted == nullptr || std::strcmp(wanted, "1") != 0) return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const long long micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    if (screenId < 0) {
        std::printf("first-paint-unix-us %lld screen none\n", micros);
    } else {
        std::printf("first-paint-unix-us %lld screen %lld\n", micros, static_cast<long long>(screenId));
    }
    std::fflush(stdout);
}
