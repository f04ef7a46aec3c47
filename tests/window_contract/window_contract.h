// What every window layer promises the screens, as one suite run on each of them: posted messages
// (order, the private range, a view that is gone), timers by id, list rows from any thread, the
// clipboard and the URL handler. A program instantiates it with a harness of its layer:
//
//   Harness();                                  a view of the layer, ready for use (Ready())
//   bool Ready();
//   wnd::Window& View();
//   bool RunUntil(const std::function<bool()>& done);   the UI thread's events until done, <= 5 s
//   void RunFor(std::chrono::milliseconds time);
//   std::vector<contract::Posted> Delivered();  messages the view's handler got, in order
//   bool DeliveredOnUiThreadOnly();
//   std::vector<uint32_t> Ticks();              timer ids the handler got, in order
//   void DestroyView();                         the view's window goes, the object stays
//   int32_t ShownRowCount(wnd::ListControl&);   what the user sees of the list control
//   std::wstring ShownText(wnd::ListControl&, int32_t row, int32_t column);
//   std::wstring ClipboardText();               what another program would paste
//   void SetUrlHandler(std::function<bool(const std::string&)>);   empty: the layer's own
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "orvan_wnd/wnd.h"

namespace contract {

struct Posted {
    uint32_t message = 0;
    int64_t wparam = 0;
    int64_t lparam = 0;
    bool operator==(const Posted&) const = default;
};

inline void PrintTo(const Posted& posted, std::ostream* out) {
    *out << posted.message << " (" << posted.wparam << ", " << posted.lparam << ")";
}

// Messages the screens post: navigation and repaint requests.
inline constexpr uint32_t kNavigate = 5024;
inline constexpr uint32_t kRepaint = 5025;
inline constexpr int32_t kListId = 1;

template <typename Harness>
class WindowContract : public ::testing::Test {
  protected:
    void SetUp() override {
        harness_.emplace();
        ASSERT_TRUE(harness_->Ready()) << "the layer gave no view";
    }
    void TearDown() override { harness_.reset(); }

    Harness& H() { return *harness_; }
    orvan::wnd::Window& View() { return harness_->View(); }

    size_t DeliveredCount() { return harness_->Delivered().size(); }

  private:
    std::optional<Harness> harness_;
};

TYPED_TEST_SUITE_P(WindowContract);

TYPED_TEST_P(WindowContract, PostedMessagesReachTheHandlerOnceEachInEveryPostersOrder) {
    constexpr int kThreads = 3;
    constexpr int kEach = 200;
    std::atomic<int> refused{0};
    const auto post = [&](int64_t poster) {
        for (int i = 0; i < kEach; ++i) {
            if (!this->View().PostMessage(i % 2 == 0 ? kNavigate : kRepaint, poster, i)) ++refused;
        }
    };
    std::vector<std::thread> posters;
    for (int t = 1; t <= kThreads; ++t) posters.emplace_back(post, t);
    post(0);  // the UI thread posts too
    for (std::thread& poster : posters) poster.join();
    EXPECT_EQ(refused, 0);

    constexpr size_t kAll = (kThreads + 1) * kEach;
    ASSERT_TRUE(this->H().RunUntil([&] { return this->DeliveredCount() >= kAll; }));
    this->H().RunFor(std::chrono::milliseconds(20));
    const std::vector<Posted> delivered = this->H().Delivered();
    EXPECT_EQ(delivered.size(), kAll) << "each message once";
    std::vector<int64_t> next(kThreads + 1, 0);
    for (const Posted& posted : delivered) {
        ASSERT_GE(posted.wparam, 0);
        ASSERT_LE(posted.wparam, kThreads);
        EXPECT_EQ(posted.lparam, next[posted.wparam]) << "poster " << posted.wparam;
        EXPECT_EQ(posted.message, posted.lparam % 2 == 0 ? kNavigate : kRepaint);
        ++next[posted.wparam];
    }
    EXPECT_TRUE(this->H().DeliveredOnUiThreadOnly());
}

TYPED_TEST_P(WindowContract, OnlyMessagesOfThePrivateRangeAreTakenAndTheyArriveIntact) {
    struct Case {
        uint32_t message;
        bool taken;
    };
    const Case cases[] = {
        {0x0000, false},  // nothing
        {0x0010, false},  // a close request
        {0x000F, false},  // a paint
        {orvan::wnd::kFirstPostableMessage - 1, false},
        {orvan::wnd::kFirstPostableMessage, true},
        {kNavigate, true},
        {orvan::wnd::kLastPostableMessage, true},
        {orvan::wnd::kLastPostableMessage + 1, false},  // the window layer's own messages
        {0xC000, false},                                // registered messages
        {std::numeric_limits<uint32_t>::max(), false},
    };
    std::vector<Posted> expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Posted posted{c.message, std::numeric_limits<int64_t>::min(), -1};
        EXPECT_EQ(this->View().PostMessage(posted.message, posted.wparam, posted.lparam), c.taken);
        if (c.taken) expected.push_back(posted);
    }
    ASSERT_TRUE(this->H().RunUntil([&] { return this->DeliveredCount() >= expected.size(); }));
    this->H().RunFor(std::chrono::milliseconds(20));
    EXPECT_EQ(this->H().Delivered(), expected) << "refused messages never reach the handler";
    EXPECT_TRUE(this->View().IsWindow()) << "no refused message acted on the view";
}

