// Fake list control: rows and columns kept as wide strings, every change recorded.
#include "fake_list_control.h"

#include <algorithm>
#include <cstddef>

#include "orvan_test/fake_text.h"

namespace orvan::fake {

namespace {

std::string Quoted(const std::wstring& text) {
    return "\"" + Utf8(text) + "\"";
}

}  // namespace

FakeListControl::FakeListControl(std::shared_ptr<FakeWindowState> state, size_t index)
    : state_(std::move(state)), index_(index) {}

FakeListControl::~FakeListControl() {
    std::lock_guard guard(state_->mutex);
    Contents().deleted = true;
}

void FakeListControl::Record(const std::string& what) const {
    state_->Record(false, "List " + std::to_string(Contents().controlId) + ": " + what);
}

void FakeListControl::InsertColumn(int32_t index, const std::wstring& heading, int32_t width) {
    std::lock_guard guard(state_->mutex);
    auto& columns = Contents().columns;
    const size_t at = index < 0 ? columns.size() : std::min(static_cast<size_t>(index), columns.size());
    columns.insert(columns.begin() + static_cast<ptrdiff_t>(at), FakeListColumn{heading, width});
    Record("InsertColumn " + std::to_string(index) + " " + Quoted(heading) + " width " +
           std::to_string(width));
}

void FakeListControl::DeleteColumn(int32_t index) {
    std::lock_guard guard(state_->mutex);
    auto& columns = Contents().columns;
    if (index >= 0 && static_cast<size_t>(index) < columns.size()) {
        columns.erase(columns.begin() + index);
    }
    Record("DeleteColumn " + std::to_string(index));
}

int32_t FakeListControl::InsertItem(int32_t index, const std::wstring& text) {
    std::lock_guard guard(state_->mutex);
    Record("InsertItem " + std::to_string(index) + " " + Quoted(text));
    if (index < 0) return -1;
    // Like the native control: an index past the end appends.
    auto& rows = Contents().rows;
    const size_t at = std::min(static_cast<size_t>(index), rows.size());
    rows.insert(rows.begin() + static_cast<ptrdiff_t>(at), std::vector<std::wstring>{text});
    return static_cast<int32_t>(at);
}

void FakeListControl::SetItemText(int32_t row, int32_t column, const std::wstring& text) {
    std::lock_guard guard(state_->mutex);
    Record("SetItemText " + std::to_string(row) + "," + std::to_string(column) + " " + Quoted(text));
    auto& rows = Contents().rows;
    if (row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0) return;
    auto& cells = rows[static_cast<size_t>(row)];
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
}

void FakeListControl::DeleteItem(int32_t row) {
    std::lock_guard guard(state_->mutex);
    Record("DeleteItem " + std::to_string(row));
    auto& rows = Contents().rows;
    if (row >= 0 && static_cast<size_t>(row) < rows.size()) rows.erase(rows.begin() + row);
}

void FakeListControl::DeleteAllItems() {
    std::lock_guard guard(state_->mutex);
    Record("DeleteAllItems");
    Contents().rows.clear();
}

int32_t FakeListControl::GetItemCount() const {
    std::lock_guard guard(state_->mutex);
    return static_cast<int32_t>(Contents().rows.size());
}

std::wstring FakeListControl::GetItemText(int32_t row, int32_t column) const {
    std::lock_guard guard(state_->mutex);
    const auto& rows = Contents().rows;
    if (row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0) return {};
    const auto& cells = rows[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : std::wstring{};
}

void FakeListControl::SetSelectedItem(int32_t row) {
    std::lock_guard guard(state_->mutex);
    Record("SetSelectedItem " + std::to_string(row));
    Contents().selected = row;
}

void FakeListControl::SetSortIndicator(int32_t column, bool ascending) {
    std::lock_guard guard(state_->mutex);
    Record("SetSortIndicator " + std::to_string(column) + (ascending ? " ascending" : " descending"));
    Contents().sortColumn = column;
    Contents().sortAscending = ascending;
}

void FakeListControl::SetEmptyText(const std::wstring& text) {
    std::lock_guard guard(state_->mutex);
    Record("SetEmptyText " + Quoted(text));
    Contents().emptyText = text;
}

bool FakeListControl::DestroyWindow() {
    std::lock_guard guard(state_->mutex);
    Record("DestroyWindow");
    if (Contents().windowDestroyed) return false;
    Contents().windowDestroyed = true;
    return true;
}

}  // namespace orvan::fake
