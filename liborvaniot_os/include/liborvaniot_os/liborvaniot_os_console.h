// What a command-line program needs from its terminal and from the desktop: whether a stream is a
// terminal, surviving a reader that went away, and handing a URL to the desktop's URL handler.
#pragma once

#include <cstdint>

// 1 when the file descriptor is a terminal, else 0.
int32_t liborvaniot_os_console_is_terminal(int fd);

// Writes to a pipe whose reader has gone fail with an error instead of ending the process, so that
// the program can still clean up (remove an address it added) before it exits.
void liborvaniot_os_console_ignore_broken_pipe();

// Runs the desktop's URL handler (xdg-open, found through PATH) for the URL and waits for it:
// 0 when it accepted the URL, -1 when it could not be started or did not end normally, otherwise
// its exit status.
int32_t liborvaniot_os_open_url(const char* url);
