// Where discovery runs: the interfaces the user chose (or all of them), the addresses that leaves,
// and whether the discovery port and group can be had there. Each failure comes back as the
// message the user sees; an empty text means all is well.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvan_scan {

// Resolves names and addresses and restricts the discovery channels to them (nothing given: every
// interface).
std::string SelectInterfaces(const std::vector<std::string>& given);

// The addresses discovery will open channels on: this host's IPv4 addresses but loopback, as far as
// the selection allows, and the added link-local address (0: none).
std::vector<uint32_t> UsableAddresses(uint32_t added_link_local);

// Opens the discovery port on the group there, as the listener will, and closes it again.
std::string CheckDiscoveryPort(const std::vector<uint32_t>& addresses, uint16_t port);

}  // namespace orvan_scan
