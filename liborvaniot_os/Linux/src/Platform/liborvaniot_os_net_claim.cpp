// Address claims as flock()ed files in a root-only directory: abstract socket names, which anyone
// may bind, let an unprivileged user block or fake them.
#include "liborvaniot_os_net_claim.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "liborvaniot_os/liborvaniot_os_net.h"

namespace {

// The claim directory, opened without following a link and checked for root-only use: -1 with
// errno set when it is unsafe or cannot be made.
int open_claim_directory(const char* directory) {
    if (::mkdir(directory, 0700) != 0 && errno != EEXIST) return -1;
    const int fd = ::open(directory, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno == ENOTDIR || errno == ELOOP ? (errno = EPERM, -1) : -1;
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != 0 ||
        (status.st_mode & 07777) != 0700) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

}  // namespace

int32_t liborvaniot_os_net_claim_take(const char* directory, const char* name, int* fd) {
    *fd = -1;
    const int dir = open_claim_directory(directory);
    if (dir < 0) return errno;
    int32_t result = 0;
    for (;;) {
        const int file = ::openat(dir, name, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (file < 0) {
            result = errno;
            break;
        }
        if (::flock(file, LOCK_EX | LOCK_NB) != 0) {
            result = errno == EWOULDBLOCK ? EADDRINUSE : errno;
            ::close(file);
            break;
        }
        // The holder before us unlinks the file as it lets go; a lock on the unlinked file is worth
        // nothing, since the next claimant creates a new one.
        struct stat locked{};
        struct stat named{};
        if (::fstat(file, &locked) == 0 && ::fstatat(dir, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            locked.st_ino == named.st_ino && locked.st_dev == named.st_dev) {
            *fd = file;
            break;
        }
        ::close(file);
    }
    ::close(dir);
    return result;
}

bool liborvaniot_os_net_claim_name(uint32_t address, char* out, unsigned long size) {
    struct stat ns{};
    if (::stat("/proc/self/ns/net", &ns) != 0) return false;
    char text[16];
    liborvaniot_os_net_format_address(address, text);
    const int length = std::snprintf(out, size, "net%llu-%s", static_cast<unsigned long long>(ns.st_ino), text);
    return length > 0 && static_cast<unsigned long>(length) < size;
}

void liborvaniot_os_net_claim_release(const char* directory, const char* name, int* fd) {
    if (*fd < 0) return;
    // Unlinked while still locked, so that nobody can lock this file after us and believe it holds
    // the claim.
    const int dir = ::open(directory, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir >= 0) {
        ::unlinkat(dir, name, 0);
        ::close(dir);
    }
    ::close(*fd);
    *fd = -1;
}
