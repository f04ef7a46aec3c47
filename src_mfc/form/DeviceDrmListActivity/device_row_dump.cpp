#include "DeviceDrmListActivity/device_row_dump.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
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

#ifdef _WIN32
int CreateExclusive(const std::string& path) {
    int fd = -1;
    return _sopen_s(&fd, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYRW,
                    _S_IREAD | _S_IWRITE) == 0
               ? fd
               : -1;
}
int CloseFile(int fd) {
    return _close(fd);
}
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const int written = _write(fd, text.data(), static_cast<unsigned>(std::min<size_t>(text.size(), 1u << 20)));
        if (written <= 0) return false;
        text.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}
#else
int CreateExclusive(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}
int CloseFile(int fd) {
    return ::close(fd);
}
bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}
#endif

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

    // Written beside the target under a fresh name and then renamed over it, so that a reader never
    // sees half a file. The fresh name is created, never opened if it exists or is a link: in a
    // shared directory someone else may have planted a link there to make us overwrite their target.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string partial = path_ + ".partial-" + std::to_string(NowUnixUs()) + "-" + std::to_string(attempt);
        const int fd = CreateExclusive(partial);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return;
        }
        const bool written = WriteAll(fd, text) && CloseFile(fd) == 0;
        std::error_code failed;
        // The rename replaces a link at the target itself, never the file it points to; std::rename
        // would refuse to replace on Windows.
        if (written) std::filesystem::rename(partial, path_, failed);
        if (!written || failed) std::filesystem::remove(partial, failed);
        return;
    }
}

}  // namespace ORVAN_UXClass
