#include "store/folderpaths.h"
#include "engine/database.h"
#include <QDir>
#include <QFileInfo>

namespace store {

namespace {

QString slashed(QString path) {
    path.replace(u'\\', u'/'); // settings written on Windows
    return path.trimmed();
}

} // namespace

bool serverLocation(const QString& folder) {
    return folder.contains(QLatin1String("://"));
}

QString storedFolder(const QString& folder, const QString& mainFolder) {
    if (folder.trimmed().isEmpty() || mainFolder.isEmpty() || serverLocation(folder)) return folder;
    const QDir main(QDir::cleanPath(QDir(mainFolder).absolutePath()));
    const QString path = QDir::cleanPath(QDir(main).absoluteFilePath(slashed(folder)));
    const QString relative = main.relativeFilePath(path);
    if (relative.isEmpty() || relative == u"." || relative.startsWith(QLatin1String("..")) ||
        QDir::isAbsolutePath(relative))
        return folder;
    return QDir::toNativeSeparators(relative);
}

FoundFolder foundFolder(const QString& stored, const QString& mainFolder) {
    const QString text = slashed(stored);
    if (text.isEmpty()) return {};
    if (serverLocation(text)) return {stored.trimmed()};
    const QDir main(mainFolder);
    const QString path = QDir::cleanPath(main.absoluteFilePath(text));
    if (!QDir::isAbsolutePath(text) || engine::Database::exists(path)) return {path};
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype n = 1; n <= parts.size(); ++n) {
        const QString candidate =
            QDir::cleanPath(main.absoluteFilePath(parts.mid(parts.size() - n).join(u'/')));
        if (engine::Database::exists(candidate)) return {candidate, true};
    }
    return {path};
}

} // namespace store
