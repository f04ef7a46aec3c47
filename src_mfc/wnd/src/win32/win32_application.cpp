// The application on Win32: common controls and OLE, the main frame, the message loop with the
// frame's accelerators, UI-thread polls and socket watches on a message-only window, and the dialogs.
// clang-format off
#include "win32_util.h"  // the system headers the ones below need first
#include <ole2.h>
#include <shobjidl.h>
// clang-format on

#include <map>
#include <vector>

// ole2.h brought the system names back.
#include "orvan_wnd/platform_names.h"
#include "resource_ids.h"
#include "win32_console.h"
#include "win32_frame.h"
#include "win32_owned_window.h"
#include "win32_resources.h"
#include "win32_socket_watch.h"

namespace orvan::wnd {

namespace win32 {

namespace {

constexpr wchar_t kMessageClassName[] = L"OrvanMessages";
constexpr int kFrameResourceId = 128;
// Every class of the common controls.
constexpr DWORD kAllControlClasses = 0xFF;

class Win32Application final : public Application {
  public:
    Win32Application() {
        accelerators_ = LoadAcceleratorsW(Module(), MAKEINTRESOURCEW(kFrameResourceId));
        static const bool registered =
            RegisterOwnedClass(kMessageClassName, &OwnedWindowProc<Win32Application>, 0, nullptr);
        if (registered) {
            CreateWindowExW(0, kMessageClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Module(),
                            this);
        }
    }

    // Whether the message-only window exists: without it no poll or watch would ever run, and the
    // program could not follow a stop request.
    bool Ready() const { return messages_ != nullptr; }

    ~Win32Application() override {
        watches_.clear();  // joins the watching threads before the window they post to goes
        DestroyOwnedWindow(messages_);
        OleUninitialize();
    }

    std::unique_ptr<FrameWindow> CreateFrame(FrameHandler& handler) override {
        std::unique_ptr<Win32Frame> frame = Win32Frame::Create(handler);
        if (frame == nullptr) return nullptr;
        main_ = frame->Hwnd();
        return frame;
    }

    int Run() override {
        MSG message{};
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            HWND main = IsWindow(main_) ? main_ : nullptr;
            if (main != nullptr && accelerators_ != nullptr &&
                TranslateAcceleratorW(main, accelerators_, &message)) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return static_cast<int>(message.wParam);
    }

    void StartPoll(uint32_t intervalMs, std::function<void()> poll) override {
        const UINT_PTR id = next_id_++;
        polls_[id] = std::move(poll);
        SetTimer(messages_, id, intervalMs, nullptr);
    }

    void WatchOnce(int descriptor, std::function<void()> onReadable) override {
        const UINT_PTR id = next_id_++;
        watched_[id] = std::move(onReadable);
        watches_.push_back(std::make_unique<SocketWatch>(static_cast<SOCKET>(descriptor), messages_, id));
    }

    void MessageBox(const std::wstring& text) override {
        wchar_t title[256] = {};
        HWND owner = IsWindow(main_) ? main_ : nullptr;
        if (owner != nullptr) GetWindowTextW(owner, title, 256);
        ::MessageBoxW(owner, text.c_str(), title, MB_OK | MB_ICONINFORMATION);
    }

    void RunAboutDialog() override { RunAboutBox(IsWindow(main_) ? main_ : nullptr); }

  private:
    friend LRESULT CALLBACK OwnedWindowProc<Win32Application>(HWND, UINT, WPARAM, LPARAM);
    void Attach(HWND hwnd) { messages_ = hwnd; }

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_TIMER) {
            const auto found = polls_.find(wparam);
            if (found != polls_.end()) found->second();
            return 0;
        }
        if (message == kWatchReadable) {
            const auto found = watched_.find(wparam);
            if (found == watched_.end()) return 0;
            // Once: the callback is taken out before it runs.
            const std::function<void()> onReadable = std::move(found->second);
            watched_.erase(found);
            onReadable();
            return 0;
        }
        return DefWindowProcW(messages_, message, wparam, lparam);
    }

    HWND messages_ = nullptr;  // message-only window for polls and watches (set by Attach)
    HACCEL accelerators_ = nullptr;
    HWND main_ = nullptr;
    UINT_PTR next_id_ = 1;
    std::map<UINT_PTR, std::function<void()>> polls_;
    std::map<UINT_PTR, std::function<void()>> watched_;
    std::vector<std::unique_ptr<SocketWatch>> watches_;
};

}  // namespace

}  // namespace win32

std::unique_ptr<Application> CreateApplication(int& argc, char** argv, const std::string& appId,
                                               std::string* error) {
    win32::UseParentConsoleForMissingOutput();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = win32::kAllControlClasses;
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) {
        std::wstring text = win32::LoadStringById(orvan::res::kStringOleInitFailed);
        if (text.empty()) text = orvan_res_string(orvan::res::kStringOleInitFailed);
        MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
        if (error != nullptr) *error = win32::Narrow(text) + "\n";
        return nullptr;
    }
    // Groups the program's windows on the taskbar under its own name.
    SetCurrentProcessExplicitAppUserModelID(win32::Widen(appId).c_str());
    auto app = std::make_unique<win32::Win32Application>();
    if (!app->Ready()) {
        if (error != nullptr) *error = "the program's message window could not be created\n";
        return nullptr;
    }
    return app;
}

}  // namespace orvan::wnd
