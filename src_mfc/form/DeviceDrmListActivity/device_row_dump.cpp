#include "DeviceDrmListActivity/device_row_dump.h"

#include <chrono>
#include <cstdlib>

#include "device_rows/local_text.h"
#include "liborvaniot_os/liborvaniot_os_file.h"
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

    // Replaced whole, written under a fresh name created for it: in a shared directory someone may
    // have planted a link at a name we would have used, to make us overwrite their target.
    liborvaniot_os_file_replace(path_.c_str(), text.data(), text.size(), 0600);
}

}  // namespace ORVAN_UXClass
