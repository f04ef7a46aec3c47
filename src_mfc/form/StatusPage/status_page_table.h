// The seven status pages: the gateway-guard option pages of the three families, the remote
// control and three sensors. They share one layout and one set of rows and differ in what is below.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ManagementScreen/table_lookup.h"
#include "OptionPage/option_page_table.h"

namespace ORVAN_UXClass {

enum class StatusGroup {
    Gateway,  // the record's gateway_status, gateway captions
    Sensor,   // the record's sensor_status, sensor captions
};

struct StatusPageRow {
    int32_t id;
    std::string_view className;
    // Caller name of the page's lines in the debug log: its constructor.
    const char* constructorName;
    StatusGroup group;
    const wchar_t* title;
    int32_t picture;  // 0: none
    int32_t background;
};

inline constexpr std::array<StatusPageRow, 7> kStatusPages{{
    {112, "OptionCmsIPCameraGatewayGuardActivity",
     "ORVAN_UXClass::OptionCmsIPCameraGatewayGuardActivity::OptionCmsIPCameraGatewayGuardActivity",
     StatusGroup::Gateway, L"GATEWAY", 0, 2001},
    {212, "OptionCmsIPBoxGatewayGuardActivity",
     "ORVAN_UXClass::OptionCmsIPBoxGatewayGuardActivity::OptionCmsIPBoxGatewayGuardActivity",
     StatusGroup::Gateway, L"GATEWAY", 0, 2002},
    {312, "OptionIPBoxIPCameraGatewayGuardActivity",
     "ORVAN_UXClass::OptionIPBoxIPCameraGatewayGuardActivity::OptionIPBoxIPCameraGatewayGuardActivity",
     StatusGroup::Gateway, L"GATEWAY", 0, 2003},
    {607, "SensorRmctrlActivity", "ORVAN_UXClass::SensorRmctrlActivity::SensorRmctrlActivity",
     StatusGroup::Gateway, L"RMCTRL", 3000, 2001},
    {604, "SensorPirActivity", "ORVAN_UXClass::SensorPirActivity::SensorPirActivity", StatusGroup::Sensor,
     L"PIR", 3020, 2001},
    {505, "SensorSirenActivity", "ORVAN_UXClass::SensorSirenActivity::SensorSirenActivity",
     StatusGroup::Sensor, L"SIREN", 3030, 2001},
    {615, "SensorDoorTwoActivity", "ORVAN_UXClass::SensorDoorTwoActivity::SensorDoorTwoActivity",
     StatusGroup::Sensor, L"DOOR", 3050, 2001},
}};

// The row of status page id, or null.
constexpr const StatusPageRow* FindStatusPage(int32_t id) {
    return FindRowById(kStatusPages, id);
}

// The gateway-guard pages are option pages: same family background, same way back to the menu;
// and every constructor name is "ORVAN_UXClass::" + class + "::" + class.
constexpr bool StatusPagesAgreeWithTheirNames() {
    constexpr std::string_view kNamespace = "ORVAN_UXClass::";
    for (const StatusPageRow& row : kStatusPages) {
        const size_t family = OptionFamilyIndex(row.id);
        if (family != kNoRow && (!OptionPageHas(row.id, OptionWidgets::GatewayGuard) ||
                                 kOptionFamilies[family].background != row.background ||
                                 !OptionPageNamedAs(row.id, row.className))) {
            return false;
        }
        std::string_view caller = row.constructorName;
        if (!caller.starts_with(kNamespace)) return false;
        caller.remove_prefix(kNamespace.size());
        if (!caller.starts_with(row.className) || caller.substr(row.className.size(), 2) != "::" ||
            caller.substr(row.className.size() + 2) != row.className) {
            return false;
        }
    }
    return true;
}
static_assert(StatusPagesAgreeWithTheirNames());

}  // namespace ORVAN_UXClass
