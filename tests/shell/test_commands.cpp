// The main window's commands as a user reaches them: a menu item and its toolbar button are one
// command, the rights close the wizard and new catalogues by every way in, Enter on the attribute
// values, "Składa się" on the toolbar, a failing command caught where it runs, and the start's
// dialogs centred and the dictionaries kept on top.
#include "partners/Ak_firma.h"
#include "partners/Ak_tel.h"
#include "partners/Ak_walut.h"
#include "search/E_Query.h"
#include "search/Filtr.h"
#include "shell/Haslo.h"
#include "shell/Otw_baze.h"
#include "shell/Raport_1.h"
#include "shell/czaro.h"
#include "shell/detailtabs.h"
#include "shell/fixture.h"
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

class CommandsTest : public ShellTest {
protected:
    // The window, logged in as user 1 with these rights.
    std::unique_ptr<shell::TForm_Pelk> startAs(int rights, bool admin) {
        auto w = std::make_unique<shell::TForm_Pelk>();
        w->controller().runLogin = [this, rights, admin, w = w.get()] {
            auto& s = w->state();
            s.CurrentUserNr = 1;
            s.RightsLevel = rights;
            s.AdminRight = admin;
            s.CurrentCatalogueFolder = catalogue;
            w->controller().bindCatalogueTables();
            w->BB_TableClick();
            s.StartupDone = true;
        };
        outcome = w->start(main);
        return w;
    }
};

} // namespace

