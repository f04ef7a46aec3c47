// Discovery messages: the probe text, the discovered-device record and the reading of answer trees
// (ProbeMatches, Hello, Bye) into it, with the scope vocabulary devices describe themselves in.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "liborvaniot_os/liborvaniot_os_net_sockaddr.h"

struct drm_xml_node;
struct drm_xml_node_table;

// Vendor configuration of the device maker.
#define DRM_PROBE_VENDOR_AUTHORITY_TEXT "www.orvan-iot.example"
inline constexpr const char* DRM_PROBE_VENDOR_DEVICE_NAMESPACE =
    "http://" DRM_PROBE_VENDOR_AUTHORITY_TEXT "/ver10/device/wsdl";
inline constexpr const char* DRM_PROBE_VENDOR_SCOPE_AUTHORITY = DRM_PROBE_VENDOR_AUTHORITY_TEXT;

// Scope patterns for drm_probe_scope_value: "drm://" + authority + kind path + "%s".
inline constexpr const char* DRM_PROBE_SCOPE_HARDWARE =
    "drm://" DRM_PROBE_VENDOR_AUTHORITY_TEXT "/hardware/%s";
inline constexpr const char* DRM_PROBE_SCOPE_LOCATION =
    "drm://" DRM_PROBE_VENDOR_AUTHORITY_TEXT "/location/%s";
inline constexpr const char* DRM_PROBE_SCOPE_MANUFACTURER =
    "drm://" DRM_PROBE_VENDOR_AUTHORITY_TEXT "/manufacturer/%s";
inline constexpr const char* DRM_PROBE_SCOPE_NAME = "drm://" DRM_PROBE_VENDOR_AUTHORITY_TEXT "/name/%s";

inline constexpr size_t DRM_PROBE_UUID_SIZE = 100;
inline constexpr size_t DRM_PROBE_SEND_BUFFER_SIZE = 10240;
inline constexpr size_t DRM_PROBE_SCOPE_VALUE_SIZE = 64;
inline constexpr size_t DRM_PROBE_ENDPOINT_SIZE = 100;
inline constexpr size_t DRM_PROBE_SCOPE_SIZE = 128;
inline constexpr int32_t DRM_PROBE_MAX_SCOPES = 100;
inline constexpr size_t DRM_PROBE_HOST_SIZE = 128;
inline constexpr size_t DRM_PROBE_PATH_SIZE = 128;
inline constexpr size_t DRM_PROBE_TYPES_SIZE = 256;
inline constexpr size_t DRM_PROBE_XADDRS_SIZE = 256;

// Device types.
inline constexpr int32_t DRM_PROBE_TYPE_NONE = 0;
inline constexpr int32_t DRM_PROBE_TYPE_TRANSMITTER = 1;  // also a plain device
inline constexpr int32_t DRM_PROBE_TYPE_DISPLAY = 2;
inline constexpr int32_t DRM_PROBE_TYPE_STORAGE = 3;
inline constexpr int32_t DRM_PROBE_TYPE_ANALYTICS = 4;

// Report kinds handed to the probe callback.
inline constexpr int32_t DRM_PROBE_REPORT_MATCH = 0;
inline constexpr int32_t DRM_PROBE_REPORT_HELLO = 1;
inline constexpr int32_t DRM_PROBE_REPORT_BYE = 2;

// The discovered-device record. Reused: cleared (except where it came from) before each datagram, and all
// reports of one datagram see the same record, so later matches add to what earlier ones left. A
// record starts zero-initialised ({}), which its clearing relies on (drm_probe_device_prepare).
struct drm_probe_device {
    sockaddr_in sender;  // where the datagram came from, as the socket layer reported it
    // The address of this computer's interface it came in on (network byte order); 0 when the
    // socket receives on every interface, as the group receiver of announcements does.
    uint32_t arrival_if_addr;
    // 1 when it answered a probe sent to its own address: this computer's routes reach it, through
    // a router too, so its page loads from here.
    int32_t answered_unicast;
    int32_t device_type;
    char endpoint_address[DRM_PROBE_ENDPOINT_SIZE];
    int32_t metadata_version;
    int32_t scope_count;
    char scopes[DRM_PROBE_MAX_SCOPES][DRM_PROBE_SCOPE_SIZE];
    // Service address chosen from XAddrs.
    int32_t secure;  // 1 for "https://"
    int32_t port;    // 80 when the address names none
    char host[DRM_PROBE_HOST_SIZE];
    char path[DRM_PROBE_PATH_SIZE];
    // The Types and XAddrs texts as the device sent them (cut to fit), for programs that show a
    // device's whole answer rather than only what the list uses.
    char types[DRM_PROBE_TYPES_SIZE];
    char xaddrs[DRM_PROBE_XADDRS_SIZE];
};

