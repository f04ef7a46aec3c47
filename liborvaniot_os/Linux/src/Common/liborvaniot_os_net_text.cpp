// IPv4 addresses as text: the strict dotted-quad reader and the "%d.%d.%d.%d" writer.
#include <cstdio>

#include "liborvaniot_os/liborvaniot_os_net.h"

int32_t liborvaniot_os_net_inet_pton4(const char* text, unsigned char* address) {
    unsigned char octets[4];
    int32_t read = 0;       // octets begun so far
    bool in_octet = false;  // the last character was a digit
    bool leading_zero = false;
    unsigned value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            if (!in_octet) {
                if (read == 4) return 1;
                ++read;
                value = 0;
                leading_zero = c == '0';
            } else if (leading_zero) {
                return 1;
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
            if (value > 255) return 1;
            octets[read - 1] = static_cast<unsigned char>(value);
            in_octet = true;
        } else if (c == '.') {
            if (!in_octet || read == 4) return 1;
            in_octet = false;
        } else {
            return 1;
        }
    }
    if (read != 4 || !in_octet) return 1;
    for (int i = 0; i < 4; ++i) address[i] = octets[i];
    return 0;
}

void liborvaniot_os_net_format_address(uint32_t address, char* out) {
    const auto* b = reinterpret_cast<const unsigned char*>(&address);
    std::snprintf(out, 16, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
}
