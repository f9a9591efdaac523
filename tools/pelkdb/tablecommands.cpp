#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/database.h"
#include "engine/dataset.h"
#include "engine/error.h"
#include "engine/serverlocation.h"
#include <QDir>
#include <QFile>

using namespace engine;

namespace pelkdb {

std::shared_ptr<Database> openExisting(const QString& folder, const QString& table) {
    if (!isServerLocation(folder) && !QDir(folder).exists()) throw missingFolder(folder);
    if (!Database::exists(folder))
        throw EngineError(EngineError::Kind::MissingTable,
                          QStringLiteral("Tabela %1 nie istnieje %2.")
                              .arg(bareTableName(table), inLocation(folder)),
                          bareTableName(table));
    auto db = Database::open(folder, Database::Mode::MustExist);
    db->requireTable(table);
    return db;
}

QStringList rowTexts(const DataSet& data) {
    QStringList out;
    out.reserve(data.fieldCount());
    for (int i = 0; i < data.fieldCount(); ++i)
        out << displayText(data.fields().at(i).type, data.value(i));
    return out;
}

namespace {

bool typeHasSize(FieldType t) {
    return t == FieldType::Alpha || t == FieldType::Memo || t == FieldType::Graphic;
}

QStringList splitNames(const QString& list) {
    QStringList out;
    for (const QString& n : list.split(u';', Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty()) out << n.trimmed();
    return out;
}

// "Name:type[:size],..." as the create command takes it.
QList<FieldDef> parseFields(const QString& text) {
    QList<FieldDef> fields;
    for (const QString& item : text.split(u',')) {
        const QStringList parts = item.split(u':');
        const QString shown = item.trimmed();
        if (parts.size() < 2 || parts.size() > 3 || parts[0].trimmed().isEmpty())
            throw UsageError(
                QStringLiteral("niepoprawny opis pola \"%1\": oczekiwano Nazwa:typ[:rozmiar]")
                    .arg(shown));
        FieldDef f;
        f.name = parts[0].trimmed();
        const auto type = parseTypeWord(parts[1].trimmed());
        if (!type)
            throw UsageError(
                QStringLiteral("nieznany typ pola %1: %2 (dozwolone: autoinc, alpha, "
                               "longint, number, date, timestamp, logical, memo, graphic)")
                    .arg(f.name, parts[1].trimmed()));
        f.type = *type;
        if (parts.size() == 3) {
            bool ok = false;
            f.size = parts[2].trimmed().toInt(&ok);
            if (!ok || f.size <= 0)
                throw UsageError(QStringLiteral("niepoprawny rozmiar pola %1: %2")
                                     .arg(f.name, parts[2].trimmed()));
            if (!typeHasSize(f.type))
                throw UsageError(QStringLiteral("pole %1 typu %2 nie ma rozmiaru")
                                     .arg(f.name, typeWord(f.type)));
        } else if (f.type == FieldType::Alpha) {
            throw UsageError(
                QStringLiteral("pole %1 typu alpha wymaga rozmiaru (%1:alpha:N)").arg(f.name));
        }
        fields << f;
    }
    return fields;
}

// Index fields under the names the fields were defined with, so that listings agree; unknown
// names stay as given for the engine to reject.
QStringList definedNames(const TableDef& def, const QStringList& names) {
    QStringList out;
    for (const QString& n : names) {
        const FieldDef* f = def.field(n);
        out << (f ? f->name : n);
    }
    return out;
}

} // namespace

int tablesCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(0, 0, {});
    // A folder without a database holds no tables (scripts rely on that), and so does a
    // catalogue not yet made on a server; a missing folder or a broken database is an error.
    if ((isServerLocation(c.folder) || QDir(c.folder).exists()) && !Database::exists(c.folder))
        return 0;
    auto db = Database::open(c.folder, Database::Mode::MustExist);
    for (const QString& t : db->tables())
        c.out.writeLine(t);
    return 0;
}

int createCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--primary"), true, false},
                         {QStringLiteral("--index"), true, true},
                         {QStringLiteral("--replace"), false, false}});
    a.expectPositional(2, 2, {QStringLiteral("TABELA"), QStringLiteral("POLA")});
    TableDef def;
    def.name = bareTableName(a.positional()[0]);
    if (def.name.isEmpty()) throw UsageError(QStringLiteral("pusta nazwa tabeli"));
    def.fields = parseFields(a.positional()[1]);

    QStringList primary{def.fields.first().name};
    if (a.has(QStringLiteral("--primary"))) {
        primary = splitNames(a.value(QStringLiteral("--primary")));
        if (primary.isEmpty())
            throw UsageError(QStringLiteral("opcja --primary: brak pól indeksu"));
    }
    def.indexes << IndexDef{QStringLiteral("PrimaryIndex"), definedNames(def, primary), true};
    for (const QString& indexText : a.values(QStringLiteral("--index"))) {
        const qsizetype eq = indexText.indexOf(u'=');
        const QString name = indexText.left(eq).trimmed();
        const QStringList fields = eq < 0 ? QStringList() : splitNames(indexText.mid(eq + 1));
        if (eq < 0 || name.isEmpty() || fields.isEmpty())
            throw UsageError(QStringLiteral("opcja --index \"%1\": oczekiwano NAZWA=Pole1;Pole2")
                                 .arg(indexText));
        def.indexes << IndexDef{name, definedNames(def, fields), false};
    }

    const bool existed = Database::exists(c.folder);
    auto db = Database::open(c.folder, Database::Mode::Create);
    try {
        db->createTable(def, a.has(QStringLiteral("--replace")));
    } catch (...) {
        // A definition the engine refused leaves the folder as it was, without a database
        // file that would make it look like a catalogue folder.
        if (!existed && !isServerLocation(c.folder)) {
            db.reset();
            QFile::remove(QDir(c.folder).filePath(Database::fileName()));
        }
        throw;
    }
    return 0;
}

int schemaCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(1, 1, {QStringLiteral("TABELA")});
    auto db = openExisting(c.folder, a.positional()[0]);
    const TableDef def = db->requireTable(a.positional()[0]);
    for (const FieldDef& f : def.fields)
        c.out.writeRow({f.name, typeWord(f.type),
                        typeHasSize(f.type) && f.size > 0 ? QString::number(f.size) : QString()});
    auto writeIndex = [&](const IndexDef& ix) {
        c.out.writeRow(QStringList{QStringLiteral("index"), ix.name} +
                       definedNames(def, ix.fields));
    };
    if (const IndexDef* p = def.primaryIndex()) writeIndex(*p);
    for (const IndexDef& ix : def.indexes)
        if (!ix.primary) writeIndex(ix);
    return 0;
}

int dropCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(1, 1, {QStringLiteral("TABELA")});
    openExisting(c.folder, a.positional()[0])->dropTable(a.positional()[0]);
    return 0;
}

int emptyCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(1, 1, {QStringLiteral("TABELA")});
    openExisting(c.folder, a.positional()[0])->emptyTable(a.positional()[0]);
    return 0;
}

} // namespace pelkdb
