#include "engine/database.h"
#include "store/catalogue_schema.h"
#include "store/folderpaths.h"
#include "store/mainfolder_schema.h"
#include "store/settings.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace store;

namespace {

void copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(file);
        QDir().mkpath(QFileInfo(target).path());
        ASSERT_TRUE(QFile::copy(file, target)) << target.toStdString();
    }
}

} // namespace

TEST(FolderPaths, FoldersInsideTheMainFolderAreKeptRelativeAndReadInBothForms) {
    TempFolder dir;
    const QString main = dir.sub(QStringLiteral("PELK"));
    const QString inside = main + QStringLiteral("/Dane/Glowna");
    EXPECT_EQ(QDir::fromNativeSeparators(storedFolder(inside, main)), u"Dane/Glowna");
    EXPECT_EQ(QDir::fromNativeSeparators(storedFolder(QStringLiteral("Dane\\Glowna"), main)),
              u"Dane/Glowna");
    // Outside it, or the main folder itself, stays as it was.
    const QString outside = dir.sub(QStringLiteral("Serwer/Katalog"));
    EXPECT_EQ(storedFolder(outside, main), outside);
    EXPECT_EQ(storedFolder(main + QStringLiteral("/../PELK2/Dane"), main),
              main + QStringLiteral("/../PELK2/Dane"));
    EXPECT_EQ(storedFolder(main, main), main);

    EXPECT_EQ(foundFolder(QStringLiteral("Dane/Glowna"), main).folder, inside);
    EXPECT_EQ(foundFolder(QStringLiteral("Dane\\Glowna"), main).folder, inside);
    EXPECT_EQ(foundFolder(outside, main).folder, outside);
    EXPECT_FALSE(foundFolder(outside, main).moved);
    EXPECT_TRUE(foundFolder(QString(), main).folder.isEmpty());
}

TEST(FolderPaths, ACopiedMainFolderUsesItsOwnCatalogueNotTheOriginals) {
    TempFolder dir;
    const QString original = dir.sub(QStringLiteral("Firma/PELK"));
    MainFolderSetup setup;
    setup.catalogueShown = QStringLiteral("Dane/Glowna");
    setup.catalogueExpanded = original + QStringLiteral("/Dane/Glowna");
    setup.makeDefaultCatalogueFolder = true;
    setup.passwordProtection = false;
    createMainFolder(original, setup);
    createCatalogue(setup.catalogueExpanded);

    const QString copy = dir.path() + QStringLiteral("/Kopia/PELK");
    copyTree(original, copy);
    {
        Settings s(copy);
        const FoundFolder found = foundFolder(s.text(QStringLiteral("Pelk_Katalog_Glowny")), copy);
        EXPECT_EQ(found.folder, copy + QStringLiteral("/Dane/Glowna"));
        EXPECT_FALSE(found.moved);
    }

    // Settings written before folders were kept relative name the original absolutely: while
    // it exists it is what they mean; once it is gone, the copy's own catalogue stands in.
    const QString absolute = original + QStringLiteral("/Dane/Glowna");
    EXPECT_EQ(foundFolder(absolute, copy).folder, absolute);
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("/Firma")).removeRecursively());
    const FoundFolder found = foundFolder(absolute, copy);
    EXPECT_EQ(found.folder, copy + QStringLiteral("/Dane/Glowna"));
    EXPECT_TRUE(found.moved);
    // The shortest trailing part that holds a database wins; nothing found leaves the path.
    EXPECT_EQ(foundFolder(dir.path() + QStringLiteral("/Gdzies/Indziej"), copy).folder,
              dir.path() + QStringLiteral("/Gdzies/Indziej"));
    EXPECT_FALSE(foundFolder(dir.path() + QStringLiteral("/Gdzies/Indziej"), copy).moved);
}

TEST(FolderPaths, AServerLocationIsKeptAndReadAsGiven) {
    TempFolder dir;
    const QString main = dir.sub(QStringLiteral("PELK"));
    const QString server = QStringLiteral("postgresql://serwer/pelk?schema=glowna");
    EXPECT_EQ(storedFolder(server, main), server);
    const FoundFolder found = foundFolder(server, main);
    EXPECT_EQ(found.folder, server);
    EXPECT_FALSE(found.moved);
}
