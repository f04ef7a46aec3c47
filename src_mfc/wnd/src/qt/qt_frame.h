// The main frame on Qt: a top-level window with caption, system menu, minimise box and sizing
// border whose client area is the one child view.
#pragma once

#include <QWidget>

#include "orvan_wnd/host.h"

namespace orvan::wnd::qt {

class QtChildView;

class QtFrame final : public QWidget, public FrameWindow {
  public:
    explicit QtFrame(FrameHandler& handler);
    ~QtFrame() override;

    Window* CreateView(ViewHandler& handler) override;
    ScreenMetrics GetScreenMetrics() const override;
    void RemoveMaximizeBox() override;
    void RemoveMenu() override {}  // the frame never gets a menu bar
    void MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void SetTitle(const std::wstring& title) override;
    void Show() override;
    void PostClose() override;

    QtChildView* View() const { return view_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    FrameHandler& handler_;
    QtChildView* view_ = nullptr;  // owned as a child widget
    bool closed_ = false;
};

}  // namespace orvan::wnd::qt
