// Terminal checks, broken pipes, termination signals and the desktop's URL handler on Linux.
#include "liborvaniot_os/liborvaniot_os_console.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace {

constexpr char kUrlHandler[] = "xdg-open";

struct saved_handlers {
    struct sigaction interrupt;
    struct sigaction terminate;
    bool installed = false;
} previous_handlers;

}  // namespace

// SIGINT and SIGTERM only: a crash (SIGSEGV) must stay visible to debuggers and sanitizers.
void liborvaniot_os_console_install_stop_handler(void (*handler)(int signal_number)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previous_handlers.interrupt);
    sigaction(SIGTERM, &action, &previous_handlers.terminate);
    previous_handlers.installed = true;
}

void liborvaniot_os_console_restore_stop_handler() {
    if (!previous_handlers.installed) return;
    sigaction(SIGINT, &previous_handlers.interrupt, nullptr);
    sigaction(SIGTERM, &previous_handlers.terminate, nullptr);
    previous_handlers.installed = false;
}

int32_t liborvaniot_os_console_is_terminal(int fd) {
    return ::isatty(fd) == 1 ? 1 : 0;
}

std::vector<std::string> liborvaniot_os_console_arguments(int argc, char** argv) {
    if (argc <= 1 || argv == nullptr) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

// Linux streams carry bytes as they are, and terminals speak UTF-8 and escapes already.
void liborvaniot_os_console_prepare_streams() {}

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
