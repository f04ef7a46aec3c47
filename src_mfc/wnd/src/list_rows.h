// Rows and columns of a report list kept apart from the platform's control: any thread may change
// or read them, and the control catches up on the user-interface thread from what changed since its
// last update. Both window layers build their list control on this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "orvan_wnd/wnd.h"

namespace orvan::wnd {

struct ListColumn {
    std::wstring heading;
    int32_t width = 0;
};

// What the control has to do to show the rows as they are now.
struct ListUpdate {
    std::optional<std::vector<ListColumn>> columns;  // every column anew, when they changed
    int32_t rowCount = 0;
    // Rows firstRow to rowCount - 1 changed (or are new); cells holds their texts, one vector per
    // row with one entry per column.
    int32_t firstRow = 0;
    std::vector<std::vector<std::wstring>> cells;
    // The program's choices, to apply once the rows are in place.
    std::optional<int32_t> selection;
    std::optional<std::pair<int32_t, bool>> sortIndicator;  // column (-1: none), ascending
    std::optional<std::wstring> emptyText;
};

// The row model; not thread-safe on its own (ListRowsControl guards it).
class ListRows {
  public:
    void InsertColumn(int32_t index, const std::wstring& heading, int32_t width);
    bool DeleteColumn(int32_t index);
    int32_t InsertItem(int32_t index, const std::wstring& text);
    bool SetItemText(int32_t row, int32_t column, const std::wstring& text);
    bool DeleteItem(int32_t row);
    void DeleteAllItems();
    int32_t ItemCount() const { return static_cast<int32_t>(rows_.size()); }
    std::wstring ItemText(int32_t row, int32_t column) const;

    void ChooseSelection(int32_t row) { selection_ = row; }
    void ChooseSortIndicator(int32_t column, bool ascending) {
        sort_indicator_ = std::make_pair(column, ascending);
    }
    void ChooseEmptyText(const std::wstring& text) { empty_text_ = text; }

    // Everything changed since the last call; afterwards the model counts as shown.
    ListUpdate TakeUpdate();

  private:
    void Touched(size_t row) { first_changed_row_ = std::min(first_changed_row_, row); }

    std::vector<ListColumn> columns_;
    std::vector<std::vector<std::wstring>> rows_;  // a row may hold fewer cells than columns
    bool columns_changed_ = false;
    // Rows before this one match the control; a change marks from the row it touched, so that
    // appending a row costs one row's update rather than a pass over the whole list.
    size_t first_changed_row_ = 0;
    std::optional<int32_t> selection_;
    std::optional<std::pair<int32_t, bool>> sort_indicator_;
    std::optional<std::wstring> empty_text_;
};

// The model and the lock around it, shared between the control and the updates queued for the
// user-interface thread (which may outlive the control).
struct GuardedListRows {
    std::mutex mutex;
    ListRows rows;
};

// A ListControl over a guarded model: every operation changes or reads the model under its lock,
// then (for a change) tells the platform part, which brings its control up to date.
class ListRowsControl : public ListControl {
  public:
    void InsertColumn(int32_t index, const std::wstring& heading, int32_t width) override;
    void DeleteColumn(int32_t index) override;
    int32_t InsertItem(int32_t index, const std::wstring& text) override;
    void SetItemText(int32_t row, int32_t column, const std::wstring& text) override;
    void DeleteItem(int32_t row) override;
    void DeleteAllItems() override;
    int32_t GetItemCount() const override;
    std::wstring GetItemText(int32_t row, int32_t column) const override;
    void SetSelectedItem(int32_t row) override;
    void SetSortIndicator(int32_t column, bool ascending) override;
    void SetEmptyText(const std::wstring& text) override;

  protected:
    explicit ListRowsControl(std::shared_ptr<GuardedListRows> model) : model_(std::move(model)) {}
    // After every change, on the calling thread, with the lock released.
    virtual void RowsChanged() = 0;

  private:
    template <typename Change>
    auto Modify(Change&& change);

    std::shared_ptr<GuardedListRows> model_;
};

}  // namespace orvan::wnd
