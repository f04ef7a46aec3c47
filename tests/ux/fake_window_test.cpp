// The recording fake itself: the parts other test programs rely on beyond drawing.
#include "orvan_test/fake_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using orvan::fake::FakeListColumn;
using orvan::fake::FakeWindow;
using orvan::fake::PostedMessage;
using ::testing::ElementsAre;

TEST(FakeWindowTest, KeepsListRowsAfterTheControlIsGone) {
    FakeWindow window;
    {
        auto control = window.CreateListControl(1, 0, 40, 960, 540);
        control->InsertColumn(0, L"Model", 120);
        control->InsertColumn(1, L"MAC", 140);
        EXPECT_EQ(control->InsertItem(0, L"first"), 0);
        EXPECT_EQ(control->InsertItem(99, L"second"), 1) << "an index past the end appends";
        EXPECT_EQ(control->InsertItem(-1, L"never"), -1);
        control->SetItemText(1, 2, L"10.0.0.2");
        control->SetItemText(5, 0, L"no such row");
        EXPECT_EQ(control->GetItemText(1, 2), L"10.0.0.2");
        EXPECT_TRUE(control->DestroyWindow());
    }

    auto contents = window.ListControl(1);
    ASSERT_TRUE(contents.has_value());
    EXPECT_THAT(contents->columns, ElementsAre(FakeListColumn{L"Model", 120}, FakeListColumn{L"MAC", 140}));
    EXPECT_EQ(contents->rows,
              (std::vector<std::vector<std::wstring>>{{L"first"}, {L"second", L"", L"10.0.0.2"}}));
    EXPECT_TRUE(contents->windowDestroyed);
    EXPECT_TRUE(contents->deleted);
    EXPECT_FALSE(window.ListControl(2).has_value());
}

TEST(FakeWindowTest, RecordsTimersPostedMessagesAndRefusedPosts) {
    FakeWindow window;
    window.SetTimer(1000, 1000);
    window.SetTimer(7, 50);
    window.KillTimer(7);
    EXPECT_TRUE(window.PostMessage(5024, -1, 1001));
    window.SetPostMessageResult(false);
    EXPECT_FALSE(window.PostMessage(5025, 0, 0));

    EXPECT_EQ(window.ActiveTimers(), (std::map<uint32_t, uint32_t>{{1000, 1000}}));
    EXPECT_THAT(window.PostedMessages(), ElementsAre(PostedMessage{5024, -1, 1001}));
    EXPECT_THAT(window.Events(),
                ElementsAre("SetTimer 1000 every 1000 ms", "SetTimer 7 every 50 ms", "KillTimer 7",
                            "PostMessage 5024 (-1, 1001)", "PostMessage 5025 (0, 0)"));
}

}  // namespace
