#include "shell/itemlistprintout.h"

#include "engine/dataset.h"
#include "ui/dbgrid.h"

#include <QDate>
#include <QPointer>

namespace shell {

ItemListSource itemListSource(ui::DbGrid& grid) {
    struct Column {
        int field; // in the data set
        engine::FieldType type;
    };
    ItemListSource source;
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
            source.columns.append({model->headerData(c, Qt::Horizontal).toString().trimmed(),
                                   double(grid.columnWidth(c)),
                                   number ? documents::Align::Right : documents::Align::Left});
            fields.append({index, type});
        }
    }
    source.rows = ds && ds->isOpen() ? ds->recordCount() : 0;
    QPointer<engine::DataSet> from(ds);
    source.read = [from, fields](int first, int count) {
        QList<QStringList> out;
        if (!from) return out;
        for (const auto& row : from->rowsAt(first + 1, count)) {
            QStringList texts;
            texts.reserve(fields.size());
            for (const Column& c : fields)
                texts << engine::displayText(c.type, row.values.value(c.field));
            out.append(texts);
        }
        return out;
    };
    return source;
}

documents::TableReport itemListReport(ui::DbGrid& grid, const QString& catalogueName,
                                      const QDate& date) {
    ItemListSource source = itemListSource(grid);
    return documents::TableReport(QStringLiteral("Lista obiektów - %1").arg(catalogueName),
                                  date.toString(QStringLiteral("dd-MM-yyyy")), source.columns,
                                  source.rows, std::move(source.read));
}

} // namespace shell
