#include "platform/worktable.h"
#include "engine/database.h"
#include "engine/table.h"
#include "platform/worktables.h"

namespace platform {

WorkTable::WorkTable(const QString& tempFolder, QString prefix, engine::TableDef layout)
    : tables_(std::make_unique<WorkTables>(tempFolder)), prefix_(std::move(prefix)),
      layout_(std::move(layout)) {}

WorkTable::~WorkTable() {
    remove();
}

QString WorkTable::folder() const {
    return tables_->folder();
}

void WorkTable::create() {
    remove();
    name_ = tables_->create(prefix_, layout_);
    try {
        table_ = std::make_unique<engine::Table>(tables_->folder(), name_);
        table_->open();
    } catch (...) {
        remove();
        throw;
    }
}

void WorkTable::remove() {
    if (table_) {
        try {
            table_->close();
        } catch (...) {
            // The table goes anyway.
        }
        table_.reset();
    }
    if (name_.isEmpty()) return;
    const QString gone = name_;
    name_.clear();
    try {
        tables_->remove(gone);
    } catch (...) {
        // Left in TMP and noted with this run as its owner: the next start removes it.
    }
}

engine::Table& WorkTable::table() {
    Q_ASSERT(table_);
    return *table_;
}

QList<QVariantMap> WorkTable::rows(const QString& indexFields) {
    QList<QVariantMap> out;
    if (!exists()) return out;
    engine::Table t(tables_->folder(), name_);
    t.setIndexFieldNames(indexFields);
    t.open();
    const QList<engine::FieldDef>& fields = t.definition().fields;
    for (t.first(); !t.eof(); t.next()) {
        QVariantMap row;
        for (const engine::FieldDef& f : fields)
            row.insert(f.name, t.value(f.name));
        out << row;
    }
    return out;
}

void replaceRows(const QString& folder, const QList<RowReplacement>& replacements) {
    auto db = engine::Database::open(folder);
    db->transaction([&] {
        for (const RowReplacement& r : replacements) {
            engine::Table t(folder, r.table);
            t.setIndexFieldNames(r.matchFields.join(u';'));
            t.open();
            t.setRange(r.matchValues);
            for (t.first(); !t.isEmpty(); t.first())
                t.remove();
            for (const QVariantMap& row : r.rows) {
                t.append();
                for (auto it = row.begin(); it != row.end(); ++it)
                    t.setValue(it.key(), it.value());
                t.post();
            }
            t.close();
        }
    });
}

} // namespace platform
