// Drawing, sizing and input rules of the individual controls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvan_ux/ux_res_bitmap.h"
#include "ux_test_fixture.h"

namespace uxtest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WidgetTest : public UxTest {
  protected:
    std::vector<std::string> DrawOnly(ORVAN_UXObject& object) {
        window.ClearLog();
        FakeDeviceContext dc(window);
        object.Draw(&dc, true, false);
        return window.Drawing();
    }

    ORVAN_UXHolder<ORVAN_UXButton> button;
    ORVAN_UXHolder<ORVAN_UXRadio> radio;
    ORVAN_UXHolder<ORVAN_UXLabel> label;
    ORVAN_UXHolder<ORVAN_UXBitmap> picture;
};

TEST_F(WidgetTest, ButtonDrawsEachStateWithItsBitmapAndCaptionOffset) {
    list.AddButton(&screen, button, RecordingButton(100, 50, 'A'));
    struct Row {
        const char* name;
        int32_t state;
        bool enabled;
        std::string bitmap;
        std::string caption;
    };
    const Row rows[] = {
        {"normal", UX_STATE_NORMAL, true, Blt(621, 100, 50, 114, 30), Text("OK", 150, 58)},
        {"hover", UX_STATE_HOVER, true, Blt(622, 100, 50, 114, 30), Text("OK", 149, 57)},
        {"pressed", UX_STATE_PRESSED, true, Blt(623, 100, 50, 114, 30), Text("OK", 151, 59)},
        {"disabled", UX_STATE_DISABLED, false, Blt(624, 100, 50, 114, 30), Text("OK", 150, 58, "0x808080")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        button->enabled = row.enabled;
        button->state = row.state;
        EXPECT_THAT(DrawOnly(*button), ElementsAre(row.bitmap, row.caption));
    }
}

TEST_F(WidgetTest, StateWithoutItsBitmapFallsBackToNormalAndAnEmptyCaptionIsLeftOut) {
    window.AddBitmap(700, 114, 30);  // 701 to 703 do not exist
    ORVAN_UXButtonDesc desc = RecordingButton(100, 50, 'A', L"");
    desc.bitmapIds = {700, 701, 702, 703};
    list.AddButton(&screen, button, desc);

    for (int32_t state : {UX_STATE_NORMAL, UX_STATE_HOVER, UX_STATE_PRESSED, UX_STATE_DISABLED}) {
        SCOPED_TRACE(state);
        button->SetEnabled(state != UX_STATE_DISABLED);
        button->state = state;
        EXPECT_THAT(DrawOnly(*button), ElementsAre(Blt(700, 100, 50, 114, 30)));
    }
}

TEST_F(WidgetTest, RadioDrawsFromTheSetOfItsCheckedValueAndAlwaysDrawsItsCaption) {
    list.AddRadio(&screen, radio, UXStandardRadioDesc(L"", 300, 50, nullptr));
    struct Row {
        bool checked;
        int32_t state;
        int32_t bitmap;
        std::string caption;  // the empty caption, centred with the state's offset
    };
    const Row rows[] = {
        {true, UX_STATE_NORMAL, 631, Text("", 316, 58)},
        {true, UX_STATE_HOVER, 632, Text("", 315, 57)},
        {true, UX_STATE_PRESSED, 633, Text("", 317, 59)},
        {true, UX_STATE_DISABLED, 634, Text("", 316, 58, "0x808080")},
        {false, UX_STATE_NORMAL, 635, Text("", 316, 58)},
        {false, UX_STATE_HOVER, 636, Text("", 315, 57)},
        {false, UX_STATE_PRESSED, 637, Text("", 317, 59)},
        {false, UX_STATE_DISABLED, 638, Text("", 316, 58, "0x808080")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "checked " << row.checked << " state " << row.state);
        radio->checked = row.checked;
        radio->SetEnabled(row.state != UX_STATE_DISABLED);
        radio->state = row.state;
        EXPECT_THAT(DrawOnly(*radio), ElementsAre(Blt(row.bitmap, 300, 50, 30, 30), row.caption));
    }
    EXPECT_EQ(radio->GetWidth(), 30);
}

TEST_F(WidgetTest, DisablingRepaintsAButtonAtOnceButARadioOnlyWithTheNextPaint) {
    list.AddButton(&screen, button, RecordingButton(100, 50, 'A'));
    list.AddRadio(&screen, radio, UXStandardRadioDesc(L"On", 300, 50, nullptr));
    const int invalidated = window.InvalidateCount();

    button->SetEnabled(false);
    EXPECT_EQ(window.InvalidateCount(), invalidated + 1);
    radio->SetEnabled(false);
    EXPECT_EQ(window.InvalidateCount(), invalidated + 1);

    window.ClearLog();
    FakeDeviceContext dc(window);
    screen.OnPaint(&dc, true, false);
    EXPECT_THAT(window.Drawing(), ElementsAre(Blt(624, 100, 50, 114, 30), Text("OK", 150, 58, "0x808080"),
                                              Blt(638, 300, 50, 30, 30), Text("On", 308, 58, "0x808080")));

    Click({110, 60});
    Click({310, 60});
    EXPECT_THAT(screen.events, IsEmpty());
    EXPECT_EQ(window.SetCaptureCount(), 0);
    EXPECT_EQ(window.CurrentCursor(), "arrow");
}

TEST_F(WidgetTest, ButtonWhoseBitmapsAreMissingMeasuresMinusOneDrawsOnlyItsCaptionAndIsNeverHit) {
    ORVAN_UXButtonDesc desc = RecordingButton(100, 50, 'A');
    desc.bitmapIds = {900, 901, 902, 903};
    list.AddButton(&screen, button, desc);

    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(button->rect.width, -1);
    EXPECT_EQ(button->rect.height, -1);
    // Centred on a -1 by -1 rectangle with truncating division: 100 + 1 + (-17 / 2).
    EXPECT_THAT(DrawOnly(*button), ElementsAre(Text("OK", 93, 43)));

    Click({100, 50});
    list.OnMouseMove(0, {100, 50});
    EXPECT_THAT(screen.events, IsEmpty());
    EXPECT_EQ(window.SetCaptureCount(), 0);
    EXPECT_EQ(window.CurrentCursor(), "arrow");
}

TEST_F(WidgetTest, LabelFillsItsRectangleAndPlacesItsCaptionByAlignment) {
    // "Wide caption" measures 96 pixels, more than the 80-pixel label.
    ORVAN_UXLabelDesc desc = UXStandardLabelDesc(L"Wide caption", 100, 50, 80, 20);
    desc.textColor = 0x0000ff;
    list.AddLabel(&screen, label, desc);
    struct Row {
        int32_t alignment;
        int32_t textX;
    };
    for (const Row& row : {Row{0, 100}, Row{1, 92}, Row{2, 84}, Row{7, 92}}) {
        SCOPED_TRACE(testing::Message() << "alignment " << row.alignment);
        label->alignment = row.alignment;
        EXPECT_THAT(DrawOnly(*label), ElementsAre("FillSolidRect (100,50) 80x20 color 0xffffff",
                                                  Text("Wide caption", row.textX, 52, "0x0000ff")));
    }

    const int invalidated = window.InvalidateCount();
    label->SetText(L"Other");
    EXPECT_EQ(window.InvalidateCount(), invalidated + 1);
    list.OnMouseMove(0, {110, 55});
    list.OnLButtonDown(MK_LBUTTON, {110, 55});
    EXPECT_EQ(list.Captured(), nullptr);
    EXPECT_EQ(window.CurrentCursor(), "arrow");
}

TEST_F(WidgetTest, BitmapControlWithOnlyANormalBitmapNeverReacts) {
    list.AddBitmap(&screen, picture, UXBackgroundDesc(2001));
    EXPECT_FALSE(picture->interactive);
    window.ClearLog();

    list.OnMouseMove(0, {50, 50});
    list.OnLButtonDown(MK_LBUTTON, {50, 50});
    list.OnLButtonDblClk(MK_LBUTTON, {50, 50});
    list.OnLButtonUp(0, {50, 50});

    EXPECT_THAT(window.Log(), IsEmpty());
    EXPECT_EQ(picture->state, UX_STATE_NORMAL);
    EXPECT_THAT(DrawOnly(*picture), ElementsAre(Blt(2001, 0, 0, 622, 430)));
}

TEST_F(WidgetTest, BitmapControlWithAFullSetShowsTheHoverCursorAndDrawsItsDisabledLook) {
    ORVAN_UXBitmapDesc desc = UXBackgroundDesc(621);
    desc.x = 10;
    desc.y = 20;
    desc.text = L"Pic";
    desc.bitmapIds = UX_PUSH_BUTTON_BITMAPS;
    list.AddBitmap(&screen, picture, desc);
    list.OnMouseMove(0, {20, 30});
    list.OnLButtonDown(MK_LBUTTON, {20, 30});
    EXPECT_EQ(window.CurrentCursor(), "cursor 500");
    EXPECT_EQ(list.Captured(), nullptr);

    const int invalidated = window.InvalidateCount();
    picture->SetEnabled(false);
    EXPECT_EQ(window.InvalidateCount(), invalidated);
    EXPECT_THAT(DrawOnly(*picture), ElementsAre(Blt(624, 10, 20, 114, 30), Text("Pic", 55, 27, "0x808080")));
}

TEST_F(WidgetTest, BitmapControlTakesItsSizeFromTheFirstGivenBitmapThatHasOne) {
    struct Row {
        const char* name;
        std::array<int32_t, 4> ids;
        int32_t width;
        int32_t height;
    };
    const Row rows[] = {
        {"normal only", {2001, 0, 0, 0}, 622, 430},
        {"absent normal skipped", {0, 2001, 0, 0}, 622, 430},
        {"negative id has no size", {-5, 0, 621, 0}, 114, 30},
        {"missing normal counts", {900, 2001, 0, 0}, -1, -1},
        {"no bitmap at all", {0, 0, 0, 0}, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ORVAN_UXBitmapDesc desc;
        desc.bitmapIds = row.ids;
        list.AddBitmap(&screen, picture, desc);
        EXPECT_EQ(picture->rect.width, row.width);
        EXPECT_EQ(picture->rect.height, row.height);
    }
}

TEST_F(WidgetTest, ResourceBitmapLoadsOnlyWithAWindowAndDrawsOnlyWhenPresent) {
    struct Row {
        const char* name;
        bool withWindow;
        int32_t id;
        bool loaded;
        int32_t width;
        bool draws;
    };
    const Row rows[] = {
        {"no window", false, 621, false, -1, false},
        {"missing resource", true, 900, false, -1, false},
        {"absent id", true, 0, true, 0, false},
        {"present", true, 621, true, 114, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ORVAN_UXResBitmap bitmap(row.withWindow ? &window : nullptr, row.id);
        EXPECT_EQ(bitmap.loaded(), row.loaded);
        EXPECT_EQ(bitmap.Width(), row.width);
        window.ClearLog();
        FakeDeviceContext dc(window);
        EXPECT_EQ(bitmap.Draw(&dc, {5, 6, 50, 20}), row.draws);
        EXPECT_EQ(window.Drawing().size(), row.draws ? 1u : 0u);
        EXPECT_FALSE(bitmap.Draw(nullptr, {5, 6, 50, 20}));
    }

    ORVAN_UXResBitmap present(&window, 621);
    window.ClearLog();
    FakeDeviceContext dc(window);
    EXPECT_TRUE(present.Draw(&dc, {5, 6, 0, 20})) << "an empty target counts as drawn";
    EXPECT_THAT(window.Drawing(), IsEmpty());
}

}  // namespace
}  // namespace uxtest
