#include "qt_list_control.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "qt_child_view.h"
#include "qt_resources.h"

namespace orvan::wnd::qt {

struct QtListControl::Shared : GuardedListRows {
    // The fields below are guarded by the model's mutex too.
    bool sync_posted = false;      // another thread asked the UI thread for an update
    bool paint_deferred = false;   // the table's painting is held until the interval below is over
    QElapsedTimer since_paint;     // since the table last painted a change freely
    ReportTable* table = nullptr;  // null once the window is gone; only the UI thread deletes it
};

// The table, telling the view what the keyboard did: moved the current row (a key moves the
// highlight without a click, and the screen must learn of that move too; rows the program adds or
// removes move nothing the user chose, so only keys count), pressed Enter or the copy shortcut.
// While it has no row it can show a text across its empty area.
class ReportTable final : public QTableWidget {
  public:
    ReportTable(QtChildView& view, int32_t controlId)
        : QTableWidget(&view), view_(view), control_id_(controlId) {}

    void SetEmptyText(const QString& text) {
        if (text == empty_text_) return;
        empty_text_ = text;
        viewport()->update();
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            view_.Notify(ListNotification{.controlId = control_id_,
                                          .code = LVN_KEYDOWN,
                                          .item = currentRow(),
                                          .key = VK_C,
                                          .flags = MK_CONTROL});
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            view_.Notify(ListNotification{.controlId = control_id_, .code = NM_RETURN, .item = currentRow()});
            event->accept();
            return;
        }
        const int before = currentRow();
        QTableWidget::keyPressEvent(event);
        const int after = currentRow();
        if (after != before) view_.Notify(ListNotification{control_id_, LVN_ITEMCHANGED, after});
    }

    void paintEvent(QPaintEvent* event) override {
        QTableWidget::paintEvent(event);
        if (rowCount() != 0 || empty_text_.isEmpty()) return;
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        const QRect area =
            viewport()->rect().adjusted(kEmptyTextMargin, kEmptyTextMargin, -kEmptyTextMargin, 0);
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, empty_text_);
    }

  private:
    static constexpr int kEmptyTextMargin = 16;

    QtChildView& view_;
    int32_t control_id_;
    QString empty_text_;
};

