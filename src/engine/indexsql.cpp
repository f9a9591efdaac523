#include "engine/indexsql.h"
#include "engine/serverschema.h"
#include "engine/sqlname.h"

namespace engine {

// The autoinc field that is the row id of a folder's table: the only field of its primary index.
const FieldDef* rowidAlias(const TableDef& def) {
    const IndexDef* primary = def.primaryIndex();
    if (!primary || primary->fields.size() != 1) return nullptr;
    const FieldDef* f = def.field(primary->fields.first());
    return f && f->type == FieldType::AutoInc ? f : nullptr;
}

// The indexes a table's definition asks for, by name: the statements making them in a folder's
// SQLite file or on a server. A folder's primary index of the row id itself needs none.
QList<std::pair<QString, QString>> indexStatements(const TableDef& def, bool server) {
    QList<std::pair<QString, QString>> out;
    const FieldDef* rowidField = server ? nullptr : rowidAlias(def);
    for (const auto& ix : def.indexes) {
        const QString name = quoted(def.name + u'$' + ix.name);
        if (server) {
            out.append({name, serverIndexSql(def, ix)});
        } else if (!(ix.primary && rowidField)) {
            QStringList parts;
            for (const auto& fn : ix.fields) {
                const FieldDef* f = def.field(fn);
                parts << quoted(f->name) +
                             (isTextType(f->type) ? QStringLiteral(" COLLATE PL") : QString());
            }
            out.append({name, QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                                  .arg(ix.primary ? QStringLiteral("UNIQUE ") : QString(), name,
                                       quoted(def.name), parts.join(QStringLiteral(", ")))});
        }
    }
    return out;
}

} // namespace engine
