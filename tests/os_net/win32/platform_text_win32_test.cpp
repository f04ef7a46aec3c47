// Windows values turned into the program's own: Win32 and Winsock errors as POSIX numbers, and
// adapter names cut to the interface table's width.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "liborvaniot_os_adapters.h"
#include "liborvaniot_os_winsock.h"

namespace {

// Win32 numbers overlap the POSIX ones: passed through, ERROR_INVALID_DATA (13) read as EACCES and
// ERROR_OUTOFMEMORY (14) as EFAULT.
TEST(Win32Errors, BecomeTheirPosixCounterpartOrEioNeverTheirOwnNumber) {
    const struct {
        const char* what;
        int error;
        int posix;
    } rows[] = {
        {"none", 0, 0},
        {"would block", WSAEWOULDBLOCK, EWOULDBLOCK},
        {"address in use", WSAEADDRINUSE, EADDRINUSE},
        {"address not available", WSAEADDRNOTAVAIL, EADDRNOTAVAIL},
        {"access denied", ERROR_ACCESS_DENIED, EPERM},
        {"already there", ERROR_OBJECT_ALREADY_EXISTS, EEXIST},
        {"not supported", ERROR_NOT_SUPPORTED, ENOTSUP},
        {"invalid parameter", ERROR_INVALID_PARAMETER, EINVAL},
        {"out of memory", ERROR_OUTOFMEMORY, ENOMEM},
        {"invalid data", ERROR_INVALID_DATA, EIO},
        {"a code without counterpart", ERROR_GEN_FAILURE, EIO},
        {"a number beyond both tables", 123456, EIO},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(liborvaniot_os_posix_error(row.error), row.posix);
    }
}

TEST(Win32AdapterNames, AreCutWhereAWholeCharacterEnds) {
    const struct {
        const char* what;
        std::string name;
        std::string stored;
    } rows[] = {
        {"a short name", "Ethernet 2", "Ethernet 2"},
        {"exactly the width", "Ethernet 123456", "Ethernet 123456"},
        {"a long ASCII name", "Ethernet adapter 42", "Ethernet adapte"},
        // Two bytes a letter: the eighth one would need bytes 15 and 16.
        {"a Cyrillic name", "\xD0\xA1\xD0\xB5\xD1\x82\xD1\x8C \xD0\xBB\xD0\xBE\xD0\xBA\xD0\xB0",
         "\xD0\xA1\xD0\xB5\xD1\x82\xD1\x8C \xD0\xBB\xD0\xBE\xD0\xBA"},
        // Three bytes a character: five fit.
        {"a Japanese name", "\xE3\x83\x8D\xE3\x83\x83\xE3\x83\x88\xE3\x83\xAF\xE3\x83\xBC\xE3\x82\xAF",
         "\xE3\x83\x8D\xE3\x83\x83\xE3\x83\x88\xE3\x83\xAF\xE3\x83\xBC"},
        // A four-byte character across the end.
        {"an emoji at the cut", "Wi-Fi link 12 \xF0\x9F\x93\xB6", "Wi-Fi link 12 "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        char stored[16];
        std::memset(stored, 'x', sizeof stored);
        liborvaniot_os_copy_utf8(row.name, stored, sizeof stored);
        EXPECT_EQ(std::string(stored), row.stored);
    }
}

}  // namespace
