// Moving between catalogues: the folder picker (open, new catalogue, the first-run wizard's
// choice), the list of known catalogues in Lista.txt with its dialog, and the favourites.
#include "shell/Otw_baze.h"
#include "shell/Raport_1.h"
#include "shell/Serwer.h"
#include "shell/cataloguelists.h"
#include "shell/fixture.h"
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QStringList fileTables(QDialog& d) {
    QStringList out;
    auto* list = child<QListWidget>(d, "FileListBox1");
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class CatalogueListTest : public ShellTest {
protected:
    QString listPath() const { return main + QStringLiteral("/Lista.txt"); }

    // Lista.txt as written: every line must end with CR LF.
    QStringList listLines() const {
        QFile f(listPath());
        if (!f.open(QIODevice::ReadOnly)) return {QStringLiteral("<no file>")};
        const QString text = QString::fromUtf8(f.readAll());
        if (!text.isEmpty() && !text.endsWith(QLatin1String("\r\n")))
            ADD_FAILURE() << "last line not ended by CR LF";
        QStringList lines = text.split(QStringLiteral("\r\n"));
        lines.removeLast();
        return lines;
    }
    void writeList(const QStringList& lines) {
        QFile f(listPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QString& l : lines)
            f.write(l.toUtf8() + "\r\n");
    }

    QString makeCatalogue(const QString& name) {
        const QString folder = main + QStringLiteral("/Dane/") + name;
        EXPECT_TRUE(QDir().mkpath(folder));
        store::createCatalogue(folder);
        return folder;
    }

    // Runs a main window command whose picker the user drives with `user`.
    void withPicker(const std::function<void(shell::TOtworz_Baze&)>& user,
                    const std::function<void()>& command) {
        runner.on(QStringLiteral("TOtworz_Baze"),
                  [&](QDialog& d) { user(dynamic_cast<shell::TOtworz_Baze&>(d)); });
        command();
    }
    void openThroughPicker(shell::TForm_Pelk& w, const QString& folder) {
        withPicker(
            [&](shell::TOtworz_Baze& p) {
                ASSERT_TRUE(p.showFolder(folder));
                click(p, "BB_Otworz");
            },
            [&] { trigger(w, "N1"); });
    }
    QStringList favourites(shell::TForm_Pelk& w) {
        QStringList out;
        for (int i = 0; i < w.form().Ulubione->count(); ++i)
            out << w.form().Ulubione->itemText(i);
        return out;
    }
    int favouriteRows() {
        engine::Table t(main, QStringLiteral("Bazy"));
        t.open();
        return t.recordCount();
    }
};

} // namespace

