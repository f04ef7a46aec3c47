// The connected-device record: the one in-memory description of the device being managed, shared
// by every device screen through the navigator, and the two operations on its connection state.
#pragma once

#include <cstdint>

namespace ORVAN_UXClass {

// One group of status values. Every setting is held twice: as last reported and as to be set.
// Flags use -1 for unknown, 0 and 1; times are seconds since 1970 (0 for none).
struct status_block {
    int32_t mode = -1;
    int32_t mode_set = -1;
    double volt = 0.0;
    int32_t batt_status = -1;  // -1 unknown, 0 low, 1 good; anything else counts as unknown
    int64_t batt_time = 0;
    int32_t event = -1;
    int32_t event_set = -1;
    int64_t event_time = 0;
    int32_t alarm_status = -1;
    int32_t alarm_status_set = -1;
    int64_t alarm_time = 0;
    int32_t option = -1;
    int32_t option_set = -1;
    int32_t battlow_status = -1;
    int32_t battlow_status_set = -1;
    int64_t battlow_time = 0;
    int32_t reset_battlow = -1;
    int32_t reset_battlow_set = -1;
    int32_t nco_mode = -1;
    int32_t nco_mode_set = -1;
    int32_t day_mode = -1;
    int32_t day_mode_set = -1;
    int32_t hold_mode = -1;
    int32_t hold_mode_set = -1;
};

inline constexpr int32_t kGpioPinCount = 32;

// What the face-detect pages store as the face name.
inline constexpr char kFaceDetectPlaceholderName[] = "face_user_01";

class corvaniot_network {
  public:
    corvaniot_network() = default;
    virtual ~corvaniot_network() = default;
    corvaniot_network(const corvaniot_network&) = delete;
    corvaniot_network& operator=(const corvaniot_network&) = delete;

    char device_name[24] = "";  // a connection is prepared only for a named device
    int32_t link_ready = 0;     // 0: no transport, both connection operations do nothing
    char text_slot_1[33] = "";
    char text_slot_2[33] = "";
    char channel_name[33] = "HelloChannel";
    char channel_key[33] = "vqmtrkz4829";
    int32_t device_kind = 0;  // 1 to 7; 263 counts as 7
    int32_t link_class = 0;
    int32_t link_type = 0;
    int32_t aux_handle = -1;
    int32_t page_id = 0;  // the page whose settings are read or written
    uint64_t device_mac = 0;
    int32_t conn_handle = -1;      // -1: no connection open
    int32_t selected_device = -1;  // row chosen in the device list, -1 for none
    int32_t face_slot = 0;
    char face_name[72] = "";
    status_block gateway_status;
    int32_t sensor_row = -1;  // row chosen in the sensor list, -1 for none
    int32_t command_code = 0;
    int32_t command_arg = 0;
    int32_t radio_channel = 0;
    int32_t radio_channel_set = 0;
    int32_t radio_pan_id = 0;
    int32_t radio_pan_id_set = 0;
    status_block sensor_status;
    int32_t gpio_state[kGpioPinCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    int32_t gpio_state_set[kGpioPinCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                             -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// Derives the link codes from device_kind, but only for a closed connection to a named device
// with a transport; a null record or an unknown kind changes nothing.
void prepare_connection(corvaniot_network* record);

// Marks an open connection closed (only while a transport is there).
void drop_connection(corvaniot_network* record);

}  // namespace ORVAN_UXClass