namespace {

using Shared = QtListControl::Shared;

bool OnUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

// The program's choices for the table, once the rows they name are in it (UI thread).
void ApplyChoices(const ListUpdate& update, ReportTable& table) {
    if (update.emptyText) table.SetEmptyText(QString::fromStdWString(*update.emptyText));
    if (update.sortIndicator) {
        const auto [column, ascending] = *update.sortIndicator;
        QHeaderView* header = table.horizontalHeader();
        header->setSortIndicatorShown(column >= 0);
        header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    if (update.selection) {
        const int row = *update.selection;
        if (row >= 0 && row < table.rowCount()) {
            table.setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        } else {
            table.clearSelection();
            table.setCurrentIndex(QModelIndex());
        }
    }
}

// Brings the table widget up to date with the model (UI thread only).
void Sync(Shared& shared) {
    std::lock_guard lock(shared.mutex);
    ReportTable* table = shared.table;
    if (table == nullptr) return;
    const ListUpdate update = shared.rows.TakeUpdate();
    if (update.columns) {
        const auto& columns = *update.columns;
        table->setColumnCount(static_cast<int>(columns.size()));
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            table->setHorizontalHeaderItem(c,
                                           new QTableWidgetItem(QString::fromStdWString(columns[c].heading)));
            table->setColumnWidth(c, columns[c].width);
        }
    }
    table->setRowCount(update.rowCount);
    const int columns = table->columnCount();
    for (size_t i = 0; i < update.cells.size(); ++i) {
        const int r = update.firstRow + static_cast<int>(i);
        const auto& cells = update.cells[i];
        for (int c = 0; c < columns && c < static_cast<int>(cells.size()); ++c) {
            const QString text = QString::fromStdWString(cells[c]);
            QTableWidgetItem* item = table->item(r, c);
            if (item == nullptr) {
                if (text.isEmpty()) continue;
                table->setItem(r, c, new QTableWidgetItem(text));
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    ApplyChoices(update, *table);
}

// Rows arriving one after the other would otherwise repaint the table for each of them; a person
// cannot tell pictures this close apart.
constexpr qint64 kMinPaintIntervalMs = 30;

// UI thread only: brings the table up to date at once (so the UI thread's own changes are there
// when its call returns), but lets it paint a change at most once per interval: a change that comes
// sooner holds the painting until the interval is over, and that one picture shows every change
// made meanwhile.
void SyncSoon(const std::shared_ptr<Shared>& shared) {
    Sync(*shared);
    qint64 wait = 0;
    ReportTable* table = nullptr;
    {
        std::lock_guard lock(shared->mutex);
        table = shared->table;
        if (table == nullptr || shared->paint_deferred) return;
        if (shared->since_paint.isValid()) wait = kMinPaintIntervalMs - shared->since_paint.elapsed();
        if (wait <= 0) {
            shared->since_paint.start();
            return;
        }
        shared->paint_deferred = true;
    }
    table->setUpdatesEnabled(false);
    QTimer::singleShot(wait, table, [shared, table] {
        {
            std::lock_guard lock(shared->mutex);
            shared->paint_deferred = false;
            shared->since_paint.start();
        }
        table->setUpdatesEnabled(true);  // repaints the table
    });
}

// After every change of the model: the UI thread updates the table at once, other threads leave
// one pending update request for it and never wait.
void Changed(const std::shared_ptr<Shared>& shared) {
    if (OnUiThread()) {
        SyncSoon(shared);
        return;
    }
    std::lock_guard lock(shared->mutex);
    if (shared->table == nullptr || shared->sync_posted) return;
    shared->sync_posted = true;
    QMetaObject::invokeMethod(
        shared->table,
        [shared] {
            {
                std::lock_guard lock(shared->mutex);
                shared->sync_posted = false;
            }
            SyncSoon(shared);
        },
        Qt::QueuedConnection);
}

// Draws a cell's text from a layout made once per text and width. The style's own item drawing
// shapes every visible cell's text again on every paint, which made a list that grows while it is
// shown cost the UI thread far more than the rows themselves. Cells show one line, elided at the
// right when too wide, on the selection colours when selected.
class CellDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette::ColorGroup group =
            (option.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
        if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty()) return;
        const int width = option.rect.width() - 2 * kTextMargin;
        if (width <= 0) return;
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const QStaticText& layout = LayoutOf(text, width, option.fontMetrics);
        const qreal y = option.rect.top() + (option.rect.height() - layout.size().height()) / 2;
        painter->setClipRect(option.rect);
        painter->drawStaticText(QPointF(option.rect.left() + kTextMargin, y), layout);
        painter->restore();
    }

  private:
    // The style's margin between a cell's edge and its text.
    static constexpr int kTextMargin = 3;
    // Enough for every cell of a long list at a few column widths; beyond it the cache starts over.
    static constexpr qsizetype kMaxLayouts = 16384;

    const QStaticText& LayoutOf(const QString& text, int width, const QFontMetrics& metrics) const {
        const auto key = std::make_pair(text, width);
        auto found = layouts_.constFind(key);
        if (found != layouts_.constEnd()) return *found;
        if (layouts_.size() >= kMaxLayouts) layouts_.clear();
        QStaticText layout(metrics.elidedText(text, Qt::ElideRight, width));
        layout.setTextFormat(Qt::PlainText);
        layout.setPerformanceHint(QStaticText::AggressiveCaching);
        return *layouts_.insert(key, layout);
    }

    mutable QHash<std::pair<QString, int>, QStaticText> layouts_;
};

// Reports clicks on the table's rows, or below them, to the view: a left click, a double click
// and a right click (with where it happened, for a menu).
class ClickFilter final : public QObject {
  public:
    ClickFilter(QTableWidget* table, QtChildView& view, int32_t controlId)
        : QObject(table), table_(table), view_(view), control_id_(controlId) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            const int row = table_->rowAt(at.y());
            if (type == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
                view_.Notify(ListNotification{control_id_, NM_DBLCLK, row});
            } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
                view_.Notify(ListNotification{control_id_, NM_CLICK, row});
            } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton) {
                const QPoint inView = table_->viewport()->mapTo(&view_, at);
                view_.Notify(ListNotification{.controlId = control_id_,
                                              .code = NM_RCLICK,
                                              .item = row,
                                              .point = Point{inView.x(), inView.y()}});
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QTableWidget* table_;
    QtChildView& view_;
    int32_t control_id_;
};

}  // namespace

QtListControl::QtListControl(QtChildView& view, int32_t controlId, const QRect& rect)
    : QtListControl(view, controlId, rect, std::make_shared<Shared>()) {}

QtListControl::QtListControl(QtChildView& view, int32_t controlId, const QRect& rect,
                             std::shared_ptr<Shared> shared)
    : ListRowsControl(shared), shared_(std::move(shared)) {
    auto* table = new ReportTable(view, controlId);
    table->setFont(DefaultGuiFont());
    table->setGeometry(rect);
    table->setShowGrid(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setItemDelegate(new CellDelegate(table));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(DefaultGuiFont()).height() + 6);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->horizontalHeader()->setStretchLastSection(false);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setSectionsClickable(true);
    // A second click soon after the first arrives as a double click, which is no click to the
    // header; each of them is a click on the heading all the same.
    const auto headingClicked = [&view, controlId](int column) {
        view.Notify(ListNotification{.controlId = controlId, .code = LVN_COLUMNCLICK, .subItem = column});
    };
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, table, headingClicked);
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionDoubleClicked, table, headingClicked);
    table->viewport()->installEventFilter(new ClickFilter(table, view, controlId));
    shared_->table = table;
    // Should the view go first, the model must stop pointing at the table.
    QObject::connect(table, &QObject::destroyed, [shared = shared_] {
        std::lock_guard lock(shared->mutex);
        shared->table = nullptr;
    });
    table->show();
}

QtListControl::~QtListControl() {
    DestroyWindow();
}

void QtListControl::RowsChanged() {
    Changed(shared_);
}

bool QtListControl::DestroyWindow() {
    QTableWidget* table = nullptr;
    {
        std::lock_guard lock(shared_->mutex);
        table = std::exchange(shared_->table, nullptr);
        if (table != nullptr && !OnUiThread()) {
            table->deleteLater();
            return true;
        }
    }
    const bool existed = table != nullptr;
    delete table;
    return existed;
}

}  // namespace orvan::wnd::qt
