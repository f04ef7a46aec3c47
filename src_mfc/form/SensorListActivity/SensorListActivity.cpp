#include "SensorListActivity/SensorListActivity.h"

#include <cwchar>
#include <iterator>
#include <string>

#include "DeviceConnect/service_screen.h"
#include "liborvaniot_os/liborvaniot_os_debug.h"
#include "orvan_ux/ux_conventions.h"
#include "orvan_ux/ux_messages.h"

namespace ORVAN_UXClass {

std::unique_ptr<orvan::wnd::ListControl> SensorListActivity::listControl;

namespace {

constexpr char kDestructor[] = "ORVAN_UXClass::SensorListActivity::~SensorListActivity";

constexpr int32_t kLabelWidth = 100;
constexpr int32_t kLabelHeight = 16;
// Columns right of Prev's right edge: captions, values, then the two command columns.
constexpr int32_t kCaptionDx = 10;
constexpr int32_t kValueDx = 110;
// Rows below Prev's top, in Prev heights.
constexpr int32_t kChannelRow = 2;
constexpr int32_t kPanIdRow = 3;

struct Command {
    const wchar_t* caption;
    int32_t dx;
    int32_t row;
    int32_t code;
    int32_t corvaniot_network::*arg;  // null: the argument is 0
};

constexpr Command kCommands[] = {
    {L"Reset", 200, kChannelRow, kSensorListCommandReset, nullptr},
    {L"Baud Rate", 330, kChannelRow, kSensorListCommandBaudRate, nullptr},
    {L"Channel", 200, kPanIdRow, kSensorListCommandChannel, &corvaniot_network::radio_channel_set},
    {L"Pan Id", 330, kPanIdRow, kSensorListCommandPanId, &corvaniot_network::radio_pan_id_set},
};

struct ListBox {
    int32_t left, top, right, bottom;
};
constexpr ListBox kListBox{10, 150, 400, 400};
struct Column {
    const wchar_t* heading;
    int32_t width;
};
constexpr Column kColumns[] = {{L"TYPE", 100}, {L"MAC", 280}};
constexpr int32_t kSelectX = 420;
constexpr int32_t kSelectY = 150;

// A PAN id as the gateway documents it: hexadecimal, at least four digits.
std::wstring PanIdText(int32_t value) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%04X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

SensorListActivity::SensorListActivity(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList,
                                       AppDelegate* delegate)
    : ORVAN_UXViewController(view, objectList, delegate) {
    AddWidgets();
    CreateListControl();
    objectList->AddButton(this, selectButton,
                          UXStandardButtonDesc(L"Select", kSelectX, kSelectY, &OnSelectClicked));
    record = delegate->device.get();
    if (record == nullptr) return;
    record->sensor_row = -1;
    channelValue->SetText(std::to_wstring(record->radio_channel));
    panIdValue->SetText(PanIdText(record->radio_pan_id));
}

SensorListActivity::~SensorListActivity() {
    DestroyListControl();
    objectList->RemoveAll();
    selectButton.Reset();
    panIdButton.Reset();
    channelButton.Reset();
    baudRateButton.Reset();
    resetButton.Reset();
    panIdValue.Reset();
    panIdCaption.Reset();
    channelValue.Reset();
    channelCaption.Reset();
    prevButton.Reset();
    background.Reset();
}

void SensorListActivity::AddWidgets() {
    objectList->AddBitmap(this, background, UXBackgroundDesc(kServiceBackgroundBitmap));
    objectList->AddButton(this, prevButton, UXPrevButtonDesc());
    const int32_t x = prevButton->rect.x + prevButton->GetWidth();
    const int32_t y = prevButton->rect.y;
    const int32_t h = prevButton->GetHeight();
    const auto label = [&](ORVAN_UXHolder<ORVAN_UXLabel>& holder, const wchar_t* text, int32_t dx,
                           int32_t row) {
        objectList->AddLabel(this, holder,
                             UXStandardLabelDesc(text, x + dx, y + row * h, kLabelWidth, kLabelHeight));
    };
    label(channelCaption, L"Gateway Channel:", kCaptionDx, kChannelRow);
    label(channelValue, L"", kValueDx, kChannelRow);
    label(panIdCaption, L"Gateway Pan Id:", kCaptionDx, kPanIdRow);
    label(panIdValue, L"", kValueDx, kPanIdRow);

    ORVAN_UXHolder<ORVAN_UXButton>* const buttons[] = {&resetButton, &baudRateButton, &channelButton,
                                                       &panIdButton};
    constexpr ORVAN_UXCallback kCallbacks[] = {&OnCommandClicked<0>, &OnCommandClicked<1>,
                                               &OnCommandClicked<2>, &OnCommandClicked<3>};
    static_assert(std::size(kCallbacks) == std::size(kCommands));
    for (size_t i = 0; i < std::size(kCommands); ++i) {
        const Command& command = kCommands[i];
        objectList->AddButton(
            this, *buttons[i],
            UXStandardButtonDesc(command.caption, x + command.dx, y + command.row * h, kCallbacks[i]));
    }
}

void SensorListActivity::CreateListControl() {
    if (!listControl) {
        listControl = view->CreateListControl(kSensorListControlId, kListBox.left, kListBox.top,
                                              kListBox.right, kListBox.bottom);
    }
    if (!listControl) return;
    // The control always shows full rows and grid lines; only the columns are ours to add.
    for (int32_t column = 0; column < static_cast<int32_t>(std::size(kColumns)); ++column) {
        listControl->InsertColumn(column, kColumns[column].heading, kColumns[column].width);
    }
}

void SensorListActivity::DestroyListControl() {
    if (!listControl) return;
    listControl->DeleteAllItems();
    for (int32_t column = static_cast<int32_t>(std::size(kColumns)) - 1; column >= 0; --column) {
        listControl->DeleteColumn(column);
    }
    if (!listControl->DestroyWindow()) liborvaniot_os_debug_printf(kDestructor, __LINE__, "delete error\n");
    listControl.reset();
}

void SensorListActivity::OnListClick(int32_t row, int64_t*) {
    if (row != -1 && record != nullptr) record->sensor_row = row;
}

void SensorListActivity::OnDeactivate() {
    if (leaving != 1 && record != nullptr) drop_connection(record);
}

void SensorListActivity::OnBack() {
    // Once a command has handed the connection to the write screen, Prev must not take it away.
    if (leaving != 0) return;
    if (record != nullptr) drop_connection(record);
    Request(delegate->home_activity_id);
}

template <int Row>
int SensorListActivity::OnCommandClicked(ORVAN_UXViewController* userData, int64_t, int64_t) {
    const Command& command = kCommands[Row];
    auto* self = static_cast<SensorListActivity*>(userData);
    if (self == nullptr || self->leaving != 0 || self->record == nullptr) return 0;
    self->record->command_code = command.code;
    self->record->command_arg = command.arg != nullptr ? self->record->*command.arg : 0;
    // The write screen sends the command for this page and comes back here.
    self->record->page_id = kSensorListActivityId;
    self->delegate->pending_activity_id = kSensorListActivityId;
    self->Request(kDeviceSettingSetActivityId);
    return 0;
}

int SensorListActivity::OnSelectClicked(ORVAN_UXViewController*, int64_t, int64_t) {
    return 0;
}

void SensorListActivity::Request(int32_t id) {
    if (leaving != 0) return;
    leaving = 1;
    view->PostMessage(MSG_ACTIVITY_NAVIGATE, RequesterParam(this), id);
}

}  // namespace ORVAN_UXClass
