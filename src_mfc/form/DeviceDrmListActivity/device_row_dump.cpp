#include "DeviceDrmListActivity/device_row_dump.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "device_rows/local_text.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

namespace {

void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

int64_t DeviceRowDump::NowUnixUs() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(now).count();
}

DeviceRowDump::DeviceRowDump() {
    if (const char* path = std::getenv("ORVAN_DUMP_ROWS_TO")) path_ = path;
}

void DeviceRowDump::Write(const orvan::wnd::ListControl* list, int32_t columns,
                          const DeviceListState& state) const {
    if (!enabled()) return;
    const int32_t rows = list != nullptr ? list->GetItemCount() : 0;
    std::string text;
    text += "written-unix-us " + std::to_string(NowUnixUs()) + "\n";
    text += "scans " + std::to_string(state.scans) + "\n";
    text += "scanned-unix-us " + std::to_string(state.lastScanUnixUs) + "\n";
    text += "selected " + std::to_string(state.selected) + "\n";
    text += std::string("web-gui ") + (state.webGuiEnabled ? "enabled" : "disabled") + "\n";
    text += "rows " + std::to_string(rows) + "\n";
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t column = 0; column < columns; ++column) {
            if (column > 0) text += '\t';
            AppendEscaped(text, LocalFromWide(list->GetItemText(row, column)));
        }
        text += '\n';
    }

    const std::string partial = path_ + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    if (file == nullptr) return;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) return;
    // Replaces the previous dump in one step; std::rename would refuse to on Windows.
    std::error_code ignored;
    std::filesystem::rename(partial, path_, ignored);
}

}  // namespace ORVAN_UXClass
