// Malformed and hostile datagrams a misbehaving device might send, for testing how a finder
// copes: random bytes, deep nesting, huge element and attribute counts, oversized and truncated
// envelopes, overlong field values and broken markup.
#pragma once

#include <random>
#include <string>

namespace orvan::sim {

// The `index`-th datagram of a flood; the kinds take turns. Never longer than a UDP datagram.
std::string HostileDatagram(size_t index, std::mt19937_64& rng);

}  // namespace orvan::sim
