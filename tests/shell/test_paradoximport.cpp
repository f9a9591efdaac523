// The catalogue menu's "Importuj katalog...": Paradox tables written by pxlib's writer imported
// into a new catalogue folder the user names, with the report, the list of known catalogues,
// the cancel of the progress dialog, a broken table and a user who may only browse.
#include "../paradox/pxwriter.h"
#include "paradox/import.h"
#include "shell/Otw_baze.h"
#include "shell/cataloguelists.h"
#include "shell/fixture.h"
#include "ui/filedialogs.h"
#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

void writeSource(const QString& folder) {
    pxtest::Table towar;
    towar.columns = {pxtest::autoinc(QStringLiteral("Tow_nr")),
                     pxtest::alpha(QStringLiteral("Tow_Nazwa"), 50),
                     pxtest::memo(QStringLiteral("Tow_Uwagi"))};
    towar.rows = {{12, QStringLiteral("Zawór kulowy"), QStringLiteral("Mosiądz. ").repeated(30)},
                  {40, QStringLiteral("Śruba M8"), QVariant()}};
    pxtest::write(folder, QStringLiteral("Towar"), towar);
    pxtest::Table grupa;
    grupa.codePage = 852;
    grupa.columns = {pxtest::autoinc(QStringLiteral("Grupa_Nr")),
                     pxtest::alpha(QStringLiteral("Grupa_Nazwa"), 30)};
    grupa.rows = {{1, QStringLiteral("Armatura")}};
    pxtest::write(folder, QStringLiteral("Grupa"), grupa);
}

// Presses "Anuluj" on the import's progress dialog as soon as it is shown.
class CancelOnShow : public QObject {
public:
    CancelOnShow() { qApp->installEventFilter(this); }
    ~CancelOnShow() override { qApp->removeEventFilter(this); }
    bool pressed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show && !pressed &&
            dialog->objectName() == QLatin1String("PostepPracy")) {
            pressed = true;
            QMetaObject::invokeMethod(dialog, [dialog] {
                for (auto* b : dialog->findChildren<QPushButton*>())
                    b->click();
            });
        }
        return false;
    }
};

class ParadoxImportTest : public ShellTest {
protected:
    ParadoxImportTest() : dialogsGuard_(dialogs) { source = tmp.sub(QStringLiteral("paradox")); }

    // The picker in its import mode, naming the new folder `name` in the catalogues' folder.
    void nameFolder(const QString& name) {
        runner.on(QStringLiteral("TOtworz_Baze"), [name](QDialog& d) {
            auto& p = dynamic_cast<shell::TOtworz_Baze&>(d);
            EXPECT_EQ(p.windowTitle(), QStringLiteral("Importuj katalog"));
            EXPECT_FALSE(child<QPushButton>(p, "BB_Wybierz")->isVisible());
            child<QLineEdit>(p, "Edit")->setText(name);
            click(p, "BB_Nowy");
        });
    }

    QString source;
    ui::FakeFileDialogs dialogs;

private:
    ui::ScopedFileDialogs dialogsGuard_;
};

} // namespace

