// Mouse dispatch of the object list: press, drag, release, double click, capture and cursor.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ux_test_fixture.h"

namespace uxtest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ObjectListTest : public UxTest {
  protected:
    ORVAN_UXHolder<ORVAN_UXButton> a;
    ORVAN_UXHolder<ORVAN_UXButton> b;
};

TEST_F(ObjectListTest, DraggingOffAndBackKeepsTheButtonPressedAndReleaseInsideClicks) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    window.ClearLog();

    list.OnLButtonDown(MK_LBUTTON, {110, 60});
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(623, 100, 50, 114, 30), Text("OK", 151, 59)));
    EXPECT_THAT(screen.events, ElementsAre("press A"));
    EXPECT_EQ(window.SetCaptureCount(), 1);
    EXPECT_EQ(list.PressRect(), a->rect);

    window.ClearLog();
    list.OnMouseMove(MK_LBUTTON, {400, 300});
    list.OnMouseMove(MK_LBUTTON, {110, 60});
    EXPECT_EQ(a->state, UX_STATE_PRESSED);
    EXPECT_THAT(window.Drawing(), IsEmpty()) << "a held button is not redrawn while dragged";

    list.OnLButtonUp(0, {110, 60});
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(621, 100, 50, 114, 30), Text("OK", 150, 58)));
    EXPECT_THAT(screen.events, ElementsAre("press A", "release A", "click A"));
    EXPECT_EQ(window.ReleaseCaptureCount(), 1);
    EXPECT_FALSE(window.HasCapture());
    EXPECT_EQ(list.Captured(), nullptr);
    EXPECT_EQ(window.OpenDeviceContexts(), 0);
}

TEST_F(ObjectListTest, ReleaseOutsideTheButtonGivesNoClick) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    list.OnLButtonDown(MK_LBUTTON, {110, 60});
    list.OnMouseMove(MK_LBUTTON, {400, 300});
    window.ClearLog();

    list.OnLButtonUp(0, {400, 300});

    EXPECT_THAT(screen.events, ElementsAre("press A"));
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(621, 100, 50, 114, 30), Text("OK", 150, 58)));
    EXPECT_EQ(window.ReleaseCaptureCount(), 1);
    EXPECT_EQ(list.Captured(), nullptr);
}

TEST_F(ObjectListTest, OverlappingButtonsGiveThePressToTheFirstRegistered) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    list.AddButton(&screen, b, RecordingButton(150, 60, 'B'));

    Click({160, 70});

    EXPECT_THAT(screen.events, ElementsAre("press A", "release A", "click A"));
    EXPECT_EQ(b->state, UX_STATE_NORMAL);
}

TEST_F(ObjectListTest, DoubleClickDeliversPressReleaseClickDoubleClickReleaseClick) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));

    list.OnLButtonDown(MK_LBUTTON, {110, 60});
    list.OnLButtonUp(0, {110, 60});
    list.OnLButtonDblClk(MK_LBUTTON, {110, 60});
    list.OnLButtonUp(0, {110, 60});

    EXPECT_THAT(screen.events,
                ElementsAre("press A", "release A", "click A", "double click A", "release A", "click A"));
    EXPECT_EQ(window.SetCaptureCount(), 2);
    EXPECT_EQ(window.ReleaseCaptureCount(), 2);
}

TEST_F(ObjectListTest, DoubleClickWithoutAPressOnTheButtonIsIgnored) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    list.AddButton(&screen, b, RecordingButton(300, 50, 'B'));
    Click({310, 60});  // leaves B's rectangle as the press rectangle
    screen.events.clear();

    list.OnLButtonDblClk(MK_LBUTTON, {110, 60});

    EXPECT_THAT(screen.events, IsEmpty());
    EXPECT_EQ(list.Captured(), nullptr);
}

TEST_F(ObjectListTest, MovingFromAButtonToEmptySpaceRestoresTheArrowCursor) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    window.ClearLog();

    list.OnMouseMove(0, {110, 60});
    EXPECT_EQ(window.CurrentCursor(), "cursor 500");
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(622, 100, 50, 114, 30), Text("OK", 149, 57)));

    list.OnMouseMove(0, {111, 61});  // still over the button: nothing changes
    list.OnMouseMove(0, {400, 300});

    EXPECT_EQ(window.CurrentCursor(), "arrow");
    EXPECT_THAT(window.CursorChanges(), ElementsAre("cursor 500", "arrow"));
    EXPECT_EQ(window.Drawing().back(), Text("OK", 150, 58));
    EXPECT_EQ(a->state, UX_STATE_NORMAL);
}

