// Tracked sockets: IPv4 and non-blocking on open, the slot limit, closing rules and the leak report.
// The sockets are never bound and nothing is sent.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "os_test_support.h"

namespace {

using os_test::stderr_of;

bool is_open(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

using SocketAccounting = os_test::RuntimeTest;

TEST_F(SocketAccounting, OpenGivesANonBlockingIPv4SocketThatCloseReleases) {
    liborvaniot_os_socket sock = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "opener", 1);
    ASSERT_NE(sock, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_TRUE(::fcntl(sock, F_GETFL) & O_NONBLOCK);
    int domain = 0;
    socklen_t size = sizeof(domain);
    ASSERT_EQ(::getsockopt(sock, SOL_SOCKET, SO_DOMAIN, &domain, &size), 0);
    EXPECT_EQ(domain, AF_INET);

    const int fd = sock;
    liborvaniot_os_socket_debug_close(&sock);
    EXPECT_EQ(sock, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_FALSE(is_open(fd));
    liborvaniot_os_socket_debug_close(&sock);  // an invalid handle is left alone
    EXPECT_EQ(sock, LIBORVANIOT_OS_INVALID_SOCKET);
}

TEST_F(SocketAccounting, CloseLeavesSocketsItDidNotOpen) {
    const int foreign = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(foreign, 0);
    liborvaniot_os_socket sock = foreign;
    liborvaniot_os_socket_debug_close(&sock);
    EXPECT_EQ(sock, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_TRUE(is_open(foreign));
    ::close(foreign);
}

TEST_F(SocketAccounting, LeakReportListsSocketsStillOpen) {
    EXPECT_EQ(stderr_of([] { liborvaniot_os_socket_report_leaks(); }), "");
    liborvaniot_os_socket first = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "first_opener", 21);
    liborvaniot_os_socket second = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "second_opener", 22);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_socket_report_leaks(); }),
              "socket leak error !! first_opener:21\nsocket leak error !! second_opener:22\n");
    liborvaniot_os_socket_debug_close(&first);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_socket_report_leaks(); }),
              "socket leak error !! second_opener:22\n");
    liborvaniot_os_socket_debug_close(&second);
    EXPECT_EQ(stderr_of([] { liborvaniot_os_socket_report_leaks(); }), "");
}

TEST_F(SocketAccounting, NothingOpensWithoutTheSocketLockOrAFreeSlot) {
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_free(&liborvaniot_os_socket_mx, "test", __LINE__), 0);
    EXPECT_EQ(liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "opener", 1), LIBORVANIOT_OS_INVALID_SOCKET);
    ASSERT_EQ(liborvaniot_os_mutex_struct_plock_init(&liborvaniot_os_socket_mx, "test", __LINE__), 0);

    rlimit files{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &files), 0);
    const rlimit saved = files;
    const rlim_t needed = LIBORVANIOT_OS_SOCKET_SLOTS + 64;
    if (files.rlim_cur < needed) {
        if (files.rlim_max != RLIM_INFINITY && files.rlim_max < needed)
            GTEST_SKIP() << "too few file descriptors";
        files.rlim_cur = needed;
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &files), 0);
    }
    std::vector<liborvaniot_os_socket> open;
    for (int i = 0; i < LIBORVANIOT_OS_SOCKET_SLOTS; ++i) {
        open.push_back(liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "filler", i));
        ASSERT_NE(open.back(), LIBORVANIOT_OS_INVALID_SOCKET) << "slot " << i;
    }
    EXPECT_EQ(liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "one_too_many", 1),
              LIBORVANIOT_OS_INVALID_SOCKET);
    liborvaniot_os_socket_debug_close(&open[100]);
    EXPECT_NE(open[100] = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "reuse", 2),
              LIBORVANIOT_OS_INVALID_SOCKET);
    for (auto& sock : open) liborvaniot_os_socket_debug_close(&sock);
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
