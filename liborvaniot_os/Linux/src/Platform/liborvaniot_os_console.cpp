// Terminal checks, broken pipes and termination signals on Linux (the URL handler: liborvaniot_os_url_handler.cpp).
#include "liborvaniot_os/liborvaniot_os_console.h"

#include <signal.h>
#include <unistd.h>


namespace {

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
void liborvaniot_os_console_restore_streams() {}

void liborvaniot_os_console_ignore_broken_pipe() {
    ::signal(SIGPIPE, SIG_IGN);
}
