// What one datagram costs the finder from its arrival to the device list: parse, read and the
// list's report handling, for a normal answer and for the most expensive answers an attacker on
// the link can send. Prints microseconds per datagram and each figure's ratio to a normal answer.
// The reader's own complaints (a full node table) go to standard error: run it with 2>/dev/null.
#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppDelegate.h"
#include "DeviceDrmListActivity/DeviceDrmListActivity.h"
#include "liborvaniot_drm_client/libdrm_client_probe.h"
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "orvan_test/fake_window.h"
#include "orvan_ux/ux_object_list.h"

namespace {

using ORVAN_UXClass::DeviceDrmListActivity;
using ORVAN_UXClass::DeviceListPlatform;

std::string Scope(const std::string& kind, const std::string& value) {
    return std::string("drm://") + DRM_PROBE_VENDOR_SCOPE_AUTHORITY + "/" + kind + "/" + value;
}

std::string Match(int n, int scopes) {
    std::string items = Scope("hardware", "OIC-2210") + " " + Scope("name", "cam-" + std::to_string(n)) + " " +
                        Scope("location", "Gate%20" + std::to_string(n));
    for (int i = 3; i < scopes; ++i) items += " " + Scope("location", "%41" + std::to_string(i));
    return "<d:ProbeMatch><a:EndpointReference><a:Address>urn:uuid:0b1c2d3e-4f50-6172-8394-a5b6c7d8e9f" +
           std::to_string(n % 10) +
           "</a:Address></a:EndpointReference><d:Types>dn:NetworkVideoTransmitter tds:Device</d:Types>"
           "<d:Scopes>" +
           items + "</d:Scopes><d:XAddrs>http://192.168.1.64/drm/device_service</d:XAddrs>"
                   "<d:MetadataVersion>1</d:MetadataVersion></d:ProbeMatch>";
}

std::string Envelope(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><s:Envelope "
           "xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
           "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"><s:Header>"
           "<a:MessageID>uuid:5e1f0c2a-7d3b-4f11-9a60-00408c1a2b3c</a:MessageID>"
           "<a:RelatesTo>uuid:1a2b3c4d-5e6f-7081-92a3-b4c5d6e7f809</a:RelatesTo>"
           "<a:To s:mustUnderstand=\"true\">http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</a:To>"
           "<a:Action s:mustUnderstand=\"true\">http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches"
           "</a:Action><d:AppSequence s:mustUnderstand=\"true\" MessageNumber=\"12\" InstanceId=\"1702000000\">"
           "</d:AppSequence></s:Header><s:Body>" +
           body + "</s:Body></s:Envelope>";
}

std::string Answer(int matches, int scopes) {
    std::string body = "<d:ProbeMatches>";
    // Within the largest datagram the finder reads.
    for (int n = 0; n < matches; ++n) {
        std::string next = Match(n, scopes);
        if (body.size() + next.size() + 400 > LIBDRM_CLIENT_MAX_DATAGRAM) break;
        body += next;
    }
    return Envelope(body + "</d:ProbeMatches>");
}

// The record keeps the scopes of every match of a datagram, so one match with a hundred scopes and
// as many small matches after it as fit make each report carry a hundred scopes.
std::string HundredScopesOnEveryReport() {
    std::string body = "<d:ProbeMatches>" + Match(0, 100);
    const std::string small =
        "<d:ProbeMatch><a:EndpointReference><a:Address>u</a:Address></a:EndpointReference>"
        "<d:Types>tds:Device</d:Types><d:XAddrs>http://h/</d:XAddrs></d:ProbeMatch>";
    while (body.size() + small.size() + 400 < LIBDRM_CLIENT_MAX_DATAGRAM) body += small;
    return Envelope(body + "</d:ProbeMatches>");
}

// As many elements as fit into the largest datagram: the node table fills up.
std::string TableFull() {
    std::string body = "<d:Hello>";
    while (body.size() + 200 < LIBDRM_CLIENT_MAX_DATAGRAM) body += "<x/>";
    return Envelope(body + "</d:Hello>");
}

struct Bench {
    orvan::fake::FakeWindow window;
    ORVAN_UXClass::AppDelegate delegate{{}};
    std::unique_ptr<DeviceDrmListActivity> screen;
    drm_xml_node_table table{};
    drm_probe_device record{};
    std::vector<char> buffer;

