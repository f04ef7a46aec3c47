// Settings of the device simulator: the command line, the optional device file, and the list of
// simulated devices derived from them.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvan::sim {

struct Device {
    in_addr_t address = 0;  // network order
    std::string address_text;
    std::string uuid;  // without the "urn:uuid:" in front
    std::string model;
    std::string name;
    std::string location;
    std::string manufacturer;
    std::string types;
    std::string xaddrs;
    bool hardware_scope = true;
    std::vector<std::string> extra_scopes;  // raw, added after the generated ones
    int metadata_version = 1;

    std::string EndpointAddress() const { return "urn:uuid:" + uuid; }
    // "02:01:00:00:00:05": the last twelve hex digits of the uuid, as a finder shows them.
    std::string Mac() const;
};

struct Config {
    std::string interface;
    std::optional<in_addr_t> base_address;  // network order
    int count = 1;
    int prefix_length = 32;
    uint32_t seed = 1;
    std::string devices_file;
    Device defaults;  // model, name, ... as templates; {n} and {ip} are filled in per device

    uint16_t discovery_port = 13702;
    int max_delay_ms = 500;
    bool hello = true;
    bool bye = true;
    bool duplicate_answers = false;
    std::string duplicate_model;  // model of the second answer; empty: same as the first
    bool oversize = false;
    int flood = 0;
    std::optional<sockaddr_in> flood_to;  // empty: flood the sender of each probe
    std::optional<in_addr_t> flood_from;  // empty: the first device's address
    bool http = true;
    uint16_t http_port = 80;
};

// Parses the command line. On a usage error returns nothing and fills `error`; when help was
// asked for, fills `error` with the usage text and sets `help`.
std::optional<Config> ParseCommandLine(int argc, char** argv, std::string& error, bool& help);

// Builds the device list from the settings (and the device file when one was given).
std::optional<std::vector<Device>> BuildDevices(const Config& config, std::string& error);

// Parses one line of a device file on top of `device`. Fields are "key=value" separated by ";".
bool ApplyDeviceLine(const std::string& line, Device& device, std::string& error);

// Deterministic uuid of device `index` (0-based) for `seed`; its last group is 02 SS IIIIIIII
// (SS = seed modulo 256, IIIIIIII = index), so tests know the MAC a finder will show.
std::string DeviceUuid(uint32_t seed, uint32_t index);

std::string AddressText(in_addr_t address);

extern const char* const kUsage;

}  // namespace orvan::sim
