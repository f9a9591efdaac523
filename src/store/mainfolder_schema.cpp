#include "store/mainfolder_schema.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/folderpaths.h"
#include "store/passwords.h"
#include "store/schema_text.h"
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace store {

const QString kTempFolder = QStringLiteral("TMP");
const QString kBackupFolder = QStringLiteral("Kopie");
const QString kOffersFolder = QStringLiteral("Oferty");
const QString kDataFolder = QStringLiteral("Dane");
const QString kDefaultCatalogueFolder = QStringLiteral("Dane/Glowna");
const QString kHeaderFile = QStringLiteral("naglowek.rtf");
const QString kFooterFile = QStringLiteral("stopka.rtf");
const QString kCatalogueListFile = QStringLiteral("Lista.txt");

namespace {

QString pelkFields() {
    QStringList f;
    f << QStringLiteral(
        "Pelk_Nr autoinc, Pelk_Firma_Nr longint, Pelk_Kontakt_Nr longint, Pelk_Waluta_Nr longint,"
        "Pelk_Logo graphic 10, Pelk_Porada_Zam logical, Pelk_Podpis logical,"
        "Pelk_Katalog_Glowny alpha 255, Pelk_Przegladarka alpha 255, Pelk_Haslo_OK logical,"
        "Pelk_Kopia_Wykonuj logical, Pelk_Kopia_Aplikacja alpha 250, Pelk_Kopia_Polecenie alpha "
        "250,"
        "Pelk_Kopia_Co_Ile longint, Pelk_Kopia_Data date, Pelk_Kopia_Potwierdz logical,"
        "Pelk_Zam_Od_Nr longint, Pelk_Zam_Do_Nr longint, Pelk_Zam_Faktura_Nr longint");
    for (auto kind : {"Od", "Do"})
        for (int i = 1; i <= 6; ++i)
            f << QStringLiteral("Pelk_Zam_%1%2 alpha 10").arg(QLatin1String(kind)).arg(i);
    // The payment form field is spelt Forma_plat for client orders and Forma_Plat for supplier
    // ones.
    for (auto [kind, form] : {std::pair{"Od", "Forma_plat"}, std::pair{"Do", "Forma_Plat"}}) {
        const QString k = QLatin1String(kind);
        f << QStringLiteral("Pelk_Zam_%1_%2 alpha 30").arg(k, QLatin1String(form))
          << QStringLiteral("Pelk_Zam_%1_Transport alpha 20").arg(k);
        for (int i = 1; i <= 3; ++i)
            f << QStringLiteral("Pelk_Zam_%1_Naglowek%2 alpha 100").arg(k).arg(i);
        for (int i = 1; i <= 3; ++i)
            f << QStringLiteral("Pelk_Zam_%1_Stopka%2 alpha 100").arg(k).arg(i);
    }
    f << QStringLiteral(
        "Pelk_Zam_Od_Autonumer logical, Pelk_Zam_Do_Autonumer logical, Pelk_Wyswietl_Nazwa_Nr "
        "longint,"
        "Pelk_Zam_Do_Symb_Wid logical, Pelk_Zam_Do_Kod_p_Wid logical, Pelk_Zam_Od_Symb_Wid logical,"
        "Pelk_Zam_Od_Kod_p_Wid logical, Pelk_Wydruk_Jezyk alpha 3, Pelk_Nazwa2_na_wydr logical");
    return f.join(u',');
}

QList<engine::TableDef> buildMainTables() {
    using detail::tableFromText;
    return {
        tableFromText(QStringLiteral("Pelk"), pelkFields(),
                      QStringLiteral("PrimaryIndex(Pelk_Nr)")),
        tableFromText(QStringLiteral("Bazy"),
                      QStringLiteral("Baza_Nr autoinc, Baza_Nazwa alpha 50, Baza_Sciezka alpha 255,"
                                     "Baza_User_Nr longint"),
                      QStringLiteral("PrimaryIndex(Baza_Nr) wg_Baza_Nazwa(Baza_Nazwa)")),
        tableFromText(QStringLiteral("Users"),
                      QStringLiteral("User_Nr autoinc, User_Nazwa alpha 30, User_Haslo alpha 30,"
                                     "User_Baza_Nazwa alpha 50, User_Baza_Sciezka alpha 255,"
                                     "User_Uprawnienia longint, User_Administrator logical,"
                                     "User_Ceny logical, User_Podpis graphic 10"),
                      QStringLiteral("PrimaryIndex(User_Nr)")),
        tableFromText(QStringLiteral("Skojarz"),
                      QStringLiteral("Skojarzenia_Nr autoinc, Skojarzenia_Aplikacja alpha 100,"
                                     "Skojarzenia_Rozszerzenie alpha 3"),
                      QStringLiteral("PrimaryIndex(Skojarzenia_Nr)")),
    };
}

[[noreturn]] void ioError(const QString& message) {
    throw engine::EngineError(engine::EngineError::Kind::Io, message);
}

void makeFolder(const QString& path) {
    if (!QDir().mkpath(path))
        ioError(
            QStringLiteral("Nie można utworzyć folderu %1.").arg(QDir::toNativeSeparators(path)));
}

void writeTextFile(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& l : lines)
        bytes += l.toUtf8() + "\r\n";
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        ioError(QStringLiteral("Nie można zapisać pliku %1.").arg(QDir::toNativeSeparators(path)));
}

void writeRow(const QString& folder, const QString& table,
              std::initializer_list<std::pair<const char*, QVariant>> values) {
    engine::Table t(folder, table);
    t.open();
    t.append();
    for (const auto& [field, value] : values)
        t.setValue(QLatin1String(field), value);
    t.post();
    t.close();
}

void writeSettingsRow(const QString& folder, const MainFolderSetup& s) {
    const QString number = QStringLiteral("NUMER"), slash = QStringLiteral("/"),
                  year = QStringLiteral("ROK");
    writeRow(folder, QStringLiteral("Pelk"),
             {{"Pelk_Firma_Nr", 1},
              {"Pelk_Waluta_Nr", 1},
              {"Pelk_Katalog_Glowny", storedFolder(s.catalogueExpanded, folder)},
              {"Pelk_Przegladarka", defaultBrowser()},
              {"Pelk_Haslo_OK", s.passwordProtection},
              {"Pelk_Kopia_Co_Ile", 2},
              {"Pelk_Kopia_Potwierdz", true},
              {"Pelk_Zam_Od_Nr", 1},
              {"Pelk_Zam_Do_Nr", 1},
              {"Pelk_Zam_Od1", number},
              {"Pelk_Zam_Od2", slash},
              {"Pelk_Zam_Od3", year},
              {"Pelk_Zam_Do1", number},
              {"Pelk_Zam_Do2", slash},
              {"Pelk_Zam_Do3", year},
              {"Pelk_Zam_Od_Autonumer", true},
              {"Pelk_Zam_Do_Autonumer", true},
              {"Pelk_Wyswietl_Nazwa_Nr", 1},
              {"Pelk_Zam_Do_Symb_Wid", true},
              {"Pelk_Zam_Do_Kod_p_Wid", true},
              {"Pelk_Zam_Od_Symb_Wid", true},
              {"Pelk_Zam_Od_Kod_p_Wid", true},
              {"Pelk_Wydruk_Jezyk", QStringLiteral("PL")},
              {"Pelk_Nazwa2_na_wydr", false}});
}

} // namespace