TEST_F(CatalogueListTest, PickerOpensACatalogueAndListsItsFolderOnce) {
    makeMainFolder({QStringLiteral("Zawór")});
    const QString second = makeCatalogue(QStringLiteral("Druga"));
    addItems(second, {QStringLiteral("Pompa")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    const QString workingFolder = QDir::currentPath();
    // The default catalogue listed as the first-run setup may name it: from the main folder.
    const QString listed = QStringLiteral("Dane/Glowna");
    writeList({listed});

    withPicker(
        [&](shell::TOtworz_Baze& p) {
            EXPECT_FALSE(child<QPushButton>(p, "BB_Nowy")->isVisible());
            EXPECT_FALSE(child<QPushButton>(p, "BB_Wybierz")->isVisible());
            EXPECT_FALSE(child<QLineEdit>(p, "Edit")->isVisible());
            // It starts among the catalogues; "Dane" itself holds none.
            EXPECT_EQ(p.shownFolder(), main + QStringLiteral("/Dane"));
            EXPECT_TRUE(fileTables(p).isEmpty());
            EXPECT_FALSE(child<QPushButton>(p, "BB_Otworz")->isEnabled());
            ASSERT_TRUE(p.showFolder(second));
            EXPECT_EQ(child<QLabel>(p, "Label2")->text(), native(second));
            EXPECT_TRUE(fileTables(p).contains(QStringLiteral("Towar"), Qt::CaseInsensitive));
            click(p, "BB_Otworz");
        },
        [&] { trigger(*w, "N1"); });

    auto& s = w->state();
    EXPECT_EQ(s.CurrentCatalogueFolder, second);
    EXPECT_EQ(s.CurrentCatalogueName, native(second));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("PELK! - ") + native(second));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Pompa")});
    EXPECT_EQ(listLines(), (QStringList{listed, native(second)}));
    EXPECT_EQ(QDir::currentPath(), workingFolder) << "browsing moved the process's folder";

    // Listed folders get no second line, under another name of the same folder neither.
    openThroughPicker(*w, catalogue);
    EXPECT_EQ(s.CurrentCatalogueFolder, catalogue);
    const QString link = main + QStringLiteral("/Skrot");
    ASSERT_TRUE(QFile::link(second, link));
    openThroughPicker(*w, link);
    EXPECT_EQ(s.CurrentCatalogueFolder, second) << "the folder kept under its link's name";
    EXPECT_EQ(s.CurrentCatalogueName, native(link));
    EXPECT_EQ(listLines(), (QStringList{listed, native(second)}));

    // Cancelled: nothing changes.
    withPicker(
        [&](shell::TOtworz_Baze& p) {
            p.showFolder(catalogue);
            click(p, "BB_Anuluj");
        },
        [&] { trigger(*w, "N1"); });
    EXPECT_EQ(s.FolderPickMode, QStringLiteral("Anuluj"));
    EXPECT_EQ(s.CurrentCatalogueFolder, second);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
}

TEST_F(CatalogueListTest, FileListIsEmptyWithoutCatalogueTablesAndMakesNoDatabase) {
    makeMainFolder();
    store::MainState state;
    state.MainFolder = main + u'/';
    state.FolderPickMode = QStringLiteral("Otwórz");
    shell::TOtworz_Baze picker(state);
    const QString plain = main + QStringLiteral("/Kopie");
    ASSERT_TRUE(QDir(plain).exists());

    ASSERT_TRUE(picker.showFolder(main)); // a database, but the main folder's tables only
    EXPECT_TRUE(fileTables(picker).isEmpty());
    ASSERT_TRUE(picker.showFolder(plain));
    EXPECT_TRUE(fileTables(picker).isEmpty());
    EXPECT_FALSE(engine::Database::exists(plain));
    EXPECT_FALSE(picker.showFolder(main + QStringLiteral("/Brak")));
    EXPECT_EQ(picker.shownFolder(), plain);
    ASSERT_TRUE(picker.showFolder(catalogue));
    EXPECT_EQ(fileTables(picker).size(), store::catalogueTables().size());
}

TEST_F(CatalogueListTest, NewCatalogueRefusesAnExistingNameAndOpensWhatItMade) {
    makeMainFolder({QStringLiteral("Zawór")});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& s = w->state();
    const QString empty = main + QStringLiteral("/Dane/Pusty");
    ASSERT_TRUE(QDir().mkpath(empty));
    const QString refused = QStringLiteral("Nie mogę utworzyć folderu o takiej nazwie !");

    withPicker(
        [&](shell::TOtworz_Baze& p) {
            EXPECT_EQ(p.windowTitle(), QStringLiteral("Nowy"));
            EXPECT_FALSE(child<QPushButton>(p, "BB_Otworz")->isVisible());
            EXPECT_FALSE(child<QPushButton>(p, "BB_Wybierz")->isVisible());
            auto* edit = child<QLineEdit>(p, "Edit");
            for (const char* name : {"Glowna", "Pusty", "", "a/b", ".."}) {
                messages.clear();
                edit->setText(QString::fromUtf8(name));
                click(p, "BB_Nowy");
                EXPECT_EQ(messages.texts(), QStringList{refused}) << name;
                EXPECT_TRUE(p.isVisible()) << "the picker stays open after " << name;
            }
            click(p, "BB_Anuluj");
        },
        [&] { trigger(*w, "Nowabaza1"); });
    EXPECT_FALSE(engine::Database::exists(empty)) << "tables made in an existing folder";
    EXPECT_EQ(s.CurrentCatalogueFolder, catalogue);
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Zawór")});
    EXPECT_FALSE(QDir(main + QStringLiteral("/Dane/a")).exists());

    messages.clear();
    s.DefaultSupplierNr = 7;
    withPicker(
        [&](shell::TOtworz_Baze& p) {
            child<QLineEdit>(p, "Edit")->setText(QStringLiteral("Nowa baza"));
            click(p, "BB_Nowy");
        },
        [&] { trigger(*w, "Nowabaza1"); });
    const QString made = main + QStringLiteral("/Dane/Nowa baza");
    EXPECT_EQ(messages.texts(), QStringList{store::kCatalogueCreatedMessage});
    EXPECT_EQ(shell::catalogueTableNames(made).size(), store::catalogueTables().size());
    EXPECT_EQ(s.CurrentCatalogueFolder, made);
    EXPECT_EQ(s.CurrentCatalogueName, native(made));
    EXPECT_EQ(s.DefaultSupplierNr, 0);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("PELK! - ") + native(made));
    EXPECT_TRUE(s.CatalogueEmpty);
    EXPECT_EQ(s.TFTowar.databaseName(), made);
    EXPECT_EQ(listLines(), (QStringList{catalogue, native(made)}));
}

