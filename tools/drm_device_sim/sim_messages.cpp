#include "sim_messages.h"

#include <cctype>
#include <cstdio>
#include <ctime>

namespace orvan::sim {
namespace {

constexpr std::string_view kAddressingNamespace = "http://schemas.xmlsoap.org/ws/2004/08/addressing";
constexpr size_t kLongestMessageIdEchoed = 256;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool DeclaresDiscovery(std::string_view doc, std::string_view prefix) {
    std::string attribute = prefix.empty() ? std::string("xmlns=") : "xmlns:" + std::string(prefix) + "=";
    for (char quote : {'"', '\''}) {
        std::string needle = attribute + quote + kDiscoveryNamespace + quote;
        if (doc.find(needle) != std::string_view::npos) return true;
    }
    return false;
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return std::string(s);
}

std::string ScopeUri(std::string_view kind, std::string_view value) {
    return "drm://" + std::string(kScopeAuthority) + "/" + std::string(kind) + "/" + PercentEncode(value);
}

}  // namespace

std::optional<Probe> ParseProbe(std::string_view doc) {
    bool is_probe = false;
    Probe probe;
    bool have_id = false;
    for (size_t lt = doc.find('<'); lt != std::string_view::npos; lt = doc.find('<', lt + 1)) {
        size_t start = lt + 1;
        if (start >= doc.size()) break;
        if (doc[start] == '/' || doc[start] == '?' || doc[start] == '!') continue;
        size_t end = start;
        while (end < doc.size() && !IsSpace(doc[end]) && doc[end] != '>' && doc[end] != '/') ++end;
        std::string_view qname = doc.substr(start, end - start);
        size_t colon = qname.find(':');
        std::string_view prefix =
            colon == std::string_view::npos ? std::string_view() : qname.substr(0, colon);
        std::string_view local = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
        if (local == "Probe" && DeclaresDiscovery(doc, prefix)) is_probe = true;
        if (local == "MessageID" && !have_id) {
            size_t gt = doc.find('>', end);
            if (gt == std::string_view::npos || doc[gt - 1] == '/') continue;
            size_t next = doc.find('<', gt);
            if (next == std::string_view::npos) continue;
            probe.message_id = Trimmed(doc.substr(gt + 1, std::min(next - gt - 1, kLongestMessageIdEchoed)));
            have_id = true;
        }
    }
    if (!is_probe) return std::nullopt;
    return probe;
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PercentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::vector<std::string> Scopes(const Device& d) {
    std::vector<std::string> scopes;
    if (d.hardware_scope) scopes.push_back(ScopeUri("hardware", d.model));
    scopes.push_back(ScopeUri("location", d.location));
    scopes.push_back(ScopeUri("manufacturer", d.manufacturer));
    scopes.push_back(ScopeUri("name", d.name));
    scopes.insert(scopes.end(), d.extra_scopes.begin(), d.extra_scopes.end());
    return scopes;
}

MessageWriter::MessageWriter(uint64_t seed)
    : rng_(seed ^ static_cast<uint64_t>(std::time(nullptr))),
      instance_id_(static_cast<uint64_t>(std::time(nullptr))) {}

std::string MessageWriter::NewMessageId() {
    uint64_t a = rng_(), b = rng_();
    char text[48];
    std::snprintf(text, sizeof(text), "uuid:%08x-%04x-4%03x-%04x-%012llx", static_cast<unsigned>(a >> 32),
                  static_cast<unsigned>(a & 0xffff), static_cast<unsigned>((a >> 16) & 0xfff),
                  static_cast<unsigned>(0x8000 | (b >> 52 & 0x3fff)),
                  static_cast<unsigned long long>(b & 0xffffffffffffULL));
    return text;
}

std::string MessageWriter::Envelope(std::string_view action, std::string_view to, std::string_view relates_to,
                                    std::string_view body) {
    std::string e;
    e.reserve(1600 + body.size());
    e += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    e += "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\""
         " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
         " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:wsa=\"";
    e += kAddressingNamespace;
    e += "\" xmlns:d=\"";
    e += kDiscoveryNamespace;
    e += "\" xmlns:dn=\"http://";
    e += kScopeAuthority;
    e += "/ver10/network/wsdl\" xmlns:tds=\"http://";
    e += kScopeAuthority;
    e += "/ver10/device/wsdl\"><SOAP-ENV:Header><wsa:MessageID>";
    e += NewMessageId();
    e += "</wsa:MessageID>";
    if (!relates_to.empty()) {
        e += "<wsa:RelatesTo>";
        e += XmlEscape(relates_to);
        e += "</wsa:RelatesTo>";
    }
    e += "<wsa:To SOAP-ENV:mustUnderstand=\"true\">";
    e += to;
    e += "</wsa:To><wsa:Action SOAP-ENV:mustUnderstand=\"true\">";
    e += kDiscoveryNamespace;
    e += "/";
    e += action;
    e += "</wsa:Action><d:AppSequence SOAP-ENV:mustUnderstand=\"true\" MessageNumber=\"";
    e += std::to_string(++message_number_);
    e += "\" InstanceId=\"";
    e += std::to_string(instance_id_);
    e += "\"></d:AppSequence></SOAP-ENV:Header><SOAP-ENV:Body>";
    e += body;
    e += "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
    return e;
}

std::string MessageWriter::MatchFields(const Device& d, const std::vector<std::string>& scopes) {
    std::string f = "<wsa:EndpointReference><wsa:Address>" + XmlEscape(d.EndpointAddress()) +
                    "</wsa:Address></wsa:EndpointReference><d:Types>" + XmlEscape(d.types) +
                    "</d:Types><d:Scopes>";
    for (size_t i = 0; i < scopes.size(); ++i) {
        if (i > 0) f += ' ';
        f += XmlEscape(scopes[i]);
    }
    f += "</d:Scopes><d:XAddrs>" + XmlEscape(d.xaddrs) + "</d:XAddrs><d:MetadataVersion>" +
         std::to_string(d.metadata_version) + "</d:MetadataVersion>";
    return f;
}

std::string MessageWriter::ProbeMatches(const Device& device, std::string_view relates_to,
                                        const std::string& model, size_t min_size) {
    Device d = device;
    d.model = model;
    std::vector<std::string> scopes = Scopes(d);
    auto build = [&] {
        return Envelope(
            "ProbeMatches", "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous", relates_to,
            "<d:ProbeMatches><d:ProbeMatch>" + MatchFields(d, scopes) + "</d:ProbeMatch></d:ProbeMatches>");
    };
    std::string message = build();
    if (message.size() < min_size) {
        // Padding made of further scope items keeps the envelope well-formed.
        const size_t item = 100;
        size_t items = (min_size - message.size()) / (item + 1) + 1;
        for (size_t i = 0; i < items; ++i) {
            std::string pad = "drm://" + std::string(kScopeAuthority) + "/padding/" + std::to_string(i) + "-";
            pad.resize(item, 'x');
            scopes.push_back(pad);
        }
        message = build();
    }
    return message;
}

std::string MessageWriter::Hello(const Device& d) {
    return Envelope("Hello", "urn:schemas-xmlsoap-org:ws:2005:04:discovery", {},
                    "<d:Hello>" + MatchFields(d, Scopes(d)) + "</d:Hello>");
}

std::string MessageWriter::Bye(const Device& d) {
    return Envelope("Bye", "urn:schemas-xmlsoap-org:ws:2005:04:discovery", {},
                    "<d:Bye><wsa:EndpointReference><wsa:Address>" + XmlEscape(d.EndpointAddress()) +
                        "</wsa:Address></wsa:EndpointReference></d:Bye>");
}

}  // namespace orvan::sim
