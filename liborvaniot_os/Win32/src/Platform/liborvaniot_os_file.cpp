// Replacing a file whole on Windows: a fresh name created exclusively, then moved over the target in
// one step.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os/liborvaniot_os_file.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "liborvaniot_os/liborvaniot_os_net_addr.h"

namespace {

std::wstring wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), length);
    if (!out.empty()) out.pop_back();
    return out;
}

}  // namespace

// Windows has no mode bits: the file inherits the folder's access rules.
int32_t liborvaniot_os_file_replace(const char* path, const void* data, size_t size, uint32_t /*mode*/) {
    if (path == nullptr || *path == '\0') return EINVAL;
    for (int attempt = 0; attempt < 8; ++attempt) {
        unsigned long long salt = 0;
        liborvaniot_os_random_bytes(&salt, sizeof salt);
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, ".partial-%016llx", salt);
        const std::wstring fresh = wide(std::string(path) + suffix);
        const HANDLE file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return EACCES;
        }
        const char* bytes = static_cast<const char*>(data);
        bool written = true;
        while (written && size > 0) {
            DWORD done = 0;
            const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
            written = WriteFile(file, bytes, chunk, &done, nullptr) && done > 0;
            bytes += done;
            size -= done;
        }
        CloseHandle(file);
        if (written && MoveFileExW(fresh.c_str(), wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return 0;
        }
        DeleteFileW(fresh.c_str());
        return EIO;
    }
    return EEXIST;
}
