#include "documents/tablereport.h"

#include <algorithm>
#include <cmath>

namespace documents {

namespace {
constexpr double kHeaderHeight = 16;
constexpr double kFooterHeight = 8;
constexpr double kPadding = 1; // between a column's edge and its text
} // namespace

TableReport::TableReport(QString heading, QString date, QList<TableColumn> columns, int rowCount,
                         RowReader rows, PageSetup setup)
    : heading_(std::move(heading)), date_(std::move(date)), columns_(std::move(columns)),
      rowCount_(std::max(0, rowCount)), rows_(std::move(rows)), setup_(setup) {}

QList<double> TableReport::columnWidths() const {
    double total = 0;
    for (const TableColumn& c : columns_)
        total += std::max(0.0, c.weight);
    QList<double> widths;
    for (const TableColumn& c : columns_)
        widths.append(total > 0 ? setup_.printableWidth() * std::max(0.0, c.weight) / total
                                : setup_.printableWidth() / double(columns_.size()));
    return widths;
}

int TableReport::rowsPerPage() const {
    const double room = setup_.printableHeight() - kHeaderHeight - kFooterHeight;
    return std::max(1, int(std::floor(room / kRowHeight + 1e-9)));
}

int TableReport::pageCount() const {
    const int per = rowsPerPage();
    return std::max(1, (rowCount_ + per - 1) / per);
}

Band TableReport::header() const {
    Band b;
    b.height = kHeaderHeight;
    const double width = setup_.printableWidth();
    b.text(QStringLiteral("Naglowek"), 0, 0, width - 40, heading_, {12, true, false});
    b.text(QStringLiteral("Data"), width - 40, 0, 40, date_, {9, false, false}, Align::Right);
    const double titlesTop = kHeaderHeight - kRowHeight - 1;
    double x = 0;
    const QList<double> widths = columnWidths();
    for (int i = 0; i < columns_.size(); ++i) {
        b.text(QStringLiteral("Tytul"), x + kPadding, titlesTop, widths[i] - 2 * kPadding,
               columns_[i].title, {kRowPoints, true, false}, columns_[i].align, kRowHeight);
        x += widths[i];
    }
    b.frame(QStringLiteral("Linia"), 0, kHeaderHeight - 1, width, 0);
    return b;
}

Band TableReport::footer() const {
    Band b;
    b.height = kFooterHeight;
    const double width = setup_.printableWidth();
    b.frame(QStringLiteral("Linia"), 0, 1, width, 0);
    b.text(QStringLiteral("Str"), width - 30, 3, 15, QStringLiteral("Str."), {8, false, false},
           Align::Right);
    b.pageNumber(QStringLiteral("Numer_Strony"), width - 14, 3, 14, {8, false, false});
    return b;
}

Band TableReport::row(const QStringList& texts) const {
    Band b;
    b.height = kRowHeight;
    double x = 0;
    const QList<double> widths = columnWidths();
    for (int i = 0; i < columns_.size(); ++i) {
        b.text(QStringLiteral("Pole"), x + kPadding, 0.3, widths[i] - 2 * kPadding, texts.value(i),
               {kRowPoints, false, false}, columns_[i].align, kRowHeight - 0.3);
        x += widths[i];
    }
    return b;
}

Page TableReport::page(int index) const {
    Page p;
    p.number = index + 1;
    placeBand(p, header(), setup_, 0);
    const int per = rowsPerPage();
    const int first = index * per;
    const int count = std::clamp(rowCount_ - first, 0, per);
    if (count > 0 && rows_) {
        const QList<QStringList> rows = rows_(first, count);
        double top = kHeaderHeight;
        for (const QStringList& texts : rows) {
            placeBand(p, row(texts), setup_, top);
            top += kRowHeight;
        }
    }
    placeBand(p, footer(), setup_, setup_.printableHeight() - kFooterHeight);
    return p;
}

PageSource TableReport::pages() const {
    PageSource s;
    s.count = pageCount();
    s.page = [self = *this](int i) { return self.page(i); };
    return s;
}

} // namespace documents
