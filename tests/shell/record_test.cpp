// The connected-device record: its starting values and the two connection operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "corvaniot_network.h"

namespace {

using ORVAN_UXClass::corvaniot_network;
using ORVAN_UXClass::status_block;

void ExpectUnknown(const status_block& block) {
    for (int32_t flag :
         {block.mode, block.mode_set, block.batt_status, block.event, block.event_set, block.alarm_status,
          block.alarm_status_set, block.option, block.option_set, block.battlow_status,
          block.battlow_status_set, block.reset_battlow, block.reset_battlow_set, block.nco_mode,
          block.nco_mode_set, block.day_mode, block.day_mode_set, block.hold_mode, block.hold_mode_set}) {
        EXPECT_EQ(flag, -1);
    }
    for (int64_t time : {block.batt_time, block.event_time, block.alarm_time, block.battlow_time})
        EXPECT_EQ(time, 0);
    EXPECT_EQ(block.volt, 0.0);
}

TEST(ConnectedDeviceRecordTest, StartsClosedUnnamedAndWithEveryStatusUnknown) {
    const corvaniot_network record;
    EXPECT_STREQ(record.device_name, "");
    EXPECT_EQ(record.link_ready, 0);
    EXPECT_STREQ(record.channel_name, "HelloChannel");
    const std::string key = record.channel_key;
    ASSERT_EQ(key.size(), 11u);
    EXPECT_TRUE(std::all_of(key.begin(), key.begin() + 7, [](char c) { return c >= 'a' && c <= 'z'; }))
        << key;
    EXPECT_TRUE(std::all_of(key.begin() + 7, key.end(), [](char c) { return c >= '0' && c <= '9'; })) << key;
    EXPECT_EQ(record.aux_handle, -1);
    EXPECT_EQ(record.conn_handle, -1);
    EXPECT_EQ(record.selected_device, -1);
    EXPECT_EQ(record.sensor_row, -1);
    EXPECT_EQ(record.device_mac, 0u);
    EXPECT_EQ(record.page_id, 0);
    ExpectUnknown(record.gateway_status);
    ExpectUnknown(record.sensor_status);
    for (int pin = 0; pin < ORVAN_UXClass::kGpioPinCount; ++pin) EXPECT_EQ(record.gpio_state[pin], -1);
    EXPECT_LT(std::strlen(ORVAN_UXClass::kFaceDetectPlaceholderName), sizeof record.face_name);
}

// A record ready for a connection: named, with a transport, closed.
void MakeReady(corvaniot_network& record, int32_t kind) {
    std::strcpy(record.device_name, "cam-1");
    record.link_ready = 1;
    record.device_kind = kind;
}

TEST(ConnectedDeviceRecordTest, PrepareConnectionDerivesTheLinkCodesFromTheKind) {
    struct Case {
        int32_t kind;
        int32_t link_class;  // 11 and 22 stand for "unchanged"
        int32_t link_type;
    };
    const Case cases[] = {{1, 257, 257}, {2, 258, 258}, {3, 259, 259}, {4, 258, 260},
                          {5, 259, 261}, {6, 259, 262}, {7, 259, 263}, {263, 259, 263},
                          {0, 11, 22},   {8, 11, 22},   {262, 11, 22}, {-1, 11, 22}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        corvaniot_network record;
        MakeReady(record, c.kind);
        record.link_class = 11;
        record.link_type = 22;
        ORVAN_UXClass::prepare_connection(&record);
        EXPECT_EQ(record.link_class, c.link_class);
        EXPECT_EQ(record.link_type, c.link_type);
    }
}

TEST(ConnectedDeviceRecordTest, PrepareConnectionNeedsAClosedLinkToANamedDevice) {
    struct Case {
        const char* name;
        void (*change)(corvaniot_network&);
    };
    const Case cases[] = {
        {"connection open", [](corvaniot_network& r) { r.conn_handle = 5; }},
        {"no device name", [](corvaniot_network& r) { r.device_name[0] = '\0'; }},
        {"no transport", [](corvaniot_network& r) { r.link_ready = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvaniot_network record;
        MakeReady(record, 1);
        c.change(record);
        ORVAN_UXClass::prepare_connection(&record);
        EXPECT_EQ(record.link_class, 0);
        EXPECT_EQ(record.link_type, 0);
    }
    ORVAN_UXClass::prepare_connection(nullptr);  // no record: nothing happens

    corvaniot_network fresh;  // unnamed and without a transport
    fresh.device_kind = 1;
    ORVAN_UXClass::prepare_connection(&fresh);
    EXPECT_EQ(fresh.link_class, 0);
    EXPECT_EQ(fresh.link_type, 0);
}

TEST(ConnectedDeviceRecordTest, DropConnectionClosesAnOpenConnectionOnlyWithATransport) {
    struct Case {
        int32_t link_ready;
        int32_t conn_handle;
        int32_t expected;
    };
    const Case cases[] = {{1, 7, -1}, {1, 0, -1}, {0, 7, 7}, {1, -1, -1}, {0, -1, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "link_ready " << c.link_ready << ", conn_handle " << c.conn_handle);
        corvaniot_network record;
        record.link_ready = c.link_ready;
        record.conn_handle = c.conn_handle;
        ORVAN_UXClass::drop_connection(&record);
        EXPECT_EQ(record.conn_handle, c.expected);
    }
    ORVAN_UXClass::drop_connection(nullptr);
}

}  // namespace
