// The report-style list control on Qt: a table with column headings, grid lines and full-row
// selection. Its rows live in the shared row model, so any thread may add or read rows; the table
// widget follows the model on the UI thread and never makes a caller wait for it.
#pragma once

#include <QRect>
#include <memory>

#include "list_rows.h"

namespace orvan::wnd::qt {

class QtChildView;
class ReportTable;

class QtListControl final : public ListRowsControl {
  public:
    QtListControl(QtChildView& view, int32_t controlId, const QRect& rect);
    ~QtListControl() override;

    bool DestroyWindow() override;

    struct Shared;

  protected:
    void RowsChanged() override;

  private:
    QtListControl(QtChildView& view, int32_t controlId, const QRect& rect, std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> shared_;
};

}  // namespace orvan::wnd::qt
