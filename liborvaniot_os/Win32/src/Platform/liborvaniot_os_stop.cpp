// The stop on Windows: the console control handler runs on a thread of its own, so raising the stop
// is an ordinary store, and waits poll the flag (select takes no event handles).
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os/liborvaniot_os_stop.h"

#include "liborvaniot_os/liborvaniot_os_thread.h"

void liborvaniot_os_raise_stop() {
    liborvaniot_os_stop_flag.store(1);
}

void liborvaniot_os_lower_stop() {
    liborvaniot_os_stop_flag.store(0);
}

void liborvaniot_os_stop_descriptor_settle() {}

int32_t liborvaniot_os_stop_wait(uint32_t milliseconds) {
    liborvaniot_os_sleep_ms(milliseconds);
    return 0;
}

liborvaniot_os_socket liborvaniot_os_stop_descriptor() {
    return LIBORVANIOT_OS_INVALID_SOCKET;
}
