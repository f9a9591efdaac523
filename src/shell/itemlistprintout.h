#pragma once
#include "documents/tablereport.h"

#include <QDate>

namespace ui {
class DbGrid;
}

namespace shell {

// The item list as shown: the grid's visible columns (caption, width, alignment) and a reader of
// its rows' texts in their current order, with the filter or query in force. Numbers are in
// their plain form (decimal comma, no grouping), as documents and files keep them. The printout
// and the export both read the list through this.
struct ItemListSource {
    QList<documents::TableColumn> columns;
    int rows = 0;
    documents::TableReport::RowReader read; // rows first .. first + count - 1, 0-based
};
ItemListSource itemListSource(ui::DbGrid& grid);

// The item list's printout: the grid's visible columns under their captions (widths as shown),
// its rows in their current order with the filter or query in force, under a heading naming the
// catalogue and the date. Rows are read a page at a time when the page is drawn.
documents::TableReport itemListReport(ui::DbGrid& grid, const QString& catalogueName,
                                      const QDate& date);

// Lists longer than this many pages are printed only after the user agreed to the page count.
constexpr int kAskAboveListPages = 50;

} // namespace shell
