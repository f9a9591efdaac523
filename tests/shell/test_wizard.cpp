// The first-run wizard: its pages, its checks, and the main folder and default catalogue its
// finish leaves behind, at the first start and when run again from the main window.
#include "shell/Otw_baze.h"
#include "shell/cataloguelists.h"
#include "shell/czaro.h"
#include "shell/fixture.h"
#include "store/passwords.h"
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;
using shell::TEkr_Czarodziej;

namespace {

void type(QWidget& d, const char* name, const QString& text) {
    child<QLineEdit>(d, name)->setText(text);
}
QString shownLocation(QWidget& d) {
    return child<QLabel>(d, "Label_Podstawowa_Baza_Danych")->text();
}

int rows(const QString& folder, const QString& table) {
    engine::Table t(folder, table);
    t.open();
    return t.recordCount();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<brak pliku>");
}

class WizardTest : public ShellTest {
protected:
    // Pages 1 to 4 with the owner and the administrator typed in; stops on page 4.
    static void fillIn(QDialog& d, const QString& owner = QStringLiteral("ACME"),
                       const QString& admin = QStringLiteral("Szef"),
                       const QString& password = QStringLiteral("Haslo1")) {
        click(d, "BB_Dalej");
        type(d, "Edit_Wlasciciel_Skrot", owner);
        type(d, "Edit_Nazwa1", QStringLiteral("ACME Spółka z o.o."));
        type(d, "Edit_Nazwa2", QStringLiteral("Zakład Łódź"));
        click(d, "BB_Dalej");
        click(d, "BB_Dalej");
        type(d, "Edit_Nazwa_Uzytkownika", admin);
        type(d, "Edit_Haslo", password);
    }
    static void loginAs(QDialog& d, const QString& name, const QString& password) {
        type(d, "ME_Nazwa", name);
        type(d, "ME_Haslo", password);
        click(d, "B_Zatwierdz");
    }
    QString defaultCatalogue() const { return main + QStringLiteral("/Dane/Glowna"); }
};

} // namespace

