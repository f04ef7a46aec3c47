#include "DeviceDrmListActivity/device_list_rows.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>

#include "device_rows/local_text.h"
#include "orvan_wnd/wnd.h"

namespace ORVAN_UXClass {

namespace {

std::wstring Cell(const char* text) {
    return text != nullptr ? WideFromLocal(text) : std::wstring();
}

}  // namespace

RowTexts DeviceRowTexts(const char* model, const char* mac, const char* address, const char* name,
                        const char* location) {
    return RowTexts{VisibleText(Cell(model)), VisibleText(Cell(mac)), Cell(address), VisibleText(Cell(name)),
                    VisibleText(Cell(location))};
}

int32_t DeviceListRows::Insert(DeviceEntry entry, const RowTexts& texts, int32_t* selected) {
    if (!list_) return -1;
    // The first row that goes after the new one; in arrival order, none does.
    int32_t low = 0;
    int32_t high = list_->GetItemCount();
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (RowBefore(texts, At(middle), order_)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    const int32_t row = list_->InsertItem(low, texts[0]);
    if (row < 0) return -1;
    // Column 0 already reads the model.
    for (int32_t column = 1; column < kDeviceListColumns; ++column) list_->SetItemText(row, column, texts[column]);
    entries_.insert(entries_.begin() + std::min<size_t>(static_cast<size_t>(row), entries_.size()),
                    std::move(entry));
    if (selected != nullptr && *selected >= row) Select(*selected + 1, selected);
    return row;
}

bool DeviceListRows::OrderBy(int32_t column) {
    if (!list_) return false;
    const DeviceListOrder order = order_.Clicked(column);
    if (order.column == order_.column && order.ascending == order_.ascending) return false;
    order_ = order;
    list_->SetSortIndicator(order_.column, order_.ascending);
    return true;
}

void DeviceListRows::Resort(int32_t* selected) {
    if (!list_) return;
    const size_t count = std::min(entries_.size(), static_cast<size_t>(std::max(0, list_->GetItemCount())));
    std::vector<RowTexts> rows(count);
    for (size_t i = 0; i < count; ++i) rows[i] = At(static_cast<int32_t>(i));
    std::vector<size_t> from(count);
    std::iota(from.begin(), from.end(), size_t{0});
    std::stable_sort(from.begin(), from.end(), [&](size_t a, size_t b) { return RowBefore(rows[a], rows[b], order_); });
    std::vector<DeviceEntry> entries;
    entries.reserve(entries_.size());
    int32_t moved = -1;
    for (size_t to = 0; to < count; ++to) {
        const RowTexts& texts = rows[from[to]];
        // Only cells that change are rewritten: a large list re-sorts without redrawing every cell.
        for (int32_t c = 0; c < kDeviceListColumns; ++c) {
            if (texts[c] != rows[to][c]) list_->SetItemText(static_cast<int32_t>(to), c, texts[c]);
        }
        entries.push_back(std::move(entries_[from[to]]));
        if (selected != nullptr && static_cast<size_t>(*selected) == from[to]) moved = static_cast<int32_t>(to);
    }
    entries_ = std::move(entries);
    if (selected != nullptr && *selected >= 0) Select(moved, selected);
}

void DeviceListRows::Clear() {
    if (list_) list_->DeleteAllItems();
    entries_.clear();
}

void DeviceListRows::Select(int32_t row, int32_t* selected) {
    if (selected != nullptr) *selected = row;
    if (list_) list_->SetSelectedItem(row);
}

RowTexts DeviceListRows::At(int32_t row) const {
    RowTexts texts;
    if (!list_) return texts;
    for (int32_t c = 0; c < kDeviceListColumns; ++c) texts[c] = list_->GetItemText(row, c);
    return texts;
}

const DeviceEntry* DeviceListRows::EntryAt(int32_t row) const {
    return row >= 0 && static_cast<size_t>(row) < entries_.size() ? &entries_[static_cast<size_t>(row)] : nullptr;
}

}  // namespace ORVAN_UXClass
