// The routes kept with the addresses this process added (see the header).
// The portable code built with this file is in Linux/src/Common (see liborvaniot_os/README.md).
#include "liborvaniot_os_own_routes.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct own_route {
    uint32_t source = 0;
    liborvaniot_os_route_row row;
    bool made = false;  // by this process: renewed and removed by it
};

bool same_route(const liborvaniot_os_route_row& a, const liborvaniot_os_route_row& b) {
    return a.if_index == b.if_index && a.destination == b.destination && a.prefix_len == b.prefix_len;
}

// The core's thread and the reach worker both add and renew.
std::mutex lock;
std::vector<own_route>& routes() {
    static auto* instance = new std::vector<own_route>();
    return *instance;
}
struct renewed_source {
    uint32_t source = 0;
    uint32_t lifetime_s = 0;
};
std::vector<renewed_source>& sources() {
    static auto* instance = new std::vector<renewed_source>();
    return *instance;
}

renewed_source* source_of(uint32_t source) {
    for (renewed_source& s : sources()) {
        if (s.source == source) return &s;
    }
    return nullptr;
}

// Lifetime of a new route through the source: its last renewal's, a few seconds at first, or for
// good when nobody here renews the source.
uint32_t lifetime_for(uint32_t source) {
    constexpr uint32_t kFirstLifetimeS = 5;
    const renewed_source* s = source_of(source);
    if (s == nullptr) return LIBORVANIOT_OS_INFINITE_LIFETIME;
    return s->lifetime_s != 0 ? s->lifetime_s : kFirstLifetimeS;
}

}  // namespace

void liborvaniot_os_own_source_note(uint32_t source) {
    std::lock_guard held(lock);
    if (source_of(source) == nullptr) sources().push_back({source, 0});
}

void liborvaniot_os_own_source_forget(const liborvaniot_os_ip_helper& calls, uint32_t source) {
    std::lock_guard held(lock);
    std::vector<own_route>& all = routes();
    for (const own_route& r : all) {
        if (r.source == source && r.made) calls.remove_route(r.row);
    }
    all.erase(std::remove_if(all.begin(), all.end(), [&](const own_route& r) { return r.source == source; }),
              all.end());
    std::vector<renewed_source>& renewed = sources();
    renewed.erase(std::remove_if(renewed.begin(), renewed.end(), [&](const auto& s) { return s.source == source; }),
                  renewed.end());
}

uint32_t liborvaniot_os_own_route_make(const liborvaniot_os_ip_helper& calls, uint32_t source,
                                       liborvaniot_os_route_row row) {
    std::lock_guard held(lock);
    row.valid_lifetime_s = lifetime_for(source);
    const uint32_t error = calls.create_route(row);
    if (error != NO_ERROR && error != ERROR_OBJECT_ALREADY_EXISTS) return error;
    for (const own_route& r : routes()) {
        if (r.source == source && same_route(r.row, row)) return error;
    }
    routes().push_back({source, row, error == NO_ERROR});
    return error;
}

uint32_t liborvaniot_os_own_route_remove(const liborvaniot_os_ip_helper& calls, uint32_t source,
                                         const liborvaniot_os_route_row& row) {
    std::lock_guard held(lock);
    std::vector<own_route>& all = routes();
    uint32_t error = NO_ERROR;
    for (auto r = all.begin(); r != all.end(); ++r) {
        if (r->source != source || !same_route(r->row, row)) continue;
        if (r->made) error = calls.remove_route(r->row);
        all.erase(r);
        break;
    }
    return error;
}

void liborvaniot_os_own_routes_renew(const liborvaniot_os_ip_helper& calls, uint32_t source, uint32_t lifetime_s) {
    std::lock_guard held(lock);
    if (renewed_source* s = source_of(source); s != nullptr) s->lifetime_s = lifetime_s;
    for (own_route& r : routes()) {
        if (r.source != source) continue;
        r.row.valid_lifetime_s = lifetime_s;
        if (r.made && calls.set_route_lifetime(r.row) == NO_ERROR) continue;
        // Gone (removed by hand, or by another process whose route it was): made again, now ours.
        if (calls.create_route(r.row) == NO_ERROR) r.made = true;
    }
}
