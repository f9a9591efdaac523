// The program's start: the main folder, the default catalogue opened without a login, and what
// the main window shows and offers afterwards.
#include "platform/worktables.h"
#include "shell/E_About.h"
#include "shell/fakemainview.h"
#include "shell/fixture.h"
#include "shell/helpwindow.h"
#include "shell/startup.h"
#include <QPrintDialog>
#include <QTextBrowser>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

TEST_F(ShellTest, StartWithoutLoginOpensTheDefaultCatalogueWithEveryRight) {
    makeMainFolder({QStringLiteral("Zawór"), QStringLiteral("łożysko"), QStringLiteral("Adapter"),
                    QStringLiteral("Śruba M6"), QStringLiteral("lina")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    auto& s = w->state();
    auto& f = w->form();

    EXPECT_TRUE(s.StartupDone);
    EXPECT_EQ(s.MainFolder, main + u'/');
    EXPECT_EQ(s.TempFolder, main + QStringLiteral("/TMP"));
    EXPECT_EQ(QDir::currentPath(), main);
    EXPECT_EQ(s.DefaultCatalogueFolder, catalogue);
    EXPECT_EQ(s.CurrentCatalogueFolder, catalogue);
    EXPECT_EQ(s.CurrentUserNr, 0);
    EXPECT_EQ(s.RightsLevel, 2);
    EXPECT_TRUE(s.AdminRight);
    EXPECT_TRUE(s.PriceRight);
    EXPECT_EQ(s.HomeCurrencyNr, 1);
    EXPECT_EQ(s.WorkMode, QStringLiteral("Przeglądanie"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("PELK! - ") + QDir::toNativeSeparators(catalogue));

    EXPECT_EQ(f.Ulubione->count(), 0);
    EXPECT_TRUE(f.Ulubione->currentText().isEmpty());
    EXPECT_EQ(f.DBGrid_Cena->dataSet(), &s.TCeny) << "prices hidden from a user with every right";
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Administrator1")));
    for (const QString& name : shell::MainController::editCommands())
        EXPECT_TRUE(w->isCommandEnabled(name)) << name.toStdString();

    // Items in name order, Polish letters in their places, letter case ignored.
    EXPECT_EQ(
        gridNames(f.DBGrid_Towary),
        (QStringList{QStringLiteral("Adapter"), QStringLiteral("lina"), QStringLiteral("łożysko"),
                     QStringLiteral("Śruba M6"), QStringLiteral("Zawór")}));
    EXPECT_EQ(s.TFTowar.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Adapter"));
    EXPECT_EQ(f.Label_Licznik->text(), QStringLiteral("5"));
    EXPECT_EQ(f.TNotebook->count(), 11);
    EXPECT_EQ(f.TNotebook->currentIndex(), 0);

    // A new catalogue's display configuration.
    EXPECT_EQ(f.Label_Nazwa1->text(), QStringLiteral("Pole 1"));
    EXPECT_EQ(f.Label_Producent->text(), QStringLiteral("Firma"));
    ASSERT_EQ(f.Wyswietlaj_wg->count(), 4);
    EXPECT_EQ(f.Wyswietlaj_wg->itemText(3), QStringLiteral("Pole 4"));
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 0);
    EXPECT_EQ(f.DBGrid_Towary->gridModel()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Pole 1"));
    EXPECT_FALSE(f.Panel_Narzedzi->isHidden());
    EXPECT_TRUE(f.Panel_Biezaca_Baza->isHidden());
    EXPECT_EQ(f.Panel_Zakladki->height(), 170);

    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(w->controller().refreshTimer().isActive());
    EXPECT_LE(w->controller().refreshTimer().interval(), 10000);
}

TEST_F(ShellTest, MainFolderWithoutSettingsIsNamedAndTheProgramEnds) {
    const QString bare = tmp.sub(QStringLiteral("pusty"));
    ControllerRig r; // the logic alone, without a wizard; the wizard's own tests are elsewhere
    EXPECT_EQ(r.controller.start(bare), Outcome::NoSettings);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
    EXPECT_TRUE(messages.last().text.contains(QDir::toNativeSeparators(QDir(bare).absolutePath())))
        << messages.last().text.toStdString();
    EXPECT_FALSE(r.state.StartupDone);
    EXPECT_FALSE(r.state.TPelk.isOpen());
    EXPECT_FALSE(r.state.TFTowar.isOpen());
    EXPECT_FALSE(engine::Database::exists(bare))
        << "the start wrote into a folder that is no main folder";
}

TEST_F(ShellTest, LeftoverWorkingTablesOfAnEndedRunAreRemovedAtStart) {
    makeMainFolder();
    QString leftover;
    {
        platform::WorkTables earlierRun(main + QStringLiteral("/TMP"));
        engine::TableDef def;
        def.fields = {{QStringLiteral("Dok_nr"), engine::FieldType::AutoInc}};
        def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Dok_nr")}, true}};
        leftover = earlierRun.create(QStringLiteral("TDok"), def);
    } // that run is over; its table stayed
    ControllerRig r;
    ASSERT_EQ(r.controller.start(main), Outcome::Running);
    EXPECT_FALSE(r.controller.workTables()->database()->hasTable(leftover));
}

TEST_F(ShellTest, CommandsOfThisWindow) {
    makeMainFolder({QStringLiteral("Zawór")});
    auto w = startWindow();
    auto& f = w->form();

    // The dictionaries open from the menu and from the toolbar, the preferences from the menu.
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"));
    f.SpeedButton10->click();
    runner.on(QStringLiteral("TEkr_Aktualizacja_Waluta"));
    f.Waluty1->trigger();
    runner.on(QStringLiteral("TEkr_Preferencje"));
    f.Konfiguracja2->trigger();
    EXPECT_EQ(runner.opened(), QStringList({"TEkr_Aktualizacja_Grupa", "TEkr_Aktualizacja_Waluta",
                                            "TEkr_Preferencje"}));
    EXPECT_EQ(f.SpeedButton10->toolTip(), QStringLiteral("Kartoteka grupy"));
    EXPECT_EQ(f.SpeedButton4->toolTip(), QStringLiteral("Wybór nowej bazy danych z listy"));

    runner.on(QStringLiteral("TEkr_About"), [](QDialog& d) {
        const QStringList texts = [&] {
            QStringList t;
            for (auto* l : d.findChildren<QLabel*>())
                t << l->text();
            return t;
        }();
        EXPECT_TRUE(texts.contains(QStringLiteral("wersja 1.0")));
        EXPECT_TRUE(texts.contains(QStringLiteral("System Informacji PELK!")));
    });
    f.Oprogramie1->trigger();

    f.Drukuj1->trigger(); // no printer installed
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Brak zainstalowasnej drukarki"));
    printers.printerNames = {QStringLiteral("Biuro")};
    runner.on(QStringLiteral("PrinterSetupDialog"));
    f.Drukuj1->trigger();
    EXPECT_EQ(messages.count(), 1);

    f.Aktualneinformacje1->trigger();
    ASSERT_EQ(launcher.requests.size(), 1u);
    EXPECT_EQ(launcher.requests[0].parameters, shell::kMakerAddress);

    f.Tematy1->trigger();
    auto* help = w->findChild<shell::THelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->browser()->toPlainText().contains(
        QStringLiteral("Zakończenie pracy i kopia zapasowa")))
        << "the manual is missing from the program";

    f.Poka3->trigger();
    EXPECT_EQ(f.TNotebook->currentIndex(), 3);
    f.Oglne1->trigger();
    EXPECT_EQ(f.TNotebook->currentIndex(), 0);
}

TEST(StartArguments, MainFolderFromTheCommandLine) {
    const QString own = QStringLiteral("/opt/pelk");
    EXPECT_EQ(shell::parseArguments({QStringLiteral("pelk")}, own).mainFolder, own);
    auto a = shell::parseArguments(
        {QStringLiteral("pelk"), QStringLiteral("--main-folder"), QStringLiteral("/dane/pelk")},
        own);
    EXPECT_TRUE(a.ok());
    EXPECT_EQ(a.mainFolder, QStringLiteral("/dane/pelk"));
    EXPECT_EQ(
        shell::parseArguments({QStringLiteral("pelk"), QStringLiteral("--main-folder=/x y")}, own)
            .mainFolder,
        QStringLiteral("/x y"));
    EXPECT_FALSE(
        shell::parseArguments({QStringLiteral("pelk"), QStringLiteral("--main-folder")}, own).ok());
    const auto bad =
        shell::parseArguments({QStringLiteral("pelk"), QStringLiteral("--folder")}, own);
    EXPECT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error.contains(QStringLiteral("--folder")));
    EXPECT_TRUE(bad.error.contains(QStringLiteral("--main-folder")));
}
