// Winsock handles as the runtime's socket values, and Winsock errors as POSIX numbers.
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#pragma once

#include <winsock2.h>

#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_mem.h"

// A SOCKET is a kernel handle, and only the low 32 bits of a handle are significant, so it fits the
// runtime's int socket value; sign extension brings it back (INVALID_SOCKET becomes -1 and back).
inline SOCKET liborvaniot_os_to_winsock(liborvaniot_os_socket sock) {
    return static_cast<SOCKET>(static_cast<intptr_t>(sock));
}
inline liborvaniot_os_socket liborvaniot_os_from_winsock(SOCKET sock) {
    return sock == INVALID_SOCKET ? LIBORVANIOT_OS_INVALID_SOCKET
                                  : static_cast<liborvaniot_os_socket>(static_cast<intptr_t>(sock));
}

// The POSIX errno value for a Winsock (or Win32) error; EIO for one without a counterpart, never
// its own number, which would read as an unrelated POSIX error.
int liborvaniot_os_posix_error(int winsock_error);
// Stores the calling thread's last Winsock error in errno, as a POSIX number.
void liborvaniot_os_errno_from_winsock();

// Group receivers (bound by bind_group) and their groups: receive keeps only the datagrams a
// receiver's group was sent, as a receiver bound to the group itself would get them. Add is false
// when the table is full; remove forgets a socket that is not listed without complaint.
bool liborvaniot_os_group_receiver_add(SOCKET sock, uint32_t group);
void liborvaniot_os_group_receiver_remove(SOCKET sock);
// The interfaces (by index) a listed receiver has joined its group on; sockets not listed have none.
bool liborvaniot_os_group_receiver_joined(SOCKET sock, uint32_t if_index);
void liborvaniot_os_group_receiver_note_join(SOCKET sock, uint32_t if_index);
