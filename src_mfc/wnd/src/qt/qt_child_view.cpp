#include "qt_child_view.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

#include "orvan_wnd/host.h"
#include "qt_device_context.h"
#include "qt_list_control.h"
#include "qt_picture.h"
#include "qt_resources.h"
#include "qt_text_prompt.h"

namespace orvan::wnd::qt {

namespace {

// The window background: what a part of the view shows before anything was drawn there.
constexpr QRgb kBackground = qRgb(255, 255, 255);

const QEvent::Type kPostedMessage = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage final : public QEvent {
  public:
    PostedMessage(uint32_t message, int64_t wparam, int64_t lparam)
        : QEvent(kPostedMessage), message(message), wparam(wparam), lparam(lparam) {}
    const uint32_t message;
    const int64_t wparam;
    const int64_t lparam;
};

uint32_t MouseFlags(const QMouseEvent* event) {
    uint32_t flags = 0;
    if (event->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
    return flags;
}

Point ToPoint(const QPointF& position) {
    const QPoint p = position.toPoint();
    return Point{p.x(), p.y()};
}

}  // namespace

QtChildView::QtChildView(QWidget* parent, ViewHandler& handler)
    : QWidget(parent), handler_(handler), arrow_(std::make_unique<QCursor>(Qt::ArrowCursor)) {
    // Every pixel comes from the backing image: Qt must neither clear nor fill the widget.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(*arrow_);
    current_cursor_ = arrow_.get();
    backing_ = QImage(QSize(1, 1), QImage::Format_RGB32);
    backing_.fill(kBackground);
}

QtChildView::~QtChildView() {
    for (const auto& [id, qtId] : timers_) killTimer(qtId);
}

void QtChildView::Invalidate(bool erase) {
    invalid_ = true;
    erase_pending_ = erase_pending_ || erase;
    update();
}

std::unique_ptr<DeviceContext> QtChildView::GetDC() {
    return std::make_unique<QtDeviceContext>(backing_, [this](const QRect& rect) {
        shown_only_ += rect;
        update(rect);
    });
}

void QtChildView::SetCapture() {
    grabMouse();
}

void QtChildView::ReleaseCapture() {
    releaseMouse();
}

CursorHandle QtChildView::LoadCursorResource(int32_t id) {
    auto found = cursors_.find(id);
    if (found == cursors_.end()) found = cursors_.emplace(id, LoadCursor(id)).first;
    return found->second.get();
}

CursorHandle QtChildView::ArrowCursor() {
    return arrow_.get();
}

void QtChildView::SetCursor(CursorHandle cursor) {
    current_cursor_ = cursor;
    if (cursor == nullptr) {
        setCursor(Qt::BlankCursor);
    } else {
        setCursor(*static_cast<const QCursor*>(cursor));
    }
}

std::unique_ptr<Bitmap> QtChildView::LoadBitmapResource(int32_t id) {
    return LoadBitmap(id);
}

void QtChildView::SetTimer(uint32_t id, uint32_t milliseconds) {
    KillTimer(id);
    if (destroyed_) return;
    const int qtId = startTimer(static_cast<int>(milliseconds));
    if (qtId != 0) timers_[id] = qtId;
}

void QtChildView::KillTimer(uint32_t id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) return;
    killTimer(found->second);
    timers_.erase(found);
}

bool QtChildView::PostMessage(uint32_t message, int64_t wparam, int64_t lparam) {
    // Outside the private range a message would stand for something the window system does.
    if (!IsPostableMessage(message) || destroyed_) return false;
    QCoreApplication::postEvent(this, new PostedMessage(message, wparam, lparam));
    return true;
}

void QtChildView::Destroy() {
    destroyed_ = true;
    for (const auto& [id, qtId] : timers_) killTimer(qtId);
    timers_.clear();
    QCoreApplication::removePostedEvents(this, kPostedMessage);
}

std::unique_ptr<ListControl> QtChildView::CreateListControl(int32_t controlId, int32_t left, int32_t top,
                                                            int32_t right, int32_t bottom) {
    // Right and bottom are exclusive.
    return std::make_unique<QtListControl>(*this, controlId, QRect(left, top, right - left, bottom - top));
}

uint32_t QtChildView::TrackPopupMenu(const std::vector<MenuItem>& items, Point point) {
    QMenu menu(this);
    menu.setFont(DefaultGuiFont());
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu.addSeparator();
        } else {
            menu.addAction(QString::fromStdWString(item.text))->setData(item.id);
        }
    }
    // Runs the event loop until the menu closes, as a modal menu does.
    const QAction* chosen = menu.exec(mapToGlobal(QPoint(point.x, point.y)));
    return chosen != nullptr ? chosen->data().toUInt() : 0;
}

