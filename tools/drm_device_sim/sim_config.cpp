#include "sim_config.h"

#include <arpa/inet.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <unordered_set>

namespace orvan::sim {

const char* const kUsage = R"(usage: orvan_device_sim --interface IF --base-address A [options]

Simulated discovery devices. Runs only inside a private network namespace.

Devices
  --interface IF          link the device addresses are added to (required)
  --base-address A        address of the first device; device k gets A + k - 1
  --count N               number of devices (default 1)
  --prefix-len L          prefix length of the added addresses (default 32)
  --devices FILE          one device per line, "key=value" fields separated by ";"
  --seed S                seed of the device uuids (default 1)
  --model M               (default "SIM-CAM100")
  --name N                (default "sim-{n}")
  --location L            (default "Test Lab")
  --manufacturer M        (default "Orvan IoT")
  --types T               (default "dn:NetworkVideoTransmitter tds:Device")
  --xaddrs X              (default "http://{ip}/device/service")
  --metadata-version V    (default 1)
  --no-hardware-scope     leave out the hardware scope
  --scope RAW             extra scope item, given as is (repeatable)
                          In texts, {n} is the device number (1-based) and {ip} its address.
Behaviour
  --port P                discovery port (default 13702)
  --max-delay-ms D        answers go out after a random delay up to D ms (default 500; 0 = at once)
  --no-hello, --no-bye    do not announce start and stop
  --duplicate-answers     answer every probe twice from the same address
  --duplicate-model M     model of the second answer (implies --duplicate-answers)
  --oversize              answer with a ProbeMatches longer than 10239 bytes
  --flood K               send K malformed datagrams to each probe's sender before answering
  --flood-to IP:PORT      send the K datagrams once at start to IP:PORT instead
  --flood-from A          source address of the flood (default: the first device)
  --no-http               do not serve the device web pages
  --http-port P           port of the web pages (default 80)
)";

namespace {

bool ParseInt(std::string_view text, long min, long max, long& out) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) return false;
    out = value;
    return true;
}

bool ParseAddress(const std::string& text, in_addr_t& out) {
    in_addr a{};
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
    out = a.s_addr;
    return true;
}

std::string Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return std::string(s);
}

std::string Fill(const std::string& text, int number, const std::string& ip) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "{n}") == 0) {
            out += std::to_string(number);
            i += 3;
        } else if (text.compare(i, 4, "{ip}") == 0) {
            out += ip;
            i += 4;
        } else {
            out += text[i++];
        }
    }
    return out;
}

void FillTemplates(Device& d, int number) {
    for (std::string* field : {&d.model, &d.name, &d.location, &d.manufacturer, &d.types, &d.xaddrs}) {
        *field = Fill(*field, number, d.address_text);
    }
    for (std::string& scope : d.extra_scopes) scope = Fill(scope, number, d.address_text);
}

uint64_t SplitMix(uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

}  // namespace

std::string AddressText(in_addr_t address) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{address};
    inet_ntop(AF_INET, &a, text, sizeof(text));
    return text;
}

