// The welcome screen: what it shows, its two buttons, and the second visit that ends the program.
#include <gtest/gtest.h>

#include "WelcomeActivity/WelcomeActivity.h"
#include "orvan_ux/ux_messages.h"
#include "shell_harness.h"

namespace shell_test {
namespace {

using ORVAN_UXClass::kNoRequester;
using ORVAN_UXClass::MSG_ACTIVITY_NAVIGATE;
using ORVAN_UXClass::RequesterParam;
using ORVAN_UXClass::WelcomeActivity;
using ::testing::ElementsAre;

class WelcomeTest : public ShellTest {
  protected:
    // Started on the probe screen, then moved to the welcome screen as its back action would.
    WelcomeActivity* ShowWelcome() {
        EXPECT_EQ(Create(), 0);
        Pump();
        CurrentProbe()->RequestActivity(1000);
        Pump();
        return dynamic_cast<WelcomeActivity*>(Current());
    }
    void Click(orvan::wnd::Point point) {
        View().OnLButtonDown(orvan::wnd::MK_LBUTTON, point);
        View().OnLButtonUp(0, point);
    }
    static constexpr orvan::wnd::Point kQuit{300, 330};
    static constexpr orvan::wnd::Point kTest{300, 370};
};

TEST_F(WelcomeTest, ShowsItsBackgroundAndTheQuitAndTestButtons) {
    ASSERT_NE(ShowWelcome(), nullptr);
    window_.ClearLog();
    orvan::fake::FakeDeviceContext dc(window_);
    View().OnPaint(dc);
    const auto drawing = window_.Drawing();
    auto has = [&](const std::string& line) {
        return std::find(drawing.begin(), drawing.end(), line) != drawing.end();
    };
    EXPECT_EQ(drawing.front(), "StretchBlt bitmap 1000 at (0,0) 622x430");
    EXPECT_TRUE(has("StretchBlt bitmap 621 at (265,320) 114x30"));
    EXPECT_TRUE(has("StretchBlt bitmap 621 at (265,360) 114x30"))
        << "Test sits 330 below the Quit button's height";
    EXPECT_EQ(std::count_if(drawing.begin(), drawing.end(),
                            [](const std::string& l) { return l.find("TextOut \"Quit\"") == 0; }),
              1);
    EXPECT_EQ(std::count_if(drawing.begin(), drawing.end(),
                            [](const std::string& l) { return l.find("TextOut \"Test\"") == 0; }),
              1);
}

TEST_F(WelcomeTest, TestGoesBackToTheDeviceListAndPostsOnlyOnce) {
    WelcomeActivity* welcome = ShowWelcome();
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(welcome->leaving, 0);
    Delegate().home_activity_id = 4242;
    const size_t before = NavigationsPosted().size();
    Click(kTest);
    Click(kTest);
    const auto posted = NavigationsPosted();
    ASSERT_EQ(posted.size(), before + 1);
    EXPECT_EQ(posted.back(),
              (orvan::fake::PostedMessage{MSG_ACTIVITY_NAVIGATE, RequesterParam(welcome), kProbeId}));
    EXPECT_EQ(Delegate().home_activity_id, kProbeId);
    Pump();
    EXPECT_NE(CurrentProbe(), nullptr);
    EXPECT_EQ(frame_.close_requests, 0);
}

TEST_F(WelcomeTest, QuitAndBackCloseTheProgramThroughTheNormalClosePath) {
    WelcomeActivity* welcome = ShowWelcome();
    ASSERT_NE(welcome, nullptr);
    Click(kQuit);
    EXPECT_EQ(frame_.close_requests, 1);
    welcome->OnBack();
    EXPECT_EQ(frame_.close_requests, 2);
    EXPECT_EQ(NavigationsPosted().size(), 2u) << "neither asks for another screen";
    // The frame then closes: the welcome screen is deleted before the core stops.
    Journal::Get().Clear();
    main_frame_.OnClose();
    EXPECT_EQ(Current(), nullptr);
    EXPECT_FALSE(Delegate().slots[1]);
    EXPECT_EQ(Delegate().objectList->Count(), 0u);
    EXPECT_THAT(Journal::Get().Events(), ElementsAre("core finalize"));
}

TEST_F(WelcomeTest, SecondVisitInARunClosesTheProgram) {
    ASSERT_NE(ShowWelcome(), nullptr);
    EXPECT_EQ(frame_.close_requests, 0) << "the first visit stays";
    Click(kTest);
    Pump();
    ASSERT_NE(CurrentProbe(), nullptr);
    ASSERT_TRUE(Delegate().has_navigated);
    CurrentProbe()->RequestActivity(0);  // an id of 0 or below also means the welcome screen
    Pump();
    EXPECT_NE(dynamic_cast<WelcomeActivity*>(Current()), nullptr);
    EXPECT_EQ(frame_.close_requests, 1);
    EXPECT_FALSE(Delegate().has_navigated);
}

}  // namespace
}  // namespace shell_test
