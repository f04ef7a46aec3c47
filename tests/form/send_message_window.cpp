#include "send_message_window.h"

namespace form_test {

namespace {

class SentListControl final : public orvan::wnd::ListControl {
  public:
    SentListControl(SendMessageWindow& window, std::unique_ptr<orvan::wnd::ListControl> inner)
        : window_(window), inner_(std::move(inner)) {}

    void InsertColumn(int32_t index, const std::wstring& heading, int32_t width) override {
        window_.Send([&] { inner_->InsertColumn(index, heading, width); });
    }
    void DeleteColumn(int32_t index) override {
        window_.Send([&] { inner_->DeleteColumn(index); });
    }
    int32_t InsertItem(int32_t index, const std::wstring& text) override {
        return window_.Send([&] { return inner_->InsertItem(index, text); });
    }
    void SetItemText(int32_t row, int32_t column, const std::wstring& text) override {
        window_.Send([&] { inner_->SetItemText(row, column, text); });
    }
    void DeleteItem(int32_t row) override {
        window_.Send([&] { inner_->DeleteItem(row); });
    }
    void DeleteAllItems() override {
        window_.Send([&] { inner_->DeleteAllItems(); });
    }
    int32_t GetItemCount() const override {
        return window_.Send([&] { return inner_->GetItemCount(); });
    }
    std::wstring GetItemText(int32_t row, int32_t column) const override {
        return window_.Send([&] { return inner_->GetItemText(row, column); });
    }
    bool DestroyWindow() override {
        return window_.Send([&] { return inner_->DestroyWindow(); });
    }
    void SetSelectedItem(int32_t row) override {
        window_.Send([&] { inner_->SetSelectedItem(row); });
    }
    void SetSortIndicator(int32_t column, bool ascending) override {
        window_.Send([&] { inner_->SetSortIndicator(column, ascending); });
    }
    void SetEmptyText(const std::wstring& text) override {
        window_.Send([&] { inner_->SetEmptyText(text); });
    }

  private:
    SendMessageWindow& window_;
    std::unique_ptr<orvan::wnd::ListControl> inner_;
};

}  // namespace

SendMessageWindow::SendMessageWindow(orvan::fake::FakeWindow& inner)
    : inner_(inner), owner_(std::this_thread::get_id()) {}

void SendMessageWindow::Pump() {
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard lock(mutex_);
        calls.swap(sent_);
    }
    for (auto& call : calls) call();
}

std::unique_ptr<orvan::wnd::ListControl> SendMessageWindow::CreateListControl(int32_t controlId, int32_t left,
                                                                              int32_t top, int32_t right,
                                                                              int32_t bottom) {
    return std::make_unique<SentListControl>(*this,
                                             inner_.CreateListControl(controlId, left, top, right, bottom));
}

}  // namespace form_test
