// The screen base: painting the registered controls, the Prev convention, and handing the list
// over from one screen to the next.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ux_test_fixture.h"

namespace uxtest {
namespace {

using ::testing::ElementsAre;

class ViewControllerTest : public UxTest {
  protected:
    ORVAN_UXHolder<ORVAN_UXBitmap> background;
    ORVAN_UXHolder<ORVAN_UXButton> prev;
    ORVAN_UXHolder<ORVAN_UXLabel> label;
    ORVAN_UXHolder<ORVAN_UXRadio> radio;
};

TEST_F(ViewControllerTest, BasePaintDrawsEveryControlInRegistrationOrder) {
    list.AddBitmap(&screen, background, UXBackgroundDesc(2001));
    list.AddButton(&screen, prev, UXPrevButtonDesc());
    list.AddLabel(&screen, label, UXStandardLabelDesc(L"...", 134, 50, 100, 16));
    list.AddRadio(&screen, radio, UXStandardRadioDesc(L"Yes", 300, 100, nullptr));
    window.ClearLog();

    FakeDeviceContext dc(window);
    screen.OnPaint(&dc, true, false);

    EXPECT_THAT(window.Drawing(),
                ElementsAre(Blt(2001, 0, 0, 622, 430), Blt(621, 10, 10, 114, 30), Text("Prev", 52, 18),
                            "FillSolidRect (134,50) 100x16 color 0xffffff", Text("...", 172, 50),
                            Blt(635, 300, 100, 30, 30), Text("Yes", 304, 108)));
}

TEST_F(ViewControllerTest, PrevButtonRunsTheScreensOnBack) {
    list.AddButton(&screen, prev, UXPrevButtonDesc());

    Click({20, 20});

    EXPECT_THAT(screen.events, ElementsAre("back"));
}

TEST_F(ViewControllerTest, DestroyingAScreenHandsAnEmptyListToTheNextScreen) {
    {
        RecordingScreen first(window, list);
        ORVAN_UXHolder<ORVAN_UXButton> old;
        list.AddButton(&first, old, RecordingButton(100, 50, 'A'));
        list.OnLButtonDown(MK_LBUTTON, {110, 60});
    }
    EXPECT_EQ(list.Count(), 0u);

    list.AddButton(&screen, prev, UXPrevButtonDesc());
    window.ClearLog();
    FakeDeviceContext dc(window);
    screen.OnPaint(&dc, true, false);
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(621, 10, 10, 114, 30), Text("Prev", 52, 18)));

    // The release that ends the old screen's press gives back the capture and clicks nothing.
    list.OnLButtonUp(0, {20, 20});
    EXPECT_FALSE(window.HasCapture());
    EXPECT_THAT(screen.events, ::testing::IsEmpty());
}

}  // namespace
}  // namespace uxtest
