// The scanner's command line.
#include "scan_options.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using orvan_scan::OutputMode;
using orvan_scan::ParseScanOptions;

orvan_scan::ParsedOptions Parse(std::vector<std::string_view> args) {
    return ParseScanOptions(args);
}

TEST(ScanOptionsTest, AcceptsEachOptionInBothSpellings) {
    const auto none = Parse({});
    ASSERT_TRUE(none.options);
    EXPECT_EQ(none.options->mode, OutputMode::table);
    EXPECT_EQ(none.options->timeout_s, 3.0);
    EXPECT_TRUE(none.options->interfaces.empty());

    const auto many =
        Parse({"--json", "--interface", "eth0", "--interface=10.0.0.1", "--timeout=0.5", "--debug"});
    ASSERT_TRUE(many.options) << many.error;
    EXPECT_EQ(many.options->mode, OutputMode::json);
    EXPECT_EQ(many.options->interfaces, (std::vector<std::string>{"eth0", "10.0.0.1"}));
    EXPECT_EQ(many.options->timeout_s, 0.5);
    EXPECT_TRUE(many.options->debug);

    const auto watch = Parse({"--watch"});
    ASSERT_TRUE(watch.options);
    EXPECT_FALSE(watch.options->timeout_s) << "a watch runs until interrupted unless given a timeout";

    const auto open = Parse({"--open", "0a-1b-2c-3d-4e-5f", "--timeout", "10"});
    ASSERT_TRUE(open.options) << open.error;
    EXPECT_EQ(open.options->open->mac, "0A:1B:2C:3D:4E:5F");
    EXPECT_EQ(open.options->timeout_s, 10.0);
    const auto reach = Parse({"--reach=192.168.1.64"});
    ASSERT_TRUE(reach.options) << reach.error;
    EXPECT_EQ(reach.options->reach->ip, "192.168.1.64");
    EXPECT_FALSE(reach.options->open);

    EXPECT_TRUE(Parse({"-h"}).options->help);
    EXPECT_TRUE(Parse({"--csv", "--help"}).options->help);
}

TEST(ScanOptionsTest, RefusesWhatItCannotDoWithAReason) {
    const struct {
        std::vector<std::string_view> args;
        const char* error;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"eth0"}, "unexpected argument 'eth0'"},
        {{"--prometheus", "--watch"}, "only one of --json, --csv, --prometheus and --watch can be given (got --watch too)"},
        {{"--output"}, "option '--output' needs a value"},
        {{"--output="}, "option '--output' needs a file name"},
        {{"--watch", "--output", "f"}, "--output cannot be combined with --watch, --open or --reach"},
        {{"--json", "--csv"}, "only one of --json, --csv, --prometheus and --watch can be given (got --csv too)"},
        {{"--timeout"}, "option '--timeout' needs a value"},
        {{"--interface"}, "option '--interface' needs a value"},
        {{"--interface="}, "option '--interface' needs an interface name or address"},
        {{"--json=yes"}, "option '--json' takes no value"},
        {{"--open", "camera"}, "invalid device 'camera' for --open: give an IP address or a MAC"},
        {{"--open", "10.0.0.9", "--json"}, "--open cannot be combined with --json, --csv, --prometheus or --watch"},
        {{"--watch", "--open=10.0.0.9"}, "--open cannot be combined with --json, --csv, --prometheus or --watch"},
        {{"--reach", "camera"}, "invalid device 'camera' for --reach: give an IP address or a MAC"},
        {{"--reach", "10.0.0.9", "--open", "10.0.0.9"}, "--reach cannot be combined with --open, --json, --csv, --prometheus or --watch"},
        {{"--csv", "--reach=10.0.0.9"}, "--reach cannot be combined with --open, --json, --csv, --prometheus or --watch"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.error);
        const auto parsed = Parse(row.args);
        EXPECT_FALSE(parsed.options);
        EXPECT_EQ(parsed.error, row.error);
    }
    for (const char* timeout : {"0", "-1", "abc", "3s", "", "nan", "inf", "1e9"}) {
        SCOPED_TRACE(timeout);
        const std::string arg = std::string("--timeout=") + timeout;
        const auto parsed = Parse({arg});
        EXPECT_FALSE(parsed.options);
        EXPECT_EQ(parsed.error.rfind("invalid timeout", 0), 0u) << parsed.error;
    }
}

}  // namespace
