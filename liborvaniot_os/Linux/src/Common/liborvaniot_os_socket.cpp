// Tracked sockets: every runtime socket is IPv4 and non-blocking, and remembers who opened it so
// that the sockets still open at the end of a run can be reported.
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "liborvaniot_os/liborvaniot_os_mem.h"
#include "liborvaniot_os_socket_calls.h"

namespace {

struct socket_slot {
    liborvaniot_os_socket handle;
    const char* caller;
    int32_t line;
};

struct socket_table {
    bool created = false;
    socket_slot slots[LIBORVANIOT_OS_SOCKET_SLOTS];
};

socket_table& unguarded_table() {
    static socket_table* instance = new socket_table();  // never destroyed, like the other runtime tables
    return *instance;
}

// Opening and closing hold the socket lock; only the end-of-run report reads the table without it,
// once the lock is gone.
socket_table& table() REQUIRES(liborvaniot_os_socket_mx) {
    return unguarded_table();
}

}  // namespace

liborvaniot_os_socket liborvaniot_os_socket_debug_open(int type, int protocol, const char* caller,
                                                       int32_t line) {
    if (!liborvaniot_os_mutex_is_present(&liborvaniot_os_socket_mx)) return LIBORVANIOT_OS_INVALID_SOCKET;
    plock_guard held(liborvaniot_os_socket_mx, "liborvaniot_os_socket_debug_open", __LINE__);

    socket_table& t = table();
    if (!t.created) {
        for (auto& slot : t.slots) slot = socket_slot{LIBORVANIOT_OS_INVALID_SOCKET, "", -1};
        t.created = true;
    }
    liborvaniot_os_socket result = LIBORVANIOT_OS_INVALID_SOCKET;
    for (auto& slot : t.slots) {
        if (slot.handle != LIBORVANIOT_OS_INVALID_SOCKET) continue;
        const liborvaniot_os_socket sock = liborvaniot_os_socket_calls::open(type, protocol);
        if (sock != LIBORVANIOT_OS_INVALID_SOCKET) {
            slot = socket_slot{sock, caller, line};
            result = sock;
        }
        break;
    }
    return result;
}

void liborvaniot_os_socket_debug_close(liborvaniot_os_socket* sock) {
    if (*sock == LIBORVANIOT_OS_INVALID_SOCKET) return;
    if (liborvaniot_os_mutex_is_present(&liborvaniot_os_socket_mx)) {
        plock_guard held(liborvaniot_os_socket_mx, "liborvaniot_os_socket_debug_close", __LINE__);
        socket_table& t = table();
        if (t.created) {
            for (auto& slot : t.slots) {
                if (slot.handle != *sock) continue;
                liborvaniot_os_socket_calls::close(slot.handle);
                slot = socket_slot{LIBORVANIOT_OS_INVALID_SOCKET, "", -1};
                break;
            }
        }
    }
    *sock = LIBORVANIOT_OS_INVALID_SOCKET;
}

void liborvaniot_os_socket_report_leaks() {
    socket_table& t = unguarded_table();
    if (!t.created) return;
    for (const auto& slot : t.slots) {
        if (slot.handle == LIBORVANIOT_OS_INVALID_SOCKET) continue;
        char buffer[MAX_DBG_MSG_NULL_SIZE];
        liborvaniot_os_debug_raw_printf(buffer, "socket leak error !! %s:%d\n", slot.caller, slot.line);
    }
}
