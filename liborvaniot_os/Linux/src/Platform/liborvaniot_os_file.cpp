// Replacing a file whole on Linux: a fresh name created with O_EXCL|O_NOFOLLOW, then rename.
#include "liborvaniot_os/liborvaniot_os_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

int32_t write_all(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

}  // namespace

int32_t liborvaniot_os_file_replace(const char* path, const void* data, size_t size, uint32_t mode) {
    if (path == nullptr || *path == '\0') return EINVAL;
    // In a shared directory the fresh name must be one nobody could guess and prepare for us.
    for (int attempt = 0; attempt < 8; ++attempt) {
        unsigned long long salt = static_cast<unsigned long long>(::getpid()) << 8 | static_cast<unsigned>(attempt);
        [[maybe_unused]] const ssize_t drawn = ::getrandom(&salt, sizeof salt, GRND_NONBLOCK);
        char suffix[40];
        std::snprintf(suffix, sizeof suffix, ".partial-%016llx", salt);
        const std::string fresh = std::string(path) + suffix;
        const int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            static_cast<mode_t>(mode & 0777));
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        int32_t error = write_all(fd, static_cast<const char*>(data), size);
        if (::close(fd) != 0 && error == 0) error = errno;
        // rename replaces a link at path itself, never the file it points to.
        if (error == 0 && ::rename(fresh.c_str(), path) != 0) error = errno;
        if (error != 0) ::unlink(fresh.c_str());
        return error;
    }
    return EEXIST;
}
