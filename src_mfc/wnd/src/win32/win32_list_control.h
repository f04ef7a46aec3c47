// The report-style list control on Win32: the common-controls list view with column headings, grid
// lines and full-row selection. Its rows live in the shared row model, so any thread may add or read
// rows; the list view follows the model on the UI thread (at once when the change was made there,
// through one queued request otherwise) and never makes a caller wait for it.
#pragma once

#include <memory>
#include <optional>

#include "list_rows.h"
#include "win32_util.h"

namespace orvan::wnd::win32 {

class Win32ListControl final : public ListRowsControl {
  public:
    // A list view child of view at rect (client coordinates, right and bottom exclusive); null when
    // it cannot be created.
    static std::unique_ptr<Win32ListControl> Create(HWND view, int32_t controlId, const RECT& rect);
    ~Win32ListControl() override;

    bool DestroyWindow() override;

    HWND Hwnd() const;

    struct State;

  protected:
    void RowsChanged() override;

  private:
    explicit Win32ListControl(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
};

// The view's side: what a notification from one of its list views means to the program; empty for
// the ones it does not act on (keyboard moves come from the list view itself, as kListNotify).
std::optional<ListNotification> TranslateListNotify(HWND view, const NMHDR& header);

}  // namespace orvan::wnd::win32
