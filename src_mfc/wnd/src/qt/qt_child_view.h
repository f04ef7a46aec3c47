// The child view on Qt: a widget that keeps its pixels in a backing image (drawing "at once"
// outside a paint works, and the window keeps its last picture because the background is never
// erased), hands its events to a ViewHandler, and owns the timers and posted messages by id.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <atomic>
#include <map>
#include <memory>

#include "orvan_wnd/host.h"

namespace orvan::wnd::qt {

class QtChildView final : public QWidget, public Window {
  public:
    QtChildView(QWidget* parent, ViewHandler& handler);
    ~QtChildView() override;

    bool IsWindow() const override { return !destroyed_.load(); }
    void Invalidate(bool erase) override;
    std::unique_ptr<DeviceContext> GetDC() override;
    Size GetClientSize() const override { return Size{width(), height()}; }

    void SetCapture() override;
    void ReleaseCapture() override;

    CursorHandle LoadCursorResource(int32_t id) override;
    CursorHandle ArrowCursor() override;
    CursorHandle GetCursor() override { return current_cursor_; }
    void SetCursor(CursorHandle cursor) override;

    std::unique_ptr<Bitmap> LoadBitmapResource(int32_t id) override;

    void SetTimer(uint32_t id, uint32_t milliseconds) override;
    void KillTimer(uint32_t id) override;

    bool PostMessage(uint32_t message, int64_t wparam, int64_t lparam) override;

    std::unique_ptr<ListControl> CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                   int32_t right, int32_t bottom) override;
    uint32_t TrackPopupMenu(const std::vector<MenuItem>& items, Point point) override;
    bool SetClipboardText(const std::wstring& text) override;
    bool OpenUrl(const std::string& url) override;
    void ShowNotice(const std::wstring& text) override;
    std::optional<std::wstring> PromptText(const TextPrompt& prompt) override;
    std::unique_ptr<PictureDrawer> OpenPictureDrawer() override;
    std::unique_ptr<Font> CreateFontIndirect(const FontDesc& desc) override;

    // A child control reports something (on the UI thread).
    void Notify(const ListNotification& notification);

    // The window goes away with its closing frame while the object stays, as a system window
    // destroyed with its parent: timers stop, waiting posted messages are dropped and later posts
    // are refused (UI thread; once is enough).
    void Destroy();

    // The pixels the window shows (tests, screenshots).
    const QImage& BackingImage() const { return backing_; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void AskForCursor(std::optional<Point> position);

    ViewHandler& handler_;
    std::atomic<bool> destroyed_{false};  // read by other threads when they post
    QImage backing_;
    bool invalid_ = false;            // the handler has to paint the whole view
    bool erase_pending_ = false;      // ... and was asked to erase its background first
    QRegion shown_only_;              // drawn outside a paint: only needs to reach the screen
    std::map<uint32_t, int> timers_;  // our id -> Qt's timer id
    std::map<int32_t, std::unique_ptr<QCursor>> cursors_;
    std::unique_ptr<QCursor> arrow_;
    CursorHandle current_cursor_ = nullptr;
};

}  // namespace orvan::wnd::qt
