#include "preferences/folders.h"
#include "shell/cataloguelists.h"
#include "store/folderpaths.h"
#include <QDir>

namespace preferences {

QString shownCatalogue(const QString& stored, const QString& mainFolder) {
    if (store::serverLocation(stored)) return stored.trimmed();
    return QDir::toNativeSeparators(store::foundFolder(stored, mainFolder).folder);
}

QString catalogueToStore(const QString& shown, const QString& storedBefore,
                         const QString& mainFolder) {
    if (shown == shownCatalogue(storedBefore, mainFolder)) return storedBefore;
    if (store::serverLocation(shown)) return shown;
    return store::storedFolder(QDir::fromNativeSeparators(shown), mainFolder);
}

QString catalogueFolderOf(const QString& picked, const QString& mainFolder) {
    const QString folder = shell::expandedFolder(picked, mainFolder);
    if (!shell::catalogueTableNames(folder).contains(QStringLiteral("Dane"), Qt::CaseInsensitive))
        return {};
    return shell::shownFolder(folder);
}

} // namespace preferences
