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

struct QtListControl::Shared {
    struct Column {
        std::wstring heading;
        int32_t width = 0;
    };

    std::mutex mutex;
    std::vector<Column> columns;
    std::vector<std::vector<std::wstring>> rows;
    bool columns_changed = false;
    // Rows before this one match the table widget; a change marks from the row it touched, so
    // appending a row costs one row's update rather than a pass over the whole table.
    size_t first_changed_row = 0;
    bool sync_posted = false;    // another thread asked the UI thread for an update
    bool paint_deferred = false;  // the table's painting is held until the interval below is over
    QElapsedTimer since_paint;    // since the table last painted a change freely
    // The program's choices for the table, applied by the next update on the UI thread.
    std::optional<int32_t> selection;
    std::optional<std::pair<int32_t, bool>> sort_indicator;  // column (-1: none), ascending
    std::optional<std::wstring> empty_text;
    ReportTable* table = nullptr;  // null once the window is gone; only the UI thread deletes it
};

// The table, telling the view what the keyboard did: moved the current row (a key moves the
// highlight without a click, and the screen must learn of that move too; rows the program adds or
// removes move nothing the user chose, so only keys count), pressed Enter or the copy shortcut.
// While it has no row it can show a text across its empty area.
class ReportTable final : public QTableWidget {
  public:
    ReportTable(QtChildView& view, int32_t controlId) : QTableWidget(&view), view_(view), control_id_(controlId) {}

    void SetEmptyText(const QString& text) {
        if (text == empty_text_) return;
        empty_text_ = text;
        viewport()->update();
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            view_.Notify(ListNotification{.controlId = control_id_, .code = LVN_KEYDOWN, .item = currentRow(),
                                          .key = VK_C, .flags = MK_CONTROL});
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
        const QRect area = viewport()->rect().adjusted(kEmptyTextMargin, kEmptyTextMargin, -kEmptyTextMargin, 0);
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

// The program's pending choices, once the rows they name are in the table (UI thread, mutex held).
void ApplyChoices(Shared& shared, ReportTable& table) {
    if (shared.empty_text) table.SetEmptyText(QString::fromStdWString(*std::exchange(shared.empty_text, {})));
    if (shared.sort_indicator) {
        const auto [column, ascending] = *std::exchange(shared.sort_indicator, {});
        QHeaderView* header = table.horizontalHeader();
        header->setSortIndicatorShown(column >= 0);
        header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    if (shared.selection) {
        const int row = *std::exchange(shared.selection, {});
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
    const int columns = static_cast<int>(shared.columns.size());
    if (shared.columns_changed) {
        shared.columns_changed = false;
        shared.first_changed_row = 0;
        table->setColumnCount(columns);
        for (int c = 0; c < columns; ++c) {
            table->setHorizontalHeaderItem(
                c, new QTableWidgetItem(QString::fromStdWString(shared.columns[c].heading)));
            table->setColumnWidth(c, shared.columns[c].width);
        }
    }
    table->setRowCount(static_cast<int>(shared.rows.size()));
    const int first = static_cast<int>(std::min(shared.first_changed_row, shared.rows.size()));
    shared.first_changed_row = shared.rows.size();
    for (int r = first; r < static_cast<int>(shared.rows.size()); ++r) {
        const auto& cells = shared.rows[r];
        for (int c = 0; c < columns; ++c) {
            const QString text =
                c < static_cast<int>(cells.size()) ? QString::fromStdWString(cells[c]) : QString();
            QTableWidgetItem* item = table->item(r, c);
            if (item == nullptr) {
                if (text.isEmpty()) continue;
                table->setItem(r, c, new QTableWidgetItem(text));
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    ApplyChoices(shared, *table);
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

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
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
                view_.Notify(ListNotification{.controlId = control_id_, .code = NM_RCLICK, .item = row,
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
    : shared_(std::make_shared<Shared>()) {
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

void QtListControl::InsertColumn(int32_t index, const std::wstring& heading, int32_t width) {
    {
        std::lock_guard lock(shared_->mutex);
        auto& columns = shared_->columns;
        const auto at = std::clamp<int64_t>(index, 0, static_cast<int64_t>(columns.size()));
        columns.insert(columns.begin() + at, Shared::Column{heading, width});
        for (auto& cells : shared_->rows) {
            if (static_cast<int64_t>(cells.size()) > at) cells.insert(cells.begin() + at, std::wstring());
        }
        shared_->columns_changed = true;
    }
    Changed(shared_);
}

void QtListControl::DeleteColumn(int32_t index) {
    {
        std::lock_guard lock(shared_->mutex);
        auto& columns = shared_->columns;
        if (index < 0 || index >= static_cast<int32_t>(columns.size())) return;
        columns.erase(columns.begin() + index);
        for (auto& cells : shared_->rows) {
            if (static_cast<int32_t>(cells.size()) > index) cells.erase(cells.begin() + index);
        }
        shared_->columns_changed = true;
    }
    Changed(shared_);
}

int32_t QtListControl::InsertItem(int32_t index, const std::wstring& text) {
    int32_t at = -1;
    {
        std::lock_guard lock(shared_->mutex);
        if (index < 0) return -1;
        auto& rows = shared_->rows;
        at = std::min(index, static_cast<int32_t>(rows.size()));
        rows.insert(rows.begin() + at, std::vector<std::wstring>{text});
        shared_->first_changed_row = std::min(shared_->first_changed_row, static_cast<size_t>(at));
    }
    Changed(shared_);
    return at;
}

void QtListControl::SetItemText(int32_t row, int32_t column, const std::wstring& text) {
    {
        std::lock_guard lock(shared_->mutex);
        auto& rows = shared_->rows;
        const int32_t columns = std::max<int32_t>(1, static_cast<int32_t>(shared_->columns.size()));
        if (row < 0 || row >= static_cast<int32_t>(rows.size()) || column < 0 || column >= columns) return;
        auto& cells = rows[row];
        if (static_cast<int32_t>(cells.size()) <= column) cells.resize(column + 1);
        cells[column] = text;
        shared_->first_changed_row = std::min(shared_->first_changed_row, static_cast<size_t>(row));
    }
    Changed(shared_);
}

void QtListControl::DeleteItem(int32_t row) {
    {
        std::lock_guard lock(shared_->mutex);
        auto& rows = shared_->rows;
        if (row < 0 || row >= static_cast<int32_t>(rows.size())) return;
        rows.erase(rows.begin() + row);
        shared_->first_changed_row = std::min(shared_->first_changed_row, static_cast<size_t>(row));
    }
    Changed(shared_);
}

void QtListControl::DeleteAllItems() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->rows.clear();
        shared_->first_changed_row = 0;
    }
    Changed(shared_);
}

int32_t QtListControl::GetItemCount() const {
    std::lock_guard lock(shared_->mutex);
    return static_cast<int32_t>(shared_->rows.size());
}

std::wstring QtListControl::GetItemText(int32_t row, int32_t column) const {
    std::lock_guard lock(shared_->mutex);
    const auto& rows = shared_->rows;
    if (row < 0 || row >= static_cast<int32_t>(rows.size()) || column < 0) return {};
    const auto& cells = rows[row];
    return column < static_cast<int32_t>(cells.size()) ? cells[column] : std::wstring();
}

void QtListControl::SetSelectedItem(int32_t row) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->selection = row;
    }
    Changed(shared_);
}

void QtListControl::SetSortIndicator(int32_t column, bool ascending) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->sort_indicator = std::make_pair(column, ascending);
    }
    Changed(shared_);
}

void QtListControl::SetEmptyText(const std::wstring& text) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->empty_text = text;
    }
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