std::string Device::Mac() const {
    std::string mac;
    if (uuid.size() < 12) return mac;
    std::string_view tail = std::string_view(uuid).substr(uuid.size() - 12);
    for (size_t i = 0; i < 12; i += 2) {
        if (!mac.empty()) mac += ':';
        for (char c : tail.substr(i, 2))
            mac += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return mac;
}

std::string DeviceUuid(uint32_t seed, uint32_t index) {
    uint64_t r = SplitMix((uint64_t{seed} << 32) | index);
    char text[40];
    std::snprintf(text, sizeof(text), "%08x-%04x-4%03x-8%03x-02%02x%08x", static_cast<unsigned>(r >> 32),
                  static_cast<unsigned>((r >> 16) & 0xffff), static_cast<unsigned>((r >> 4) & 0xfff),
                  static_cast<unsigned>(SplitMix(r) & 0xfff), seed & 0xffu, index);
    return text;
}

bool ApplyDeviceLine(const std::string& line, Device& d, std::string& error) {
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(';', start);
        if (end == std::string::npos) end = line.size();
        std::string field = Trim(std::string_view(line).substr(start, end - start));
        start = end + 1;
        if (field.empty()) continue;
        size_t eq = field.find('=');
        if (eq == std::string::npos) {
            error = "field without '=': " + field;
            return false;
        }
        std::string key = Trim(std::string_view(field).substr(0, eq));
        std::string value = Trim(std::string_view(field).substr(eq + 1));
        long number = 0;
        if (key == "address") {
            if (!ParseAddress(value, d.address)) {
                error = "bad address: " + value;
                return false;
            }
        } else if (key == "uuid") {
            d.uuid = value;
        } else if (key == "model") {
            d.model = value;
        } else if (key == "name") {
            d.name = value;
        } else if (key == "location") {
            d.location = value;
        } else if (key == "manufacturer") {
            d.manufacturer = value;
        } else if (key == "types") {
            d.types = value;
        } else if (key == "xaddrs") {
            d.xaddrs = value;
        } else if (key == "scope") {
            d.extra_scopes.push_back(value);
        } else if (key == "hardware-scope") {
            if (value != "yes" && value != "no") {
                error = "hardware-scope must be yes or no";
                return false;
            }
            d.hardware_scope = value == "yes";
        } else if (key == "metadata-version") {
            if (!ParseInt(value, 0, 2147483647, number)) {
                error = "bad metadata-version: " + value;
                return false;
            }
            d.metadata_version = static_cast<int>(number);
        } else {
            error = "unknown key: " + key;
            return false;
        }
    }
    return true;
}

std::optional<Config> ParseCommandLine(int argc, char** argv, std::string& error, bool& help) {
    Config c;
    c.defaults.model = "SIM-CAM100";
    c.defaults.name = "sim-{n}";
    c.defaults.location = "Test Lab";
    c.defaults.manufacturer = "Orvan IoT";
    c.defaults.types = "dn:NetworkVideoTransmitter tds:Device";
    c.defaults.xaddrs = "http://{ip}/device/service";
    help = false;
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = opt + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        auto number = [&](long min, long max, long& out) {
            std::string text;
            if (!value(text)) return false;
            if (!ParseInt(text, min, max, out)) {
                error =
                    opt + " needs a whole number from " + std::to_string(min) + " to " + std::to_string(max);
                return false;
            }
            return true;
        };
        auto address = [&](std::optional<in_addr_t>& out) {
            std::string text;
            in_addr_t a = 0;
            if (!value(text)) return false;
            if (!ParseAddress(text, a)) {
                error = opt + " needs an IPv4 address, not '" + text + "'";
                return false;
            }
            out = a;
            return true;
        };
        long n = 0;
        std::string text;
        bool ok = true;
        if (opt == "-h" || opt == "--help") {
            help = true;
            error = kUsage;
            return std::nullopt;
        } else if (opt == "--interface") {
            ok = value(c.interface);
        } else if (opt == "--base-address") {
            ok = address(c.base_address);
        } else if (opt == "--count") {
            ok = number(1, 65000, n) && (c.count = static_cast<int>(n), true);
        } else if (opt == "--prefix-len") {
            ok = number(1, 32, n) && (c.prefix_length = static_cast<int>(n), true);
        } else if (opt == "--devices") {
            ok = value(c.devices_file);
        } else if (opt == "--seed") {
            ok = number(0, 4294967295L, n) && (c.seed = static_cast<uint32_t>(n), true);
        } else if (opt == "--model") {
            ok = value(c.defaults.model);
        } else if (opt == "--name") {
            ok = value(c.defaults.name);
        } else if (opt == "--location") {
            ok = value(c.defaults.location);
        } else if (opt == "--manufacturer") {
            ok = value(c.defaults.manufacturer);
        } else if (opt == "--types") {
            ok = value(c.defaults.types);
        } else if (opt == "--xaddrs") {
            ok = value(c.defaults.xaddrs);
        } else if (opt == "--metadata-version") {
            ok = number(0, 2147483647, n) && (c.defaults.metadata_version = static_cast<int>(n), true);
        } else if (opt == "--no-hardware-scope") {
            c.defaults.hardware_scope = false;
        } else if (opt == "--scope") {
            ok = value(text) && (c.defaults.extra_scopes.push_back(text), true);
        } else if (opt == "--port") {
            ok = number(1, 65535, n) && (c.discovery_port = static_cast<uint16_t>(n), true);
        } else if (opt == "--max-delay-ms") {
            ok = number(0, 60000, n) && (c.max_delay_ms = static_cast<int>(n), true);
        } else if (opt == "--no-hello") {
            c.hello = false;
        } else if (opt == "--no-bye") {
            c.bye = false;
        } else if (opt == "--duplicate-answers") {
            c.duplicate_answers = true;
        } else if (opt == "--duplicate-model") {
            ok = value(c.duplicate_model) && (c.duplicate_answers = true);
        } else if (opt == "--oversize") {
            c.oversize = true;
        } else if (opt == "--flood") {
            ok = number(1, 100000, n) && (c.flood = static_cast<int>(n), true);
        } else if (opt == "--flood-to") {
            ok = value(text);
            size_t colon = text.rfind(':');
            in_addr_t a = 0;
            long port = 0;
            if (ok && (colon == std::string::npos || !ParseAddress(text.substr(0, colon), a) ||
                       !ParseInt(text.substr(colon + 1), 1, 65535, port))) {
                error = "--flood-to needs IP:PORT";
                ok = false;
            }
            if (ok) {
                sockaddr_in to{};
                to.sin_family = AF_INET;
                to.sin_addr.s_addr = a;
                to.sin_port = htons(static_cast<uint16_t>(port));
                c.flood_to = to;
            }
        } else if (opt == "--flood-from") {
            ok = address(c.flood_from);
        } else if (opt == "--no-http") {
            c.http = false;
        } else if (opt == "--http-port") {
            ok = number(1, 65535, n) && (c.http_port = static_cast<uint16_t>(n), true);
        } else {
            error = "unknown option " + opt + " (see --help)";
            ok = false;
        }
        if (!ok) return std::nullopt;
    }
    if (c.interface.empty()) {
        error = "--interface is required";
        return std::nullopt;
    }
    if (c.devices_file.empty() && !c.base_address) {
        error = "--base-address is required (or a device file giving every address)";
        return std::nullopt;
    }
    if (c.flood_to && c.flood == 0) {
        error = "--flood-to needs --flood K";
        return std::nullopt;
    }
    return c;
}

