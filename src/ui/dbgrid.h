#pragma once
#include "ui/dbgridmodel.h"
#include <QHash>
#include <QPointer>
#include <QTableView>

namespace ui {

// A read-only grid over a data set (table or query): whole-row, single selection, columns by
// field name. The grid's current row and the data set's cursor move together: clicking or moving
// with the keyboard moves the cursor, and moving the cursor in code selects its row and scrolls
// to it. Rows are read lazily (see DbGridModel), just before they are painted.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);
    ~DbGrid() override;

    void setDataSet(engine::DataSet* dataSet);
    engine::DataSet* dataSet() const { return ds_; }
    DbGridModel* gridModel() const { return model_; }

    // --- Columns: by field name, letter case ignored; a width of 0 keeps the default ---
    void addColumn(const QString& field, const QString& title = {}, int width = 0);
    void clearColumns();
    bool setColumnTitle(const QString& field, const QString& title);
    bool setColumnVisible(const QString& field, bool visible);
    void setFieldWidth(const QString& field, int width);
    void setMoneyFields(const QStringList& fields) { model_->setMoneyFields(fields); }
    int fieldWidth(const QString& field) const; // the shown width; 0 when the field is not shown

    // Loads the rows the viewport shows; done before every paint.
    void loadVisibleRows();
    // Selects the data set's current row and scrolls to it.
    void followCursor();

Q_SIGNALS:
    void rowDoubleClicked(); // a double click on a row, after the cursor moved to it
    void doubleClicked();    // a double click anywhere in the grid, empty or not
    void enterPressed();     // Enter or Return; the grid keeps the key for itself

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void onAfterScroll();
    void followLater();
    void moveCursorTo(int row);
    void rememberWidths();
    void restoreWidths();

    DbGridModel* model_;
    QPointer<engine::DataSet> ds_;
    QMetaObject::Connection scrollConnection_;
    QHash<QString, int> widths_; // by lower-case field
    bool syncing_ = false;       // the grid is moving the cursor, or the cursor the grid
    bool inScroll_ = false;      // handling the data set's afterScroll
    bool inReset_ = false;       // handling the model's reset
    bool followPending_ = false;
};

} // namespace ui