TEST_F(CatalogueListTest, WizardModeHandsBackAFolderAndMakesNoCatalogue) {
    makeMainFolder();
    store::MainState state;
    state.MainFolder = main + u'/';
    state.CurrentCatalogueFolder = QStringLiteral("/stare");
    state.DefaultSupplierNr = 3;
    auto pick = [&](const std::function<void(shell::TOtworz_Baze&)>& user) {
        state.FolderPickMode = QStringLiteral("Otwórz_Nowy");
        state.PickedFolder = QStringLiteral("z poprzedniego razu");
        shell::TOtworz_Baze picker(state);
        runner.on(QStringLiteral("TOtworz_Baze"), [&](QDialog& d) {
            EXPECT_TRUE(state.PickedFolder.isEmpty());
            user(dynamic_cast<shell::TOtworz_Baze&>(d));
        });
        return ui::modalRunner().run(picker);
    };

    // A new folder: made, empty, handed back to be filled by the wizard.
    EXPECT_EQ(pick([&](shell::TOtworz_Baze& p) {
                  EXPECT_EQ(p.windowTitle(), QStringLiteral("Wybieranie foldera"));
                  EXPECT_EQ(child<QLabel>(p, "Label3")->text(),
                            QStringLiteral("Nazwa nowego foldera:"));
                  EXPECT_FALSE(child<QPushButton>(p, "BB_Otworz")->isVisible());
                  EXPECT_FALSE(child<QPushButton>(p, "BB_Wybierz")->isEnabled())
                      << "Dane is no catalogue";
                  child<QLineEdit>(p, "Edit")->setText(QStringLiteral("Firma"));
                  click(p, "BB_Nowy");
              }),
              QDialog::Accepted);
    const QString made = main + QStringLiteral("/Dane/Firma");
    EXPECT_EQ(state.PickedFolder, native(made));
    EXPECT_TRUE(state.CreateInPickedFolder);
    EXPECT_TRUE(QDir(made).exists());
    EXPECT_FALSE(engine::Database::exists(made));
    EXPECT_EQ(state.DefaultSupplierNr, 3);

    // An existing catalogue, used as it is.
    EXPECT_EQ(pick([&](shell::TOtworz_Baze& p) {
                  ASSERT_TRUE(p.showFolder(catalogue));
                  click(p, "BB_Wybierz");
              }),
              QDialog::Accepted);
    EXPECT_EQ(state.PickedFolder, native(catalogue));
    EXPECT_FALSE(state.CreateInPickedFolder);
    EXPECT_EQ(state.DefaultSupplierNr, 0);
    EXPECT_EQ(state.CurrentCatalogueFolder, QStringLiteral("/stare"));

    EXPECT_EQ(pick([&](shell::TOtworz_Baze& p) { click(p, "BB_Anuluj"); }), QDialog::Rejected);
    EXPECT_TRUE(state.PickedFolder.isEmpty());
    EXPECT_EQ(state.FolderPickMode, QStringLiteral("Anuluj"));
    EXPECT_EQ(listLines(), QStringList{catalogue}) << "the wizard's choice is no list entry";
}

