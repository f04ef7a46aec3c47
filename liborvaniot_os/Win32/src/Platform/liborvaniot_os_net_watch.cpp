// Address and link change notices, and the listener's wake-up, as loopback UDP sockets: the listener
// waits with select, which on Windows takes sockets only. A thread of the watch compares the links
// and addresses whenever the IP Helper notifies a change, or every second where it gives no
// notifications (Wine), and makes the socket readable only when something besides a lifetime
// changed: renewals, ours and other finders', wake nobody.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os/liborvaniot_os_net_watch.h"

#include <winsock2.h>
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "liborvaniot_os_change_notices.h"
#include "liborvaniot_os_winsock.h"

namespace {

// Where the system gives no notifications.
constexpr auto kPollPeriod = std::chrono::seconds(1);

// A UDP socket on 127.0.0.1 connected to itself: a datagram sent to it makes it readable.
int32_t open_loopback_pair(liborvaniot_os_socket* out) {
    *out = LIBORVANIOT_OS_INVALID_SOCKET;
    const SOCKET sock = WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (sock == INVALID_SOCKET) return liborvaniot_os_posix_error(WSAGetLastError());
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof self;
    u_long non_blocking = 1;
    if (bind(sock, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0 ||
        getsockname(sock, reinterpret_cast<sockaddr*>(&self), &size) != 0 ||
        connect(sock, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0 ||
        ioctlsocket(sock, FIONBIO, &non_blocking) != 0) {
        const int error = liborvaniot_os_posix_error(WSAGetLastError());
        closesocket(sock);
        return error;
    }
    *out = liborvaniot_os_from_winsock(sock);
    return 0;
}

void poke(liborvaniot_os_socket sock) {
    const char one = 1;
    // A full socket is readable already, which is all a poke is for.
    send(liborvaniot_os_to_winsock(sock), &one, 1, 0);
}

// Reads everything waiting: true when there was anything.
bool drain(liborvaniot_os_socket sock) {
    bool any = false;
    char buffer[64];
    for (;;) {
        // A datagram that does not fit (WSAEMSGSIZE) is consumed all the same.
        if (recv(liborvaniot_os_to_winsock(sock), buffer, sizeof buffer, 0) == SOCKET_ERROR &&
            WSAGetLastError() != WSAEMSGSIZE) {
            return any;
        }
        any = true;
    }
}

class address_watcher {
  public:
    address_watcher(liborvaniot_os_socket sock, const liborvaniot_os_change_notices* calls)
        : sock_(sock), calls_(calls), last_(calls->read()), thread_([this] { run(); }) {
        subscription_ = calls_->subscribe(&address_watcher::wake, this);
        std::lock_guard held(lock_);
        notified_ = subscription_ != nullptr;
    }
    ~address_watcher() {
        // No notification arrives once this returns, so none reaches a watcher being destroyed.
        if (subscription_ != nullptr) calls_->cancel(subscription_);
        {
            std::lock_guard held(lock_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    address_watcher(const address_watcher&) = delete;
    address_watcher& operator=(const address_watcher&) = delete;

  private:
    static void wake(void* self) {
        auto* watcher = static_cast<address_watcher*>(self);
        {
            std::lock_guard held(watcher->lock_);
            watcher->changed_ = true;
        }
        watcher->wake_.notify_all();
    }

    void run() {
        std::unique_lock held(lock_);
        for (;;) {
            const auto woken = [this] { return stopping_ || changed_; };
            if (notified_) {
                wake_.wait(held, woken);
            } else {
                wake_.wait_for(held, kPollPeriod, woken);
            }
            if (stopping_) return;
            changed_ = false;
            held.unlock();
            std::vector<liborvaniot_os_link_state> now = calls_->read();
            if (now != last_) {
                poke(sock_);
                last_ = std::move(now);
            }
            held.lock();
        }
    }

    liborvaniot_os_socket sock_;
    const liborvaniot_os_change_notices* calls_;
    std::vector<liborvaniot_os_link_state> last_;  // the watch thread's alone once it runs
    void* subscription_ = nullptr;
    std::mutex lock_;
    std::condition_variable wake_;
    bool notified_ = false;  // under lock_, as are the two below
    bool changed_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts once everything above exists
};

// The watchers by their socket; closing the socket stops its watcher.
std::mutex watchers_lock;
std::map<liborvaniot_os_socket, std::unique_ptr<address_watcher>>& watchers() {
    static auto* instance = new std::map<liborvaniot_os_socket, std::unique_ptr<address_watcher>>();
    return *instance;
}

}  // namespace

int32_t liborvaniot_os_net_address_watch_open(liborvaniot_os_socket* watch) {
    liborvaniot_os_socket sock = LIBORVANIOT_OS_INVALID_SOCKET;
    if (const int32_t error = open_loopback_pair(&sock); error != 0) return error;
    try {
        auto watcher = std::make_unique<address_watcher>(sock, liborvaniot_os_change_notices_calls());
        std::lock_guard held(watchers_lock);
        watchers()[sock] = std::move(watcher);
    } catch (const std::exception&) {
        closesocket(liborvaniot_os_to_winsock(sock));
        return ENOMEM;
    }
    *watch = sock;
    return 0;
}

int32_t liborvaniot_os_net_address_watch_drain(liborvaniot_os_socket watch) {
    if (watch == LIBORVANIOT_OS_INVALID_SOCKET) return 0;
    return drain(watch) ? 1 : 0;
}

int32_t liborvaniot_os_net_wakeup_open(liborvaniot_os_socket* wakeup) {
    return open_loopback_pair(wakeup);
}

void liborvaniot_os_net_wakeup_signal(liborvaniot_os_socket wakeup) {
    if (wakeup == LIBORVANIOT_OS_INVALID_SOCKET) return;
    poke(wakeup);
}

void liborvaniot_os_net_wakeup_drain(liborvaniot_os_socket wakeup) {
    if (wakeup == LIBORVANIOT_OS_INVALID_SOCKET) return;
    drain(wakeup);
}

void liborvaniot_os_net_descriptor_close(liborvaniot_os_socket* descriptor) {
    if (*descriptor == LIBORVANIOT_OS_INVALID_SOCKET) return;
    std::unique_ptr<address_watcher> watcher;
    {
        std::lock_guard held(watchers_lock);
        auto found = watchers().find(*descriptor);
        if (found != watchers().end()) {
            watcher = std::move(found->second);
            watchers().erase(found);
        }
    }
    watcher.reset();  // its thread has ended before the socket it pokes goes
    closesocket(liborvaniot_os_to_winsock(*descriptor));
    *descriptor = LIBORVANIOT_OS_INVALID_SOCKET;
}