TEST_F(WizardTest, FirstStartOnAnEmptyFolderWalksThePagesAndMakesEverything) {
    // An earlier attempt left TMP behind: the other folders are made all the same.
    ASSERT_TRUE(QDir(main).mkdir(QStringLiteral("TMP")));
    QStringList pages;
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        for (const char* sub : {"Kopie", "Oferty", "Dane"})
            EXPECT_TRUE(QDir(main).exists(QLatin1String(sub))) << sub;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("System informacji PELK!"));
        auto* back = child<QPushButton>(d, "BB_Wroc");
        auto* next = child<QPushButton>(d, "BB_Dalej");
        auto page = [&]() -> QString {
            QString shown;
            for (const char* p : {"Panel1", "Panel2", "Panel3", "Panel4"})
                if (child<QWidget>(d, p)->isVisible()) shown += QLatin1String(p);
            shown += back->isVisible() ? QStringLiteral(" Wróć ") : QStringLiteral(" ");
            return shown + next->text();
        };
        pages << page();
        click(d, "BB_Dalej");
        pages << page();
        click(d, "BB_Wroc");
        pages << page();
        click(d, "BB_Dalej");
        click(d, "BB_Dalej");
        pages << page() + u' ' + shownLocation(d);
        click(d, "BB_Dalej");
        pages << page();
        click(d, "BB_Wroc");
        pages << page();
        click(d, "BB_Wroc");
        pages << page();
        click(d, "BB_Wroc");
        pages << page();
        fillIn(d);
        EXPECT_TRUE(child<QCheckBox>(d, "CB_Haslo")->isChecked());
        click(d, "BB_Dalej"); // "Zakończ"
    });
    runner.on(QStringLiteral("TEkr_Haslo"),
              [&](QDialog& d) { loginAs(d, QStringLiteral("szef"), QStringLiteral("HASLO1")); });
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    const QString location = QDir::toNativeSeparators(defaultCatalogue());
    EXPECT_EQ(pages, (QStringList{"Panel1 Dalej", "Panel2 Wróć Dalej", "Panel1 Dalej",
                                  "Panel3 Wróć Dalej " + location, "Panel4 Wróć Zakończ",
                                  "Panel3 Wróć Dalej", "Panel2 Wróć Dalej", "Panel1 Dalej"}));
    EXPECT_EQ(messages.texts(), QStringList{store::kCatalogueCreatedMessage});

    // The default catalogue: every table, the home currency and the owner.
    const QString cat = defaultCatalogue();
    EXPECT_EQ(shell::catalogueTableNames(cat).size(), store::catalogueTables().size());
    engine::Table currency(cat, QStringLiteral("Waluta"));
    currency.open();
    ASSERT_EQ(currency.recordCount(), 1);
    EXPECT_EQ(currency.asInteger(QStringLiteral("Waluta_Nr")), 1);
    EXPECT_EQ(currency.asString(QStringLiteral("Waluta_Nazwa")), QStringLiteral("PLN"));
    EXPECT_EQ(currency.asFloat(QStringLiteral("Waluta_Kurs")), 1.0);
    EXPECT_EQ(currency.asDate(QStringLiteral("Waluta_Data")), clock.date);
    engine::Table owner(cat, QStringLiteral("Firmy"));
    owner.open();
    ASSERT_EQ(owner.recordCount(), 1);
    EXPECT_EQ(owner.asInteger(QStringLiteral("Firma_Nr")), 1);
    EXPECT_EQ(owner.asString(QStringLiteral("Firma_Skrot")), QStringLiteral("ACME"));
    EXPECT_EQ(owner.asString(QStringLiteral("Firma_Nazwa1")), QStringLiteral("ACME Spółka z o.o."));
    EXPECT_EQ(owner.asString(QStringLiteral("Firma_Nazwa2")), QStringLiteral("Zakład Łódź"));
    EXPECT_TRUE(owner.asString(QStringLiteral("Firma_Nazwa3")).isEmpty());
    EXPECT_EQ(rows(cat, QStringLiteral("Towar")), 0);

    // The main folder.
    // Inside the main folder, kept relative to it: a copied main folder uses its own.
    EXPECT_EQ(QDir::fromNativeSeparators(setting(QStringLiteral("Pelk_Katalog_Glowny")).toString()),
              QStringLiteral("Dane/Glowna"));
    EXPECT_TRUE(setting(QStringLiteral("Pelk_Haslo_OK")).toBool());
    EXPECT_EQ(setting(QStringLiteral("Pelk_Przegladarka")).toString(), QStringLiteral("xdg-open"));
    EXPECT_EQ(fileBytes(main + QStringLiteral("/Lista.txt")), (location + "\r\n").toUtf8());
    EXPECT_EQ(fileBytes(main + QStringLiteral("/stopka.rtf")),
              QByteArray("System Informacji \r\nPelk !\r\n"));
    EXPECT_EQ(rows(main + QStringLiteral("/Oferty"), QStringLiteral("Oferty")), 0);
    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    ASSERT_EQ(users.recordCount(), 1);
    EXPECT_EQ(users.asString(QStringLiteral("User_Nazwa")), QStringLiteral("Szef"));
    EXPECT_TRUE(store::isPasswordHash(users.asString(QStringLiteral("User_Haslo"))));
    EXPECT_EQ(QDir(main).absoluteFilePath(users.asString(QStringLiteral("User_Baza_Sciezka"))),
              location);

    // The window after the login: the administrator in the empty default catalogue.
    auto& s = w->state();
    EXPECT_EQ(s.CurrentUserNr, 1);
    EXPECT_TRUE(s.AdminRight);
    EXPECT_EQ(s.CurrentCatalogueFolder, cat);
    EXPECT_EQ(s.HomeCurrencyNr, 1);
    EXPECT_TRUE(s.CatalogueEmpty);
    EXPECT_EQ(runner.opened(), (QStringList{"TEkr_Czarodziej", "TEkr_Haslo"}));
}

