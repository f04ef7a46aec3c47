// The hand-over from the discovery thread holds its bounds against a flood of forged answers.
#include "discovery_feed.h"

#include <gtest/gtest.h>

#include <string>

#include "device_rows/device_bound.h"

namespace orvan_scan {
namespace {

ScanEvent Hello(uint32_t sender, const std::string& endpoint = "") {
    ScanEvent event;
    event.kind = DRM_PROBE_REPORT_HELLO;
    event.device.emplace();
    event.device->ip_order = sender;
    event.device->row.endpoint = endpoint.empty() ? "urn:uuid:" + std::to_string(sender) : endpoint;
    event.device->row.name.assign(9000, 'x');  // a report as large as a datagram allows
    return event;
}

ScanEvent Bye(const std::string& endpoint) {
    ScanEvent event;
    event.kind = DRM_PROBE_REPORT_BYE;
    event.endpoint = endpoint;
    return event;
}

TEST(DiscoveryFeedTest, RepeatedReportsOfAKnownSenderAreDroppedBeforeTheyQueue) {
    DiscoveryFeed feed;
    for (int i = 0; i < 20000; ++i) feed.Offer(Hello(0x0A000001));
    EXPECT_EQ(feed.Take().size(), 1u);
    for (int i = 0; i < 20000; ++i) feed.Offer(Hello(0x0A000001));
    EXPECT_TRUE(feed.Take().empty());
    EXPECT_EQ(feed.Losses().queue_full, 0u);
}

TEST(DiscoveryFeedTest, AQueueNobodyTakesStopsGrowingAndCountsWhatItDropped) {
    DiscoveryFeed feed;
    for (uint32_t i = 0; i < 20000; ++i) feed.Offer(Hello(0x0A000000 + i));
    EXPECT_EQ(feed.Take().size(), DiscoveryFeed::kQueueCapacity);
    EXPECT_EQ(feed.Losses().queue_full, 20000 - DiscoveryFeed::kQueueCapacity);
    // Dropped senders were not remembered: once the reader is back, they are news again.
    feed.Offer(Hello(0x0A000000 + 19999));
    EXPECT_EQ(feed.Take().size(), 1u);
}

TEST(DiscoveryFeedTest, SendersBeyondTheDeviceBoundAreIgnored) {
    DiscoveryFeed feed;
    size_t taken = 0;
    for (uint32_t i = 0; i < 20000; ++i) {
        feed.Offer(Hello(0x0A000000 + i));
        if (i % 1000 == 999) taken += feed.Take().size();
    }
    taken += feed.Take().size();
    EXPECT_EQ(taken, ORVAN_UXClass::kMaxDevicesHeld);
    EXPECT_EQ(feed.Losses().beyond_bound, 20000 - ORVAN_UXClass::kMaxDevicesHeld);
    EXPECT_EQ(feed.Losses().queue_full, 0u);
}

TEST(DiscoveryFeedTest, AByeMakesTheDevicesNextHelloNewsAgainAndAByeOfNothingIsDropped) {
    DiscoveryFeed feed;
    feed.Offer(Hello(0x0A000001, "urn:uuid:a"));
    feed.Offer(Hello(0x0A000002, "urn:uuid:b"));
    EXPECT_EQ(feed.Take().size(), 2u);
    feed.Offer(Bye("urn:uuid:never-seen"));
    feed.Offer(Hello(0x0A000001, "urn:uuid:a"));
    EXPECT_TRUE(feed.Take().empty());
    feed.Offer(Hello(0x0A000001, "urn:uuid:twin"));
    EXPECT_EQ(feed.Take().size(), 1u) << "a second device on a known address is news";
    feed.Offer(Bye("urn:uuid:a"));
    feed.Offer(Hello(0x0A000001, "urn:uuid:a"));
    feed.Offer(Hello(0x0A000001, "urn:uuid:twin"));
    feed.Offer(Hello(0x0A000002, "urn:uuid:b"));
    const std::vector<ScanEvent> events = feed.Take();
    ASSERT_EQ(events.size(), 2u) << "the Bye took only its own device";
    EXPECT_EQ(events[0].endpoint, "urn:uuid:a");
    ASSERT_TRUE(events[1].device);
    EXPECT_EQ(events[1].device->ip_order, 0x0A000001u);
    EXPECT_EQ(events[1].device->row.endpoint, "urn:uuid:a");
}

}  // namespace
}  // namespace orvan_scan
