#include "DeviceDrmListActivity/device_list_order.h"

#include <algorithm>
#include <cwctype>
#include <optional>

#include "device_rows/row_text.h"

namespace ORVAN_UXClass {

namespace {

// Addresses by value; a text that is no address (never from a report) after every address.
int CompareAddresses(const std::wstring& a, const std::wstring& b) {
    const std::optional<uint32_t> x = AddressOrder(a);
    const std::optional<uint32_t> y = AddressOrder(b);
    if (x && y) return *x < *y ? -1 : (*x > *y ? 1 : 0);
    if (x || y) return x ? -1 : 1;
    return a.compare(b);
}

int CompareFolded(const std::wstring& a, const std::wstring& b) {
    const auto folded = [](wchar_t c) { return std::towlower(static_cast<wint_t>(c)); };
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const wint_t x = folded(a[i]);
        const wint_t y = folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);  // "cam" and "Cam" still get a fixed order
}

}  // namespace

DeviceListOrder DeviceListOrder::Clicked(int32_t clicked) const {
    if (clicked < 0 || clicked >= kDeviceListColumns) return *this;
    if (clicked == column) return DeviceListOrder{column, !ascending};
    return DeviceListOrder{clicked, true};
}

bool RowBefore(const RowTexts& a, const RowTexts& b, const DeviceListOrder& order) {
    if (order.column < 0 || order.column >= kDeviceListColumns) return false;
    const size_t column = static_cast<size_t>(order.column);
    int result = order.column == kIpColumn ? CompareAddresses(a[column], b[column])
                                           : CompareFolded(a[column], b[column]);
    // Equal texts (two cameras of one model) fall back to the address, which is unique.
    if (result == 0) result = CompareAddresses(a[kIpColumn], b[kIpColumn]);
    return order.ascending ? result < 0 : result > 0;
}

}  // namespace ORVAN_UXClass