std::optional<std::vector<Device>> BuildDevices(const Config& config, std::string& error) {
    std::vector<std::string> lines;
    if (!config.devices_file.empty()) {
        std::ifstream in(config.devices_file);
        if (!in) {
            error = "cannot read " + config.devices_file;
            return std::nullopt;
        }
        for (std::string line; std::getline(in, line);) {
            std::string t = Trim(line);
            if (!t.empty() && t[0] != '#') lines.push_back(t);
        }
        if (lines.empty()) {
            error = config.devices_file + " names no device";
            return std::nullopt;
        }
    } else {
        lines.assign(static_cast<size_t>(config.count), std::string());
    }
    std::vector<Device> devices;
    std::unordered_set<in_addr_t> taken;
    for (size_t i = 0; i < lines.size(); ++i) {
        Device d = config.defaults;
        d.address = 0;
        if (config.base_address) d.address = htonl(ntohl(*config.base_address) + static_cast<uint32_t>(i));
        if (!ApplyDeviceLine(lines[i], d, error)) {
            error = config.devices_file + " line " + std::to_string(i + 1) + ": " + error;
            return std::nullopt;
        }
        if (d.address == 0) {
            error = "device " + std::to_string(i + 1) + " has no address (give --base-address or address=)";
            return std::nullopt;
        }
        if (d.uuid.empty()) d.uuid = DeviceUuid(config.seed, static_cast<uint32_t>(i));
        d.address_text = AddressText(d.address);
        FillTemplates(d, static_cast<int>(i + 1));
        if (!taken.insert(d.address).second) {
            error = "two devices share the address " + d.address_text;
            return std::nullopt;
        }
        devices.push_back(std::move(d));
    }
    return devices;
}

}  // namespace orvan::sim
