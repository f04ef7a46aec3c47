// The scanner's outputs: an aligned table for people, JSON and CSV for programs, and one JSON line
// per event while watching. Every text a device supplied goes through output_text first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "found_device.h"

namespace orvan_scan {

// Field names of the JSON objects and the CSV header, in this order.
inline constexpr std::string_view kFieldNames[] = {
    "model",    "mac",   "ip",     "name",   "location",        "web_url",
    "endpoint", "types", "xaddrs", "scopes", "metadata_version"};

// Heading line and one line per device, columns two spaces apart, no trailing blanks; "" for none.
std::string TableText(const std::vector<FoundDevice>& devices);

// A JSON array of device objects, one object per line.
std::string JsonArray(const std::vector<FoundDevice>& devices);

// One device as a single-line JSON object; with an event name, "event" comes first.
std::string JsonObject(const FoundDevice& device, std::string_view event = {});

// Header and one record per device, CRLF line ends; list fields hold their items space-separated.
std::string CsvText(const std::vector<FoundDevice>& devices);

}  // namespace orvan_scan
