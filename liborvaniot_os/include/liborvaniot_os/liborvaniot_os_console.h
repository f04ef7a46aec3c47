// What a program needs from its terminal and from the desktop: whether a stream is a terminal,
// surviving a reader that went away, the user's requests to end the program, and handing a URL to
// the desktop's URL handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 1 when the file descriptor is a terminal, else 0.
int32_t liborvaniot_os_console_is_terminal(int fd);

// The program's arguments without the program name, as UTF-8. Windows hands main() the arguments in
// the local code page, which cannot hold every interface name; they are read again as UTF-16 there.
std::vector<std::string> liborvaniot_os_console_arguments(int argc, char** argv);

// Standard output and error pass the program's bytes on unchanged (Windows would otherwise turn each
// line feed into CR LF, doubling the CR of a CSV record end), and a Windows console shows them as
// UTF-8 and acts on the terminal escapes that redraw a line. The console's code page and modes are
// shared with the user's shell: they are put back at exit, after a Ctrl+C that ends the program,
// or when restore is called.
void liborvaniot_os_console_prepare_streams();
void liborvaniot_os_console_restore_streams();

// Writes to a pipe whose reader has gone fail with an error instead of ending the process, so that
// the program can still clean up (remove an address it added) before it exits.
void liborvaniot_os_console_ignore_broken_pipe();

// While installed, the user's requests to end the program call handler with a signal number: 2 for
// an interrupt (SIGINT; on Windows Ctrl+C, Ctrl+Break and the console's close), 15 for SIGTERM. The
// handler runs in a signal or on a system thread, so it may only touch lock-free atomics. Restore
// puts the previous handling back; after a console close it lets the process end.
void liborvaniot_os_console_install_stop_handler(void (*handler)(int signal_number));
void liborvaniot_os_console_restore_stop_handler();

// Runs the desktop's URL handler for the URL (xdg-open, found through PATH, and waits for it; the
// shell's "open" on Windows): 0 when it accepted the URL, -1 when it could not be started or did not
// end normally, otherwise its exit status (on Windows the shell's error code).
// When root runs the program on a user's behalf (sudo or pkexec: SUDO_UID or PKEXEC_UID names a user
// other than root), the handler and the browser it starts run as that user, with that user's groups
// and environment (home, runtime directory, session bus): a page chosen by a device's answer is
// never opened by a browser running as root. A malformed or unknown user refuses (-1) rather than
// opening as root.
int32_t liborvaniot_os_open_url(const char* url);

// Why opening failed, for a message "could not open URL: <this>": the handler and its status, or on
// Windows the cause the shell gave.
std::string liborvaniot_os_open_url_failure(int32_t status);

// Linux: 1 when the handler would run as another user (see above), else 0; a window opens URLs
// through liborvaniot_os_open_url_detached then instead of its toolkit's own way.
int32_t liborvaniot_os_open_url_switches_user();
// Linux: starts the handler as liborvaniot_os_open_url does, without waiting for it to end: 0 once it
// was started, -1 when it could not be.
int32_t liborvaniot_os_open_url_detached(const char* url);
