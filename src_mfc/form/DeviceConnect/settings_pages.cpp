#include "DeviceConnect/settings_pages.h"

#include <algorithm>
#include <array>

namespace ORVAN_UXClass {

namespace {

// Each family numbers its pages from its hundred: 0 to 11 option pages, 12 the gateway guard.
constexpr int32_t kFamilies[] = {100, 200, 300};
constexpr int32_t kLastOptionPage = 11;
constexpr int32_t kFirmwareUpdatePage = 11;
constexpr int32_t kGatewayGuardPage = 12;
constexpr std::array<int32_t, 5> kDevicePages{505, 604, 607, 615, 701};

// The page's number within its family, or -1 outside the families.
int32_t FamilyPage(int32_t pageId) {
    for (int32_t base : kFamilies) {
        if (pageId >= base && pageId <= base + kGatewayGuardPage) return pageId - base;
    }
    return -1;
}

}  // namespace

bool IsOptionPage(int32_t pageId) {
    const int32_t page = FamilyPage(pageId);
    return page >= 0 && page <= kLastOptionPage;
}

bool IsFirmwareUpdatePage(int32_t pageId) {
    return FamilyPage(pageId) == kFirmwareUpdatePage;
}

bool WriteSecondStageCompletes(int32_t pageId) {
    return FamilyPage(pageId) >= 0 || std::ranges::find(kDevicePages, pageId) != kDevicePages.end();
}

}  // namespace ORVAN_UXClass
