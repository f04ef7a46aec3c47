// The report-style list control on Qt: a table with column headings, grid lines and full-row
// selection. Its rows live in a model guarded by a mutex, so any thread may add or read rows;
// the table widget follows the model on the UI thread and never makes a caller wait for it.
#pragma once

#include <QRect>
#include <memory>

#include "orvan_wnd/wnd.h"

namespace orvan::wnd::qt {

class QtChildView;
class ReportTable;

class QtListControl final : public ListControl {
  public:
    QtListControl(QtChildView& view, int32_t controlId, const QRect& rect);
    ~QtListControl() override;

    void InsertColumn(int32_t index, const std::wstring& heading, int32_t width) override;
    void DeleteColumn(int32_t index) override;
    int32_t InsertItem(int32_t index, const std::wstring& text) override;
    void SetItemText(int32_t row, int32_t column, const std::wstring& text) override;
    void DeleteItem(int32_t row) override;
    void DeleteAllItems() override;
    int32_t GetItemCount() const override;
    std::wstring GetItemText(int32_t row, int32_t column) const override;
    bool DestroyWindow() override;
    void SetSelectedItem(int32_t row) override;
    void SetSortIndicator(int32_t column, bool ascending) override;
    void SetEmptyText(const std::wstring& text) override;

    struct Shared;

  private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace orvan::wnd::qt
