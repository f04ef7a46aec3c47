#include "host_addresses.h"

#include <arpa/inet.h>

#include <cstdio>
#include <memory>
#include <sstream>

#include "netns_env.h"

namespace os_net_test {
namespace {

// "2: eth0    inet 169.254.3.4/16 brd 169.254.255.255 scope link dynamic eth0:ov\       valid_lft 4sec ..."
std::optional<HostAddress> ParseLine(const std::string& line) {
    const size_t split = line.find('\\');
    std::istringstream head(line.substr(0, split));
    std::vector<std::string> words;
    for (std::string word; head >> word;) words.push_back(word);
    if (words.size() < 5 || words[2] != "inet") return std::nullopt;
    HostAddress row;
    row.link = words[1].substr(0, words[1].find('@'));
    const size_t slash = words[3].find('/');
    row.address = words[3].substr(0, slash);
    row.prefix = slash == std::string::npos ? 32 : std::stoi(words[3].substr(slash + 1));
    row.label = words.back();
    if (split != std::string::npos) {
        std::istringstream tail(line.substr(split + 1));
        for (std::string word; tail >> word;) {
            if (word == "valid_lft") tail >> row.valid_lft;
        }
    }
    return row;
}

}  // namespace

std::vector<HostAddress> ListAddresses(const std::string& namespace_name) {
    const std::string command = "ip -n " + namespace_name + " -o -4 addr show";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<HostAddress> rows;
    if (!pipe) return rows;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        if (auto row = ParseLine(buffer)) rows.push_back(*row);
    }
    return rows;
}

std::vector<std::string> ListRoutes(const std::string& namespace_name) {
    const std::string command = "ip -n " + namespace_name + " -o -4 route show";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<std::string> lines;
    if (!pipe) return lines;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) lines.emplace_back(buffer);
    return lines;
}

std::vector<std::string> RoutesWith(const std::string& namespace_name, const std::vector<std::string>& words) {
    std::vector<std::string> found;
    for (const std::string& line : ListRoutes(namespace_name)) {
        std::istringstream split(line);
        std::vector<std::string> present;
        for (std::string word; split >> word;) present.push_back(word);
        bool all = true;
        for (const std::string& word : words) {
            bool seen = false;
            for (const std::string& have : present) seen = seen || have == word;
            all = all && seen;
        }
        if (all) found.push_back(line);
    }
    return found;
}

std::optional<HostAddress> FindAddress(const std::string& namespace_name, const std::string& address) {
    for (const HostAddress& row : ListAddresses(namespace_name)) {
        if (row.address == address) return row;
    }
    return std::nullopt;
}

std::vector<HostAddress> LinkLocalAddresses(const std::string& namespace_name) {
    std::vector<HostAddress> rows;
    for (const HostAddress& row : ListAddresses(namespace_name)) {
        if (row.address.rfind("169.254.", 0) == 0) rows.push_back(row);
    }
    return rows;
}

bool Ip(const std::string& namespace_name, const std::vector<std::string>& args) {
    return orvan::netns::RunIp(namespace_name, args) == 0;
}

uint32_t ToAddress(const std::string& text) {
    return ::inet_addr(text.c_str());
}

std::string ToText(uint32_t address) {
    in_addr in{};
    in.s_addr = address;
    char text[INET_ADDRSTRLEN];
    return ::inet_ntop(AF_INET, &in, text, sizeof text);
}

}  // namespace os_net_test
