#pragma once
#include "documents/report.h"

#include <QStringList>

namespace documents {

struct TableColumn {
    QString title;
    double weight = 1; // the column's share of the printable width
    Align align = Align::Left;
};

// A list printed as a table: a heading and a date at the top of every page, the column titles
// under them, one line per row, the page number at the foot. The rows are asked for one page at a
// time, so the number of pages is known from the row count before anything is read.
class TableReport {
public:
    // Rows first .. first + count - 1 (0-based), each a list of texts in column order.
    using RowReader = std::function<QList<QStringList>(int first, int count)>;

    TableReport(QString heading, QString date, QList<TableColumn> columns, int rowCount,
                RowReader rows, PageSetup setup = {});

    int rowsPerPage() const;
    int pageCount() const; // one page at least, for the heading
    Page page(int index) const;
    PageSource pages() const;

    static constexpr double kRowHeight = 4.6;
    static constexpr double kRowPoints = 8;

private:
    Band header() const;
    Band footer() const;
    Band row(const QStringList& texts) const;
    QList<double> columnWidths() const;

    QString heading_, date_;
    QList<TableColumn> columns_;
    int rowCount_;
    RowReader rows_;
    PageSetup setup_;
};

} // namespace documents
