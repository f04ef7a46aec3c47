// A window whose list control behaves like the native one: a call from a thread other than the
// window's own is a message that the window's thread has to handle, so the caller waits until that
// thread pumps its messages. Everything else goes straight to the recording fake.
#pragma once

#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

#include "orvan_test/fake_window.h"
#include "orvan_wnd/platform_names.h"

namespace form_test {

class SendMessageWindow final : public orvan::wnd::Window {
  public:
    // The calling thread is the window's own.
    explicit SendMessageWindow(orvan::fake::FakeWindow& inner);

    // The window thread's message loop: runs the list calls other threads are waiting on.
    void Pump();

    // Runs call on the window's thread: at once there, otherwise at the next Pump, waiting for it.
    template <class Call>
    auto Send(Call call) -> decltype(call()) {
        using Result = decltype(call());
        if (std::this_thread::get_id() == owner_) return call();
        std::promise<Result> done;
        std::future<Result> result = done.get_future();
        {
            std::lock_guard lock(mutex_);
            sent_.push_back([&] {
                if constexpr (std::is_void_v<Result>) {
                    call();
                    done.set_value();
                } else {
                    done.set_value(call());
                }
            });
        }
        return result.get();
    }

    bool IsWindow() const override { return inner_.IsWindow(); }
    void Invalidate(bool erase) override { inner_.Invalidate(erase); }
    std::unique_ptr<orvan::wnd::DeviceContext> GetDC() override { return inner_.GetDC(); }
    orvan::wnd::Size GetClientSize() const override { return inner_.GetClientSize(); }
    void SetCapture() override { inner_.SetCapture(); }
    void ReleaseCapture() override { inner_.ReleaseCapture(); }
    orvan::wnd::CursorHandle LoadCursorResource(int32_t id) override { return inner_.LoadCursorResource(id); }
    orvan::wnd::CursorHandle ArrowCursor() override { return inner_.ArrowCursor(); }
    orvan::wnd::CursorHandle GetCursor() override { return inner_.GetCursor(); }
    void SetCursor(orvan::wnd::CursorHandle cursor) override { inner_.SetCursor(cursor); }
    std::unique_ptr<orvan::wnd::Bitmap> LoadBitmapResource(int32_t id) override {
        return inner_.LoadBitmapResource(id);
    }
    void SetTimer(uint32_t id, uint32_t milliseconds) override { inner_.SetTimer(id, milliseconds); }
    void KillTimer(uint32_t id) override { inner_.KillTimer(id); }
    bool PostMessage(uint32_t message, int64_t wparam, int64_t lparam) override {
        return inner_.PostMessage(message, wparam, lparam);
    }
    std::unique_ptr<orvan::wnd::ListControl> CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                               int32_t right, int32_t bottom) override;
    uint32_t TrackPopupMenu(const std::vector<orvan::wnd::MenuItem>& items,
                            orvan::wnd::Point point) override {
        return inner_.TrackPopupMenu(items, point);
    }
    bool SetClipboardText(const std::wstring& text) override { return inner_.SetClipboardText(text); }
    bool OpenUrl(const std::string& url) override { return inner_.OpenUrl(url); }
    void ShowNotice(const std::wstring& text) override { inner_.ShowNotice(text); }
    std::optional<std::wstring> PromptText(const orvan::wnd::TextPrompt& prompt) override {
        return inner_.PromptText(prompt);
    }
    std::unique_ptr<orvan::wnd::PictureDrawer> OpenPictureDrawer() override {
        return inner_.OpenPictureDrawer();
    }
    std::unique_ptr<orvan::wnd::Font> CreateFontIndirect(const orvan::wnd::FontDesc& desc) override {
        return inner_.CreateFontIndirect(desc);
    }

  private:
    orvan::fake::FakeWindow& inner_;
    const std::thread::id owner_;
    std::mutex mutex_;
    std::vector<std::function<void()>> sent_;
};

}  // namespace form_test
