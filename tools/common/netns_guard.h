// Refuses network work outside a private test network: tells which named network namespace the
// process is in and which links that namespace holds.
#pragma once

#include <string>
#include <vector>

namespace orvan::netguard {

struct Link {
    int index = 0;
    std::string name;
    std::string kind;  // "veth", "bridge", "dummy", ...; empty for lo and hardware
};

// Links of the current network namespace, read over rtnetlink. On failure returns nothing and
// fills `error`.
std::vector<Link> ListLinks(std::string& error);

// Name under /run/netns of the namespace this process is in; empty when it has none (the host's
// own namespace normally has none).
std::string CurrentNamespaceName();

struct Policy {
    std::string required_namespace;          // empty: any named namespace will do
    std::vector<std::string> allowed_links;  // besides lo
    std::string allowed_link_prefix;         // links whose names start with it are allowed too
};

// Empty when the process sits in a namespace the policy accepts; otherwise why it does not.
// Allowed links must also be of a kind that cannot reach beyond this host (veth, bridge, dummy).
std::string IsolationProblem(const Policy& policy);

}  // namespace orvan::netguard
