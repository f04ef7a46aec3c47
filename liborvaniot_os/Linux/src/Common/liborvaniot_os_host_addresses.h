// The host's IPv4 addresses with the interface each belongs to, read from the system in one go, so
// that the address table, the interface selection and the link-local look-ups share one reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct liborvaniot_os_host_address {
    uint32_t address = 0;        // network byte order
    std::string interface_name;  // an address with a label is listed under its label ("eth0:ov")
};

// Every IPv4 address of the host in the system's order, and when interface_names is given the
// names of all interfaces, with or without an IPv4 address: false when they cannot be read.
bool liborvaniot_os_read_host_addresses(std::vector<liborvaniot_os_host_address>* out,
                                        std::vector<std::string>* interface_names = nullptr);