TEST_F(WizardTest, CancellingAtTheFirstStartEndsTheProgramWithNothingMade) {
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        click(d, "BB_Dalej");
        click(d, "BB_Anuluj");
    });
    auto w = startWindow();
    EXPECT_EQ(outcome, Outcome::Abandoned);
    EXPECT_FALSE(store::isMainFolder(main));
    EXPECT_FALSE(QDir(main).exists(QStringLiteral("Dane/Glowna")));
    EXPECT_FALSE(w->state().TPelk.isOpen());
    EXPECT_TRUE(messages.shown().isEmpty());
}

TEST_F(WizardTest, MissingDataIsAskedForAndAFailedFinishLeavesNoSettings) {
    shell::TForm_Pelk w;
    auto& s = w.state();
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        auto& wizard = dynamic_cast<TEkr_Czarodziej&>(d);
        fillIn(d, QStringLiteral("  "));
        click(d, "BB_Dalej");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Proszę wprowadzić nazwę skróconą właściciela !"));
        type(d, "Edit_Wlasciciel_Skrot", QStringLiteral("ACME"));
        type(d, "Edit_Haslo", QString());
        click(d, "BB_Dalej");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Proszę wprowadzić nazwę użytkownika i hasło !"));
        type(d, "Edit_Haslo", QStringLiteral("x"));
        type(d, "Edit_Nazwa_Uzytkownika", QStringLiteral(" "));
        click(d, "BB_Dalej");
        EXPECT_EQ(messages.count(), 3);
        EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(wizard.page(), 4);
        EXPECT_FALSE(store::isMainFolder(main));
        type(d, "Edit_Nazwa_Uzytkownika", QStringLiteral("Szef"));

        // A location that cannot be made: the finish stops with the error and writes no
        // settings, so the next start runs the wizard again.
        QFile blocker(main + QStringLiteral("/plik"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        wizard.runFolderPicker = [&] {
            s.PickedFolder = main + QStringLiteral("/plik/Katalog");
            s.CreateInPickedFolder = true;
        };
        click(d, "BB_Wroc");
        click(d, "SB_Lokalizacja");
        EXPECT_EQ(s.FolderPickMode, QStringLiteral("Otwórz_Nowy"));
        click(d, "BB_Dalej");
        click(d, "BB_Dalej");
        EXPECT_EQ(errorTexts().size(), 1);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(store::isMainFolder(main));
        click(d, "BB_Anuluj");
    });
    EXPECT_EQ(w.start(main), Outcome::Abandoned);
    EXPECT_FALSE(store::isMainFolder(main));
}

TEST_F(WizardTest, AnExistingCatalogueChosenWithWybierzIsUsedAsItIsWithoutTheOwner) {
    const QString existing = tmp.sub(QStringLiteral("Serwer/Katalog"));
    store::createCatalogue(existing);
    addItems(existing, {QStringLiteral("Pompa")});
    shell::TForm_Pelk w;
    auto& s = w.state();
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        click(d, "BB_Dalej");
        click(d, "BB_Dalej"); // no owner typed
        click(d, "SB_Lokalizacja");
        EXPECT_EQ(shownLocation(d), QDir::toNativeSeparators(existing));
        click(d, "BB_Dalej");
        type(d, "Edit_Nazwa_Uzytkownika", QStringLiteral("Szef"));
        type(d, "Edit_Haslo", QStringLiteral("x"));
        child<QCheckBox>(d, "CB_Haslo")->setChecked(false);
        click(d, "BB_Dalej");
    });
    runner.on<shell::TOtworz_Baze>([&](shell::TOtworz_Baze& picker) {
        EXPECT_EQ(s.FolderPickMode, QStringLiteral("Otwórz_Nowy"));
        ASSERT_TRUE(picker.showFolder(existing));
        click(picker, "BB_Wybierz");
    });
    ASSERT_EQ(w.start(main), Outcome::Running);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_FALSE(s.CreateInPickedFolder);

    // Nothing created or added in the chosen catalogue, nothing made at the proposed place.
    EXPECT_EQ(rows(existing, QStringLiteral("Towar")), 1);
    EXPECT_EQ(rows(existing, QStringLiteral("Waluta")), 0);
    EXPECT_EQ(rows(existing, QStringLiteral("Firmy")), 0);
    EXPECT_FALSE(QDir(main).exists(QStringLiteral("Dane/Glowna")));
    EXPECT_EQ(
        QDir(main).absoluteFilePath(setting(QStringLiteral("Pelk_Katalog_Glowny")).toString()),
        existing);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Firma_Nr")).toInt(), 1);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Waluta_Nr")).toInt(), 1);
    EXPECT_FALSE(setting(QStringLiteral("Pelk_Haslo_OK")).toBool());
    // No login asked for: the chosen catalogue is open.
    EXPECT_EQ(s.CurrentCatalogueFolder, existing);
    EXPECT_EQ(gridNames(w.form().DBGrid_Towary), QStringList{QStringLiteral("Pompa")});
}

