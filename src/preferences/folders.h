#pragma once
#include <QString>

// The default catalogue as the preferences show it and store it.
namespace preferences {

// The stored default catalogue in full, in the platform's form; a server location as given.
QString shownCatalogue(const QString& stored, const QString& mainFolder);
// What the settings record receives for the catalogue `shown`: the text stored before when the
// catalogue is the same, else the folder by the main folder's path rule (relative inside the
// main folder, otherwise in full; a server location as given).
QString catalogueToStore(const QString& shown, const QString& storedBefore,
                         const QString& mainFolder);
// The folder `picked` in full when its database holds the catalogue's tables (the table Dane
// among them); empty otherwise.
QString catalogueFolderOf(const QString& picked, const QString& mainFolder);

} // namespace preferences
