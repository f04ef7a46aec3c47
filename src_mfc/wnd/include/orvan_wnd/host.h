// The window layer as the shell sees it: the application with its message loop, the main frame
// and the events the child view hands to its handler. No Qt here; the Qt implementation lives in
// this folder's src/, and tests drive the shell through fakes of these interfaces.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "orvan_wnd/wnd.h"

namespace orvan::wnd {

// Opens url with the desktop's URL handler, or with the replacement set below; false when no
// handler accepted it. Every view's OpenUrl comes here.
bool OpenUrl(const std::string& url);

// Replaces the URL handler (tests, embedding); an empty function restores the desktop's.
void SetUrlOpener(std::function<bool(const std::string&)> opener);

// What the frame needs to place itself: the screen and the sizes of the frame's decoration.
struct ScreenMetrics {
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t captionHeight = 0;
    int32_t dlgFrameWidth = 0;
    int32_t dlgFrameHeight = 0;
    int32_t borderWidth = 0;
    int32_t borderHeight = 0;
};

// Size event types.
inline constexpr uint32_t SIZE_RESTORED = 0;

// Events of the child view, delivered one at a time on the user-interface thread.
class ViewHandler {
  public:
    virtual ~ViewHandler() = default;
    virtual void OnSize(uint32_t type, int32_t cx, int32_t cy) = 0;
    // dc draws onto the view; whatever it draws is shown when the handler returns.
    virtual void OnPaint(DeviceContext& dc) = 0;
    // True when the handler took care of the background (nothing else is drawn under it).
    virtual bool OnEraseBkgnd(DeviceContext& dc) = 0;
    virtual void OnLButtonDown(uint32_t flags, Point point) = 0;
    virtual void OnLButtonDblClk(uint32_t flags, Point point) = 0;
    virtual void OnMouseMove(uint32_t flags, Point point) = 0;
    virtual void OnLButtonUp(uint32_t flags, Point point) = 0;
    virtual void OnTimer(uint32_t id) = 0;
    // Asked before the pointer moves over the view. cursorClient is the pointer in client
    // coordinates, empty when it cannot be read. True keeps the current cursor; false lets the
    // view show its own (the arrow).
    virtual bool OnSetCursor(std::optional<Point> cursorClient) = 0;
    // A message posted with Window::PostMessage.
    virtual int64_t OnMessage(uint32_t message, int64_t wparam, int64_t lparam) = 0;
    // A notification from a child control (a list control's row click); result is the reply slot.
    virtual void OnNotify(const ListNotification& notification, int64_t* result) = 0;
};

// The top-level window: caption, system menu, minimise box and sizing border.
class FrameWindow {
  public:
    virtual ~FrameWindow() = default;
    // Creates the child view that fills the frame's client area; null on failure. The frame
    // owns it; handler receives its events until the frame is destroyed.
    virtual Window* CreateView(ViewHandler& handler) = 0;
    virtual ScreenMetrics GetScreenMetrics() const = 0;
    virtual void RemoveMaximizeBox() = 0;
    virtual void RemoveMenu() = 0;
    // Places the frame's outer rectangle; the decoration is taken to be what GetScreenMetrics
    // reported, so the client area gets the rest.
    virtual void MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    virtual void Show() = 0;
    // Thread-safe: asks the frame to close through its normal close path, on the UI thread.
    virtual void PostClose() = 0;
};

// The frame's own events.
class FrameHandler {
  public:
    virtual ~FrameHandler() = default;
    // While the window is being created; 0 to go on, -1 to fail the creation.
    virtual int32_t OnCreate(FrameWindow& frame) = 0;
    // The user or a posted request closes the frame; once this returns the frame is destroyed
    // and the message loop ends.
    virtual void OnClose() = 0;
};

// The application: message loop, the main frame, a UI-thread poll, dialogs.
class Application {
  public:
    virtual ~Application() = default;
    // Creates the frame window and runs handler.OnCreate; null when that failed.
    virtual std::unique_ptr<FrameWindow> CreateFrame(FrameHandler& handler) = 0;
    // Runs the message loop until the main frame has closed; the loop's exit code.
    virtual int Run() = 0;
    // Calls poll every intervalMs on the UI thread while the loop runs.
    virtual void StartPoll(uint32_t intervalMs, std::function<void()> poll) = 0;
    // Calls onReadable on the UI thread once, when the descriptor first turns readable.
    virtual void WatchOnce(int descriptor, std::function<void()> onReadable) = 0;
    virtual void MessageBox(const std::wstring& text) = 0;
    // The modal about box.
    virtual void RunAboutDialog() = 0;

    ORVAN_WND_SYSTEM_SPELLINGS(void, MessageBox, (const std::wstring& text), (text))
};

// The Qt application. Null when no display can be used; error then says why in words a user
// can act on.
std::unique_ptr<Application> CreateApplication(int& argc, char** argv, const std::string& appId,
                                               std::string* error);

}  // namespace orvan::wnd
