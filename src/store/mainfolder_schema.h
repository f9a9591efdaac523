#pragma once
#include "engine/fields.h"
#include <QList>
#include <QString>

namespace store {

// The installation-wide tables of the main folder's own database: Pelk (the settings record),
// Bazy, Users and Skojarz, in the order they are created.
const QList<engine::TableDef>& mainFolderTables();
// The offer list, kept in the main folder's subfolder kOffersFolder, a database of its own.
const engine::TableDef& offersTable();

// Subfolders of the main folder.
extern const QString kTempFolder;             // "TMP": working tables of the dialogs
extern const QString kBackupFolder;           // "Kopie"
extern const QString kOffersFolder;           // "Oferty": Oferty table and the offers' text files
extern const QString kDataFolder;             // "Dane": parent of the catalogue folders
extern const QString kDefaultCatalogueFolder; // "Dane/Glowna", proposed for the default catalogue
// Text files of the main folder.
extern const QString kHeaderFile;        // "naglowek.rtf"
extern const QString kFooterFile;        // "stopka.rtf"
extern const QString kCatalogueListFile; // "Lista.txt"

// What the first-run wizard asks.
struct MainFolderSetup {
    QString catalogueShown;                  // the default catalogue folder as shown in the wizard
    QString catalogueExpanded;               // the same folder as a full path
    bool makeDefaultCatalogueFolder = false; // create Dane/Glowna
    bool passwordProtection = true;          // "Zabezpiecz program hasłem"
    QString adminName;
    QString adminPassword; // as typed; Users keeps only its hash (passwords.h)
};

// A program the platform starts with a web address as its argument.
QString defaultBrowser();

// True when the folder's database holds the settings table, i.e. the first-run setup has been
// done there. A missing folder or database is simply false.
bool isMainFolder(const QString& folder);

// Writes what the first run sets up: the subfolders, the text files, the offer table (only when
// it is missing) and the tables Pelk, Bazy, Users, Skojarz (replacing them) with their first
// rows. Those four tables are written in one transaction, last, so that a main folder either has
// a complete settings record or none (and the next start runs the setup again). The default
// catalogue itself is the caller's (createCatalogue). Throws engine::EngineError.
void createMainFolder(const QString& mainFolder, const MainFolderSetup& setup);

} // namespace store
