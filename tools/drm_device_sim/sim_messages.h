// Discovery messages of a simulated device: recognising a probe, and writing the ProbeMatches,
// Hello and Bye envelopes (SOAP 1.2, WS-Addressing 2004/08, discovery 2005/04).
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim_config.h"

namespace orvan::sim {

inline constexpr const char* kScopeAuthority = "www.orvan-iot.example";
inline constexpr const char* kDiscoveryNamespace = "http://schemas.xmlsoap.org/ws/2005/04/discovery";
inline constexpr size_t kLargestAnswerAFinderReads = 10239;

struct Probe {
    std::string message_id;  // empty when the probe carries none
};

// A Probe element whose prefix (or default namespace) is declared in the datagram as the
// 2005/04 discovery namespace; ProbeMatches and other messages are not probes.
std::optional<Probe> ParseProbe(std::string_view datagram);

std::string XmlEscape(std::string_view text);
// Keeps letters, digits and "-._~"; every other byte becomes %XX (a space becomes %20).
std::string PercentEncode(std::string_view text);

// The device's scope items: hardware (unless left out), location, manufacturer, name, then the
// raw extra items.
std::vector<std::string> Scopes(const Device& device);

// Numbering shared by all messages of one simulator run.
class MessageWriter {
  public:
    explicit MessageWriter(uint64_t seed);

    // `model` replaces the device's model (for a second, different answer); `min_size` pads the
    // scopes until the envelope is at least that long.
    std::string ProbeMatches(const Device& device, std::string_view relates_to, const std::string& model,
                             size_t min_size = 0);
    std::string Hello(const Device& device);
    std::string Bye(const Device& device);
    std::string NewMessageId();

  private:
    std::string Envelope(std::string_view action, std::string_view to, std::string_view relates_to,
                         std::string_view body);
    std::string MatchFields(const Device& device, const std::vector<std::string>& scopes);

    std::mt19937_64 rng_;
    uint64_t instance_id_;
    uint64_t message_number_ = 0;
};

}  // namespace orvan::sim