    Bench() {
        delegate.view = &window;
        delegate.objectList = std::make_unique<ORVAN_UXClass::ORVAN_UXObjectjList>(&window);
        delegate.client_width = 960;
        delegate.client_height = 540;
        DeviceListPlatform platform{
            .set_probe_port = [](uint16_t) {},
            .set_probe_callback = &drm_probe_register,
            .set_extra_interface = [](uint32_t) {},
            .listen_start = [] { return 0; },
            .scan = [] { return 0; },
            .listen_stop = [] {},
            .listen_is_started = [] { return 1; },
            .link_local_present = [] { return 0; },
            .link_local_text = [] { return std::string(); },
            .link_local_added_address = [] { return 0u; },
            .link_local_generation = {},
            .set_link_local_listener = {},
            .reaches_directly = {},
            .reach = {},
            .set_reach_listener = {},
            .no_rights_text = {},
            .check_scan_targets = {},
            .set_scan_targets = {},
            .scan_targets_path = {},
            .rights_hint = {},
        };
        screen = std::make_unique<DeviceDrmListActivity>(&window, delegate.objectList.get(), &delegate,
                                                         std::move(platform));
        drm_xml_node_table_create(&table, LIBDRM_CLIENT_NODE_CAPACITY);
    }
    ~Bench() {
        screen.reset();
        drm_xml_node_table_release(&table);
    }

    // One datagram as the listener handles it, from the given sender.
    void Receive(const std::string& datagram, uint32_t sender) {
        buffer.assign(datagram.begin(), datagram.end());
        buffer.push_back('\0');
        drm_probe_origin origin;
        origin.sender.sin_family = AF_INET;
        origin.sender.sin_addr.s_addr = sender;
        drm_probe_datagram_read(&table, buffer.data(), static_cast<int32_t>(datagram.size()), origin, &record);
    }
};

// Microseconds per datagram, the best of five rounds.
double Time(const std::function<void(int)>& once, int count) {
    double best = 1e18;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) once(i);
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / count);
    }
    return best;
}

uint32_t Address(int n) {
    return htonl(0x0A000000u + static_cast<uint32_t>(n));  // 10.0.0.0/8, one per device
}

int Run() {
    Bench bench;
    const std::string normal = Answer(1, 5);
    const std::string many_matches = Answer(200, 3);
    const std::string many_scopes = HundredScopesOnEveryReport();
    const std::string table_full = TableFull();

    // Listed senders: every device below answers again, as after a second Scan.
    for (int n = 0; n < 1000; ++n) bench.Receive(normal, Address(n));
    bench.screen->ShowQueuedRows();

    struct Row {
        const char* what;
        const std::string* datagram;
        bool new_senders;
    } rows[] = {
        // The reference: what every device's answer to a Scan costs, the list being empty after it.
        {"normal answer (1 match, 5 scopes), new sender each time", &normal, true},
        {"normal answer, listed sender", &normal, false},
        {"many matches (3 scopes each), listed sender", &many_matches, false},
        {"many reports of 100 scopes each, listed sender", &many_scopes, false},
        {"many reports of 100 scopes each, new sender each time", &many_scopes, true},
        {"node table filled", &table_full, false},
    };
    std::printf("%-58s %9s %8s %7s\n", "datagram", "bytes", "us", "ratio");
    double reference = 0;
    int next_new = 100000;
    for (const Row& row : rows) {
        const double us = Time(
            [&](int i) { bench.Receive(*row.datagram, Address(row.new_senders ? next_new++ : i % 1000)); }, 2000);
        if (reference == 0) reference = us;
        std::printf("%-58s %9zu %8.2f %6.1fx\n", row.what, row.datagram->size(), us, us / reference);
    }
    return 0;
}

}  // namespace

int main() {
    // The reader's nodes come from the runtime's tracked allocator.
    if (liborvaniot_os_initialize() != 0) return 1;
    const int status = Run();
    liborvaniot_os_finalize();
    return status;
}
