#include "catalog.h"

#include <array>

#include "backgrounds.h"
#include "controls.h"
#include "cursor_icon.h"
#include "palette.h"
#include "resource_ids.h"
#include "sensors.h"
#include "symbols.h"

namespace orvan::art {

namespace {

// A run of ids first, first + step, ... drawn by one painter that gets the run index.
struct Painter {
    int32_t first;
    int32_t count;
    int32_t step;
    QImage (*paint)(QSize size, int index);
};

State StateAt(int index) {
    return kStates[static_cast<size_t>(index % 4)];
}

const Family& FamilyAt(int index) {
    static const std::array<Family, 4> families{
        Family{kFamilyNeutral, DrawRadarGlyph},
        Family{kFamilyCamera, DrawCameraGlyph},
        Family{kFamilyBox, DrawBoxGlyph},
        Family{kFamilyBoxCamera, DrawBoxCameraGlyph},
    };
    return families[static_cast<size_t>(index)];
}

constexpr std::array<Sensor, 6> kSensorOrder{Sensor::RemoteControl, Sensor::SmokeDetector,
                                             Sensor::MotionSensor,  Sensor::Siren,
                                             Sensor::WaterLeak,     Sensor::DoorContact};

constexpr Painter kPainters[] = {
    {400, 1, 1, [](QSize s, int) { return PaintHeaderStrip(s); }},
    {621, 4, 1, [](QSize s, int i) { return PaintPushButton(s, StateAt(i)); }},
    // Checked set first, then the unchecked set, each in state order.
    {631, 8, 1, [](QSize s, int i) { return PaintChoiceBox(s, i < 4, StateAt(i)); }},
    {1000, 1, 1, [](QSize s, int) { return PaintWelcome(s); }},
    // 2000 neutral, then the camera, box and box-camera families.
    {2000, 4, 1, [](QSize s, int i) { return PaintFamilyBackground(s, FamilyAt(i)); }},
    {3000, 6, 10, [](QSize s, int i) { return PaintSensor(s, kSensorOrder[static_cast<size_t>(i)]); }},
    {4621, 4, 1, [](QSize s, int i) { return PaintScanButton(s, StateAt(i)); }},
    {4631, 4, 1, [](QSize s, int i) { return PaintWebGuiButton(s, StateAt(i)); }},
    {4721, 4, 1, [](QSize s, int i) { return PaintHomeTab(s, StateAt(i)); }},
};

}  // namespace

QImage PaintBitmap(int32_t id, int width, int height) {
    for (const Painter& painter : kPainters) {
        const int32_t offset = id - painter.first;
        if (offset < 0 || offset % painter.step != 0 || offset / painter.step >= painter.count) continue;
        return painter.paint(QSize(width, height), offset / painter.step);
    }
    return {};
}

QImage PaintCursorResource() {
    return PaintHandCursor(res::kHandCursorSize, ORVAN_CURSOR_500_HOTSPOT_X, ORVAN_CURSOR_500_HOTSPOT_Y);
}

QImage PaintIconResource() {
    return PaintAppIcon(res::kAppIconSize);
}

}  // namespace orvan::art