TEST_F(ObjectListTest, DispatchOnAnEmptyListOnlyRestoresTheCursor) {
    window.SetCursor(window.LoadCursorResource(UX_HOVER_CURSOR_ID));
    window.ClearLog();

    list.OnMouseMove(MK_LBUTTON, {5, 5});
    list.OnLButtonDown(MK_LBUTTON, {5, 5});
    list.OnLButtonDblClk(MK_LBUTTON, {5, 5});
    list.OnLButtonUp(0, {5, 5});

    EXPECT_THAT(window.Log(), ElementsAre("SetCursor arrow"));
}

TEST_F(ObjectListTest, RemoveAllForgetsThePressedControl) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    list.OnLButtonDown(MK_LBUTTON, {110, 60});

    list.RemoveAll();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Captured(), nullptr);
    EXPECT_FALSE(a);
    EXPECT_TRUE(a.owned());

    // The next screen's button sits where the pressed one was; the release that ends the old
    // press reaches it but is not its click.
    list.AddButton(&screen, b, RecordingButton(100, 50, 'B'));
    list.OnLButtonUp(0, {110, 60});

    EXPECT_THAT(screen.events, ElementsAre("press A"));
    EXPECT_EQ(window.ReleaseCaptureCount(), 1);
    EXPECT_FALSE(window.HasCapture());
}

TEST_F(ObjectListTest, StalePressRectangleDoesNotTurnAReleaseIntoAClick) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    Click({110, 60});
    screen.events.clear();

    // A press that starts on empty space and is dragged onto the button pressed last time.
    list.OnLButtonDown(MK_LBUTTON, {400, 300});
    list.OnMouseMove(MK_LBUTTON, {110, 60});
    list.OnLButtonUp(0, {110, 60});
    // A release with no press before it at all.
    list.OnLButtonUp(0, {110, 60});

    EXPECT_THAT(screen.events, IsEmpty());
    EXPECT_EQ(a->state, UX_STATE_NORMAL);
    EXPECT_EQ(window.SetCaptureCount(), 1);
}

TEST_F(ObjectListTest, ACallbackMayAddControlsWhileTheListDispatches) {
    struct Adding : RecordingScreen {
        using RecordingScreen::RecordingScreen;
        static int AddLabel(ORVAN_UXViewController* self, int64_t, int64_t) {
            auto* screen = static_cast<Adding*>(self);
            for (auto& label : screen->labels) {
                screen->objectList->AddLabel(screen, label, UXStandardLabelDesc(L"", 0, 0, 10, 10));
            }
            return 0;
        }
        ORVAN_UXHolder<ORVAN_UXLabel> labels[8];
    } adding(window, list);
    list.AddButton(&adding, a, UXStandardButtonDesc(L"Add", 100, 50, &Adding::AddLabel));

    Click({110, 60});  // would deadlock on a lock that its holder cannot take again

    EXPECT_EQ(list.Count(), 9u);
}

TEST_F(ObjectListTest, AHolderDestroyedWhileRegisteredLeavesTheList) {
    {
        ORVAN_UXHolder<ORVAN_UXButton> shortLived;
        list.AddButton(&screen, shortLived, RecordingButton(100, 50, 'S'));
        list.OnLButtonDown(MK_LBUTTON, {110, 60});
    }
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Captured(), nullptr);

    list.OnMouseMove(MK_LBUTTON, {110, 60});
    list.OnLButtonUp(0, {110, 60});
    FakeDeviceContext dc(window);
    screen.OnPaint(&dc, true, false);
    EXPECT_THAT(screen.events, ElementsAre("press S"));
}

TEST_F(ObjectListTest, RefillingAHolderReplacesItsEntryAndForgetsTheOldPress) {
    list.AddButton(&screen, a, RecordingButton(100, 50, 'A'));
    list.AddButton(&screen, b, RecordingButton(300, 50, 'B'));
    list.OnLButtonDown(MK_LBUTTON, {110, 60});

    list.AddButton(&screen, a, RecordingButton(500, 50, 'C'));

    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Captured(), nullptr);
    window.ClearLog();
    FakeDeviceContext dc(window);
    screen.OnPaint(&dc, true, false);
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(621, 300, 50, 114, 30), Text("OK", 350, 58),
                                              Blt(621, 500, 50, 114, 30), Text("OK", 550, 58)));
}

}  // namespace
}  // namespace uxtest
