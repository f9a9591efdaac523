#include "shell/cataloguelists.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/catalogue_schema.h"
#include "store/folderpaths.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "ui/messages.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace shell {

namespace {

const QString kPath = QStringLiteral("Baza_Sciezka");
const QString kName = QStringLiteral("Baza_Nazwa");
const QString kUser = QStringLiteral("Baza_User_Nr");

QString listFile(const QString& mainFolder) {
    return QDir(mainFolder).filePath(store::kCatalogueListFile);
}

// The favourites as the main window holds them; opened on first use, since only the login
// opens them at start.
engine::Table& favourites(store::MainState& s) {
    auto& t = s.TBazy;
    if (!t.isOpen()) {
        if (t.databaseName().isEmpty()) t.setDatabaseName(s.MainFolder);
        t.open();
    }
    return t;
}

} // namespace

QString expandedFolder(const QString& folder, const QString& base) {
    QString f = folder.trimmed();
    if (f.isEmpty()) return {};
    if (store::serverLocation(f)) return f;
    f.replace(u'\\', u'/'); // lists and settings written on Windows
    const QString path = QDir::cleanPath(QDir(base).absoluteFilePath(f));
    // Links are resolved in the part that exists; a folder still to be made keeps its own
    // name below it.
    QString existing = path;
    QStringList below;
    for (;;) {
        const QFileInfo info(existing);
        if (info.exists()) {
            const QString canonical = info.canonicalFilePath();
            if (canonical.isEmpty()) return path;
            below.prepend(canonical);
            return QDir::cleanPath(below.join(u'/'));
        }
        const QString parent = info.path();
        if (parent == existing || parent.isEmpty()) return path;
        below.prepend(info.fileName());
        existing = parent;
    }
}

bool sameFolder(const QString& a, const QString& b, const QString& base) {
    const QString x = expandedFolder(a, base);
    if (x.isEmpty()) return false;
    if (store::serverLocation(x)) return x == expandedFolder(b, base);
#ifdef Q_OS_WIN
    return x.compare(expandedFolder(b, base), Qt::CaseInsensitive) == 0;
#else
    return x == expandedFolder(b, base);
#endif
}

QString shownFolder(const QString& folder) {
    return store::serverLocation(folder) ? folder.trimmed() : QDir::toNativeSeparators(folder);
}

QStringList catalogueTableNames(const QString& folder) {
    if (folder.isEmpty() || !engine::Database::exists(folder)) return {};
    try {
        const auto db = engine::Database::open(folder, engine::Database::Mode::MustExist);
        const QStringList tables = db->tables();
        for (const QString& t : tables)
            if (store::catalogueTable(t)) return tables;
    } catch (const engine::EngineError&) {
        // Not a database this program can read: nothing to open there.
    }
    return {};
}

QStringList readCatalogueList(const QString& mainFolder, bool* ok) {
    if (ok) *ok = true;
    QFile f(listFile(mainFolder));
    if (!f.exists()) return {};
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok) *ok = false;
        return {};
    }
    QStringList lines;
    const QString text = QString::fromUtf8(f.readAll());
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (!line.trimmed().isEmpty()) lines << line;
    }
    return lines;
}

bool writeCatalogueList(const QString& mainFolder, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += l.toUtf8() + "\r\n";
    const QString path = listFile(mainFolder);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        ui::messages().information(
            QStringLiteral("Nie można zapisać pliku %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

bool addToCatalogueList(const QString& mainFolder, const QString& folder) {
    bool readable = true;
    QStringList lines = readCatalogueList(mainFolder, &readable);
    if (!readable) {
        // Writing now would lose every line the file holds.
        ui::messages().information(QStringLiteral("Nie można odczytać pliku %1.")
                                       .arg(QDir::toNativeSeparators(listFile(mainFolder))));
        return false;
    }
    for (const QString& line : std::as_const(lines))
        if (sameFolder(line, folder, mainFolder)) return true;
    lines << shownFolder(folder);
    return writeCatalogueList(mainFolder, lines);
}

QStringList favouriteFolders(store::MainState& state) {
    auto& t = favourites(state);
    QStringList out;
    for (t.first(); !t.eof(); t.next())
        out << t.asString(kPath);
    return out;
}

bool addFavourite(store::MainState& state) {
    const QString name = state.CurrentCatalogueName.trimmed();
    if (name.isEmpty()) return false;
    auto& t = favourites(state);
    for (t.first(); !t.eof(); t.next())
        if (sameFolder(t.asString(kPath), name, state.MainFolder)) return false;
    t.append();
    try {
        t.setValue(kPath, name);
        t.setValue(kName, name);
        t.setValue(kUser, state.CurrentUserNr);
        t.post();
    } catch (...) {
        // The half-written row is not left in the shared favourites table; the caller reports.
        t.cancel();
        throw;
    }
    return true;
}

bool removeFavourite(store::MainState& state) {
    const QString name = state.CurrentCatalogueName.trimmed();
    if (name.isEmpty()) return false;
    auto& t = favourites(state);
    QList<qint64> rows;
    for (t.first(); !t.eof(); t.next())
        if (sameFolder(t.asString(kPath), name, state.MainFolder)) rows << t.rowId();
    for (qint64 row : std::as_const(rows))
        if (t.gotoRowId(row)) t.remove();
    return !rows.isEmpty();
}

} // namespace shell
