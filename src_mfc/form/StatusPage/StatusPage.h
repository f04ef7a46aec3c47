// A status page (gateway guard 112, 212, 312; remote control 607; PIR 604, siren 505, door 615):
// the last known state of one gateway, remote control or sensor from the connected-device record,
// with a choice of new values for its settings that OK writes through the settings-write screen.
// The gateway-guard pages return to their family's settings menu like every option page; the
// sensor pages return to the sensor list by way of a settings read.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ManagementScreen/ManagementScreen.h"
#include "ManagementScreen/screen_class.h"
#include "StatusPage/status_page_table.h"
#include "StatusPage/status_rows.h"

namespace ORVAN_UXClass {

// The controls of one row. Which of them a row has depends on its kind.
struct StatusRowWidgets {
    ORVAN_UXHolder<ORVAN_UXLabel> caption;               // "MAC:" on the header, "VOLT:" on the values row
    ORVAN_UXHolder<ORVAN_UXLabel> value;                 // MAC, time or voltage
    ORVAN_UXHolder<ORVAN_UXLabel> extraCaption;          // header: the title; values row: "STATUS:"
    ORVAN_UXHolder<ORVAN_UXLabel> extraValue;            // values row: the battery state
    std::array<ORVAN_UXHolder<ORVAN_UXRadio>, 2> boxes;  // first (1), second (0)
    std::array<ORVAN_UXHolder<ORVAN_UXLabel>, 2> choiceLabels;
};

class StatusPage : public ManagementScreen {
  public:
    // id must be a status page's.
    StatusPage(orvan::wnd::Window* view, ORVAN_UXObjectjList* objectList, AppDelegate* delegate, int32_t id);
    ~StatusPage() override;

    static constexpr bool NamedAs(int32_t id, std::string_view name) {
        return RowNamed(kStatusPages, id, name);
    }

    // Prev and Cancel: the family menu (gateway guard) or the sensor list, read first.
    void OnBack() override;
    // OK: the chosen values go to the settings-write screen.
    static int OnOkClicked(ORVAN_UXViewController* userData, int64_t arg1, int64_t arg2);
    // A box of a choice row: box 0 (the first) sets the value to set to 1, box 1 to 0.
    void Choose(size_t row, size_t box);

    // The record's group this page shows.
    status_block& Group() const;

    const StatusPageRow& page;
    const OptionFamily* family;              // the gateway-guard pages' family, null on the sensor pages
    ORVAN_UXHolder<ORVAN_UXBitmap> picture;  // sensor pages only
    std::array<StatusRowWidgets, kStatusRows.size()> rows;
    ORVAN_UXHolder<ORVAN_UXButton> cancelButton;
    ORVAN_UXHolder<ORVAN_UXButton> okButton;

  private:
    void BuildRow(size_t index, orvan::wnd::Point at);
    void BuildButtons();
    void FillRow(size_t index);
    void FillTime(StatusRowWidgets& widgets, int64_t time);
};

ORVAN_TABLE_SCREEN(StatusPage, OptionCmsIPCameraGatewayGuardActivity, 112);
ORVAN_TABLE_SCREEN(StatusPage, OptionCmsIPBoxGatewayGuardActivity, 212);
ORVAN_TABLE_SCREEN(StatusPage, OptionIPBoxIPCameraGatewayGuardActivity, 312);
ORVAN_TABLE_SCREEN(StatusPage, SensorRmctrlActivity, 607);
ORVAN_TABLE_SCREEN(StatusPage, SensorPirActivity, 604);
ORVAN_TABLE_SCREEN(StatusPage, SensorSirenActivity, 505);
ORVAN_TABLE_SCREEN(StatusPage, SensorDoorTwoActivity, 615);

}  // namespace ORVAN_UXClass