// Registers a device with its receiver: (user data, address text, manufacturer, model, location,
// name, endpoint address, is-new out).
using drm_probe_add_entry_hook = void (*)(void* user_data, const char* address, const char* manufacturer,
                                          const char* model, const char* location, const char* name,
                                          const char* endpoint_address, int32_t* is_new);

// Receives every report on the listener thread; the record is valid only during the call.
using drm_probe_callback = void (*)(drm_probe_device* record, int32_t kind,
                                    drm_probe_add_entry_hook add_entry, void* user_data);

// Receiver of the reports. The owner writes it (normally before the listener starts) from its own
// thread while the listener thread reads it, hence atomics; each field is read once per report.
struct drm_probe_registration {
    std::atomic<drm_probe_callback> callback{nullptr};
    std::atomic<drm_probe_add_entry_hook> add_entry{nullptr};
    std::atomic<void*> user_data{nullptr};
};

// The registration that drm_probe_envelope_read reports to. Without a callback reports are dropped.
drm_probe_registration& drm_probe_registered();
void drm_probe_register(drm_probe_callback callback, drm_probe_add_entry_hook add_entry, void* user_data);

// Writes a new random uuid text into buffer (DRM_PROBE_UUID_SIZE bytes) and returns buffer. Calls in
// the same second differ.
char* drm_probe_uuid_make(char* buffer);

// Formats the probe with MessageID "uuid:" + uuid into buffer. Returns the length of the text (the
// datagram carries exactly these bytes, no NUL), or -1 when it does not fit.
int32_t drm_probe_text_format(char* buffer, size_t size, const char* uuid);

// Clears the record and stores where the datagram came from, ready for one datagram. Of the scope
// rows only the first scope_count are cleared: the rows past them are still zero in a record that
// started zero-initialised and was written only by these functions, so the record ends up byte for
// byte as a whole clear would leave it, at a fraction of the cost.
void drm_probe_device_prepare(drm_probe_device* record, const sockaddr_in& sender, uint32_t arrival_if_addr = 0);

// Where a datagram came from, as the receiving socket tells it.
struct drm_probe_origin {
    sockaddr_in sender{};
    // This computer's interface address it arrived on (network byte order), 0 for a socket that
    // receives on every interface.
    uint32_t arrival_if_addr = 0;
    // It came to the socket that sends the probes to single addresses.
    bool unicast = false;
};

// One received datagram, from its bytes to the reports: parses datagram[0, length) in place with the
// table (datagram[length] must be writable: the terminator goes there), reads the tree into the
// reused record, prepared for origin, and calls the registered callback once per report. false when
// the bytes are not a document the reader accepts: nothing is reported and the record is untouched.
bool drm_probe_datagram_read(drm_xml_node_table* table, char* datagram, int32_t length,
                             const drm_probe_origin& origin, drm_probe_device* record);

// Reads one answer tree and calls the registered callback once per report. Always 1.
int32_t drm_probe_envelope_read(const drm_xml_node* root, drm_probe_device* record);

// Reads a ProbeMatch or Hello element: 1 when a usable service address was found, else 0.
int32_t drm_probe_match_read(const drm_xml_node* match, drm_probe_device* record);

// Device type (DRM_PROBE_TYPE_*) of a Types text.
int32_t drm_probe_types_classify(const char* types);

// Appends the space-separated items of a Scopes text to the record (up to DRM_PROBE_MAX_SCOPES).
void drm_probe_scopes_append(drm_probe_device* record, const char* scopes);

// Splits one service address into host and path (DRM_PROBE_HOST_SIZE / DRM_PROBE_PATH_SIZE bytes),
// port and secure flag. 1 on success, 0 on failure (outputs may have been written).
int32_t drm_probe_xaddr_split(const char* address, char* host, char* path, int32_t* port, int32_t* secure);

// Chooses the service address among the XAddrs candidates into the record: 1 when it has a host and
// a port, else 0.
int32_t drm_probe_xaddrs_choose(const char* xaddrs, drm_probe_device* record);

// 1 for a dotted-decimal IPv4 address text, else 0.
int32_t drm_ipv4_text_is_valid(const char* text);

// 0 when scope starts with the pattern's prefix: the percent-decoded value is stored in output
// (DRM_PROBE_SCOPE_VALUE_SIZE bytes). 1 otherwise, output untouched.
int32_t drm_probe_scope_value(char* output, const char* scope, const char* pattern);