TEST_F(ParadoxImportTest, ImportsIntoANewCatalogueShowsTheReportListsAndOpensIt) {
    writeSource(source);
    makeMainFolder({QStringLiteral("Pompa")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    dialogs.answers = {source};
    nameFolder(QStringLiteral("Z Paradoksu"));
    QString reportText;
    runner.on(QStringLiteral("TEkr_Raport_Importu"), [&](QDialog& d) {
        reportText = child<QPlainTextEdit>(d, "Memo_Raport")->toPlainText();
        click(d, "BB_OK");
    });
    trigger(*w, "Importujkatalog1");

    const QString made = main + QStringLiteral("/Dane/Z Paradoksu");
    EXPECT_TRUE(errorTexts().isEmpty()) << errorTexts().join(u'|').toStdString();
    EXPECT_TRUE(reportText.contains(QStringLiteral("Towar: 2 wiersze zapisane (CP1250)")))
        << reportText.toStdString();
    EXPECT_TRUE(reportText.contains(QStringLiteral("Grupa: 1 wiersz zapisany (CP852)")));
    EXPECT_EQ(shell::catalogueTableNames(made).size(), store::catalogueTables().size());
    EXPECT_TRUE(shell::readCatalogueList(main).contains(QDir::toNativeSeparators(made)));
    auto& s = w->state();
    EXPECT_EQ(s.CurrentCatalogueFolder, made);
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary),
              (QStringList{QStringLiteral("Śruba M8"), QStringLiteral("Zawór kulowy")}));
    goTo(*w, QStringLiteral("Zawór kulowy"));
    EXPECT_EQ(s.TFTowar.asInteger(QStringLiteral("Tow_nr")), 12);
    EXPECT_EQ(s.TFTowar.asString(QStringLiteral("Tow_Uwagi")),
              QStringLiteral("Mosiądz. ").repeated(30));
    EXPECT_EQ(runner.pendingScripts(), 0);
}

TEST_F(ParadoxImportTest, CancelledOrFailedImportLeavesNoCatalogueBehind) {
    writeSource(source);
    makeMainFolder({QStringLiteral("Pompa")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    const QStringList listed = shell::readCatalogueList(main);

    // Cancelled in the progress dialog.
    dialogs.answers = {source};
    nameFolder(QStringLiteral("Przerwany"));
    {
        CancelOnShow cancel;
        trigger(*w, "Importujkatalog1");
        EXPECT_TRUE(cancel.pressed);
    }
    EXPECT_EQ(messages.texts(), QStringList{paradox::kImportCancelledMessage});
    EXPECT_FALSE(QFileInfo::exists(main + QStringLiteral("/Dane/Przerwany")));

    // A truncated table: the engine's message names it, the folder made is gone.
    messages.clear();
    QFile f(source + QStringLiteral("/Grupa.db"));
    ASSERT_TRUE(f.resize(f.size() - 100));
    dialogs.answers = {source};
    nameFolder(QStringLiteral("Uszkodzony"));
    trigger(*w, "Importujkatalog1");
    ASSERT_EQ(errorTexts().size(), 1) << messages.texts().join(u'|').toStdString();
    EXPECT_TRUE(errorTexts()[0].contains(QStringLiteral("Tabela Grupa")))
        << errorTexts()[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(main + QStringLiteral("/Dane/Uszkodzony")));

    // A folder without tables is refused before anything is asked; a cancelled picker does
    // nothing.
    messages.clear();
    dialogs.answers = {tmp.sub(QStringLiteral("pusty"))};
    trigger(*w, "Importujkatalog1");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("nie ma tabel katalogu")));
    dialogs.answers = {QString()};
    trigger(*w, "Importujkatalog1");

    EXPECT_EQ(shell::readCatalogueList(main), listed);
    EXPECT_EQ(w->state().CurrentCatalogueFolder, catalogue);
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Pompa")});
}

TEST_F(ParadoxImportTest, NotForAUserWhoMayOnlyBrowse) {
    writeSource(source);
    makeMainFolder({QStringLiteral("Pompa")}, /*login*/ true);
    shell::TForm_Pelk w;
    auto& s = w.state();
    w.controller().runLogin = [&] {
        s.CurrentUserNr = 1;
        s.RightsLevel = 1;
        s.AdminRight = false;
        s.CurrentCatalogueFolder = catalogue;
        w.controller().bindCatalogueTables();
        w.BB_TableClick();
        s.StartupDone = true;
    };
    ASSERT_EQ(w.start(main), Outcome::Running);
    EXPECT_FALSE(w.isCommandEnabled(QStringLiteral("Importujkatalog1")));
    // Its handler refuses on its own too: nothing asked.
    dialogs.answers = {source};
    w.Importujkatalog1Click();
    EXPECT_TRUE(dialogs.captionsAsked.isEmpty());
    EXPECT_TRUE(messages.shown().isEmpty());
    dialogs.answers.clear();
}
