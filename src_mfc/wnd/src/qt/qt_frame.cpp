#include "qt_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include "frame_client.h"
#include "qt_child_view.h"
#include "qt_resources.h"

namespace orvan::wnd::qt {

namespace {

const QEvent::Type kCloseRequest = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

QtFrame::QtFrame(FrameHandler& handler) : QWidget(nullptr), handler_(handler) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(AppIcon());
    setFocusPolicy(Qt::StrongFocus);
}

QtFrame::~QtFrame() = default;

Window* QtFrame::CreateView(ViewHandler& handler) {
    if (view_ == nullptr) {
        view_ = new QtChildView(this, handler);
        view_->setGeometry(rect());
        view_->show();
    }
    return view_;
}

ScreenMetrics QtFrame::GetScreenMetrics() const {
    ScreenMetrics metrics;
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        metrics.screenWidth = screen->geometry().width();
        metrics.screenHeight = screen->geometry().height();
    }
    // The window manager draws the real decoration and its size is known only once the window
    // is mapped; the style's title bar and frame sizes are the closest figures before that.
    metrics.captionHeight = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    metrics.dlgFrameWidth = metrics.dlgFrameHeight = 1;
    metrics.borderWidth = metrics.borderHeight = 1;
    return metrics;
}

void QtFrame::RemoveMaximizeBox() {
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

void QtFrame::MoveWindow(int32_t left, int32_t top, int32_t width, int32_t height) {
    // The outer size includes the decoration that GetScreenMetrics reported; what is left is
    // the client area, which is exactly what a window system without that decoration shows.
    const Size client = ClientSizeOfFrame(GetScreenMetrics(), width, height);
    move(left, top);
    resize(client.cx, client.cy);
}

void QtFrame::SetTitle(const std::wstring& title) {
    setWindowTitle(QString::fromStdWString(title));
}

void QtFrame::Show() {
    show();
}

void QtFrame::PostClose() {
    QCoreApplication::postEvent(this, new QEvent(kCloseRequest));
}

bool QtFrame::event(QEvent* event) {
    if (event->type() == kCloseRequest) {
        close();
        return true;
    }
    return QWidget::event(event);
}

void QtFrame::closeEvent(QCloseEvent* event) {
    // The close path runs once, however many requests arrive.
    if (!closed_) {
        closed_ = true;
        handler_.OnClose();
    }
    // The view's window closes with the frame, as a child window does on other systems.
    if (view_ != nullptr) view_->Destroy();
    event->accept();
}

void QtFrame::resizeEvent(QResizeEvent* event) {
    if (view_ != nullptr) view_->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void QtFrame::focusInEvent(QFocusEvent* event) {
    if (view_ != nullptr) view_->setFocus();
    QWidget::focusInEvent(event);
}

}  // namespace orvan::wnd::qt
