// The scanner's runs: a scan that ends when answers stop (printed as a table, JSON or CSV, or used
// to open a device's page), and a watch that prints events until it is interrupted.
#pragma once

#include <cstdio>

#include "scan_options.h"

namespace orvan_scan {

inline constexpr int kExitFound = 0;
inline constexpr int kExitNone = 1;
inline constexpr int kExitError = 2;

struct Console {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    bool err_is_terminal = false;  // a live count is shown there while waiting
};

// Writes "orvan-scan: <message>" on the error stream.
void ReportError(const Console& console, const std::string& message);

// Runs what the options ask for; the exit status.
int RunScanner(const ScanOptions& options, const Console& console);

}  // namespace orvan_scan
