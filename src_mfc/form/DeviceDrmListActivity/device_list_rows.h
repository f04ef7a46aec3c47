// The device list's rows and the entries beside them: entry i belongs to row i at all times. Rows
// go where the chosen order puts them, a heading click re-sorts rows and entries together, and the
// chosen row's highlight follows its device wherever its row goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "DeviceDrmListActivity/device_list_order.h"
#include "device_rows/DeviceEntry.h"

namespace orvan::wnd {
class ListControl;
}

namespace ORVAN_UXClass {

// The row texts of a report's fields as the list shows them. Devices choose these bytes: control
// characters would break lines or drive a terminal a row is pasted into, so the cells show them as
// U+FFFD (the entry keeps what was sent).
RowTexts DeviceRowTexts(const char* model, const char* mac, const char* address, const char* name,
                        const char* location);

class DeviceListRows {
  public:
    // The owner's list control (which may come and go) and entries; selected, where a call takes it,
    // is the chosen row's index (-1 for none), or null when nothing records a choice.
    DeviceListRows(const std::unique_ptr<orvan::wnd::ListControl>& list, std::vector<DeviceEntry>& entries)
        : list_(list), entries_(entries) {}
    DeviceListRows(const DeviceListRows&) = delete;
    DeviceListRows& operator=(const DeviceListRows&) = delete;

    // Inserts the device's row where the order puts it (last in arrival order) and its entry at the
    // same index; a row placed above the chosen one pushes it down, and the highlight goes with it.
    // The index, or -1 when the list could not take the row (the entry is not kept then).
    int32_t Insert(DeviceEntry entry, const RowTexts& texts, int32_t* selected);
    // A click on column's heading: the new order, with its arrow on the heading; false when the
    // click changes nothing. Resort then puts the rows in it.
    bool OrderBy(int32_t column);
    // Rows and entries in the current order, the chosen device still chosen and highlighted.
    void Resort(int32_t* selected);
    // Every row and entry gone; the order stays.
    void Clear();
    // Makes row the chosen and highlighted one (-1: none).
    void Select(int32_t row, int32_t* selected);

    RowTexts At(int32_t row) const;
    // The entry of row, null for a row without one.
    const DeviceEntry* EntryAt(int32_t row) const;
    size_t Count() const { return entries_.size(); }

  private:
    const std::unique_ptr<orvan::wnd::ListControl>& list_;
    std::vector<DeviceEntry>& entries_;
    DeviceListOrder order_;
};

}  // namespace ORVAN_UXClass
