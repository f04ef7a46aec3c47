// The runtime's Windows calls that run under Wine without touching a network: Winsock started and
// stopped with the runtime, tracked sockets, and the current directory as wide text.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os_current_directory.h"

namespace {

bool is_ipv4_socket(SOCKET sock) {
    WSAPROTOCOL_INFOW info{};
    int size = sizeof info;
    return getsockopt(sock, SOL_SOCKET, SO_PROTOCOL_INFOW, reinterpret_cast<char*>(&info), &size) == 0 &&
           info.iAddressFamily == AF_INET;
}

TEST(Win32Runtime, StartsWinsockWithTheRuntimeAndTracksItsSockets) {
    ASSERT_EQ(liborvaniot_os_initialize(), 0);
    liborvaniot_os_socket sock = liborvaniot_os_socket_debug_open(SOCK_DGRAM, 0, "opener", 1);
    ASSERT_NE(sock, LIBORVANIOT_OS_INVALID_SOCKET) << "Winsock was not started with the runtime";
    const auto handle = static_cast<SOCKET>(static_cast<intptr_t>(sock));
    EXPECT_TRUE(is_ipv4_socket(handle));
    liborvaniot_os_socket_debug_close(&sock);
    EXPECT_EQ(sock, LIBORVANIOT_OS_INVALID_SOCKET);
    EXPECT_FALSE(is_ipv4_socket(handle));
    EXPECT_EQ(liborvaniot_os_finalize(), 0);
}

TEST(Win32Runtime, ReadsACurrentDirectoryBeyondTheAnsiCodePage) {
    wchar_t temporary[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temporary), 0u);
    const std::wstring directory = std::wstring(temporary) + L"orvan-caf\u00E9-\U0001F600";
    CreateDirectoryW(directory.c_str(), nullptr);
    wchar_t previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(directory.c_str()));
    std::wstring read;
    const bool ok = liborvaniot_os_read_current_directory(&read);
    SetCurrentDirectoryW(previous);
    RemoveDirectoryW(directory.c_str());
    ASSERT_TRUE(ok);
    // Compared without a trailing separator, which Windows adds to a drive's root only.
    EXPECT_EQ(read, directory);
}

}  // namespace
