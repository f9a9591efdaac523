#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/query.h"
#include "engine/table.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <vector>

using namespace engine;
using K = EngineError::Kind;

namespace pelkdb {

namespace {

QString sentence(QString text) {
    text = text.trimmed();
    if (!text.isEmpty() && !text.endsWith(u'.')) text += u'.';
    return text;
}

EngineError loadError(const QString& file, qint64 line, const QString& cause, K kind) {
    return EngineError(kind, QStringLiteral("Plik %1, wiersz %2: %3 Nic nie zostało wczytane.")
                                 .arg(QDir::toNativeSeparators(file))
                                 .arg(line)
                                 .arg(sentence(cause)));
}

} // namespace

int loadCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--truncate"), false, false}});
    a.expectPositional(2, 2, {QStringLiteral("TABELA"), QStringLiteral("PLIK")});
    const QString tableName = a.positional()[0];
    const QString path = a.positional()[1];
    // The engine cuts an over-long text to its field, as the screens rely on; data from outside
    // is refused instead, unless the cut is asked for.
    const bool truncate = a.has(QStringLiteral("--truncate"));

    auto db = openExisting(c.folder, tableName);
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throw EngineError(
            K::Io, QStringLiteral("Plik %1 nie istnieje.").arg(QDir::toNativeSeparators(path)));
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(
            K::Io,
            QStringLiteral("Nie można odczytać pliku %1.").arg(QDir::toNativeSeparators(path)));
    Table table(c.folder, tableName);
    table.open();
    const TableDef& def = table.definition();

    CsvReader reader(&file);
    QStringList record;
    QStringList columns; // as defined, one per column of the file
    try {
        if (!reader.next(record))
            throw CsvError(1,
                           QStringLiteral("plik jest pusty, brak wiersza nagłówka z nazwami pól"));
    } catch (const CsvError& e) {
        throw loadError(path, e.line(), e.message(), K::BadValue);
    }
    for (const QString& name : std::as_const(record)) {
        const FieldDef* f = def.field(name.trimmed());
        if (!f)
            throw loadError(
                path, reader.recordLine(),
                QStringLiteral("tabela %1 nie ma pola \"%2\"").arg(def.name, name.trimmed()),
                K::MissingField);
        if (columns.contains(f->name))
            throw loadError(path, reader.recordLine(),
                            QStringLiteral("kolumna %1 występuje dwa razy").arg(f->name),
                            K::BadValue);
        columns << f->name;
    }

    db->begin();
    try {
        while (reader.next(record)) {
            if (record.size() != columns.size())
                throw EngineError(K::BadValue,
                                  QStringLiteral("liczba wartości w wierszu (%1) nie zgadza się "
                                                 "z liczbą kolumn nagłówka (%2)")
                                      .arg(record.size())
                                      .arg(columns.size()));
            if (!truncate)
                for (qsizetype i = 0; i < columns.size(); ++i) {
                    const FieldDef* f = def.field(columns[i]);
                    if (f->type == FieldType::Alpha && record[i].size() > f->size)
                        throw EngineError(
                            K::BadValue,
                            QStringLiteral("wartość pola %1 ma %2 znaków, a pole mieści %3 "
                                           "(opcja --truncate skraca takie wartości)")
                                .arg(f->name)
                                .arg(record[i].size())
                                .arg(f->size));
                }
            table.append();
            // Empty values stay empty, an empty autoinc field is numbered by the post.
            for (qsizetype i = 0; i < columns.size(); ++i)
                if (!record[i].isEmpty()) table.setValue(columns[i], record[i]);
            table.post();
        }
    } catch (const CsvError& e) {
        table.cancel();
        db->rollback();
        throw loadError(path, e.line(), e.message(), K::BadValue);
    } catch (const EngineError& e) {
        table.cancel();
        db->rollback();
        throw loadError(path, reader.recordLine(), e.message(), e.kind());
    } catch (...) {
        table.cancel();
        db->rollback();
        throw;
    }
    db->commit();
    // Fresh statistics, so that the query planner chooses indexes by the data now there.
    db->analyze(table.definition().name);
    return 0;
}

int dumpCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--order"), true, false},
                         {QStringLiteral("--index"), true, false},
                         {QStringLiteral("--filter"), true, false}});
    a.expectPositional(1, 1, {QStringLiteral("TABELA")});
    if (a.has(QStringLiteral("--order")) && a.has(QStringLiteral("--index")))
        throw UsageError(QStringLiteral("opcji --order i --index nie można podać razem"));
    Table table(c.folder, a.positional()[0]);
    if (a.has(QStringLiteral("--order")))
        table.setIndexFieldNames(a.value(QStringLiteral("--order")));
    if (a.has(QStringLiteral("--index"))) table.setIndexName(a.value(QStringLiteral("--index")));
    if (a.has(QStringLiteral("--filter"))) {
        table.setFilter(a.value(QStringLiteral("--filter")));
        table.setFiltered(true);
    }
    table.open();
    c.out.writeRow(table.fieldNames());
    // One ordered statement: linear in the rows whether or not the order has an index.
    table.forEachRow([&] { c.out.writeRow(rowTexts(table)); });
    return 0;
}

int nearestCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--order"), true, false}});
    a.expectPositional(2, -1, {QStringLiteral("TABELA"), QStringLiteral("WARTOŚĆ")});
    if (!a.has(QStringLiteral("--order")))
        throw UsageError(QStringLiteral("polecenie nearest wymaga opcji --order Pole1[;Pole2]"));
    const QStringList order = a.value(QStringLiteral("--order")).split(u';', Qt::SkipEmptyParts);
    if (order.isEmpty()) throw UsageError(QStringLiteral("opcja --order: brak pól"));
    const QStringList given = a.positional().mid(1);
    if (given.size() > order.size())
        throw UsageError(QStringLiteral("podano %1 wartości, a klucz --order ma %2 pól")
                             .arg(given.size())
                             .arg(order.size()));

    Table table(c.folder, a.positional()[0]);
    table.setIndexFieldNames(a.value(QStringLiteral("--order")));
    table.open();
    c.out.writeRow(table.fieldNames());
    if (table.isEmpty())
        throw EngineError(K::State,
                          QStringLiteral("Tabela %1 jest pusta.").arg(table.definition().name),
                          table.definition().name);
    QVariantList key;
    for (qsizetype i = 0; i < order.size(); ++i)
        key << (i < given.size() ? QVariant(given[i]) : QVariant());
    table.findNearest(key);
    c.out.writeRow(rowTexts(table));
    return 0;
}

int sqlCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--timeout"), true, false}});
    a.expectPositional(1, 1, {QStringLiteral("TEKST")});
    QString text = a.positional()[0];
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    double seconds = 0;
    if (a.has(QStringLiteral("--timeout"))) {
        bool ok = false;
        seconds = a.value(QStringLiteral("--timeout")).replace(u',', u'.').toDouble(&ok);
        if (!ok || seconds <= 0)
            throw UsageError(QStringLiteral("opcja --timeout: oczekiwano liczby sekund, a jest %1")
                                 .arg(a.value(QStringLiteral("--timeout"))));
    }
    Query query;
    query.setDatabaseName(c.folder);
    query.setSql(text.split(u'\n'));
    query.setUnidirectional(true);
    // A long query stops at its limit, so that a script never holds the folder for long.
    std::shared_ptr<Database> db;
    if (seconds > 0) {
        db = Database::open(c.folder, Database::Mode::MustExist);
        const QDeadlineTimer deadline(qint64(seconds * 1000));
        db->setCancelCheck([deadline] { return deadline.hasExpired(); });
    }
    try {
        query.open();
        c.out.writeRow(query.fieldNames());
        for (query.first(); !query.eof(); query.next())
            c.out.writeRow(rowTexts(query));
    } catch (const EngineError& e) {
        if (db && e.kind() == K::State)
            throw EngineError(K::State,
                              QStringLiteral("Zapytanie przerwane po %1 s (opcja --timeout).")
                                  .arg(a.value(QStringLiteral("--timeout"))));
        throw;
    }
    if (db) db->setCancelCheck({});
    return 0;
}

int setCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--filter"), true, false}});
    a.expectPositional(2, -1, {QStringLiteral("TABELA"), QStringLiteral("POLE=WARTOŚĆ")});
    if (!a.has(QStringLiteral("--filter")))
        throw UsageError(QStringLiteral("polecenie set wymaga opcji --filter WYRAŻENIE"));
    const QString tableName = a.positional()[0];
    QList<QPair<QString, QString>> assignments;
    for (const QString& w : a.positional().mid(1)) {
        const qsizetype eq = w.indexOf(u'=');
        if (eq <= 0 || w.left(eq).trimmed().isEmpty())
            throw UsageError(QStringLiteral("oczekiwano POLE=WARTOŚĆ zamiast \"%1\"").arg(w));
        assignments << qMakePair(w.left(eq).trimmed(), w.mid(eq + 1));
    }

    auto db = openExisting(c.folder, tableName);
    // The matching rows are noted first: a change may move a row in the order or out of the
    // filter, which would make a cursor walking the filtered rows skip or repeat rows.
    std::vector<qint64> rows;
    {
        Table scan(c.folder, tableName);
        scan.setFilter(a.value(QStringLiteral("--filter")));
        scan.setFiltered(true);
        scan.open();
        for (const auto& [field, value] : std::as_const(assignments))
            (void)scan.fieldDef(field);
        for (scan.first(); !scan.eof(); scan.next())
            rows.push_back(scan.rowId());
    }
    Table editor(c.folder, tableName);
    editor.open();
    db->begin();
    try {
        for (qint64 id : rows) {
            if (!editor.gotoRowId(id)) continue;
            editor.edit();
            for (const auto& [field, value] : std::as_const(assignments))
                editor.setValue(field, value);
            editor.post();
        }
    } catch (const EngineError& e) {
        editor.cancel();
        db->rollback();
        throw EngineError(e.kind(),
                          sentence(e.message()) + QStringLiteral(" Nic nie zostało zmienione."),
                          e.table());
    } catch (...) {
        editor.cancel();
        db->rollback();
        throw;
    }
    db->commit();
    return 0;
}

} // namespace pelkdb
