// The fifteen rows every status page shows, top to bottom (row 0 is the header). A choice row has
// two boxes: the first sets the value to set to 1, the second to 0.
#pragma once

#include <array>
#include <cstdint>

#include "corvaniot_network.h"

namespace ORVAN_UXClass {

enum class StatusRowKind {
    Header,  // "MAC:", the device's MAC and the page title
    Choice,  // caption and two boxes
    Time,    // caption and a local time
    Values,  // battery voltage and state
};

// What a choice row makes of an unknown (-1) current value.
enum class UnknownRule {
    A,  // as if it were 1: the first box, value to set 1
    B,  // no box, value to set -1 (nothing will be sent for it)
};

struct StatusRow {
    StatusRowKind kind;
    const wchar_t* gatewayCaption;  // gateway and remote-control pages
    const wchar_t* sensorCaption;   // door, PIR and siren pages
    const wchar_t* firstChoice;     // value 1
    const wchar_t* secondChoice;    // value 0
    int32_t status_block::*current = nullptr;
    int32_t status_block::*toSet = nullptr;
    int64_t status_block::*time = nullptr;
    UnknownRule rule = UnknownRule::A;
};

namespace status_rows_detail {

constexpr StatusRow Choice(const wchar_t* gateway, const wchar_t* sensor, const wchar_t* first,
                           const wchar_t* second, int32_t status_block::*current,
                           int32_t status_block::*toSet, UnknownRule rule) {
    return {StatusRowKind::Choice, gateway, sensor, first, second, current, toSet, nullptr, rule};
}
constexpr StatusRow Time(const wchar_t* gateway, const wchar_t* sensor, int64_t status_block::*time) {
    return {StatusRowKind::Time, gateway, sensor, nullptr, nullptr, nullptr, nullptr, time};
}

}  // namespace status_rows_detail

inline constexpr std::array<StatusRow, 15> kStatusRows = [] {
    using status_rows_detail::Choice;
    using status_rows_detail::Time;
    using B = status_block;
    constexpr UnknownRule A = UnknownRule::A;
    return std::array<StatusRow, 15>{{
        {StatusRowKind::Header, L"MAC:", L"MAC:", nullptr, nullptr},
        Choice(L"SECURITY MODE", L"ENABLE MODE", L"ON", L"OFF", &B::mode, &B::mode_set, A),
        Time(L"BATT TIMEP", L"BATT TIMEP", &B::batt_time),
        {StatusRowKind::Values, L"VOLT:", L"VOLT:", nullptr, nullptr},
        Choice(L"CALL HELP", L"TRIGGER DATA", L"YES", L"NO", &B::event, &B::event_set, UnknownRule::B),
        Time(L"CALL TIMEP", L"TRIGGER TIMEP", &B::event_time),
        Choice(L"ALARM STATUS", L"ALARM STATUS", L"YES", L"NO", &B::alarm_status, &B::alarm_status_set,
               UnknownRule::B),
        Time(L"ALARM TIMEP", L"ALARM TIMEP", &B::alarm_time),
        Choice(L"MUTE MODE", L"RESET ALARM", L"YES", L"NO", &B::option, &B::option_set, A),
        Choice(L"BATTLOW STATUS", L"BATTLOW STATUS", L"YES", L"NO", &B::battlow_status,
               &B::battlow_status_set, UnknownRule::B),
        Time(L"BATTLOW TIMEP", L"BATTLOW TIMEP", &B::battlow_time),
        Choice(L"RESET BATTLOW", L"RESET BATTLOW", L"YES", L"NO", &B::reset_battlow, &B::reset_battlow_set,
               A),
        Choice(L"NCO MODE", L"NCO MODE", L"N OPEN", L"N CLOSE", &B::nco_mode, &B::nco_mode_set, A),
        Choice(L"DAY MODE", L"DAY MODE", L"ALWAYS", L"NORMAL", &B::day_mode, &B::day_mode_set, A),
        Choice(L"HOLD MODE", L"HOLD MODE", L"ON", L"OFF", &B::hold_mode, &B::hold_mode_set, A),
    }};
}();

// The value to set that a choice row starts from, given the current value: 0 and 1 stand, an
// unknown value follows the row's rule, anything else counts as 1.
constexpr int32_t InitialChoice(int32_t current, UnknownRule rule) {
    if (current == 0 || current == 1) return current;
    if (current == -1 && rule == UnknownRule::B) return -1;
    return 1;
}

}  // namespace ORVAN_UXClass
