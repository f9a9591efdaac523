#include "ui/dbgrid.h"
#include "engine/error.h"
#include "engine/table.h"
#include "ui/errorbox.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <optional>

namespace ui {

DbGrid::DbGrid(QWidget* parent) : QTableView(parent), model_(new DbGridModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);

    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, &DbGrid::rememberWidths);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        const QScopedValueRollback resetting(inReset_, true);
        restoreWidths();
        followCursor();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DbGrid::loadVisibleRows);
}

DbGrid::~DbGrid() = default;

void DbGrid::setDataSet(engine::DataSet* dataSet) {
    disconnect(scrollConnection_);
    ds_ = dataSet;
    // Before the model's own connection, so that the grid sees the move first.
    if (dataSet)
        scrollConnection_ =
            connect(dataSet, &engine::DataSet::afterScroll, this, &DbGrid::onAfterScroll);
    model_->setDataSet(dataSet);
}

// --- Columns ----------------------------------------------------------------------------------

void DbGrid::addColumn(const QString& field, const QString& title, int width) {
    model_->addColumn(field, title);
    if (width > 0) setFieldWidth(field, width);
}

void DbGrid::clearColumns() {
    widths_.clear();
    model_->clearColumns();
}

bool DbGrid::setColumnTitle(const QString& field, const QString& title) {
    return model_->setColumnTitle(field, title);
}

bool DbGrid::setColumnVisible(const QString& field, bool visible) {
    return model_->setColumnVisible(field, visible);
}

void DbGrid::setFieldWidth(const QString& field, int width) {
    widths_.insert(field.toLower(), width);
    const int column = model_->columnOfField(field);
    if (column >= 0 && width > 0) setColumnWidth(column, width);
}

int DbGrid::fieldWidth(const QString& field) const {
    const int column = model_->columnOfField(field);
    return column >= 0 ? columnWidth(column) : 0;
}

// Widths belong to fields, not positions, and survive the model's reloads (the user's dragging
// included).
void DbGrid::rememberWidths() {
    for (int c = 0; c < model_->columnCount(); ++c)
        if (c < horizontalHeader()->count())
            widths_.insert(model_->fieldOfColumn(c).toLower(), columnWidth(c));
}

void DbGrid::restoreWidths() {
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int w = widths_.value(model_->fieldOfColumn(c).toLower(), 0);
        setColumnWidth(c, w > 0 ? w : horizontalHeader()->defaultSectionSize());
    }
}

// --- Rows and the cursor ----------------------------------------------------------------------

void DbGrid::loadVisibleRows() {
    const int count = model_->rowCount();
    if (count <= 0) return;
    const int first = std::max(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0) last = count - 1;
    model_->ensureRows(first, last);
}

// A table's record number is not yet up to date while it announces a move (the engine sets it
// after afterScroll), so there the row is taken only from the rows at hand, by row id; a row
// not at hand is looked up once the move is over.
void DbGrid::onAfterScroll() {
    if (syncing_) return;
    const QScopedValueRollback scrolling(inScroll_, true);
    followCursor();
}

void DbGrid::followLater() {
    if (followPending_) return;
    followPending_ = true;
    QTimer::singleShot(0, this, [this] {
        followPending_ = false;
        followCursor();
    });
}

void DbGrid::followCursor() {
    if (!ds_) return;
    bool stale = model_->isStale();
    int row = -1;
    if (!stale) {
        const bool trustRecNo = !inScroll_;
        row = model_->cursorRow(&stale, trustRecNo || !qobject_cast<engine::Table*>(ds_.data()));
        if (row == DbGridModel::kUnknownRow) {
            followLater();
            return;
        }
    }
    if (stale) {
        // Never a reload inside the reset's own notification.
        if (inReset_)
            followLater();
        else
            model_->reload(); // its reset follows the cursor again
        return;
    }
    const QScopedValueRollback selecting(syncing_, true);
    if (row < 0 || model_->columnCount() == 0) {
        selectionModel()->clear();
        return;
    }
    executeDelayedItemsLayout();
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex at = model_->index(row, column);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
    scrollTo(at);
}

void DbGrid::moveCursorTo(int row) {
    if (!ds_ || !ds_->isOpen()) return;
    bool gone = false;
    std::optional<engine::EngineError> failure;
    {
        const QScopedValueRollback moving(syncing_, true);
        try {
            auto* table = qobject_cast<engine::Table*>(ds_.data());
            qint64 rowid = 0;
            if (table) {
                model_->ensureRows(row, row);
                rowid = model_->rowIdAt(row);
            }
            if (rowid) {
                if (table->rowId() != rowid) gone = !table->gotoRowId(rowid);
            } else if (ds_->recNo() != row + 1) {
                ds_->setRecNo(row + 1);
            }
        } catch (const engine::EngineError& e) {
            failure = e;
        }
    }
    if (failure) {
        // The cursor stayed (a post refused on leaving an edited row...): so does the grid.
        QTimer::singleShot(0, this, &DbGrid::followCursor);
        showError(*failure);
    } else if (gone) {
        // Somebody removed the row since it was read.
        QTimer::singleShot(0, model_, &DbGridModel::reload);
    }
}

// Whole rows are selected, so Home and End go to the first and last row, as in the old grids,
// staying in the column (the view would go to the first or last column).
QModelIndex DbGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveHome && action != MoveEnd) return QTableView::moveCursor(action, modifiers);
    const int rows = model_->rowCount();
    if (rows == 0 || model_->columnCount() == 0) return {};
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    return model_->index(action == MoveHome ? 0 : rows - 1, column);
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (syncing_ || !current.isValid() || current.row() == previous.row()) return;
    moveCursorTo(current.row());
}

// --- Events -----------------------------------------------------------------------------------

void DbGrid::paintEvent(QPaintEvent* event) {
    loadVisibleRows();
    QTableView::paintEvent(event);
}

void DbGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (currentIndex().isValid()) scrollTo(currentIndex());
    loadVisibleRows();
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DbGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid()) Q_EMIT rowDoubleClicked();
    Q_EMIT doubleClicked();
}

} // namespace ui
