#include "DeviceDrmListActivity/device_scan_targets.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_file.h"

namespace ORVAN_UXClass {

namespace {

constexpr char kLoadCaller[] = "ORVAN_UXClass::ScanTargetsFile::Load";
constexpr char kSaveCaller[] = "ORVAN_UXClass::ScanTargetsFile::Save";
// Far more than any list of targets a person types; a larger file is not ours.
constexpr std::streamsize kLargestFile = 64 * 1024;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::vector<std::string> ScanTargetWords(const std::string& text) {
    std::vector<std::string> words;
    constexpr char kSeparators[] = " \t\r\n,";
    for (size_t start = text.find_first_not_of(kSeparators); start != std::string::npos;) {
        const size_t end = std::min(text.find_first_of(kSeparators, start), text.size());
        words.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(kSeparators, end);
    }
    return words;
}

std::string ScanTargetsFile::DefaultPath() {
#ifdef _WIN32
    std::string folder = Environment("APPDATA");
#else
    std::string folder = Environment("XDG_CONFIG_HOME");
    if (folder.empty() && !Environment("HOME").empty()) folder = Environment("HOME") + "/.config";
#endif
    if (folder.empty()) return {};
    return (std::filesystem::path(folder) / "orvan-finder" / "scan-targets").string();
}

std::string ScanTargetsFile::Load() const {
    if (path_.empty()) {
        liborvaniot_os_debug_printf(kLoadCaller, __LINE__, "no folder for the scan targets: none are probed\n");
        return {};
    }
    std::ifstream file(path_, std::ios::binary);
    if (!file) {
        liborvaniot_os_debug_printf(kLoadCaller, __LINE__, "scan targets %s not read (%s): none are probed\n",
                                    path_.c_str(), std::strerror(errno));
        return {};
    }
    std::string text(static_cast<size_t>(kLargestFile) + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad() || file.gcount() > kLargestFile) {
        liborvaniot_os_debug_printf(kLoadCaller, __LINE__, "scan targets %s not read: none are probed\n",
                                    path_.c_str());
        return {};
    }
    text.resize(static_cast<size_t>(file.gcount()));
    // One line as saved; a trailing line break from an editor is no part of it.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

bool ScanTargetsFile::Save(const std::string& targets) const {
    std::error_code failed;
    if (!path_.empty()) std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), failed);
    const std::string line = targets + "\n";
    const int32_t error = path_.empty() || failed ? (failed ? failed.value() : ENOENT)
                                                  : liborvaniot_os_file_replace(path_.c_str(), line.data(), line.size(), 0600);
    if (error == 0) return true;
    liborvaniot_os_debug_printf(kSaveCaller, __LINE__, "scan targets not saved to %s (%s)\n", path_.c_str(),
                                std::strerror(error));
    return false;
}

}  // namespace ORVAN_UXClass
