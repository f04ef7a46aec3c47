// The contract on the Win32 layer: a real frame and child view under Wine, driven by the message
// loop of the test's thread.
#include <memory>

#include "orvan_wnd/host.h"
#include "recording_handler.h"
#include "win32_child_view.h"
#include "win32_list_control.h"
#include "window_contract.h"
#include "window_fixture.h"

namespace contract {
namespace {

class Win32Harness {
  public:
    Win32Harness() {
        int argc = 1;
        char name[] = "orvan_win32_window_tests";
        char* argv[] = {name, nullptr};
        std::string error;
        app_ = orvan::wnd::CreateApplication(argc, argv, "Orvan.WindowTests", &error);
        if (app_ == nullptr) return;
        frame_ = app_->CreateFrame(frame_handler_);
        if (frame_ == nullptr) return;
        frame_->Show();
        win32_test::PumpPending();
    }
    ~Win32Harness() {
        orvan::wnd::SetUrlOpener({});
        frame_.reset();
        win32_test::PumpPending();
        app_.reset();
    }

    bool Ready() { return frame_ != nullptr && frame_handler_.view != nullptr; }
    orvan::wnd::Window& View() { return *frame_handler_.view; }

    bool RunUntil(const std::function<bool()>& done) { return win32_test::PumpUntil(done); }
    void RunFor(std::chrono::milliseconds time) {
        win32_test::PumpUntil([] { return false; }, time);
    }

    std::vector<Posted> Delivered() { return handler_.Messages(); }
    bool DeliveredOnUiThreadOnly() { return handler_.OnUiThreadOnly(); }
    std::vector<uint32_t> Ticks() { return handler_.Ticks(); }
    // The view's window goes as it would with its frame; the frame stays (closing it would end
    // the test's message loop).
    void DestroyView() { DestroyWindow(static_cast<orvan::wnd::win32::Win32ChildView&>(View()).Hwnd()); }

    int32_t ShownRowCount(orvan::wnd::ListControl& list) {
        return static_cast<int32_t>(SendMessageW(ListHwnd(list), LVM_GETITEMCOUNT, 0, 0));
    }
    std::wstring ShownText(orvan::wnd::ListControl& list, int32_t row, int32_t column) {
        wchar_t text[128] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(ListHwnd(list), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::wstring ClipboardText() {
        std::wstring text;
        if (!OpenClipboard(nullptr)) return L"<clipboard busy>";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
            if (const auto* held = static_cast<const wchar_t*>(GlobalLock(data)); held != nullptr) {
                text = held;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }
    void SetUrlHandler(std::function<bool(const std::string&)> handler) {
        orvan::wnd::SetUrlOpener(std::move(handler));
    }

  private:
    static HWND ListHwnd(orvan::wnd::ListControl& list) {
        return static_cast<orvan::wnd::win32::Win32ListControl&>(list).Hwnd();
    }

    std::unique_ptr<orvan::wnd::Application> app_;
    RecordingHandler handler_;
    win32_test::PlacingFrame frame_handler_{handler_};
    std::unique_ptr<orvan::wnd::FrameWindow> frame_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowContract, Win32Harness);

}  // namespace
}  // namespace contract