TEST_F(CatalogueListTest, OpenFromListRefusesTheOpenCatalogueAndStrikesLinesAtOnce) {
    makeMainFolder();
    const QString second = makeCatalogue(QStringLiteral("Druga"));
    addItems(second, {QStringLiteral("Pompa")});
    const QString gone = main + QStringLiteral("/Dane/Usunieta");
    writeList({catalogue, QStringLiteral("Dane/Druga"), gone});
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& s = w->state();

    runner.on(QStringLiteral("TEkr_Otworz_z_listy"), [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Otwórz z listy"));
        auto* list = child<QListWidget>(d, "ListBox1");
        ASSERT_EQ(list->count(), 3);
        list->setCurrentRow(0);
        click(d, "BB_Otworz");
        EXPECT_EQ(messages.texts(),
                  QStringList{QStringLiteral("Wybrana baza jest aktualnie otwarta ?")});
        EXPECT_TRUE(d.isVisible());

        messages.clear();
        list->setCurrentRow(2);
        click(d, "BB_Otworz");
        EXPECT_EQ(messages.count(), 1) << "a folder without a catalogue opened";
        EXPECT_TRUE(d.isVisible());

        click(d, "SpeedButton9");
        EXPECT_EQ(listLines(), (QStringList{catalogue, QStringLiteral("Dane/Druga")}))
            << "Lista.txt not rewritten at once";
        EXPECT_EQ(list->count(), 2);
        click(d, "BB_Powrot");
    });
    click(*w, "SpeedButton4");
    EXPECT_EQ(s.CurrentCatalogueFolder, catalogue);
    EXPECT_EQ(listLines(), (QStringList{catalogue, QStringLiteral("Dane/Druga")}));

    // Opened again, it reads the file again; a line relative to the main folder opens.
    messages.clear();
    writeList({catalogue, QStringLiteral("Dane/Druga"), gone});
    runner.on(QStringLiteral("TEkr_Otworz_z_listy"), [&](QDialog& d) {
        auto* list = child<QListWidget>(d, "ListBox1");
        ASSERT_EQ(list->count(), 3);
        list->setCurrentRow(1);
        click(d, "BB_Otworz");
    });
    click(*w, "SpeedButton4");
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(s.CurrentCatalogueFolder, second);
    EXPECT_EQ(s.CurrentCatalogueName, QStringLiteral("Dane/Druga"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("PELK! - ") + native(second));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Pompa")});
}

TEST_F(CatalogueListTest, FavouriteIsPresentOnlyUnderItsOwnPath) {
    makeMainFolder();
    const QString longer = makeCatalogue(QStringLiteral("AB"));
    const QString shorter = makeCatalogue(QStringLiteral("A"));
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    auto& s = w->state();
    EXPECT_EQ(s.CurrentCatalogueName, native(catalogue)) << "the start without a login";

    // The first-run setup's row names the default catalogue already.
    trigger(*w, "Dodajdoulubionych1");
    EXPECT_EQ(favouriteRows(), 1);

    openThroughPicker(*w, longer);
    trigger(*w, "Dodajdoulubionych1");
    EXPECT_EQ(favourites(*w), (QStringList{catalogue, native(longer)}));
    openThroughPicker(*w, shorter);
    trigger(*w, "Dodajdoulubionych1");
    trigger(*w, "Dodajdoulubionych1");
    EXPECT_EQ(favourites(*w), (QStringList{catalogue, native(longer), native(shorter)}));
    EXPECT_EQ(favouriteRows(), 3);

    // Removing takes the exact path only.
    trigger(*w, "Porzdkuj1");
    EXPECT_EQ(favourites(*w), (QStringList{catalogue, native(longer)}));
    trigger(*w, "Porzdkuj1");
    EXPECT_EQ(favouriteRows(), 2);

    // Choosing one opens it.
    w->form().Ulubione->setCurrentIndex(1);
    w->UlubioneChange();
    EXPECT_EQ(s.CurrentCatalogueFolder, longer);
    EXPECT_EQ(s.CurrentCatalogueName, native(longer));
}

// A catalogue on a database server is chosen by the server's address and the list of catalogues
// found there, in each mode that chooses an existing catalogue; its location then stands where a
// folder would, kept as written: one line in Lista.txt, and the same text handed back.
TEST_F(CatalogueListTest, ServerButtonChoosesACatalogueFoundOnAServer) {
    makeMainFolder();
    store::MainState state;
    state.MainFolder = main + u'/';
    const QString address = QStringLiteral("postgresql://firma@serwer:5433/katalogi");
    const QString magazyn = address + QStringLiteral("/magazyn");
    const QString unreachable = QStringLiteral("Nie można połączyć się z bazą danych baza na "
                                               "serwerze zly.");
    QStringList asked;
    // The server dialog as the user drives it, its list read from a server that answers
    // "Biuro" and "magazyn" (and fails for the host "zly").
    auto onServer = [&](const std::function<void(shell::TEkr_Serwer&)>& user) {
        runner.on<shell::TEkr_Serwer>([&, user](shell::TEkr_Serwer& d) {
            d.listCatalogues = [&](const QString& a) {
                asked << a;
                if (a.contains(QStringLiteral("zly")))
                    throw engine::EngineError(engine::EngineError::Kind::NoDatabase, unreachable);
                return QStringList{QStringLiteral("Biuro"), QStringLiteral("magazyn")};
            };
            user(d);
        });
    };
    auto pick = [&](const QString& mode, const std::function<void(shell::TOtworz_Baze&)>& user) {
        state.FolderPickMode = mode;
        shell::TOtworz_Baze picker(state);
        runner.on(QStringLiteral("TOtworz_Baze"),
                  [&](QDialog& d) { user(dynamic_cast<shell::TOtworz_Baze&>(d)); });
        return ui::modalRunner().run(picker);
    };
    auto choose = [&](shell::TEkr_Serwer& d, int row) {
        click(d, "BB_Szukaj");
        auto* list = child<QListWidget>(d, "ListBox_Katalogi");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Biuro"));
        list->setCurrentRow(row);
        click(d, "BB_Wybierz");
    };
    auto clickServer = [&](shell::TOtworz_Baze& p) { click(p, "BB_Serwer"); };

    // Opening: a server that cannot be asked is said in the error box and nothing is listed.
    onServer([&](shell::TEkr_Serwer& d) {
        auto* edit = child<QLineEdit>(d, "Edit_Adres");
        EXPECT_TRUE(edit->text().isEmpty());
        EXPECT_FALSE(child<QPushButton>(d, "BB_Wybierz")->isEnabled());
        edit->setText(QStringLiteral("postgresql://zly/baza"));
        click(d, "BB_Szukaj");
        EXPECT_EQ(messages.texts(), QStringList{unreachable});
        EXPECT_EQ(child<QListWidget>(d, "ListBox_Katalogi")->count(), 0);
        EXPECT_FALSE(child<QPushButton>(d, "BB_Wybierz")->isEnabled());
        messages.clear();
        edit->setText(address);
        choose(d, 1);
    });
    EXPECT_EQ(pick(QStringLiteral("Otwórz"), clickServer), QDialog::Accepted);
    EXPECT_EQ(asked, (QStringList{QStringLiteral("postgresql://zly/baza"), address}));
    EXPECT_EQ(state.CurrentCatalogueFolder, magazyn);
    EXPECT_EQ(state.CurrentCatalogueName, magazyn);
    EXPECT_EQ(listLines(), (QStringList{catalogue, magazyn}));

    // Again: the dialog starts on the open catalogue's server; the list gets no second line.
    // An address edited after the list was read takes the list away with it.
    onServer([&](shell::TEkr_Serwer& d) {
        auto* edit = child<QLineEdit>(d, "Edit_Adres");
        EXPECT_EQ(edit->text(), address);
        click(d, "BB_Szukaj");
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(child<QListWidget>(d, "ListBox_Katalogi")->count(), 0);
        EXPECT_FALSE(child<QPushButton>(d, "BB_Wybierz")->isEnabled());
        edit->setText(address + u'/');
        choose(d, 1);
    });
    EXPECT_EQ(pick(QStringLiteral("Otwórz"), clickServer), QDialog::Accepted);
    EXPECT_EQ(state.CurrentCatalogueFolder, magazyn);
    EXPECT_EQ(listLines(), (QStringList{catalogue, magazyn}));
    EXPECT_TRUE(shell::sameFolder(QStringLiteral(" ") + magazyn, magazyn, main));
    EXPECT_FALSE(shell::sameFolder(address + QStringLiteral("/Biuro"), magazyn, main));

    // The first-run wizard's choice and a setting's choice: the location handed back.
    state.CreateInPickedFolder = true;
    state.DefaultSupplierNr = 4;
    onServer([&](shell::TEkr_Serwer& d) {
        child<QLineEdit>(d, "Edit_Adres")->setText(address);
        choose(d, 0);
    });
    EXPECT_EQ(pick(QStringLiteral("Otwórz_Nowy"), clickServer), QDialog::Accepted);
    EXPECT_EQ(state.PickedFolder, address + QStringLiteral("/Biuro"));
    EXPECT_FALSE(state.CreateInPickedFolder);
    EXPECT_EQ(state.DefaultSupplierNr, 0);
    onServer([&](shell::TEkr_Serwer& d) { choose(d, 1); });
    EXPECT_EQ(pick(shell::TOtworz_Baze::kPickCatalogue, clickServer), QDialog::Accepted);
    EXPECT_EQ(state.PickedFolder, magazyn);
    EXPECT_EQ(listLines(), (QStringList{catalogue, magazyn})) << "a choice is no list entry";

    // The server dialog cancelled leaves the picker open; making a catalogue offers no server.
    onServer([&](shell::TEkr_Serwer& d) { click(d, "BB_Anuluj"); });
    EXPECT_EQ(pick(shell::TOtworz_Baze::kPickCatalogue,
                   [&](shell::TOtworz_Baze& p) {
                       click(p, "BB_Serwer");
                       EXPECT_TRUE(p.isVisible());
                       click(p, "BB_Anuluj");
                   }),
              QDialog::Rejected);
    EXPECT_TRUE(state.PickedFolder.isEmpty());
    EXPECT_EQ(pick(QStringLiteral("Nowy"),
                   [&](shell::TOtworz_Baze& p) {
                       EXPECT_FALSE(child<QPushButton>(p, "BB_Serwer")->isVisible());
                       click(p, "BB_Anuluj");
                   }),
              QDialog::Rejected);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
}
