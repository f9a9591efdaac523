#include "paradox/import.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "paradox/encoding.h"
#include "paradox/fileinfo.h"
#include "paradox/pxlib.h"
#include "paradox/tablereader.h"
#include "store/catalogue_schema.h"
#include "store/mainfolder_schema.h"
#include "store/passwords.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimeZone>
#include <memory>

using engine::EngineError;
using K = EngineError::Kind;

namespace paradox {

const QString kImportCancelledMessage =
    QStringLiteral("Import został przerwany. Nic nie zostało zaimportowane.");

namespace {

constexpr qint64 kJulianDayOfDayZero = 1721425; // the day before 1 January of year 1
constexpr qint64 kMsPerDay = 86400000;
constexpr int kProgressEvery = 2000;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A file of the folder named so without regard to letter case, as the tables come from a system
// that did not tell "TOWAR.DB" from "Towar.db".
QString findFile(const QString& folder, const QString& name) {
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return {};
}

struct Cancelled {};

// One table of the layout and where it lives.
struct Target {
    engine::TableDef def;
    QString subfolder; // relative to the source and destination folders; empty for the folder
};

QList<Target> targets(bool mainFolder) {
    QList<Target> list;
    if (mainFolder) {
        for (const auto& def : store::mainFolderTables())
            list << Target{def, {}};
        list << Target{store::offersTable(), store::kOffersFolder};
    } else {
        for (const auto& def : store::catalogueTables())
            list << Target{def, {}};
    }
    return list;
}

bool looksLikePicture(const QByteArray& b) {
    return b.startsWith("BM") || b.startsWith("\x89PNG") || b.startsWith("\xff\xd8") ||
           b.startsWith("GIF8") || b.startsWith("II*") || b.startsWith("MM\0*");
}

QVariant toValue(const SourceField& from, const engine::FieldDef& to, const SourceValue& v,
                 TextDecoder& text) {
    using T = engine::FieldType;
    switch (v.kind) {
    case SourceValue::Kind::Null:
        return {};
    case SourceValue::Kind::Bytes:
        if (to.type == T::Graphic) {
            // Paradox puts an 8-byte header before the picture of a graphic field.
            if (from.type == pxfGraphic && v.bytes.size() > 8 && !looksLikePicture(v.bytes) &&
                looksLikePicture(v.bytes.mid(8)))
                return v.bytes.mid(8);
            return v.bytes;
        }
        if (from.type == pxfBLOb || from.type == pxfGraphic || from.type == pxfOLE)
            return {}; // binary data in a text field: nothing sensible to keep
        return text.decode(v.bytes);
    case SourceValue::Kind::Integer:
        if (from.type == pxfDate) return QDate::fromJulianDay(v.integer + kJulianDayOfDayZero);
        if (from.type == pxfTime)
            return QTime::fromMSecsSinceStartOfDay(int(v.integer % kMsPerDay));
        if (to.type == T::Logical || from.type == pxfLogical) return v.integer != 0;
        return v.integer;
    case SourceValue::Kind::Real:
        if (from.type == pxfTimestamp) {
            const qint64 ms = qint64(v.real);
            const QDate day = QDate::fromJulianDay(ms / kMsPerDay + kJulianDayOfDayZero);
            return QDateTime(day, QTime::fromMSecsSinceStartOfDay(int(ms % kMsPerDay)));
        }
        return v.real;
    }
    return {};
}

// Writes the rows of one source table into its layout's table as they are read.
class TableImport : public RowSink {
public:
    TableImport(TableReport& report, const engine::TableDef& def, engine::Table* table,
                TextDecoder& text, const Progress& progress, qint64 total)
        : report_(report), def_(def), table_(table), text_(text), progress_(progress),
          total_(total) {}

    void fields(const QList<SourceField>& fields) override {
        source_ = fields;
        map_.clear();
        QStringList found;
        for (const SourceField& f : fields) {
            const engine::FieldDef* to = def_.field(f.name);
            map_ << (to ? int(to - def_.fields.constData()) : -1);
            if (to)
                found << to->name;
            else
                report_.skippedFields << f.name;
        }
        for (const auto& f : def_.fields)
            if (!found.contains(f.name)) report_.missingFields << f.name;
    }

    void row(qint64 recordNumber, const QList<SourceValue>& values) override {
        if (table_) {
            try {
                table_->append();
                for (qsizetype i = 0; i < values.size(); ++i) {
                    if (map_[i] < 0) continue;
                    const engine::FieldDef& to = def_.fields[map_[i]];
                    QVariant value = toValue(source_[i], to, values[i], text_);
                    if (!value.isValid()) continue;
                    if (to.type == engine::FieldType::AutoInc)
                        highest_ = std::max(highest_, value.toLongLong());
                    if (isPasswordField(to) && !value.toString().isEmpty() &&
                        !store::isPasswordHash(value.toString()))
                        value = store::hashPassword(value.toString());
                    table_->setValue(to.name, value);
                }
                table_->post();
            } catch (const EngineError& e) {
                table_->cancel();
                unreadableRow(recordNumber, e.message());
                return;
            }
        }
        ++report_.rows;
        tick();
    }

