// The scanner's outputs: device texts made safe for terminals, JSON and CSV, and the aligned table.
#include <gtest/gtest.h>

#include "device_output.h"
#include "output_text.h"
#include "scan_test_support.h"

namespace {

using namespace orvan_scan;
using scan_test::Answer;
using scan_test::Device;

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(OutputTextTest, EachOutputHandlesWhatDevicesMaySend) {
    const struct {
        const char* what;
        std::string bytes;
        std::string terminal;
        std::string json;
        std::string csv;
    } cases[] = {
        {"plain", "Lobby 1", "Lobby 1", "\"Lobby 1\"", "Lobby 1"},
        {"comma", "a,b", "a,b", "\"a,b\"", "\"a,b\""},
        {"quotes", "say \"hi\"", "say \"hi\"", "\"say \\\"hi\\\"\"", "\"say \"\"hi\"\"\""},
        {"line break", "a\nb", "a" + kReplacement + "b", "\"a\\nb\"", "\"a\nb\""},
        {"carriage return and tab", "a\r\tb", "a" + kReplacement + kReplacement + "b", "\"a\\r\\tb\"",
         "\"a\r\tb\""},
        {"terminal escape", "\x1b[2Jx", kReplacement + "[2Jx", "\"\\u001b[2Jx\"", kReplacement + "[2Jx"},
        {"delete and C1 control", "a\x7f\xc2\x9b", "a" + kReplacement + kReplacement, "\"a\\u007f\\u009b\"",
         "a" + kReplacement + kReplacement},
        {"backslash", "a\\b", "a\\b", "\"a\\\\b\"", "a\\b"},
        {"non-ASCII", "Caf\xc3\xa9 \xe6\x9d\xb1", "Caf\xc3\xa9 \xe6\x9d\xb1", "\"Caf\xc3\xa9 \xe6\x9d\xb1\"",
         "Caf\xc3\xa9 \xe6\x9d\xb1"},
        {"broken UTF-8", "a\xff\xc3", "a" + kReplacement + kReplacement,
         "\"a" + kReplacement + kReplacement + "\"", "a" + kReplacement + kReplacement},
        // Wide characters are 16 bits on Windows: these take two of them there.
        {"beyond U+FFFF", "\xf0\x9f\x93\xb7 \xf0\x9d\x90\x80", "\xf0\x9f\x93\xb7 \xf0\x9d\x90\x80",
         "\"\xf0\x9f\x93\xb7 \xf0\x9d\x90\x80\"", "\xf0\x9f\x93\xb7 \xf0\x9d\x90\x80"},
        {"line separator", "a\xe2\x80\xa8", "a\xe2\x80\xa8", "\"a\\u2028\"", "a\xe2\x80\xa8"},
        {"empty", "", "", "\"\"", ""},
        // A spreadsheet would run these as formulas: the CSV cell starts with an apostrophe instead.
        {"formula", "=cmd|' /C calc'!A0", "=cmd|' /C calc'!A0", "\"=cmd|' /C calc'!A0\"", "'=cmd|' /C calc'!A0"},
        {"formula after a tab", "\t=1", kReplacement + "=1", "\"\\t=1\"", "'\t=1"},
        {"at sign", "@x", "@x", "\"@x\"", "'@x"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(TerminalText(row.bytes), row.terminal);
        EXPECT_EQ(JsonString(row.bytes), row.json);
        EXPECT_EQ(CsvField(row.bytes), row.csv);
    }
}

TEST(OutputTextTest, DisplayWidthCountsTerminalColumns) {
    EXPECT_EQ(DisplayWidth("abc"), 3u);
    EXPECT_EQ(DisplayWidth("Caf\xc3\xa9"), 4u);
    EXPECT_EQ(DisplayWidth("e\xcc\x81"), 1u) << "combining accent";
    EXPECT_EQ(DisplayWidth("\xe6\x9d\xb1\xe4\xba\xac"), 4u) << "two wide characters";
    EXPECT_EQ(DisplayWidth("\xf0\x9f\x93\xb7\xf0\x9d\x90\x80"), 3u) << "an emoji and a letter beyond U+FFFF";
}

TEST(TableTextTest, ColumnsLineUpWhateverTheTexts) {
    Answer wide;
    wide.ip = "10.0.0.10";
    wide.name = "%E6%9D%B1%E4%BA%AC";  // two wide characters
    wide.location = "Caf%C3%A9";
    Answer escape;
    escape.ip = "10.0.0.9";
    escape.model = "X";
    escape.name = "a%0Ab%1B";
    escape.location = "";
    EXPECT_EQ(TableText({Device(escape), Device(wide)}),
              "Model       MAC                IP         System Name  Location\n"
              "X           0A:1B:2C:3D:4E:5F  10.0.0.9   a" +
                  kReplacement + "b" + kReplacement +
                  "\n"
                  "SIM-CAM100  0A:1B:2C:3D:4E:5F  10.0.0.10  \xe6\x9d\xb1\xe4\xba\xac         Caf\xc3\xa9\n");
    EXPECT_EQ(TableText({}), "");
}

TEST(JsonTextTest, ObjectsCarryEveryFieldInOrder) {
    Answer answer;
    answer.model = "SLV-IPC4210";
    answer.name = "a%22b";
    answer.xaddrs = "";
    EXPECT_EQ(
        JsonObject(Device(answer), "hello"),
        "{\"event\":\"hello\",\"model\":\"SLV-IPC4210\",\"mac\":\"0A:1B:2C:3D:4E:5F\",\"ip\":\"10.0.0.9\","
        "\"name\":\"a\\\"b\",\"location\":\"lab\",\"web_url\":\"https://10.0.0.9\","
        "\"endpoint\":\"urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-0a1b2c3d4e5f\","
        "\"types\":[\"dn:NetworkVideoTransmitter\",\"tds:Device\"],\"xaddrs\":[],"
        "\"scopes\":[\"drm://www.orvan-iot.example/hardware/SLV-IPC4210\","
        "\"drm://www.orvan-iot.example/name/a%22b\",\"drm://www.orvan-iot.example/location/lab\"],"
        "\"metadata_version\":2,\"reachable\":true,\"ip_conflict\":false}");
    EXPECT_EQ(JsonArray({}), "[]\n");
    const std::string one = JsonObject(Device(Answer{}));
    EXPECT_EQ(JsonArray({Device(Answer{}), Device(Answer{})}), "[\n  " + one + ",\n  " + one + "\n]\n");
}

TEST(CsvTextTest, HeaderThenOneRecordPerDeviceWithCrLf) {
    Answer answer;
    answer.name = "x%2Cy";
    answer.location = "two%0Alines";
    EXPECT_EQ(
        CsvText({Device(answer)}),
        "model,mac,ip,name,location,web_url,endpoint,types,xaddrs,scopes,metadata_version,reachable,ip_conflict\r\n"
        "SIM-CAM100,0A:1B:2C:3D:4E:5F,10.0.0.9,\"x,y\",\"two\nlines\",http://10.0.0.9,"
        "urn:uuid:5d1b9c36-0f5e-4c1e-9a7b-0a1b2c3d4e5f,dn:NetworkVideoTransmitter tds:Device,"
        "http://10.0.0.9/device/service,drm://www.orvan-iot.example/hardware/SIM-CAM100 "
        "drm://www.orvan-iot.example/name/x%2Cy drm://www.orvan-iot.example/location/two%0Alines,2,true,false\r\n");
}

// A device whose page cannot load from here, and two devices on one address, are marked in every
// output; the table gets its note column only when some device needs a note.
TEST(DeviceMarksTest, UnreachableDevicesAndSharedAddressesAreMarkedInEveryOutput) {
    FoundDevice distant = Device(Answer{});
    distant.reachable = false;
    Answer second_answer;
    second_answer.ip = "10.0.0.10";
    FoundDevice first = Device(second_answer);
    first.devices_at_ip = 2;
    FoundDevice second = first;
    second.row.mac = "0A:1B:2C:3D:4E:60";
    EXPECT_EQ(TableText({distant, first, second}),
              "Model       MAC                IP         System Name  Location  Note\n"
              "SIM-CAM100  0A:1B:2C:3D:4E:5F  10.0.0.9   cam          lab       not reachable from here\n"
              "SIM-CAM100  0A:1B:2C:3D:4E:5F  10.0.0.10  cam          lab       IP shared by 2 devices\n"
              "SIM-CAM100  0A:1B:2C:3D:4E:60  10.0.0.10  cam          lab       IP shared by 2 devices\n");
    EXPECT_NE(JsonObject(distant).find("\"reachable\":false,\"ip_conflict\":false}"), std::string::npos);
    EXPECT_NE(JsonObject(second).find("\"reachable\":true,\"ip_conflict\":true}"), std::string::npos);
    const std::string csv = CsvText({distant, second});
    EXPECT_NE(csv.find(",2,false,false\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",2,true,true\r\n"), std::string::npos) << csv;
}

}  // namespace