const QList<engine::TableDef>& mainFolderTables() {
    static const QList<engine::TableDef> tables = buildMainTables();
    return tables;
}

const engine::TableDef& offersTable() {
    static const engine::TableDef def = detail::tableFromText(
        QStringLiteral("Oferty"),
        QStringLiteral(
            "Oferty_Nr autoinc, Oferty_Data date, Oferty_Firma alpha 30, Oferty_Opis alpha 50"),
        QStringLiteral(
            "PrimaryIndex(Oferty_Nr) wg_Oferty_Firma(Oferty_Firma) wg_Oferty_Opis(Oferty_Opis) "
            "wg_Oferty_Data(Oferty_Data)"));
    return def;
}

QString defaultBrowser() {
#if defined(Q_OS_WIN)
    return QStringLiteral("explorer.exe");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("open");
#else
    return QStringLiteral("xdg-open");
#endif
}

bool isMainFolder(const QString& folder) {
    if (!engine::Database::exists(folder)) return false;
    try {
        return engine::Database::open(folder)->hasTable(QStringLiteral("Pelk"));
    } catch (const engine::EngineError&) {
        return false;
    }
}

void createMainFolder(const QString& mainFolder, const MainFolderSetup& setup) {
    const QDir main(mainFolder);
    for (const QString& sub : {kTempFolder, kBackupFolder, kOffersFolder, kDataFolder})
        makeFolder(main.filePath(sub));
    if (setup.makeDefaultCatalogueFolder) makeFolder(main.filePath(kDefaultCatalogueFolder));

    const QStringList greeting{QStringLiteral("System Informacji "), QStringLiteral("Pelk !")};
    writeTextFile(main.filePath(kHeaderFile), greeting);
    writeTextFile(main.filePath(kFooterFile), greeting);
    writeTextFile(main.filePath(kCatalogueListFile), {setup.catalogueShown});

    // Offers written so far stay, whatever else the setup replaces.
    auto offers =
        engine::Database::open(main.filePath(kOffersFolder), engine::Database::Mode::Create);
    if (!offers->hasTable(offersTable().name)) offers->createTable(offersTable(), false);

    const QString folder = main.absolutePath();
    auto db = engine::Database::open(folder, engine::Database::Mode::Create);
    db->transaction([&] {
        for (const auto& def : mainFolderTables())
            db->createTable(def, /*replace*/ true);
        writeSettingsRow(folder, setup);
        writeRow(folder, QStringLiteral("Bazy"),
                 {{"Baza_Sciezka", setup.catalogueShown}, {"Baza_User_Nr", 1}});
        writeRow(folder, QStringLiteral("Users"),
                 {{"User_Nazwa", setup.adminName},
                  {"User_Haslo", hashPassword(setup.adminPassword)},
                  {"User_Baza_Sciezka", storedFolder(setup.catalogueShown, folder)},
                  {"User_Uprawnienia", 2},
                  {"User_Administrator", true},
                  {"User_Ceny", true}});
        const std::pair<const char*, const char*> associations[] = {{"Winword.exe", "doc"},
                                                                    {"Pbrush.exe", "bmp"},
                                                                    {"Notepad.exe", "txt"},
                                                                    {"Iexplore.exe", "htm"}};
        for (const auto& [program, extension] : associations)
            writeRow(folder, QStringLiteral("Skojarz"),
                     {{"Skojarzenia_Aplikacja", QString::fromLatin1(program)},
                      {"Skojarzenia_Rozszerzenie", QString::fromLatin1(extension)}});
    });
}

} // namespace store
