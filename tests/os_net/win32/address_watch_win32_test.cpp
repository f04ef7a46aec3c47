// The address watch on Windows: woken by the system's notifications, or reading the links every
// second where there are none, it reports changes of addresses, links and detection states and
// stays quiet when only lifetimes changed (renewals). The system's side is a fake here: Wine never
// notifies and its addresses never change.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "liborvaniot_os/liborvaniot_os_net_watch.h"
#include "liborvaniot_os/liborvaniot_os.h"
#include "liborvaniot_os_change_notices.h"

namespace {

using namespace std::chrono_literals;

// The host's links as the fake keeps them, and the watch's subscription to its notices.
struct fake_system {
    std::mutex lock;
    std::vector<liborvaniot_os_link_state> links;
    bool notifies = true;
    void (*wake)(void*) = nullptr;
    void* context = nullptr;
    int cancels = 0;

    void set(std::vector<liborvaniot_os_link_state> now) {
        std::lock_guard held(lock);
        links = std::move(now);
    }
    void notify() {
        void (*to_wake)(void*) = nullptr;
        void* with = nullptr;
        {
            std::lock_guard held(lock);
            to_wake = wake;
            with = context;
        }
        if (to_wake != nullptr) to_wake(with);
    }
};
fake_system* host = nullptr;

const liborvaniot_os_change_notices kFake{
    [] {
        std::lock_guard held(host->lock);
        return host->links;
    },
    [](void (*wake)(void*), void* context) -> void* {
        std::lock_guard held(host->lock);
        if (!host->notifies) return nullptr;
        host->wake = wake;
        host->context = context;
        return host;
    },
    [](void*) {
        std::lock_guard held(host->lock);
        host->wake = nullptr;
        host->context = nullptr;
        ++host->cancels;
    },
};

constexpr liborvaniot_os_link_state kLink{3, 1, 0, 0};
constexpr int kTentative = 1;
constexpr int kPreferred = 4;

liborvaniot_os_link_state Address(uint32_t last_byte, int dad_state) {
    return {3, -1, htonl(0xA9FE0A00u | last_byte), dad_state};
}

class Win32AddressWatch : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(liborvaniot_os_initialize(), 0);
        host = &fake;
        fake.links = {kLink, Address(1, kPreferred)};
        liborvaniot_os_change_notices_use(&kFake);
    }
    void TearDown() override {
        liborvaniot_os_net_descriptor_close(&watch_);
        liborvaniot_os_change_notices_use(nullptr);
        host = nullptr;
        liborvaniot_os_finalize();
    }
    void Open() { ASSERT_EQ(liborvaniot_os_net_address_watch_open(&watch_), 0); }

    // Whether the watch reported a change within the time given.
    bool Reported(std::chrono::milliseconds within) {
        const auto end = std::chrono::steady_clock::now() + within;
        do {
            if (liborvaniot_os_net_address_watch_drain(watch_) == 1) return true;
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < end);
        return false;
    }

    fake_system fake;
    liborvaniot_os_socket watch_ = LIBORVANIOT_OS_INVALID_SOCKET;
};

TEST_F(Win32AddressWatch, ANotifiedChangeIsReportedAndANotifiedRenewalIsNot) {
    Open();
    const struct {
        const char* what;
        std::vector<liborvaniot_os_link_state> links;
        bool reported;
    } steps[] = {
        {"a renewal: nothing but lifetimes changed", {kLink, Address(1, kPreferred)}, false},
        {"an address added, under detection", {kLink, Address(1, kPreferred), Address(2, kTentative)}, true},
        {"the new address became usable", {kLink, Address(1, kPreferred), Address(2, kPreferred)}, true},
        {"an address removed", {kLink, Address(2, kPreferred)}, true},
        {"the link went down", {{3, 2, 0, 0}, Address(2, kPreferred)}, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        fake.set(step.links);
        fake.notify();
        EXPECT_EQ(Reported(step.reported ? 2000ms : 300ms), step.reported);
    }
}

TEST_F(Win32AddressWatch, WithoutNotificationsTheLinksAreReadEverySecond) {
    fake.notifies = false;
    Open();
    EXPECT_FALSE(Reported(300ms));
    fake.set({kLink, Address(1, kPreferred), Address(2, kPreferred)});
    EXPECT_TRUE(Reported(3000ms));
}

TEST_F(Win32AddressWatch, ClosingEndsTheSubscription) {
    Open();
    liborvaniot_os_net_descriptor_close(&watch_);
    EXPECT_EQ(fake.cancels, 1);
    fake.notify();  // a late notice reaches nobody
}

}  // namespace
