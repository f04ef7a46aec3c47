// Network-test helpers: the namespace's IPv4 addresses as the ip tool shows them (so that checks do
// not rest on the code under test), address conversions, and the isolation check before main.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace os_net_test {

struct HostAddress {
    std::string link;
    std::string address;  // without the prefix length
    int prefix = 0;
    std::string label;
    std::string valid_lft;  // "forever" or "<n>sec"
};

// Every IPv4 address of the namespace, in the kernel's order.
std::vector<HostAddress> ListAddresses(const std::string& namespace_name);
std::optional<HostAddress> FindAddress(const std::string& namespace_name, const std::string& address);
// Link-local (169.254.0.0/16) addresses only.
std::vector<HostAddress> LinkLocalAddresses(const std::string& namespace_name);

// The namespace's IPv4 routes of the main table, one `ip -o route show` line each.
std::vector<std::string> ListRoutes(const std::string& namespace_name);
// The route lines that contain every one of the words.
std::vector<std::string> RoutesWith(const std::string& namespace_name, const std::vector<std::string>& words);

// `ip -n <namespace> args...`; true when it succeeded.
bool Ip(const std::string& namespace_name, const std::vector<std::string>& args);

uint32_t ToAddress(const std::string& text);  // network byte order
std::string ToText(uint32_t address);

}  // namespace os_net_test