bool QtChildView::SetClipboardText(const std::wstring& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    clipboard->setText(QString::fromStdWString(text), QClipboard::Clipboard);
    return true;
}

bool QtChildView::OpenUrl(const std::string& url) {
    return orvan::wnd::OpenUrl(url);
}

void QtChildView::ShowNotice(const std::wstring& text) {
    QWidget* top = window();
    QMessageBox box(QMessageBox::Warning, top->windowTitle(), QString::fromStdWString(text), QMessageBox::Ok, top);
    box.setFont(DefaultGuiFont());
    // Runs the event loop until the box closes, as a modal box does.
    box.exec();
}

std::optional<std::wstring> QtChildView::PromptText(const TextPrompt& prompt) {
    return RunTextPrompt(this, prompt);
}

std::unique_ptr<PictureDrawer> QtChildView::OpenPictureDrawer() {
    return std::make_unique<QtPictureDrawer>();
}

std::unique_ptr<Font> QtChildView::CreateFontIndirect(const FontDesc& desc) {
    return std::make_unique<QtFont>(desc);
}

void QtChildView::Notify(const ListNotification& notification) {
    int64_t result = 0;
    handler_.OnNotify(notification, &result);
}

bool QtChildView::event(QEvent* event) {
    if (event->type() == kPostedMessage) {
        // A post that passed its check while the view was being destroyed still lands here.
        const auto* posted = static_cast<PostedMessage*>(event);
        if (!destroyed_) handler_.OnMessage(posted->message, posted->wparam, posted->lparam);
        return true;
    }
    return QWidget::event(event);
}

void QtChildView::paintEvent(QPaintEvent* event) {
    // The handler paints what was invalidated or newly exposed; pixels that were drawn outside a
    // paint are already in the backing image and only need to be shown.
    const QRegion handler_part = invalid_ ? QRegion(rect()) : event->region() - shown_only_;
    const bool erase = erase_pending_;
    invalid_ = false;
    erase_pending_ = false;
    shown_only_ = QRegion();
    if (!handler_part.isEmpty()) {
        QtDeviceContext dc(backing_, nullptr, handler_part);
        if (erase && !handler_.OnEraseBkgnd(dc)) {
            dc.FillSolidRect(0, 0, width(), height(), 0xffffff);
        }
        handler_.OnPaint(dc);
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(0, 0, backing_);
}

void QtChildView::resizeEvent(QResizeEvent* event) {
    const QSize size = event->size().expandedTo(QSize(1, 1));
    if (size != backing_.size()) {
        QImage grown(size, QImage::Format_RGB32);
        grown.fill(kBackground);
        QPainter painter(&grown);
        painter.drawImage(0, 0, backing_);
        painter.end();
        backing_ = std::move(grown);
    }
    handler_.OnSize(SIZE_RESTORED, event->size().width(), event->size().height());
}

void QtChildView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        handler_.OnLButtonDown(MouseFlags(event), ToPoint(event->position()));
}

void QtChildView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        handler_.OnLButtonDblClk(MouseFlags(event), ToPoint(event->position()));
}

void QtChildView::mouseMoveEvent(QMouseEvent* event) {
    const Point point = ToPoint(event->position());
    AskForCursor(point);
    handler_.OnMouseMove(MouseFlags(event), point);
}

void QtChildView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        handler_.OnLButtonUp(MouseFlags(event), ToPoint(event->position()));
}

void QtChildView::enterEvent(QEnterEvent* event) {
    AskForCursor(ToPoint(event->position()));
    QWidget::enterEvent(event);
}

void QtChildView::AskForCursor(std::optional<Point> position) {
    if (handler_.OnSetCursor(position)) return;
    // Not taken by the handler: the view's own cursor, the arrow.
    if (current_cursor_ != arrow_.get()) SetCursor(arrow_.get());
}

void QtChildView::timerEvent(QTimerEvent* event) {
    for (const auto& [id, qtId] : timers_) {
        if (qtId == event->timerId()) {
            // The handler may set or kill timers, so the map is not touched after this call.
            const uint32_t ours = id;
            handler_.OnTimer(ours);
            return;
        }
    }
    QWidget::timerEvent(event);
}

}  // namespace orvan::wnd::qt