TYPED_TEST_P(WindowContract, AViewThatIsGoneRefusesPostsFromEveryThread) {
    ASSERT_TRUE(this->View().IsWindow());
    this->H().DestroyView();
    EXPECT_FALSE(this->View().IsWindow());
    EXPECT_FALSE(this->View().PostMessage(kRepaint, 0, 1));
    bool takenElsewhere = true;
    std::thread([&] { takenElsewhere = this->View().PostMessage(kNavigate, 0, 2); }).join();
    EXPECT_FALSE(takenElsewhere);
    this->H().RunFor(std::chrono::milliseconds(30));
    EXPECT_TRUE(this->H().Delivered().empty());
}

TYPED_TEST_P(WindowContract, TimersTickByTheirIdUntilKilled) {
    this->View().SetTimer(1000, 10);
    this->View().SetTimer(7, 15);
    const auto count = [&](uint32_t id) {
        const std::vector<uint32_t> ticks = this->H().Ticks();
        return std::count(ticks.begin(), ticks.end(), id);
    };
    ASSERT_TRUE(this->H().RunUntil([&] { return count(1000) >= 2 && count(7) >= 2; }));
    for (uint32_t id : this->H().Ticks()) EXPECT_TRUE(id == 1000 || id == 7) << id;

    // One killed, the other goes on.
    this->View().KillTimer(1000);
    this->H().RunFor(std::chrono::milliseconds(20));
    const auto thousands = count(1000);
    const auto sevens = count(7);
    ASSERT_TRUE(this->H().RunUntil([&] { return count(7) >= sevens + 2; }));
    EXPECT_EQ(count(1000), thousands);

    this->View().KillTimer(7);
    this->H().RunFor(std::chrono::milliseconds(20));
    const size_t ticked = this->H().Ticks().size();
    this->H().RunFor(std::chrono::milliseconds(60));
    EXPECT_EQ(this->H().Ticks().size(), ticked);
}

TYPED_TEST_P(WindowContract, ListRowsChangedFromAnyThreadAreReadAtOnceAndShownInOrder) {
    auto list = this->View().CreateListControl(kListId, 20, 60, 620, 400);
    ASSERT_NE(list, nullptr);
    list->InsertColumn(0, L"Model", 120);
    list->InsertColumn(1, L"MAC", 140);
    constexpr int kRows = 40;
    std::thread adder([&] {
        for (int i = 0; i < kRows; ++i) {
            const int32_t row = list->InsertItem(list->GetItemCount(), L"Model " + std::to_wstring(i));
            list->SetItemText(row, 1, L"00:11:22:33:44:" + std::to_wstring(10 + i));
        }
    });
    adder.join();
    EXPECT_EQ(list->GetItemCount(), kRows) << "the rows can be read at once";
    EXPECT_EQ(list->GetItemText(kRows - 1, 1), L"00:11:22:33:44:49");

    // Where a row goes: the front, past the end (appended), nowhere.
    struct Case {
        int32_t index;
        int32_t expectedRow;
    };
    for (const Case c : {Case{0, 0}, Case{kRows + 99, kRows + 1}, Case{-1, -1}}) {
        SCOPED_TRACE(c.index);
        std::thread([&] { EXPECT_EQ(list->InsertItem(c.index, L"inserted"), c.expectedRow); }).join();
    }
    std::thread([&] { list->DeleteItem(1); }).join();  // "Model 0"

    ASSERT_TRUE(this->H().RunUntil([&] { return this->H().ShownRowCount(*list) == kRows + 1; }));
    this->H().RunFor(std::chrono::milliseconds(20));
    ASSERT_EQ(list->GetItemCount(), kRows + 1);
    for (int32_t row = 0; row < kRows + 1; ++row) {
        SCOPED_TRACE(row);
        for (int32_t column = 0; column < 2; ++column) {
            EXPECT_EQ(this->H().ShownText(*list, row, column), list->GetItemText(row, column));
        }
    }
    EXPECT_EQ(this->H().ShownText(*list, 0, 0), L"inserted");
    EXPECT_EQ(this->H().ShownText(*list, 1, 0), L"Model 1");
    EXPECT_EQ(this->H().ShownText(*list, kRows, 0), L"inserted");
}

TYPED_TEST_P(WindowContract, TheClipboardHoldsTheTextExactly) {
    const std::wstring texts[] = {L"Model\tAA:BB:CC:00:11:22\t10.88.0.2 \u00E9\u4E2D",
                                  L"second copy\r\nwith two lines"};
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(&text - texts);
        ASSERT_TRUE(this->View().SetClipboardText(text));
        EXPECT_EQ(this->H().ClipboardText(), text);
    }
}

TYPED_TEST_P(WindowContract, UrlsGoToTheHandlerAndItsRefusalReachesTheCaller) {
    std::vector<std::string> opened;
    bool accepted = true;
    this->H().SetUrlHandler([&](const std::string& url) {
        opened.push_back(url);
        return accepted;
    });
    EXPECT_TRUE(this->View().OpenUrl("http://10.88.0.2"));
    accepted = false;
    EXPECT_FALSE(this->View().OpenUrl("https://10.88.0.3:8443/")) << "the handler's refusal reaches the screen";
    this->H().SetUrlHandler({});
    EXPECT_EQ(opened, (std::vector<std::string>{"http://10.88.0.2", "https://10.88.0.3:8443/"}));
}

REGISTER_TYPED_TEST_SUITE_P(WindowContract, PostedMessagesReachTheHandlerOnceEachInEveryPostersOrder,
                            OnlyMessagesOfThePrivateRangeAreTakenAndTheyArriveIntact,
                            AViewThatIsGoneRefusesPostsFromEveryThread, TimersTickByTheirIdUntilKilled,
                            ListRowsChangedFromAnyThreadAreReadAtOnceAndShownInOrder,
                            TheClipboardHoldsTheTextExactly, UrlsGoToTheHandlerAndItsRefusalReachesTheCaller);

}  // namespace contract