TEST_F(WizardTest, GoingBackFromPage3AndForwardProposesTheDefaultLocationAgain) {
    shell::TForm_Pelk w;
    auto& s = w.state();
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        fillIn(d);
        click(d, "BB_Wroc"); // page 3
        click(d, "SB_Lokalizacja");
        EXPECT_EQ(shownLocation(d), QDir::toNativeSeparators(main + QStringLiteral("/Dane/A")));
        click(d, "BB_Wroc");
        click(d, "BB_Dalej");
        EXPECT_EQ(shownLocation(d), QDir::toNativeSeparators(defaultCatalogue()));
        click(d, "BB_Dalej");
        click(d, "BB_Dalej");
    });
    // An existing catalogue picked first: the default location proposed again is one to be
    // made, not an existing catalogue that is not there.
    store::createCatalogue(tmp.sub(QStringLiteral("Dane/A")));
    runner.on<shell::TOtworz_Baze>([&](shell::TOtworz_Baze& picker) {
        ASSERT_TRUE(picker.showFolder(main + QStringLiteral("/Dane/A")));
        click(picker, "BB_Wybierz");
    });
    runner.on(QStringLiteral("TEkr_Haslo"),
              [&](QDialog& d) { loginAs(d, QStringLiteral("Szef"), QStringLiteral("Haslo1")); });
    ASSERT_EQ(w.start(main), Outcome::Running);
    EXPECT_EQ(QDir::fromNativeSeparators(setting(QStringLiteral("Pelk_Katalog_Glowny")).toString()),
              QStringLiteral("Dane/Glowna"));
    EXPECT_EQ(rows(defaultCatalogue(), QStringLiteral("Waluta")), 1);
    EXPECT_EQ(s.CurrentCatalogueFolder, defaultCatalogue());
}

