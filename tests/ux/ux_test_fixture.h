// Shared set-up of the toolkit tests: a fake window with the standard bitmaps and the hover
// cursor, an object list, and a screen whose callbacks write what happened into a list of events.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orvan_test/fake_window.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_object_list.h"
#include "orvan_ux/ux_view_controller.h"

namespace uxtest {

using namespace ORVAN_UXClass;
using orvan::fake::FakeDeviceContext;
using orvan::fake::FakeWindow;
using orvan::wnd::MK_LBUTTON;
using orvan::wnd::Point;

enum Happening : int64_t { kPress, kRelease, kClick, kDoubleClick };

class RecordingScreen : public ORVAN_UXViewController {
  public:
    RecordingScreen(FakeWindow& window, ORVAN_UXObjectjList& list)
        : ORVAN_UXViewController(&window, &list, nullptr) {}
    ~RecordingScreen() override { objectList->RemoveAll(); }
    void OnBack() override { events.push_back("back"); }

    // arg1 says what happened, arg2 names the control ('A', 'B', ...): events read "click A".
    static int Record(ORVAN_UXViewController* screen, int64_t what, int64_t tag) {
        static const char* const kNames[] = {"press", "release", "click", "double click"};
        static_cast<RecordingScreen*>(screen)->events.push_back(std::string(kNames[what]) + " " +
                                                                static_cast<char>(tag));
        return 0;
    }

    std::vector<std::string> events;
};

// A standard push button at (x, y) whose four callbacks report to RecordingScreen::Record.
inline ORVAN_UXButtonDesc RecordingButton(int32_t x, int32_t y, char tag, std::wstring text = L"OK") {
    ORVAN_UXButtonDesc desc = UXStandardButtonDesc(std::move(text), x, y, nullptr);
    desc.onPress = {&RecordingScreen::Record, kPress, tag};
    desc.onRelease = {&RecordingScreen::Record, kRelease, tag};
    desc.onClick = {&RecordingScreen::Record, kClick, tag};
    desc.onDoubleClick = {&RecordingScreen::Record, kDoubleClick, tag};
    return desc;
}

inline std::string Blt(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
    return "StretchBlt bitmap " + std::to_string(id) + " at (" + std::to_string(x) + "," + std::to_string(y) +
           ") " + std::to_string(w) + "x" + std::to_string(h);
}

inline std::string Text(const std::string& text, int32_t x, int32_t y,
                        const std::string& color = "0x000000") {
    return "TextOut \"" + text + "\" at (" + std::to_string(x) + "," + std::to_string(y) + ") color " + color;
}

class UxTest : public ::testing::Test {
  protected:
    UxTest() {
        window.AddCursor(UX_HOVER_CURSOR_ID);
        window.AddBitmaps({621, 622, 623, 624}, 114, 30);
        window.AddBitmaps({631, 632, 633, 634, 635, 636, 637, 638}, 30, 30);
        window.AddBitmap(2001, 622, 430);
    }

    void Click(Point p) {
        list.OnLButtonDown(MK_LBUTTON, p);
        list.OnLButtonUp(0, p);
    }

    // Text is 8 pixels per character and 16 high, so "OK" on a 114 by 30 button at (100, 50)
    // sits at (150, 58) with the normal offset.
    FakeWindow window;
    ORVAN_UXObjectjList list{&window};
    RecordingScreen screen{window, list};
};

}  // namespace uxtest
