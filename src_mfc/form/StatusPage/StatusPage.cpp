#include "StatusPage/StatusPage.h"

#include <utility>

#include "StatusPage/status_text.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_grid_layout.h"

namespace ORVAN_UXClass {

namespace {

// Where an item of a row stands: pixels right of the Prev button's right edge, and its width.
struct Column {
    int32_t x;
    int32_t width;
};
constexpr Column kCaption{100, 100};
constexpr Column kMacValue{150, 100};
constexpr Column kTitle{300, 100};
constexpr Column kTimeValue{200, 100};
constexpr Column kVolt{100, 60};
constexpr Column kVoltValue{180, 50};
constexpr Column kStatus{250, 60};
constexpr Column kBatteryValue{330, 50};
constexpr std::array<Column, 2> kBoxes{{{200, 0}, {280, 0}}};
constexpr std::array<Column, 2> kChoiceLabels{{{230, 50}, {310, 50}}};

constexpr int32_t kLabelHeight = 16;
// Rows are 5 pixels closer than a Prev button is high; boxes stand 7 pixels above their labels.
constexpr int32_t kRowOverlap = 5;
constexpr int32_t kBoxRaise = 7;
// Between Cancel and OK, and below them to the background's bottom edge.
constexpr int32_t kButtonGap = 10;
constexpr int32_t kLeft = 0;
constexpr int32_t kCentred = 1;
constexpr wchar_t kStatusCaption[] = L"STATUS:";
constexpr size_t kFirstBox = 0;
constexpr size_t kSecondBox = 1;

// Each box gets a click function of its own, so its callback can keep the placeholder arguments.
template <size_t Row, size_t Box>
int OnChoiceClicked(ORVAN_UXViewController* userData, int64_t /*arg1*/, int64_t /*arg2*/) {
    static_cast<StatusPage*>(userData)->Choose(Row, Box);
    return 0;
}

template <size_t... Rows>
constexpr auto MakeChoiceCallbacks(std::index_sequence<Rows...>) {
    return std::array<std::array<ORVAN_UXCallback, 2>, sizeof...(Rows)>{
        {{&OnChoiceClicked<Rows, kFirstBox>, &OnChoiceClicked<Rows, kSecondBox>}...}};
}
constexpr auto kChoiceCallbacks = MakeChoiceCallbacks(std::make_index_sequence<kStatusRows.size()>{});

}  // namespace

StatusPage::StatusPage(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate,
                       int32_t id)
    : ManagementScreen(view, objectList, delegate, id),
      page(*FindStatusPage(id)),
      family(FindOptionFamily(id)) {
    AddBackgroundAndPrev(page.background);
    if (page.picture != 0) {
        ORVAN_UXBitmapDesc desc = UXBackgroundDesc(page.picture);
        desc.x = 50;
        desc.y = 80;
        objectList->AddBitmap(this, picture, desc);
    }
    const ORVAN_UXRect prev = prevButton->rect;
    const ORVAN_UXGridLayout grid{UXOffsetFrom(prev, {1, 0}, {0, 0}), 0, prev.height - kRowOverlap};
    for (size_t index = 0; index < kStatusRows.size(); ++index) {
        BuildRow(index, grid.Cell(static_cast<int32_t>(index), 0));
    }
    BuildButtons();
    if (record == nullptr) return;
    for (size_t index = 0; index < kStatusRows.size(); ++index) FillRow(index);
}

StatusPage::~StatusPage() {
    objectList->RemoveAll();
}

status_block& StatusPage::Group() const {
    return page.group == StatusGroup::Sensor ? record->sensor_status : record->gateway_status;
}

void StatusPage::BuildRow(size_t index, orvan::wnd::Point at) {
    const StatusRow& row = kStatusRows[index];
    StatusRowWidgets& widgets = rows[index];
    const wchar_t* caption = page.group == StatusGroup::Sensor ? row.sensorCaption : row.gatewayCaption;
    auto label = [&](ORVAN_UXHolder<ORVAN_UXLabel>& holder, Column column, const wchar_t* text,
                     int32_t alignment) {
        objectList
            ->AddLabel(this, holder,
                       UXStandardLabelDesc(text, at.x + column.x, at.y, column.width, kLabelHeight))
            ->alignment = alignment;
    };
    switch (row.kind) {
        case StatusRowKind::Header:
            label(widgets.caption, kCaption, caption, kLeft);
            label(widgets.value, kMacValue, kUnknownText, kLeft);
            label(widgets.extraCaption, kTitle, page.title, kLeft);
            break;
        case StatusRowKind::Choice:
            label(widgets.caption, kCaption, caption, kLeft);
            for (size_t box = 0; box < 2; ++box) {
                objectList->AddRadio(this, widgets.boxes[box],
                                     UXStandardRadioDesc(L"", at.x + kBoxes[box].x, at.y - kBoxRaise,
                                                         kChoiceCallbacks[index][box]));
                label(widgets.choiceLabels[box], kChoiceLabels[box],
                      box == kFirstBox ? row.firstChoice : row.secondChoice, kCentred);
            }
            break;
        case StatusRowKind::Time:
            label(widgets.caption, kCaption, caption, kLeft);
            label(widgets.value, kTimeValue, kUnknownText, kCentred);
            break;
        case StatusRowKind::Values:
            label(widgets.caption, kVolt, caption, kLeft);
            label(widgets.value, kVoltValue, kUnknownText, kLeft);
            label(widgets.extraCaption, kStatus, kStatusCaption, kLeft);
            label(widgets.extraValue, kBatteryValue, kUnknownText, kLeft);
            break;
    }
}

void StatusPage::BuildButtons() {
    // Centred side by side above the bottom edge of the background.
    const ORVAN_UXRect area = background->rect;
    const ORVAN_UXRect button = prevButton->rect;
    const int32_t y = area.height - button.height - kButtonGap;
    const auto x = [&](int32_t index) {
        return UXCentredRunX(area.width, 2, button.width, kButtonGap, index);
    };
    objectList->AddButton(this, cancelButton, UXStandardButtonDesc(L"Cancel", x(0), y, &OnPrevClicked));
    objectList->AddButton(this, okButton, UXStandardButtonDesc(L"OK", x(1), y, &OnOkClicked));
}

void StatusPage::FillRow(size_t index) {
    const StatusRow& row = kStatusRows[index];
    StatusRowWidgets& widgets = rows[index];
    status_block& group = Group();
    switch (row.kind) {
        case StatusRowKind::Header:
            widgets.value->SetText(MacText(record->device_mac));
            break;
        case StatusRowKind::Choice: {
            const int32_t value = InitialChoice(group.*row.current, row.rule);
            if (value == 1) SetChecked(*widgets.boxes[kFirstBox], true);
            if (value == 0) SetChecked(*widgets.boxes[kSecondBox], true);
            group.*row.toSet = value;
            break;
        }
        case StatusRowKind::Time:
            FillTime(widgets, group.*row.time);
            break;
        case StatusRowKind::Values:
            widgets.value->SetText(VoltText(group.volt));
            widgets.extraValue->SetText(BatteryText(group.batt_status));
            break;
    }
}

void StatusPage::FillTime(StatusRowWidgets& widgets, int64_t time) {
    const std::optional<std::string> text = time != 0 ? LocalTimeText(time) : std::nullopt;
    if (!text) {
        widgets.value->SetText(kUnknownText);
        return;
    }
    liborvaniot_os_debug_printf(page.constructorName, __LINE__, "%s\n", text->c_str());
    widgets.value->SetText(WideFromAscii(*text));
}

void StatusPage::Choose(size_t row, size_t box) {
    if (row >= rows.size() || box > kSecondBox || !rows[row].boxes[box]) return;  // not a choice
    StatusRowWidgets& widgets = rows[row];
    SetChecked(*widgets.boxes[1 - box], false);
    SetChecked(*widgets.boxes[box], true);
    if (record != nullptr) Group().*kStatusRows[row].toSet = box == kFirstBox ? 1 : 0;
}

void StatusPage::OnBack() {
    if (!StartLeaving()) return;
    if (family != nullptr) {
        Request(family->menuId);
    } else {
        // The sensor list is read again before it is shown.
        HandOver(kSettingsReadId, kSensorListId, kSensorListId);
    }
}

int StatusPage::OnOkClicked(ORVAN_UXViewController* userData, int64_t /*arg1*/, int64_t /*arg2*/) {
    auto* self = static_cast<StatusPage*>(userData);
    if (!self->StartLeaving()) return 0;
    if (self->family != nullptr) {
        self->delegate->return_activity_id = self->family->menuId;
        self->HandOver(kSettingsWriteId, self->page.id, self->family->menuId);
    } else {
        // After the write the page itself is shown again.
        self->HandOver(kSettingsWriteId, self->page.id, self->page.id);
    }
    return 0;
}

}  // namespace ORVAN_UXClass
