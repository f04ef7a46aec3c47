// A found device on another network of the same link: reached for this run (an address of ours in
// its /24 and a route to it, needing administrator rights) and kept reachable until interrupted, or
// the user told why its page cannot load and what to do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "found_device.h"
#include "scan_options.h"
#include "scanner.h"

namespace orvan_scan {

// The interface to reach the device on: the one its answer came in on; when that is not known,
// the first --interface given by name, else the first interface that can carry a link's traffic
// (the one the link-local address goes on). 0: none.
uint32_t ReachInterface(const FoundDevice& device, const ScanOptions& options);

// Sets the device's reachable flag: whether this computer sends to it straight onto the link it
// answered on.
void CheckReachability(FoundDevice& device);

// Makes the device reachable if it is not: true when it is (or now is, with a note on the error
// stream saying through which address), false after telling the user why not (*status set).
bool MakeReachable(const FoundDevice& device, const ScanOptions& options, const Console& console, bool* added,
                   int* status);

// Keeps the program, and with it the address it added, until Ctrl+C or SIGTERM, saying so first.
void HoldUntilInterrupted(const Console& console, const std::string& reason);

}  // namespace orvan_scan
