#include "win32_socket_watch.h"

namespace orvan::wnd::win32 {

namespace {

// How long the watch may take to notice that it is no longer wanted.
constexpr long kStopCheckUs = 100 * 1000;

}  // namespace

SocketWatch::SocketWatch(SOCKET socket, HWND target, WPARAM id)
    : thread_([this, socket, target, id] { Wait(socket, target, id); }) {}

SocketWatch::~SocketWatch() {
    stop_ = true;
    thread_.join();
}

void SocketWatch::Wait(SOCKET socket, HWND target, WPARAM id) {
    // Winsock counts its users; this one needs it whether or not the program started it.
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    while (!stop_) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval wait{0, kStopCheckUs};
        const int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready == SOCKET_ERROR) break;
        if (ready > 0) {
            PostMessageW(target, kWatchReadable, id, 0);
            break;
        }
    }
    WSACleanup();
}

}  // namespace orvan::wnd::win32
