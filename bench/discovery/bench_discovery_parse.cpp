// Time to turn one typical ProbeMatches answer into a device report, beside a general-purpose
// in-place parse of the same bytes by pugixml and by RapidXML. Prints ns per datagram and ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <pugixml.hpp>
#include <rapidxml/rapidxml.hpp>
#include <string>
#include <vector>

#include "liborvaniot_drm_client/libdrm_client_probe_message.h"
#include "liborvaniot_drm_common/libdrm_common_bm_xml_node.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"

namespace {

// A camera's answer as it arrives: SOAP 1.2, addressing headers, one match with five scopes.
const std::string kAnswer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" "
    "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
    "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" "
    "xmlns:dn=\"http://www.orvan-iot.example/ver10/network/wsdl\" "
    "xmlns:tds=\"http://www.orvan-iot.example/ver10/device/wsdl\">"
    "<SOAP-ENV:Header>"
    "<wsa:MessageID>uuid:5e1f0c2a-7d3b-4f11-9a60-00408c1a2b3c</wsa:MessageID>"
    "<wsa:RelatesTo>uuid:1a2b3c4d-5e6f-7081-92a3-b4c5d6e7f809</wsa:RelatesTo>"
    "<wsa:To SOAP-ENV:mustUnderstand=\"true\">http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous"
    "</wsa:To>"
    "<wsa:Action "
    "SOAP-ENV:mustUnderstand=\"true\">http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches"
    "</wsa:Action>"
    "<d:AppSequence SOAP-ENV:mustUnderstand=\"true\" MessageNumber=\"12\" InstanceId=\"1702000000\">"
    "</d:AppSequence>"
    "</SOAP-ENV:Header>"
    "<SOAP-ENV:Body><d:ProbeMatches><d:ProbeMatch>"
    "<wsa:EndpointReference><wsa:Address>urn:uuid:0b1c2d3e-4f50-6172-8394-a5b6c7d8e9f0</wsa:Address>"
    "</wsa:EndpointReference>"
    "<d:Types>dn:NetworkVideoTransmitter tds:Device</d:Types>"
    "<d:Scopes>drm://www.orvan-iot.example/type/video_encoder drm://www.orvan-iot.example/hardware/OIC-2210 "
    "drm://www.orvan-iot.example/location/Warehouse%20Gate drm://www.orvan-iot.example/manufacturer/Orvan "
    "drm://www.orvan-iot.example/name/cam-gate-01</d:Scopes>"
    "<d:XAddrs>http://192.168.1.64/drm/device_service</d:XAddrs>"
    "<d:MetadataVersion>1</d:MetadataVersion>"
    "</d:ProbeMatch></d:ProbeMatches></SOAP-ENV:Body></SOAP-ENV:Envelope>";

int reports = 0;
void count_report(drm_probe_device*, int32_t, drm_probe_add_entry_hook, void*) {
    ++reports;
}

volatile uintptr_t sink;

// The datagram is restored before every parse, as a fresh receive would do.
class work_buffer {
  public:
    explicit work_buffer(const std::string& text) : text_(text), bytes_(text.size() + 1) {}
    char* refill() {
        std::memcpy(bytes_.data(), text_.data(), text_.size());
        bytes_[text_.size()] = '\0';
        return bytes_.data();
    }
    size_t size() const { return text_.size(); }

  private:
    const std::string& text_;
    std::vector<char> bytes_;
};

struct contender {
    const char* name;
    std::function<bool()> run;  // one datagram; false when it was not understood
};

struct timing {
    double median_ns;
    double best_ns;
};

timing ns_per_run(const contender& c) {
    using clock = std::chrono::steady_clock;
    constexpr int kRounds = 7;
    constexpr auto kRoundTime = std::chrono::milliseconds(200);
    // Calibrate the iteration count of a round.
    long iterations = 1;
    for (;;) {
        auto start = clock::now();
        for (long i = 0; i < iterations; ++i) c.run();
        if (clock::now() - start >= kRoundTime / 4) break;
        iterations *= 2;
    }
    iterations *= 4;
    std::vector<double> rounds;
    for (int r = 0; r < kRounds; ++r) {
        auto start = clock::now();
        for (long i = 0; i < iterations; ++i) c.run();
        std::chrono::duration<double, std::nano> elapsed = clock::now() - start;
        rounds.push_back(elapsed.count() / static_cast<double>(iterations));
    }
    std::sort(rounds.begin(), rounds.end());
    return {rounds[kRounds / 2], rounds.front()};
}

}  // namespace

int main() {
    if (liborvaniot_os_debug_initialize() != 0) {
        std::fprintf(stderr, "runtime debug layer did not start\n");
        return 1;
    }
    drm_probe_register(count_report, nullptr, nullptr);
    drm_xml_node_table table{};
    drm_xml_node_table_create(&table, 1000);
    drm_probe_device record{};
    work_buffer buffer(kAnswer);
    pugi::xml_document pugi_doc;
    rapidxml::xml_document<> rapid_doc;

    const contender ours = {"ours: parse + read", [&] {
                                return drm_probe_datagram_read(&table, buffer.refill(),
                                                               static_cast<int32_t>(buffer.size()),
                                                               drm_probe_origin{}, &record);
                            }};
    const contender contenders[] = {
        ours,
        {"ours: parse only",
         [&] {
             drm_xml_node* root = drm_xml_parse(&table, buffer.refill(), static_cast<int32_t>(buffer.size()));
             sink = reinterpret_cast<uintptr_t>(root);
             return root != nullptr;
         }},
        {"pugixml load_buffer_inplace",
         [&] {
             pugi::xml_parse_result result = pugi_doc.load_buffer_inplace(buffer.refill(), buffer.size());
             sink = reinterpret_cast<uintptr_t>(pugi_doc.first_child().internal_object());
             return static_cast<bool>(result);
         }},
        {"RapidXML parse<0> on a copy",
         [&] {
             rapid_doc.clear();
             rapid_doc.parse<0>(buffer.refill());
             sink = reinterpret_cast<uintptr_t>(rapid_doc.first_node());
             return rapid_doc.first_node() != nullptr;
         }},
    };

    // Every contender must understand the datagram before it is timed.
    for (const contender& c : contenders) {
        if (!c.run()) {
            std::fprintf(stderr, "%s did not parse the answer\n", c.name);
            return 1;
        }
    }
    reports = 0;
    ours.run();
    if (reports != 1) {
        std::fprintf(stderr, "the answer gave %d reports instead of 1\n", reports);
        return 1;
    }

    std::vector<timing> ns;
    for (const contender& c : contenders) ns.push_back(ns_per_run(c));

    std::printf("bench_discovery_parse: %zu-byte ProbeMatches answer, ns per datagram over 7 rounds\n",
                kAnswer.size());
    std::printf("%-30s %12s %12s %16s\n", "reader", "median", "best", "ours/this (med)");
    for (size_t i = 0; i < ns.size(); ++i) {
        std::printf("%-30s %12.1f %12.1f %16.2f\n", contenders[i].name, ns[i].median_ns, ns[i].best_ns,
                    ns[0].median_ns / ns[i].median_ns);
    }

    drm_xml_node_table_release(&table);
    liborvaniot_os_debug_finalize();
    return 0;
}
