// Test hook of the device list: with ORVAN_DUMP_ROWS_TO=<path> in the environment, the screen
// writes its rows and button state to that file after every change, so that end-to-end tests and
// benchmarks can read what the window shows. Without the variable nothing is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvan::wnd {
class ListControl;
}

namespace ORVAN_UXClass {

// What besides the rows the file reports.
struct DeviceListState {
    int32_t scans = 0;           // Scan clicks that emptied the list
    int64_t lastScanUnixUs = 0;  // when the last of them was handled, 0 before the first
    int32_t selected = -1;       // the chosen row
    bool webGuiEnabled = false;
};

class DeviceRowDump {
  public:
    // Reads the path from the environment.
    DeviceRowDump();
    explicit DeviceRowDump(std::string path) : path_(std::move(path)) {}

    bool enabled() const { return !path_.empty(); }

    // Replaces the file in one step (written beside it under a fresh name, mode 0600, then renamed; a
    // link planted at either name is never followed), so a reader never sees half of it. Lines: "written-unix-us <n>", "scans <n>", "scanned-unix-us <n>", "selected <n>",
    // "web-gui enabled|disabled",
    // "rows <n>", then one line per row with the columns separated by tabs (tab, line feed,
    // carriage return and backslash within a text written as \t, \n, \r and \\).
    void Write(const orvan::wnd::ListControl* list, int32_t columns, const DeviceListState& state) const;

    // Microseconds since 1970, as the file gives times.
    static int64_t NowUnixUs();

  private:
    std::string path_;
};

}  // namespace ORVAN_UXClass
