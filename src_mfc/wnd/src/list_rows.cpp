#include "list_rows.h"

#include <algorithm>
#include <type_traits>

namespace orvan::wnd {

void ListRows::InsertColumn(int32_t index, const std::wstring& heading, int32_t width) {
    const auto at = std::clamp<int64_t>(index, 0, static_cast<int64_t>(columns_.size()));
    columns_.insert(columns_.begin() + at, ListColumn{heading, width});
    for (auto& cells : rows_) {
        if (static_cast<int64_t>(cells.size()) > at) cells.insert(cells.begin() + at, std::wstring());
    }
    columns_changed_ = true;
}

bool ListRows::DeleteColumn(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(columns_.size())) return false;
    columns_.erase(columns_.begin() + index);
    for (auto& cells : rows_) {
        if (static_cast<int32_t>(cells.size()) > index) cells.erase(cells.begin() + index);
    }
    columns_changed_ = true;
    return true;
}

int32_t ListRows::InsertItem(int32_t index, const std::wstring& text) {
    if (index < 0) return -1;
    const int32_t at = std::min(index, ItemCount());
    rows_.insert(rows_.begin() + at, std::vector<std::wstring>{text});
    Touched(static_cast<size_t>(at));
    return at;
}

bool ListRows::SetItemText(int32_t row, int32_t column, const std::wstring& text) {
    // A list without columns still shows its first one.
    const int32_t columns = std::max<int32_t>(1, static_cast<int32_t>(columns_.size()));
    if (row < 0 || row >= ItemCount() || column < 0 || column >= columns) return false;
    auto& cells = rows_[row];
    if (static_cast<int32_t>(cells.size()) <= column) cells.resize(column + 1);
    cells[column] = text;
    Touched(static_cast<size_t>(row));
    return true;
}

bool ListRows::DeleteItem(int32_t row) {
    if (row < 0 || row >= ItemCount()) return false;
    rows_.erase(rows_.begin() + row);
    Touched(static_cast<size_t>(row));
    return true;
}

void ListRows::DeleteAllItems() {
    rows_.clear();
    first_changed_row_ = 0;
}

std::wstring ListRows::ItemText(int32_t row, int32_t column) const {
    if (row < 0 || row >= ItemCount() || column < 0) return {};
    const auto& cells = rows_[row];
    return column < static_cast<int32_t>(cells.size()) ? cells[column] : std::wstring();
}

ListUpdate ListRows::TakeUpdate() {
    ListUpdate update;
    if (std::exchange(columns_changed_, false)) {
        update.columns = columns_;
        first_changed_row_ = 0;  // new columns: every row's cells again
    }
    const size_t columns = std::max<size_t>(1, columns_.size());
    update.rowCount = ItemCount();
    const size_t first = std::min(first_changed_row_, rows_.size());
    update.firstRow = static_cast<int32_t>(first);
    update.cells.reserve(rows_.size() - first);
    for (size_t r = first; r < rows_.size(); ++r) {
        std::vector<std::wstring> cells = rows_[r];
        cells.resize(columns);
        update.cells.push_back(std::move(cells));
    }
    first_changed_row_ = rows_.size();
    update.selection = std::exchange(selection_, {});
    update.sortIndicator = std::exchange(sort_indicator_, {});
    update.emptyText = std::exchange(empty_text_, {});
    return update;
}

template <typename Change>
auto ListRowsControl::Modify(Change&& change) {
    using Result = std::invoke_result_t<Change, ListRows&>;
    if constexpr (std::is_void_v<Result>) {
        {
            std::lock_guard lock(model_->mutex);
            change(model_->rows);
        }
        RowsChanged();
    } else {
        Result result;
        {
            std::lock_guard lock(model_->mutex);
            result = change(model_->rows);
        }
        // bool: whether anything changed; int32_t: the new row, -1 for none.
        if constexpr (std::is_same_v<Result, bool>) {
            if (result) RowsChanged();
        } else {
            if (result >= 0) RowsChanged();
        }
        return result;
    }
}

void ListRowsControl::InsertColumn(int32_t index, const std::wstring& heading, int32_t width) {
    Modify([&](ListRows& rows) { rows.InsertColumn(index, heading, width); });
}

void ListRowsControl::DeleteColumn(int32_t index) {
    Modify([&](ListRows& rows) { return rows.DeleteColumn(index); });
}

int32_t ListRowsControl::InsertItem(int32_t index, const std::wstring& text) {
    return Modify([&](ListRows& rows) { return rows.InsertItem(index, text); });
}

void ListRowsControl::SetItemText(int32_t row, int32_t column, const std::wstring& text) {
    Modify([&](ListRows& rows) { return rows.SetItemText(row, column, text); });
}

void ListRowsControl::DeleteItem(int32_t row) {
    Modify([&](ListRows& rows) { return rows.DeleteItem(row); });
}

void ListRowsControl::DeleteAllItems() {
    Modify([](ListRows& rows) { rows.DeleteAllItems(); });
}

int32_t ListRowsControl::GetItemCount() const {
    std::lock_guard lock(model_->mutex);
    return model_->rows.ItemCount();
}

std::wstring ListRowsControl::GetItemText(int32_t row, int32_t column) const {
    std::lock_guard lock(model_->mutex);
    return model_->rows.ItemText(row, column);
}

void ListRowsControl::SetSelectedItem(int32_t row) {
    Modify([&](ListRows& rows) { rows.ChooseSelection(row); });
}

void ListRowsControl::SetSortIndicator(int32_t column, bool ascending) {
    Modify([&](ListRows& rows) { rows.ChooseSortIndicator(column, ascending); });
}

void ListRowsControl::SetEmptyText(const std::wstring& text) {
    Modify([&](ListRows& rows) { rows.ChooseEmptyText(text); });
}

}  // namespace orvan::wnd
