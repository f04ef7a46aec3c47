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
        {{"--target"}, "option '--target' needs a value"},
        {{"--target="}, "empty target: give an address (10.3.0.7), a network (10.2.0.0/24) or a range (10.4.0.10-10.4.0.60)"},
        {{"--target", "10.4.0.60-10.4.0.10"}, "invalid target '10.4.0.60-10.4.0.10': the range ends before it starts"},
        {{"--target", "10.2.0.0/24", "--target=10.2.0.0/40"},
         "invalid target '10.2.0.0/40': the prefix length after '/' must be a number from 0 to 32"},
        {{"--target", "10.0.0.0/15"},
         "the targets hold 131070 addresses, more than 65536: give smaller targets, or --allow-large to probe them all"},
        {{"--target", "10.0.0.0/16", "--target", "10.1.0.0/24"},
         "the targets hold 65788 addresses, more than 65536: give smaller targets, or --allow-large to probe them all"},
        {{"--no-multicast"}, "--no-multicast needs at least one --target to ask"},
        {{"--no-multicast=1", "--target", "10.3.0.7"}, "option '--no-multicast' takes no value"},
        {{"--allow-large=yes"}, "option '--allow-large' takes no value"},
        {{"--rate"}, "option '--rate' needs a value"},
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
    for (const char* rate : {"0", "-5", "abc", "10/s", "", "100001", "99999999999999999999", "1.5", "+10"}) {
        SCOPED_TRACE(rate);
        const auto parsed = Parse({"--target", "10.3.0.7", "--rate", rate});
        EXPECT_FALSE(parsed.options);
        EXPECT_EQ(parsed.error, std::string("invalid rate '") + rate +
                                    "': give probes a second, a whole number from 1 to 100000");
    }
}

TEST(ScanOptionsTest, ReadsTargetsRateAndTheirSwitches) {
    const auto none = Parse({});
    ASSERT_TRUE(none.options);
    EXPECT_TRUE(none.options->target_ranges.empty());
    EXPECT_EQ(none.options->rate, 1000u);
    EXPECT_TRUE(none.options->multicast);

    const auto many = Parse({"--target", "10.2.0.0/24", "--target=10.3.0.7", "--target", "10.4.0.10-10.4.0.60",
                             "--rate=250", "--no-multicast", "--json"});
    ASSERT_TRUE(many.options) << many.error;
    EXPECT_EQ(many.options->targets,
              (std::vector<std::string>{"10.2.0.0/24", "10.3.0.7", "10.4.0.10-10.4.0.60"}));
    const std::vector<drm_probe_target_range> ranges = {
        {0x0a020001, 0x0a0200fe}, {0x0a030007, 0x0a030007}, {0x0a04000a, 0x0a04003c}};
    EXPECT_EQ(many.options->target_ranges, ranges);
    EXPECT_EQ(many.options->rate, 250u);
    EXPECT_FALSE(many.options->multicast);

    const auto large = Parse({"--target", "10.0.0.0/8", "--allow-large", "--rate", "100000"});
    ASSERT_TRUE(large.options) << large.error;
    EXPECT_EQ(large.options->target_ranges.size(), 1u);
    EXPECT_EQ(large.options->rate, 100000u);
}

}  // namespace
