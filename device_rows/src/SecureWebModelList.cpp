#include "device_rows/SecureWebModelList.h"

#include <algorithm>
#include <array>

namespace ORVAN_UXClass {

namespace {

using namespace std::literals;

// Model codes first, then the descriptive product names, as the devices announce them.
constexpr std::array kSecureWebModels{
    L"SLV-IPC4210"sv,
    L"SLV-IPC4210W"sv,
    L"SLV-IPC4420"sv,
    L"SLV-IPC4420-IR"sv,
    L"SLV-IPC8600"sv,
    L"SLV-PTZ2030"sv,
    L"SLV-PTZ2030-X"sv,
    L"SLV-DOME360"sv,
    L"SLV-FISH1200"sv,
    L"SLV-NVB1604"sv,
    L"SLV-NVB3208"sv,
    L"SLV-NVB6416-R"sv,
    L"SLV-GW1100"sv,
    L"SLV-GW2200-LTE"sv,
    L"SLV-GW2200-POE"sv,
    L"SLV-EDGE7"sv,
    L"SLV-BOX4IN"sv,
    L"SLV-THERM640"sv,
    L"SLV-DOOR2 CAM"sv,
    L"Selvani Dome Camera 4K"sv,
    L"Selvani Outdoor Bullet Pro"sv,
    L"Selvani Indoor Cube"sv,
    L"Selvani Doorbell Camera"sv,
    L"Selvani Panorama 180"sv,
    L"Selvani Camera Box 8ch"sv,
    L"Selvani Camera Box 16ch"sv,
    L"Selvani Smart Home Gateway"sv,
    L"Selvani Industrial Gateway"sv,
    L"Selvani Thermal Eye"sv,
};

}  // namespace

std::span<const std::wstring_view> SecureWebModels() {
    return kSecureWebModels;
}

bool IsSecureWebModel(std::wstring_view model) {
    return std::ranges::find(kSecureWebModels, model) != kSecureWebModels.end();
}

bool IsSecureWebModel(const DeviceEntry& entry) {
    return IsSecureWebModel(std::wstring_view(entry.model));
}

}  // namespace ORVAN_UXClass
