// List control handed out by the fake window: keeps its columns and rows in the shared state so
// that tests can read them after the control is gone.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "fake_window_state.h"
#include "orvan_wnd/wnd.h"

namespace orvan::fake {

class FakeListControl final : public wnd::ListControl {
  public:
    FakeListControl(std::shared_ptr<FakeWindowState> state, size_t index);
    ~FakeListControl() override;

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

  private:
    // Callers hold the state's mutex.
    FakeListContents& Contents() const { return state_->lists[index_]; }
    void Record(const std::string& what) const;

    std::shared_ptr<FakeWindowState> state_;
    size_t index_;
};

}  // namespace orvan::fake