TEST_F(WizardTest, RunningItAgainReplacesTheMainTablesButKeepsOffersAndByChoiceTheCatalogue) {
    makeMainFolder({QStringLiteral("Zawór")});
    {
        engine::Table o(main + QStringLiteral("/Oferty"), QStringLiteral("Oferty"));
        o.open();
        o.append();
        o.setValue(QStringLiteral("Oferty_Opis"), QStringLiteral("Oferta na łożyska"));
        o.post();
        engine::Table u(main, QStringLiteral("Users"));
        u.open();
        u.append();
        u.setValue(QStringLiteral("User_Nazwa"), QStringLiteral("Kowalski"));
        u.post();
        engine::Table b(main, QStringLiteral("Bazy"));
        b.open();
        b.append();
        b.setValue(QStringLiteral("Baza_Sciezka"), QStringLiteral("/inny"));
        b.post();
        engine::Table k(main, QStringLiteral("Skojarz"));
        k.open();
        k.remove();
    }
    setSetting(QStringLiteral("Pelk_Zam_Od_Nr"), 57);
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Kreatortest1")));

    // The proposed place holds the catalogue in use: asked, and kept on "Nie".
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        fillIn(d, QStringLiteral("NOWA"), QStringLiteral("Nowy szef"));
        click(d, "BB_Dalej");
    });
    messages.answerNo();
    w->form().Kreatortest1->trigger();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().kind, ui::Message::Kind::Question);
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(rows(catalogue, QStringLiteral("Towar")), 1);
    EXPECT_EQ(rows(catalogue, QStringLiteral("Firmy")), 0);

    EXPECT_EQ(rows(main + QStringLiteral("/Oferty"), QStringLiteral("Oferty")), 1);
    EXPECT_EQ(rows(main, QStringLiteral("Pelk")), 1);
    EXPECT_EQ(rows(main, QStringLiteral("Bazy")), 1);
    EXPECT_EQ(rows(main, QStringLiteral("Skojarz")), 4);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Zam_Od_Nr")).toInt(), 1);
    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    ASSERT_EQ(users.recordCount(), 1);
    EXPECT_EQ(users.asString(QStringLiteral("User_Nazwa")), QStringLiteral("Nowy szef"));
    // The window goes on with its settings open again.
    EXPECT_TRUE(w->state().TPelk.isOpen());
    EXPECT_EQ(w->state().TPelk.asInteger(QStringLiteral("Pelk_Zam_Od_Nr")), 1);
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Zawór")});

    // On "Tak" the catalogue is made anew: empty, with the currency and the owner as number 1.
    addItems(catalogue, {QStringLiteral("Pompa")});
    {
        engine::Table c(catalogue, QStringLiteral("Waluta"));
        c.open();
        c.append();
        c.setValue(QStringLiteral("Waluta_Nazwa"), QStringLiteral("EUR"));
        c.post();
    }
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) {
        fillIn(d, QStringLiteral("NOWA"));
        click(d, "BB_Dalej");
    });
    messages.answerYes();
    trigger(*w, "Kreatortest1");
    EXPECT_EQ(rows(catalogue, QStringLiteral("Towar")), 0);
    // The window shows the catalogue as it is now.
    EXPECT_TRUE(gridNames(w->form().DBGrid_Towary).isEmpty());
    EXPECT_TRUE(w->state().CatalogueEmpty);
    engine::Table currency(catalogue, QStringLiteral("Waluta"));
    currency.open();
    ASSERT_EQ(currency.recordCount(), 1);
    EXPECT_EQ(currency.asInteger(QStringLiteral("Waluta_Nr")), 1);
    EXPECT_EQ(currency.asString(QStringLiteral("Waluta_Nazwa")), QStringLiteral("PLN"));
    EXPECT_EQ(messages.last().text, store::kCatalogueCreatedMessage);
    EXPECT_EQ(rows(main + QStringLiteral("/Oferty"), QStringLiteral("Oferty")), 1);

    // Cancelled from the main window it changes nothing and the program goes on.
    runner.on(QStringLiteral("TEkr_Czarodziej"), [&](QDialog& d) { click(d, "BB_Anuluj"); });
    trigger(*w, "Kreatortest1");
    EXPECT_TRUE(w->state().TPelk.isOpen());
    EXPECT_EQ(rows(main, QStringLiteral("Users")), 1);
}

// A default catalogue kept on a server is written everywhere as the location it is, never
// taken for a folder under the main folder; nothing is made on the disk for it.
TEST_F(WizardTest, ACatalogueOnAServerIsKeptAsItsLocation) {
    const QString server = QStringLiteral("postgresql://firma@serwer:5433/katalogi/glowny");
    shell::SetupAnswers a;
    a.location = server;
    a.createCatalogue = false;
    a.adminName = QStringLiteral("Szef");
    a.adminPassword = QStringLiteral("x");
    a.passwordProtection = false;
    shell::finishSetup(main, a);

    EXPECT_EQ(setting(QStringLiteral("Pelk_Katalog_Glowny")).toString(), server);
    EXPECT_EQ(shell::readCatalogueList(main), QStringList{server});
    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    EXPECT_EQ(users.asString(QStringLiteral("User_Baza_Sciezka")), server);
    engine::Table favourites(main, QStringLiteral("Bazy"));
    favourites.open();
    EXPECT_EQ(favourites.asString(QStringLiteral("Baza_Sciezka")), server);
    EXPECT_TRUE(QDir(main).entryList({QStringLiteral("postgresql*")}, QDir::AllEntries).isEmpty());
}
