// Ids, sizes and texts of the finder's resources: every bitmap with its pixel size, the hover
// cursor's hot spot, and the string table. The pictures themselves are drawn by artgen/.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "resource_text.h"

// Hot spot of cursor 500 (the tip of the pointing finger), in pixels of its 32 by 32 image.
#define ORVAN_CURSOR_500_HOTSPOT_X 9
#define ORVAN_CURSOR_500_HOTSPOT_Y 1

namespace orvan::res {

inline constexpr int32_t kHandCursorId = 500;
inline constexpr int32_t kHandCursorSize = 32;
inline constexpr int32_t kAppIconSize = 256;

// String ids.
inline constexpr int32_t kStringOleInitFailed = 100;
inline constexpr int32_t kStringMainFrame = 128;

struct BitmapInfo {
    int32_t id;
    int32_t width;
    int32_t height;
};

// Every bitmap resource. Each is a 24-bit uncompressed BMP at bitmaps/<id>.bmp.
inline constexpr std::array kBitmaps{
    // White strip behind the device list's header.
    BitmapInfo{400, 1, 54},
    // Push button: normal, hover, pressed, disabled.
    BitmapInfo{621, 114, 30},
    BitmapInfo{622, 114, 30},
    BitmapInfo{623, 114, 30},
    BitmapInfo{624, 114, 30},
    // Choice box, checked then unchecked, each normal, hover, pressed, disabled.
    BitmapInfo{631, 30, 30},
    BitmapInfo{632, 30, 30},
    BitmapInfo{633, 30, 30},
    BitmapInfo{634, 30, 30},
    BitmapInfo{635, 30, 30},
    BitmapInfo{636, 30, 30},
    BitmapInfo{637, 30, 30},
    BitmapInfo{638, 30, 30},
    // Screen backgrounds: welcome, neutral, and the IP camera, IP box and IP box camera families.
    BitmapInfo{1000, 622, 430},
    BitmapInfo{2000, 622, 430},
    BitmapInfo{2001, 622, 430},
    BitmapInfo{2002, 622, 430},
    BitmapInfo{2003, 622, 430},
    // Sensors: remote control, smoke detector, PIR motion sensor, siren, water-leak sensor,
    // door/window contact.
    BitmapInfo{3000, 160, 240},
    BitmapInfo{3010, 160, 240},
    BitmapInfo{3020, 160, 240},
    BitmapInfo{3030, 160, 240},
    BitmapInfo{3040, 160, 240},
    BitmapInfo{3050, 160, 240},
    // "Scan", "Web GUI" and "Home" buttons of the device list: normal, hover, pressed, disabled.
    BitmapInfo{4621, 54, 17},
    BitmapInfo{4622, 54, 17},
    BitmapInfo{4623, 54, 17},
    BitmapInfo{4624, 54, 17},
    BitmapInfo{4631, 84, 17},
    BitmapInfo{4632, 84, 17},
    BitmapInfo{4633, 84, 17},
    BitmapInfo{4634, 84, 17},
    BitmapInfo{4721, 151, 48},
    BitmapInfo{4722, 151, 48},
    BitmapInfo{4723, 151, 48},
    BitmapInfo{4724, 151, 48},
};

inline constexpr auto kBitmapIds = [] {
    std::array<int32_t, kBitmaps.size()> ids{};
    for (std::size_t i = 0; i < kBitmaps.size(); ++i) ids[i] = kBitmaps[i].id;
    return ids;
}();

static_assert(
    [] {
        for (std::size_t i = 0; i < kBitmaps.size(); ++i) {
            for (std::size_t j = i + 1; j < kBitmaps.size(); ++j) {
                if (kBitmaps[i].id == kBitmaps[j].id) return false;
            }
        }
        return true;
    }(),
    "bitmap ids must be unique");

// Null when id is not a bitmap resource.
constexpr const BitmapInfo* FindBitmap(int32_t id) {
    for (const BitmapInfo& info : kBitmaps) {
        if (info.id == id) return &info;
    }
    return nullptr;
}

struct StringEntry {
    int32_t id;
    const wchar_t* text;
};

inline constexpr std::array kStrings{
    StringEntry{kStringOleInitFailed, ORVAN_STRING_OLE_INIT_FAILED},
    StringEntry{kStringMainFrame, ORVAN_STRING_MAIN_FRAME},
};

// Texts of the about dialog.
inline constexpr const wchar_t* kAboutCaption = ORVAN_ABOUT_CAPTION;
inline constexpr const wchar_t* kAboutVersionLine = ORVAN_ABOUT_VERSION_LINE;
inline constexpr const wchar_t* kAboutCopyrightLine = ORVAN_ABOUT_COPYRIGHT_LINE;
inline constexpr const wchar_t* kAboutOkButton = ORVAN_ABOUT_OK_BUTTON;

}  // namespace orvan::res

// The string table entry with this id, or null when there is none.
inline const wchar_t* orvan_res_string(int id) {
    for (const orvan::res::StringEntry& entry : orvan::res::kStrings) {
        if (entry.id == id) return entry.text;
    }
    return nullptr;
}