    void unreadableRow(qint64 recordNumber, const QString& why) override {
        report_.unreadableRows << QStringLiteral("wiersz %1: %2").arg(recordNumber + 1).arg(why);
        tick();
    }

    void unreadableField(qint64 recordNumber, const QString& field, const QString& why) override {
        report_.unreadableFields
            << QStringLiteral("%1 w wierszu %2: %3").arg(field).arg(recordNumber + 1).arg(why);
    }

    qint64 highest() const { return highest_; }

private:
    bool isPasswordField(const engine::FieldDef& f) const {
        return def_.name == QLatin1String("Users") &&
               f.name.compare(QLatin1String("User_Haslo"), Qt::CaseInsensitive) == 0;
    }
    void tick() {
        if (progress_ && ++done_ % kProgressEvery == 0 && !progress_(def_.name, done_, total_))
            throw Cancelled{};
    }

    TableReport& report_;
    const engine::TableDef& def_;
    engine::Table* table_;
    TextDecoder& text_;
    const Progress& progress_;
    qint64 total_;
    qint64 done_ = 0;
    qint64 highest_ = 0;
    QList<SourceField> source_;
    QList<int> map_;
};

bool holdsData(const QString& folder, bool mainFolder) {
    if (!engine::Database::exists(folder)) return false;
    try {
        return engine::Database::open(folder)->hasTable(mainFolder ? QStringLiteral("Pelk")
                                                                   : QStringLiteral("Towar"));
    } catch (const EngineError&) {
        return true; // a database that cannot even be opened is not overwritten unasked
    }
}

QString encodingFor(const ImportOptions& o, const FileInfo& info) {
    if (!o.encoding.isEmpty()) return o.encoding;
    if (info.codePage > 0 && !TextDecoder::canonical(QString::number(info.codePage)).isEmpty())
        return QString::number(info.codePage);
    return QStringLiteral("CP1250");
}

void copyTextFiles(const QString& from, const QString& to, const QString& prefix,
                   QStringList& copied) {
    const QDir dir(from);
    for (const QString& entry : dir.entryList(QDir::Files)) {
        const QString suffix = QFileInfo(entry).suffix().toLower();
        if (suffix != QLatin1String("rtf") && suffix != QLatin1String("txt")) continue;
        const QString target = QDir(to).filePath(entry);
        QFile::remove(target);
        if (!QFile::copy(dir.filePath(entry), target))
            throw EngineError(K::Io, QStringLiteral("Nie można skopiować pliku %1. Nic nie "
                                                    "zostało zaimportowane.")
                                         .arg(native(dir.filePath(entry))));
        copied << prefix + entry;
    }
}

// Moves what was written in `temp` into `dest`, entry by entry; entries of `dest` of the same
// names (and the journal files of its database) are set aside first and put back should a move
// fail, so `dest` ends either as it was or with the whole import.
void moveIntoPlace(const QString& temp, const QString& dest) {
    QDir destDir(dest);
    if (!destDir.exists()) {
        if (!QDir().rename(temp, dest))
            throw EngineError(K::Io, QStringLiteral("Nie można utworzyć folderu %1. Nic nie "
                                                    "zostało zaimportowane.")
                                         .arg(native(dest)));
        return;
    }
    const QString tag = QStringLiteral(".pelk-old-%1-").arg(QRandomGenerator::global()->generate());
    QStringList entries =
        QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QStringList aside;
    for (const char* s : {"-journal", "-wal", "-shm"})
        aside << engine::Database::fileName() + QLatin1String(s);
    aside += entries;
    QStringList setAside, movedIn;
    auto undo = [&] {
        for (const QString& e : std::as_const(movedIn))
            QDir().rename(destDir.filePath(e), QDir(temp).filePath(e));
        for (const QString& e : std::as_const(setAside))
            QDir().rename(destDir.filePath(tag + e), destDir.filePath(e));
    };
    for (const QString& e : std::as_const(aside)) {
        if (!QFileInfo::exists(destDir.filePath(e))) continue;
        if (!QDir().rename(destDir.filePath(e), destDir.filePath(tag + e))) {
            undo();
            throw EngineError(K::Io, QStringLiteral("Nie można zastąpić %1. Nic nie zostało "
                                                    "zaimportowane.")
                                         .arg(native(destDir.filePath(e))));
        }
        setAside << e;
    }
    for (const QString& e : std::as_const(entries)) {
        if (!QDir().rename(QDir(temp).filePath(e), destDir.filePath(e))) {
            undo();
            throw EngineError(K::Io, QStringLiteral("Nie można przenieść %1 do folderu %2. Nic "
                                                    "nie zostało zaimportowane.")
                                         .arg(e, native(dest)));
        }
        movedIn << e;
    }
    for (const QString& e : std::as_const(setAside)) {
        const QString old = destDir.filePath(tag + e);
        if (QFileInfo(old).isDir())
            QDir(old).removeRecursively();
        else
            QFile::remove(old);
    }
    QDir(temp).removeRecursively();
}

void prepare(const QString& folder, bool mainFolder) {
    if (!QDir().mkpath(folder))
        throw EngineError(K::Io,
                          QStringLiteral("Nie można utworzyć folderu %1.").arg(native(folder)));
    if (!mainFolder) {
        store::createCatalogue(folder);
        return;
    }
    const QDir dir(folder);
    for (const QString& sub :
         {store::kTempFolder, store::kBackupFolder, store::kOffersFolder, store::kDataFolder})
        QDir().mkpath(dir.filePath(sub));
    auto db = engine::Database::open(folder, engine::Database::Mode::Create);
    db->transaction([&] {
        for (const auto& def : store::mainFolderTables())
            db->createTable(def, true);
    });
    engine::Database::open(dir.filePath(store::kOffersFolder), engine::Database::Mode::Create)
        ->createTable(store::offersTable(), true);
}

void importTable(const ImportOptions& o, const Target& t, const QString& into, TableReport& report,
                 const Progress& progress) {
    const QString folder = t.subfolder.isEmpty() ? o.source : QDir(o.source).filePath(t.subfolder);
    report.table = t.def.name;
    const QString path = findFile(folder, t.def.name + QStringLiteral(".db"));
    if (path.isEmpty()) {
        for (const auto& f : t.def.fields)
            report.missingFields << f.name;
        return;
    }
    report.file = path;
    auto broken = [&](const QString& why) {
        return EngineError(K::Io,
                           QStringLiteral("Tabela %1 (%2) jest uszkodzona: %3. Nic nie zostało "
                                          "zaimportowane.")
                               .arg(t.def.name, native(path), why),
                           t.def.name);
    };
    QString problem;
    const auto info = checkTableFile(path, problem);
    if (!info) throw broken(problem);
    QString mb = findFile(folder, QFileInfo(path).completeBaseName() + QStringLiteral(".mb"));
    if (!mb.isEmpty() && !checkBlobFile(mb, problem)) throw broken(problem);

    std::unique_ptr<TextDecoder> text;
    try {
        text = std::make_unique<TextDecoder>(encodingFor(o, *info));
    } catch (const std::invalid_argument&) {
        throw EngineError(K::BadValue,
                          QStringLiteral("Nieznana strona kodowa %1.").arg(o.encoding));
    }
    report.encoding = text->name();

    std::shared_ptr<engine::Database> db;
    std::unique_ptr<engine::Table> table;
    if (!into.isEmpty()) {
        const QString target = t.subfolder.isEmpty() ? into : QDir(into).filePath(t.subfolder);
        db = engine::Database::open(target);
        // The source's rows take the place of those a new catalogue starts with.
        db->emptyTable(t.def.name);
        table = std::make_unique<engine::Table>(target, t.def.name);
        table->open();
        db->begin();
    }
    TableImport sink(report, t.def, table.get(), *text, progress, info->records);
    try {
        // Each table starts with a step, so that a cancel is seen between small tables too.
        if (progress && !progress(t.def.name, 0, info->records)) throw Cancelled{};
        readTable(path, mb, sink);
        if (db) {
            const auto autoinc =
                std::find_if(t.def.fields.begin(), t.def.fields.end(),
                             [](const auto& f) { return f.type == engine::FieldType::AutoInc; });
            if (autoinc != t.def.fields.end())
                db->noteAutoInc(t.def.name, autoinc->name, std::max(sink.highest(), info->autoInc));
            db->commit();
            db->analyze(t.def.name);
        }
    } catch (const BrokenTable& e) {
        if (db) db->rollback();
        throw broken(e.why());
    } catch (...) {
        if (db) db->rollback();
        throw;
    }
}

// Which Polish form a count takes: 0 for one ("1 wiersz"), 1 for those ending in 2-4 but not
// 12-14 ("3 wiersze"), 2 for the rest ("5 wierszy", "12 wierszy", "0 wierszy").
int pluralForm(qint64 n) {
    if (n == 1) return 0;
    const qint64 last = n % 10, lastTwo = n % 100;
    return last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? 1 : 2;
}

} // namespace

QStringList ImportReport::lines() const {
    QStringList out;
    for (const TableReport& t : tables) {
        if (t.file.isEmpty()) {
            out << QStringLiteral("%1: brak w źródle, utworzona pusta").arg(t.table);
            continue;
        }
        const int form = pluralForm(t.rows);
        static const QString rowWords[] = {QStringLiteral("wiersz"), QStringLiteral("wiersze"),
                                           QStringLiteral("wierszy")};
        static const QString writtenWords[] = {
            QStringLiteral("zapisany"), QStringLiteral("zapisane"), QStringLiteral("zapisanych")};
        out << QStringLiteral("%1: %2 %3 %4 (%5)")
                   .arg(t.table)
                   .arg(t.rows)
                   .arg(rowWords[form],
                        dryRun ? QStringLiteral("do zapisania") : writtenWords[form], t.encoding);
        if (!t.skippedFields.isEmpty())
            out << QStringLiteral("  pominięte pola: %1")
                       .arg(t.skippedFields.join(QStringLiteral(", ")));
        if (!t.missingFields.isEmpty())
            out << QStringLiteral("  pola puste (brak w źródle): %1")
                       .arg(t.missingFields.join(QStringLiteral(", ")));
        for (const QString& r : t.unreadableRows)
            out << QStringLiteral("  nieodczytany %1").arg(r);
        for (const QString& f : t.unreadableFields)
            out << QStringLiteral("  nieodczytane pole %1").arg(f);
    }
    for (const QString& f : copiedFiles)
        out << QStringLiteral("Skopiowano plik %1").arg(f);
    return out;
}

bool holdsTables(const QString& source, bool mainFolder) {
    for (const Target& t : targets(mainFolder))
        if (!findFile(t.subfolder.isEmpty() ? source : QDir(source).filePath(t.subfolder),
                      t.def.name + QStringLiteral(".db"))
                 .isEmpty())
            return true;
    return false;
}

ImportReport importParadox(const ImportOptions& o, const Progress& progress) {
    if (!QFileInfo(o.source).isDir())
        throw EngineError(K::Io, QStringLiteral("Folder %1 nie istnieje.").arg(native(o.source)));
    if (!o.encoding.isEmpty() && TextDecoder::canonical(o.encoding).isEmpty())
        throw EngineError(K::BadValue,
                          QStringLiteral("Nieznana strona kodowa %1.").arg(o.encoding));
    const QList<Target> list = targets(o.mainFolder);
    if (!holdsTables(o.source, o.mainFolder))
        throw EngineError(K::MissingTable,
                          QStringLiteral("W folderze %1 nie ma tabel %2.")
                              .arg(native(o.source), o.mainFolder
                                                         ? QStringLiteral("folderu głównego")
                                                         : QStringLiteral("katalogu")));
    const QString dest = QDir(o.destination).absolutePath();
    if (!o.dryRun && !o.replace && holdsData(dest, o.mainFolder))
        throw EngineError(
            K::State, QStringLiteral("W folderze %1 jest już %2. Nic nie zostało "
                                     "zaimportowane.")
                          .arg(native(dest), o.mainFolder ? QStringLiteral("folder główny programu")
                                                          : QStringLiteral("katalog")));

    ImportReport report;
    report.dryRun = o.dryRun;
    QString temp;
    if (!o.dryRun) {
        const QFileInfo d(dest);
        if (!QDir().mkpath(d.absolutePath()))
            throw EngineError(
                K::Io,
                QStringLiteral("Nie można utworzyć folderu %1.").arg(native(d.absolutePath())));
        temp = d.absolutePath() + u'/' +
               QStringLiteral(".%1.import-%2")
                   .arg(d.fileName())
                   .arg(QRandomGenerator::global()->generate());
    }
    try {
        if (!temp.isEmpty()) prepare(temp, o.mainFolder);
        for (const Target& t : list) {
            report.tables << TableReport{};
            importTable(o, t, temp, report.tables.last(), progress);
        }
        if (o.mainFolder) {
            const QString into = temp.isEmpty() ? QString() : temp;
            QStringList& copied = report.copiedFiles;
            if (!into.isEmpty()) {
                copyTextFiles(o.source, into, {}, copied);
                const QString offers = QDir(o.source).filePath(store::kOffersFolder);
                if (QFileInfo(offers).isDir())
                    copyTextFiles(offers, QDir(into).filePath(store::kOffersFolder),
                                  store::kOffersFolder + u'/', copied);
            }
        }
        if (!temp.isEmpty()) moveIntoPlace(temp, dest);
    } catch (const Cancelled&) {
        if (!temp.isEmpty()) QDir(temp).removeRecursively();
        throw EngineError(K::State, kImportCancelledMessage);
    } catch (...) {
        if (!temp.isEmpty()) QDir(temp).removeRecursively();
        throw;
    }
    return report;
}

} // namespace paradox
