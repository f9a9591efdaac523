// The main window over its catalogue: the commands that need a current item, the rights of a
// read-only user, the periodic re-read that shows what other installations posted, and engine
// errors while a catalogue is opened.
#include "shell/fixture.h"
#include <QDialog>
#include <QGuiApplication>
#include <QTest>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

const QStringList kEditCommands{QStringLiteral("Nowy1"),        QStringLiteral("Edycja2"),
                                QStringLiteral("Klonuj1"),      QStringLiteral("Usu1"),
                                QStringLiteral("SpeedButton6"), QStringLiteral("SpeedButton7"),
                                QStringLiteral("SpeedButton8"), QStringLiteral("SpeedButton9")};

QStringList enabledOf(shell::TForm_Pelk& w, const QStringList& names) {
    QStringList on;
    for (const QString& n : names)
        if (w.isCommandEnabled(n)) on << n;
    return on;
}

} // namespace

TEST_F(ShellTest, ReadOnlyUserNeverGetsTheEditingCommands) {
    makeMainFolder({QStringLiteral("Zawór"), QStringLiteral("Pompa")}, /*login*/ true);
    shell::TForm_Pelk w;
    auto& s = w.state();
    w.controller().runLogin = [&] {
        s.CurrentUserNr = 1;
        s.RightsLevel = 1;
        s.AdminRight = false;
        s.PriceRight = false;
        s.CurrentCatalogueFolder = catalogue;
        w.controller().bindCatalogueTables();
        // The list's table mode is a procedure of the window with no button of its own.
        w.BB_TableClick();
        s.StartupDone = true;
    };
    ASSERT_EQ(w.start(main), Outcome::Running);
    w.show();

    EXPECT_TRUE(enabledOf(w, kEditCommands).isEmpty())
        << enabledOf(w, kEditCommands).join(u' ').toStdString();
    EXPECT_FALSE(w.isCommandEnabled(QStringLiteral("Administrator1")));
    EXPECT_EQ(w.form().DBGrid_Cena->dataSet(), nullptr) << "prices shown without the price right";
    // Browsing commands stay.
    EXPECT_TRUE(w.isCommandEnabled(QStringLiteral("Filtr1")));
    EXPECT_TRUE(w.isCommandEnabled(QStringLiteral("SpeedButton18")));

    // The empty check enables the row commands, but never these.
    w.Czy_Baza_Pusta();
    EXPECT_TRUE(enabledOf(w, kEditCommands).isEmpty());
    s.TFTowar.append();
    s.TFTowar.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Adapter"));
    s.TFTowar.post();
    w.Czy_Baza_Pusta();
    EXPECT_TRUE(enabledOf(w, kEditCommands).isEmpty());

    // Nor by the keys: nothing asked, nothing deleted.
    const int before = s.TFTowar.recordCount();
    auto* grid = w.form().DBGrid_Towary;
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Period, Qt::NoModifier);
    QTest::keyClick(grid, Qt::Key_Delete);
    QTest::keyClick(grid, Qt::Key_Insert);
    QTest::keyClick(grid, Qt::Key_Minus, Qt::NoModifier);
    // Usu1 is disabled for him; its handler, which the Delete key reaches as well, refuses on its
    // own.
    w.Usu1Click();
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(s.TFTowar.recordCount(), before);
    EXPECT_TRUE(s.ItemEditMode.isEmpty());
}

TEST_F(ShellTest, EmptyCatalogueHidesTheRowCommandsUntilTheFirstItem) {
    makeMainFolder();
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    w->show();
    auto& s = w->state();
    auto& f = w->form();
    const QStringList& rowCommands = shell::MainController::rowCommands();

    EXPECT_TRUE(s.CatalogueEmpty);
    EXPECT_TRUE(enabledOf(*w, rowCommands).isEmpty())
        << enabledOf(*w, rowCommands).join(u' ').toStdString();
    EXPECT_TRUE(f.DBMemo_Uwagi->isHidden());
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Nowy1")))
        << "a new item is the way out of an empty catalogue";
    EXPECT_EQ(f.Label_Licznik->text(), QStringLiteral("0"));
    // The delete key and menu do nothing on an empty catalogue.
    // Usu1 is disabled here; its handler, which the Delete key reaches as well, does nothing on its
    // own.
    w->Usu1Click();
    EXPECT_TRUE(messages.shown().isEmpty());

    // The first item, as the item editor posts it, followed by the empty check.
    s.TFTowar.append();
    s.TFTowar.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Zawór kulowy"));
    s.TFTowar.setValue(QStringLiteral("Tow_Uwagi"), QStringLiteral("Do wody pitnej."));
    s.TFTowar.post();
    EXPECT_EQ(f.Label_Licznik->text(), QStringLiteral("1"));
    w->Czy_Baza_Pusta();
    EXPECT_FALSE(s.CatalogueEmpty);
    EXPECT_EQ(enabledOf(*w, rowCommands), rowCommands);
    EXPECT_FALSE(f.DBMemo_Uwagi->isHidden());
    EXPECT_EQ(f.DBMemo_Uwagi->toPlainText(), QStringLiteral("Do wody pitnej."));

    // Deleting the last item (typed "." and Yes) empties the catalogue again.
    messages.answerYes();
    auto* grid = f.DBGrid_Towary;
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Period, Qt::NoModifier);
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Chcesz usunąć zaznaczoną pozycję ?"));
    // A "." typed by mistake and then Enter keeps the item; the Delete key's box offers "Tak".
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(s.TFTowar.recordCount(), 0);
    EXPECT_TRUE(s.CatalogueEmpty);
    EXPECT_TRUE(enabledOf(*w, rowCommands).isEmpty());
    EXPECT_TRUE(f.DBMemo_Uwagi->isHidden());

    // An item posted by another installation brings them back at the next re-read.
    insertItemElsewhere(catalogue, 500, QStringLiteral("Kolano"));
    w->Timer1Timer();
    EXPECT_FALSE(s.CatalogueEmpty);
    EXPECT_EQ(enabledOf(*w, rowCommands), rowCommands);
}

