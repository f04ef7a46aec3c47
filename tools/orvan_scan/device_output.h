// The scanner's outputs: an aligned table for people, JSON and CSV for programs, and one JSON line
// per event while watching. Every text a device supplied goes through output_text first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "found_device.h"

namespace orvan_scan {

// Field names of the JSON objects and the CSV header, in this order. "reachable" is false for a
// device this computer does not reach directly; "ip_conflict" is true when several devices answer
// from its IP.
inline constexpr std::string_view kFieldNames[] = {
    "model",    "mac",   "ip",     "name",   "location",         "web_url",   "endpoint",
    "types",    "xaddrs", "scopes", "metadata_version", "reachable", "ip_conflict"};

// "true" or "false", as JSON writes them and CSV gives them.
inline std::string_view BooleanText(bool value) {
    return value ? "true" : "false";
}

// Heading line and one line per device, columns two spaces apart, no trailing blanks; "" for none.
// A last column, "Note", says which devices are not reachable or share their IP, when any does.
std::string TableText(const std::vector<FoundDevice>& devices);

// A JSON array of device objects, one object per line.
std::string JsonArray(const std::vector<FoundDevice>& devices);

// One device as a single-line JSON object; with an event name, "event" comes first.
std::string JsonObject(const FoundDevice& device, std::string_view event = {});

// Header and one record per device, CRLF line ends; list fields hold their items space-separated.
std::string CsvText(const std::vector<FoundDevice>& devices);

}  // namespace orvan_scan
