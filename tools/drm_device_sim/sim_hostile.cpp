#include "sim_hostile.h"

#include <array>
#include <functional>

namespace orvan::sim {
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
    " xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\""
    " xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"><s:Body>";
constexpr const char* kTail = "</s:Body></s:Envelope>";

std::string Repeat(std::string_view piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

std::string Match(const std::string& address, const std::string& types, const std::string& scopes,
                  const std::string& xaddrs, const std::string& version) {
    return "<d:ProbeMatch><a:EndpointReference><a:Address>" + address +
           "</a:Address></a:EndpointReference><d:Types>" + types + "</d:Types><d:Scopes>" + scopes +
           "</d:Scopes><d:XAddrs>" + xaddrs + "</d:XAddrs><d:MetadataVersion>" + version +
           "</d:MetadataVersion></d:ProbeMatch>";
}

std::string ValidAnswer() {
    return kHead + std::string("<d:ProbeMatches>") +
           Match("urn:uuid:00000000-0000-4000-8000-020000000bad", "tds:Device",
                 "drm://www.orvan-iot.example/hardware/HOSTILE drm://www.orvan-iot.example/name/hostile",
                 "http://198.18.255.254/device/service", "1") +
           "</d:ProbeMatches>" + kTail;
}

using Maker = std::function<std::string(std::mt19937_64&)>;

const std::array<Maker, 10>& Makers() {
    static const std::array<Maker, 10> makers = {
        // Random bytes, NULs and high bytes included.
        [](std::mt19937_64& rng) {
            std::string s(1 + rng() % 1400, '\0');
            for (char& c : s) c = static_cast<char>(rng());
            return s;
        },
        // Deep nesting that still fits a finder's receive buffer.
        [](std::mt19937_64&) { return kHead + std::string("<d:ProbeMatches>") + Repeat("<x>", 3000); },
        // More elements than any sane node table holds.
        [](std::mt19937_64&) {
            return kHead + std::string("<d:ProbeMatches>") + Repeat("<d:ProbeMatch/>", 200) +
                   Repeat("<a/>", 1600) + "</d:ProbeMatches>" + kTail;
        },
        // Longer than the 10239 bytes a finder reads.
        [](std::mt19937_64&) {
            std::string s = ValidAnswer();
            s.insert(s.size() - std::string_view(kTail).size(), "<!--" + std::string(16000, 'p') + "-->");
            return s;
        },
        // A valid answer cut anywhere.
        [](std::mt19937_64& rng) {
            std::string s = ValidAnswer();
            s.resize(1 + rng() % (s.size() - 1));
            return s;
        },
        // One element with a flood of attributes.
        [](std::mt19937_64&) {
            std::string s = kHead + std::string("<d:ProbeMatches");
            for (int i = 0; i < 1000; ++i) s += " a" + std::to_string(i) + "=\"v\"";
            return s + "/>" + kTail;
        },
        // Well-formed, with every field far too long or out of range.
        [](std::mt19937_64&) {
            std::string scopes;
            for (int i = 0; i < 110; ++i)
                scopes += "drm://www.orvan-iot.example/name/n" + std::to_string(i) + " ";
            scopes += "drm://www.orvan-iot.example/hardware/" + std::string(3000, 'H');
            return kHead + std::string("<d:ProbeMatches>") +
                   Match("urn:uuid:" + std::string(400, 'f'), "tds:Device " + std::string(200, 'T'), scopes,
                         "http://" + std::string(300, 'h') + "/x http://198.18.9.9:70000/y",
                         "99999999999999") +
                   "</d:ProbeMatches>" + kTail;
        },
        // Broken markup: unterminated comment, CDATA, quotes, stray brackets, embedded NUL.
        [](std::mt19937_64& rng) {
            static const std::array<std::string, 6> pieces = {
                std::string("<!-- never closed"),
                std::string("<![CDATA[<d:ProbeMatch>"),
                std::string("<a b=\"unterminated>"),
                std::string("<<<<>>>></></>"),
                std::string("<d:Hello>\0</d:Hello>", 20),
                std::string("<d:Bye><a:EndpointReference><a:Address>")};
            return kHead + pieces[rng() % pieces.size()];
        },
        // Nothing at all, or a lone bracket.
        [](std::mt19937_64& rng) { return rng() % 2 ? std::string() : std::string("<"); },
        // Many matches, each with a type no finder knows, bad ports and link-local addresses.
        [](std::mt19937_64&) {
            std::string body = "<d:ProbeMatches>";
            for (int i = 0; i < 20; ++i) {
                body += Match("urn:uuid:x" + std::to_string(i), i % 2 ? "Camera" : "tds:Device", "",
                              "http://169.254.0." + std::to_string(i) + ":0/ https://1.2.3.256/", "-5");
            }
            return kHead + body + "</d:ProbeMatches>" + kTail;
        },
    };
    return makers;
}

}  // namespace

std::string HostileDatagram(size_t index, std::mt19937_64& rng) {
    const auto& makers = Makers();
    std::string datagram = makers[index % makers.size()](rng);
    if (datagram.size() > 65507) datagram.resize(65507);
    return datagram;
}

}  // namespace orvan::sim
