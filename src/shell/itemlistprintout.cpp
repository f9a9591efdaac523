#include "shell/itemlistprintout.h"

#include "engine/dataset.h"
#include "ui/dbgrid.h"

#include <QDate>
#include <QPointer>

namespace shell {

documents::TableReport itemListReport(ui::DbGrid& grid, const QString& catalogueName,
                                      const QDate& date) {
    struct Column {
        int field; // in the data set
        engine::FieldType type;
    };
    QList<documents::TableColumn> columns;
    QList<Column> fields;
    engine::DataSet* ds = grid.dataSet();
    const ui::DbGridModel* model = grid.gridModel();
    if (ds && ds->isOpen()) {
        for (int c = 0; c < model->columnCount(); ++c) {
            const int index = ds->fieldIndex(model->fieldOfColumn(c));
            if (grid.isColumnHidden(c) || grid.columnWidth(c) <= 0 || index < 0) continue;
            const engine::FieldType type = ds->fields().at(index).type;
            const bool number = type == engine::FieldType::Number ||
                                type == engine::FieldType::LongInt ||
                                type == engine::FieldType::AutoInc;
            columns.append({model->headerData(c, Qt::Horizontal).toString().trimmed(),
                            double(grid.columnWidth(c)),
                            number ? documents::Align::Right : documents::Align::Left});
            fields.append({index, type});
        }
    }
    const int rows = ds && ds->isOpen() ? ds->recordCount() : 0;
    QPointer<engine::DataSet> source(ds);
    auto read = [source, fields](int first, int count) {
        QList<QStringList> out;
        if (!source) return out;
        for (const auto& row : source->rowsAt(first + 1, count)) {
            QStringList texts;
            for (const Column& c : fields)
                texts << engine::displayText(c.type, row.values.value(c.field));
            out.append(texts);
        }
        return out;
    };
    return documents::TableReport(QStringLiteral("Lista obiektów - %1").arg(catalogueName),
                                  date.toString(QStringLiteral("dd-MM-yyyy")), columns, rows, read);
}

} // namespace shell