TEST_F(ShellTest, TimerShowsWhatAnotherInstallationPostedButNotUnderADialog) {
    makeMainFolder({QStringLiteral("Bęben"), QStringLiteral("Wał")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& f = w->form();
    ASSERT_EQ(gridNames(f.DBGrid_Towary),
              (QStringList{QStringLiteral("Bęben"), QStringLiteral("Wał")}));

    insertItemElsewhere(catalogue, 900, QStringLiteral("Ćwiek"));
    // While a dialog is open the list stays as it was, so the dialog's current item cannot move.
    QDialog dialog(w.get());
    dialog.setObjectName(QStringLiteral("AnyDialog"));
    runner.on(QStringLiteral("AnyDialog"), [&](QDialog&) {
        w->Timer1Timer();
        EXPECT_EQ(gridNames(f.DBGrid_Towary).size(), 2);
    });
    ui::modalRunner().run(dialog);

    w->Timer1Timer();
    EXPECT_EQ(
        gridNames(f.DBGrid_Towary),
        (QStringList{QStringLiteral("Bęben"), QStringLiteral("Ćwiek"), QStringLiteral("Wał")}));
    EXPECT_EQ(f.Label_Licznik->text(), QStringLiteral("3"));
    EXPECT_EQ(w->state().TFTowar.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Bęben"))
        << "the re-read moved the current item";

    // The timer itself does it (sooner here than its few seconds).
    ASSERT_TRUE(w->controller().refreshTimer().isActive());
    w->controller().refreshTimer().setInterval(20);
    insertItemElsewhere(catalogue, 901, QStringLiteral("Dźwignia"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return gridNames(f.DBGrid_Towary).size() == 4; }, 10000));
}

TEST_F(ShellTest, EngineErrorsWhileOpeningReachTheErrorBoxAndTheProgramGoesOn) {
    makeMainFolder({QStringLiteral("Zawór")});
    const QString broken = brokenCatalogue();

    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    w->show();
    auto& s = w->state();

    // From a menu or a favourite: through the event loop, like any command.
    s.CurrentCatalogueFolder = broken;
    QMetaObject::invokeMethod(w.get(), &shell::TForm_Pelk::OTWIERANIE_NOWYCH_BAZ,
                              Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(errorTexts().size(), 1) << messages.texts().join(u'|').toStdString();
    EXPECT_TRUE(errorTexts()[0].contains(QStringLiteral("Towar"))) << errorTexts()[0].toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the hourglass stayed";
    EXPECT_TRUE(w->isVisible());

    // The program goes on: the good catalogue opens again.
    s.CurrentCatalogueFolder = catalogue;
    w->OTWIERANIE_NOWYCH_BAZ();
    w->Czy_Baza_Pusta();
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Zawór")});
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Edycja2")));

    // The same at start: a default catalogue that cannot be opened leaves the window up.
    messages.clear();
    setSetting(QStringLiteral("Pelk_Katalog_Glowny"), broken);
    auto second = startWindow();
    EXPECT_EQ(outcome, Outcome::Running);
    ASSERT_EQ(errorTexts().size(), 1);
    EXPECT_TRUE(errorTexts()[0].contains(QStringLiteral("Towar")));
    // A catalogue opened then shows the items' groups and producers too.
    second->state().CurrentCatalogueFolder = catalogue;
    second->OTWIERANIE_NOWYCH_BAZ();
    EXPECT_EQ(gridNames(second->form().DBGrid_Towary), QStringList{QStringLiteral("Zawór")});
    EXPECT_TRUE(second->state().TFGrupa.isOpen());
    EXPECT_TRUE(second->state().TFirma_Prod.isOpen());
}
