// Watching a socket for readability without touching its mode: a thread waits in select() and posts
// one message to a window when the socket turns readable. Windows has no readiness notification for
// an arbitrary handle in the message loop, and WSAAsyncSelect would make the caller's socket
// non-blocking.
#pragma once

#include <atomic>
#include <thread>

#include "win32_util.h"

namespace orvan::wnd::win32 {

class SocketWatch {
  public:
    // Posts kWatchReadable with wParam id to target once socket is readable; never when socket is no
    // socket (the wait fails) or the watch is destroyed first.
    SocketWatch(SOCKET socket, HWND target, WPARAM id);
    ~SocketWatch();
    SocketWatch(const SocketWatch&) = delete;
    SocketWatch& operator=(const SocketWatch&) = delete;

  private:
    void Wait(SOCKET socket, HWND target, WPARAM id);

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace orvan::wnd::win32