TEST_F(CommandsTest, AMenuItemAndItsToolbarButtonAreOneCommand) {
    makeMainFolder({QStringLiteral("Zawór")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& f = w->form();
    for (const auto& [button, action] : shell::sharedCommands()) {
        auto* b = w->findChild<QToolButton*>(button);
        ASSERT_NE(b, nullptr) << button.toStdString();
        EXPECT_EQ(b->defaultAction(), w->findChild<QAction*>(action)) << button.toStdString();
    }
    // The button keeps its short caption and the hint.
    EXPECT_EQ(f.SpeedButton17->text(), QStringLiteral("Filtr"));
    EXPECT_EQ(f.SpeedButton17->toolTip(), QStringLiteral("Ustawienie filtra listy obiektów"));
    EXPECT_EQ(f.SpeedButton_Sklada_sie->text(), QStringLiteral("Składa się"));
    EXPECT_EQ(f.SpeedButton10->toolTip(), QStringLiteral("Kartoteka grupy"));
    EXPECT_EQ(f.SpeedButton1->text(), QStringLiteral("Drukuj"));

    // Either name switches both.
    w->setCommandEnabled(QStringLiteral("SpeedButton17"), false);
    EXPECT_FALSE(f.Filtr1->isEnabled());
    EXPECT_FALSE(f.SpeedButton17->isEnabled());
    w->setCommandEnabled(QStringLiteral("Filtr1"), true);
    EXPECT_TRUE(f.SpeedButton17->isEnabled());

    // One click, one dialog.
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"));
    f.SpeedButton10->click();
    EXPECT_EQ(runner.opened(), QStringList{QStringLiteral("TEkr_Aktualizacja_Grupa")});

    // A dialog of the window with a control of the same name is not the window's command.
    runner.on(QStringLiteral("TEkr_Otworz_z_listy"), {}, QDialog::Rejected);
    f.SpeedButton4->click();
    auto* fromList = w->findChild<shell::TEkr_Otworz_z_listy*>();
    ASSERT_NE(fromList, nullptr);
    auto* listDelete = fromList->findChild<QToolButton*>(QStringLiteral("SpeedButton9"));
    ASSERT_NE(listDelete, nullptr);
    const bool before = listDelete->isEnabled();
    w->setCommandEnabled(QStringLiteral("SpeedButton9"), !before);
    EXPECT_EQ(listDelete->isEnabled(), before);
    EXPECT_EQ(f.SpeedButton9->isEnabled(), !before);
}

TEST_F(CommandsTest, TheWizardAndNewCataloguesAreClosedToThoseWithoutTheRightByEveryWayIn) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    users.append();
    users.setValue(QStringLiteral("User_Nazwa"), QStringLiteral("jan"));
    users.post();
    users.close();
    ASSERT_EQ(userCount(main), 2);

    struct Case {
        const char* who;
        int rights;
        bool admin;
        bool newCatalogue;
    };
    for (const Case& c :
         {Case{"view only", 1, false, false}, Case{"view only admin", 1, true, false},
          Case{"no administrator", 2, false, true}}) {
        SCOPED_TRACE(c.who);
        auto w = startAs(c.rights, c.admin);
        ASSERT_EQ(outcome, Outcome::Running);
        auto& f = w->form();
        EXPECT_FALSE(f.Kreatortest1->isEnabled());
        EXPECT_EQ(f.Nowabaza1->isEnabled(), c.newCatalogue);
        // The menu item, and the command called directly: no wizard, no folder picker.
        f.Kreatortest1->trigger();
        w->Kreatortest1Click();
        if (!c.newCatalogue) {
            f.Nowabaza1->trigger();
            w->Nowabaza1Click();
        }
        EXPECT_TRUE(runner.opened().isEmpty()) << runner.opened().join(u' ').toStdString();
        EXPECT_EQ(userCount(main), 2) << "the users were replaced";
        if (c.newCatalogue) continue;
        // Nor the folder picker itself, should it ever be opened so.
        w->state().FolderPickMode = QStringLiteral("Nowy");
        shell::TOtworz_Baze picker(w->state(), w.get());
        picker.show();
        EXPECT_FALSE(picker.findChild<QPushButton*>(QStringLiteral("BB_Nowy"))->isEnabled());
        picker.findChild<QLineEdit*>(QStringLiteral("Edit"))->setText(QStringLiteral("Nowa"));
        picker.BB_NowyClick();
        EXPECT_FALSE(QDir(main + QStringLiteral("/Dane/Nowa")).exists());
        picker.close();
    }
}

TEST_F(CommandsTest, EnterOnTheAttributeValuesOpensThemAndThenTheItem) {
    makeMainFolder({QStringLiteral("Zawór")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    auto& f = w->form();
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Attributes);

    runner.on(QStringLiteral("TEkr_Tow_Wlasnosci"));
    runner.on(QStringLiteral("TEkr_Aktualizacja_Towar"));
    f.DBGrid_Wlasnosci->setFocus();
    QTest::keyClick(f.DBGrid_Wlasnosci, Qt::Key_Return);
    EXPECT_EQ(runner.opened(), (QStringList{QStringLiteral("TEkr_Tow_Wlasnosci"),
                                            QStringLiteral("TEkr_Aktualizacja_Towar")}));

    // From the item list only the item.
    runner.on(QStringLiteral("TEkr_Aktualizacja_Towar"));
    f.DBGrid_Towary->setFocus();
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_Return);
    EXPECT_EQ(runner.opened().size(), 3);
    EXPECT_EQ(runner.opened().last(), QStringLiteral("TEkr_Aktualizacja_Towar"));
}

TEST_F(CommandsTest, SkladaSieOnTheToolbarOpensTheConsistsOfEditorOfTheCurrentItem) {
    makeMainFolder();
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& f = w->form();
    auto& s = w->state();
    EXPECT_FALSE(f.SpeedButton_Sklada_sie->isEnabled()) << "an empty catalogue has no current item";

    addItems(catalogue, {QStringLiteral("Pompa"), QStringLiteral("Zawór")});
    w->Odwie1Click();
    w->Czy_Baza_Pusta();
    ASSERT_TRUE(f.SpeedButton_Sklada_sie->isEnabled());
    s.TFTowar.last(); // in name order: Zawór
    runner.on(QStringLiteral("TEkr_Sklada_sie"), [&](QDialog&) {
        EXPECT_EQ(s.CurrentItemName, QStringLiteral("Zawór"));
        EXPECT_EQ(s.CurrentItemNr, s.TFTowar.asInteger(QStringLiteral("Tow_nr")));
    });
    f.SpeedButton_Sklada_sie->click();
    EXPECT_EQ(runner.opened(), QStringList{QStringLiteral("TEkr_Sklada_sie")});
    EXPECT_EQ(f.TNotebook->currentIndex(), shell::DetailTabs::ConsistsOf);
}

TEST_F(CommandsTest, AFavouriteThatCannotBeOpenedIsReportedAndTheCatalogueStays) {
    makeMainFolder({QStringLiteral("Zawór")});
    const QString broken = brokenCatalogue();
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& f = w->form();
    const QString title = w->windowTitle();

    w->setFavourites({broken});
    f.Ulubione->setCurrentIndex(0);
    // As the user's choice arrives; the error stops where the command runs, not in Qt.
    EXPECT_NO_THROW(Q_EMIT f.Ulubione->activated(0));
    ASSERT_EQ(errorTexts().size(), 1) << messages.texts().join(u'|').toStdString();
    EXPECT_TRUE(errorTexts()[0].contains(QStringLiteral("Towar")));
    EXPECT_EQ(w->windowTitle(), title);
    EXPECT_EQ(gridNames(f.DBGrid_Towary), QStringList{QStringLiteral("Zawór")});
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Edycja2")));
}

TEST_F(CommandsTest, StartDialogsAreCentredOnTheScreenAndTheDictionariesKeptOnTop) {
    makeMainFolder({QStringLiteral("Zawór")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& s = w->state();
    QWidget corner; // a parent far from the middle, as the main window is before it shows
    corner.setGeometry(0, 0, 200, 150);

    const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
    auto centred = [&](QDialog& d) {
        d.show();
        const QPoint c = d.frameGeometry().center();
        d.hide();
        return std::abs(c.x() - middle.x()) <= 2 && std::abs(c.y() - middle.y()) <= 2;
    };
    shell::TEkr_Haslo login(s, &corner);
    EXPECT_TRUE(centred(login));
    shell::TEkr_Czarodziej wizard(s, &corner);
    EXPECT_TRUE(centred(wizard));

    for (QDialog* d : std::initializer_list<QDialog*>{
             &login, &wizard, new partners::TEkr_Aktualizacja_Firma(s, w.get()),
             new partners::TEkr_Aktualizacja_Telefony(s, w.get()),
             new partners::TEkr_Aktualizacja_Waluta(s, w.get()), new search::TEkr_Filtr(s, w.get()),
             new search::TEkr_Query(s, w.get())})
        EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            << d->objectName().toStdString();
}
