// Adds the simulated devices' addresses to a link over rtnetlink and removes them again.
#pragma once

#include <netinet/in.h>

#include <string>
#include <vector>

namespace orvan::sim {

// Holds the addresses it added; the destructor removes them. Addresses that were already present
// are used but left in place.
class AddressLease {
  public:
    AddressLease(int link_index, int prefix_length);
    ~AddressLease();
    AddressLease(const AddressLease&) = delete;
    AddressLease& operator=(const AddressLease&) = delete;

    // False (with `error`) when the kernel refused the address.
    bool Add(in_addr_t address, std::string& error);
    size_t added() const { return added_.size(); }

  private:
    int Request(int type, int flags, in_addr_t address);

    int fd_ = -1;
    int link_index_;
    int prefix_length_;
    unsigned sequence_ = 0;
    std::vector<in_addr_t> added_;
};

}  // namespace orvan::sim
