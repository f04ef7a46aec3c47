// Terminal checks, broken pipes and the desktop's URL handler for command-line programs.
#include "liborvaniot_os/liborvaniot_os_console.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

constexpr char kUrlHandler[] = "xdg-open";

}  // namespace

int32_t liborvaniot_os_console_is_terminal(int fd) {
    return ::isatty(fd) == 1 ? 1 : 0;
}

void liborvaniot_os_console_ignore_broken_pipe() {
    ::signal(SIGPIPE, SIG_IGN);
}

int32_t liborvaniot_os_open_url(const char* url) {
    if (url == nullptr || *url == '\0') return -1;
    char handler[sizeof kUrlHandler];
    for (size_t i = 0; i < sizeof kUrlHandler; ++i) handler[i] = kUrlHandler[i];
    char* argv[] = {handler, const_cast<char*>(url), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, handler, nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (!WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
