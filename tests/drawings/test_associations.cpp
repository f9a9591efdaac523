// Opening an attribute value with its associated program or the browser, and the associations
// dialog.
#include "engine/table.h"
#include "files/E_Skojarz.h"
#include "files/fileviewer.h"
#include "platform/launcher.h"
#include "store/mainfolder_schema.h"
#include "support/rows.h"
#include "ui/cataloguetest.h"
#include "ui/filedialogs.h"
#include <QFile>
#include <QGroupBox>

namespace {

using files::FileViewer;
using Outcome = FileViewer::Outcome;
using Status = platform::LaunchResult::Status;

const QString kNoApplication =
    QStringLiteral("Nie mogę skojarzyć tej własności z żadną aplikacją !");

class AssociationsTest : public CatalogueDialogTest {
protected:
    AssociationsTest()
        : CatalogueDialogTest(QStringLiteral("Dane/Kat")), launcherGuard_(launcher),
          filesGuard_(files) {
        mainFolder = tmp.path() + u'/';
        store::MainFolderSetup setup;
        setup.catalogueShown = folder;
        setup.catalogueExpanded = folder;
        setup.adminName = QStringLiteral("admin");
        store::createMainFolder(mainFolder, setup);
        state.MainFolder = mainFolder;
        elsewhere = tmp.sub(QStringLiteral("gdzies"));
    }

    static void touch(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write("x");
    }
    void associate(const QString& program, const QString& extension) {
        testsupport::addRow(mainFolder, QStringLiteral("Skojarz"),
                            {{QStringLiteral("Skojarzenia_Aplikacja"), program},
                             {QStringLiteral("Skojarzenia_Rozszerzenie"), extension}});
    }
    Outcome view(const QString& value, const QString& type = QStringLiteral("S")) {
        FileViewer viewer(mainFolder, folder);
        const Outcome outcome = viewer.open(value, type);
        failure = viewer.failure();
        return outcome;
    }
    // The last association as "program|extension", and how many there are.
    std::pair<QString, int> lastAssociation() {
        engine::Table t(mainFolder, QStringLiteral("Skojarz"));
        t.open();
        t.last();
        return {t.asString(QStringLiteral("Skojarzenia_Aplikacja")) + u'|' +
                    t.asString(QStringLiteral("Skojarzenia_Rozszerzenie")),
                t.recordCount()};
    }

    QString mainFolder, elsewhere, failure;
    platform::FakeShellLauncher launcher;
    ui::FakeFileDialogs files;

private:
    platform::ScopedLauncher launcherGuard_;
    ui::ScopedFileDialogs filesGuard_;
};

TEST_F(AssociationsTest, BitmapNamedInCapitalsIsFoundInEachOfTheThreePlaces) {
    const QString full = elsewhere + QStringLiteral("/SCHEMAT.BMP");
    touch(full);
    touch(mainFolder + QStringLiteral("GLOWNY.BMP"));
    touch(folder + QStringLiteral("/KATALOG.BMP"));
    const struct {
        QString value, found;
    } cases[] = {
        {full, full},
        // Written on the old desktop: only the file name counts in the two folders.
        {QStringLiteral("C:\\stare\\GLOWNY.BMP"), mainFolder + QStringLiteral("GLOWNY.BMP")},
        {QStringLiteral("D:\\rys\\KATALOG.BMP"), folder + QStringLiteral("/KATALOG.BMP")},
    };
    for (const auto& c : cases) {
        launcher.requests.clear();
        EXPECT_EQ(view(c.value), Outcome::Opened) << c.value.toStdString();
        ASSERT_EQ(launcher.requests.size(), 1u);
        EXPECT_EQ(launcher.requests[0].program, QStringLiteral("Pbrush.exe"));
        EXPECT_EQ(launcher.requests[0].parameters,
                  u'"' + QFileInfo(c.found).absoluteFilePath() + u'"');
    }
    // Nowhere to be found: the message, nothing started.
    launcher.requests.clear();
    EXPECT_EQ(view(QStringLiteral("C:\\BRAK.BMP")), Outcome::NoApplication);
    EXPECT_TRUE(launcher.requests.empty());
}

TEST_F(AssociationsTest, ProgramOfAnotherDesktopGivesWayToTheDesktopsOwnChoice) {
    const QString file = elsewhere + QStringLiteral("/z \"cudzysłowem\" i spacją.bmp");
    touch(file);
    launcher.answer = Status::NotFound;
    EXPECT_EQ(view(file), Outcome::Failed);
    ASSERT_EQ(launcher.requests.size(), 2u);
    EXPECT_EQ(launcher.requests[1].program, QString());
    EXPECT_EQ(launcher.requests[1].parameters, file);
    EXPECT_EQ(files::viewerMessage(Outcome::Failed, failure), QStringLiteral("fake"));
    // The whole path stays one argument, however it is written.
    EXPECT_EQ(platform::SystemShellLauncher::splitParameters(launcher.requests[0].parameters),
              QStringList{file});
}

TEST_F(AssociationsTest, WebAddressesOpenInTheBrowserUnlessTheirEndingIsAssociated) {
    EXPECT_EQ(view(QStringLiteral("www.example.pl")), Outcome::Opened);
    EXPECT_EQ(view(QStringLiteral("HTTP://WWW.EXAMPLE.PL")), Outcome::Opened);
    EXPECT_EQ(view(QStringLiteral("https://example.com")), Outcome::Opened);
    ASSERT_EQ(launcher.requests.size(), 3u);
    EXPECT_EQ(launcher.requests[0].program, QString()); // the desktop's browser
    EXPECT_EQ(launcher.requests[0].parameters, QStringLiteral("www.example.pl"));
    EXPECT_EQ(launcher.requests[2].parameters, QStringLiteral("https://example.com"));

    // "htm" is associated: the address is taken for a file, which is not there.
    launcher.requests.clear();
    EXPECT_EQ(view(QStringLiteral("www.example.pl/index.htm")), Outcome::NoApplication);
    EXPECT_EQ(files::viewerMessage(Outcome::NoApplication), kNoApplication);
    EXPECT_EQ(view(QStringLiteral("ftp.example.pl")), Outcome::NoApplication);
    EXPECT_TRUE(launcher.requests.empty());
}

TEST_F(AssociationsTest, ShortValuesAndOtherTypes) {
    EXPECT_EQ(FileViewer::extensionOf(QStringLiteral("ab")), QStringLiteral("ab"));
    EXPECT_EQ(FileViewer::extensionOf(QStringLiteral("plik.docx")), QStringLiteral("ocx"));
    associate(QStringLiteral("edytor"), QStringLiteral("AB"));
    touch(folder + QStringLiteral("/ab"));
    EXPECT_EQ(view(QStringLiteral("ab")), Outcome::Opened);
    ASSERT_EQ(launcher.requests.size(), 1u);
    EXPECT_EQ(launcher.requests[0].program, QStringLiteral("edytor"));
    EXPECT_EQ(view(QStringLiteral("x")), Outcome::NoApplication);

    launcher.requests.clear();
    EXPECT_EQ(view(QStringLiteral("www.example.pl"), QStringLiteral("A")), Outcome::WrongType);
    EXPECT_TRUE(launcher.requests.empty());
    EXPECT_EQ(
        files::viewerMessage(Outcome::WrongType),
        QStringLiteral("Ta własność nie jest typu skojarzeniowego (tzn. plik, strona WWW )  !"));
}

TEST_F(AssociationsTest, DialogAddsWithProgramPickerAndRefusesIncompleteRows) {
    const QString program = elsewhere + QStringLiteral("/przegladarka");
    files.answers = {program};
    auto d = showActive<files::TEkr_Skojarzenia>(state);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Skojarzenia z aplikacjami"));
    EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    pushButton(d.get(), "BB_Dodaj")->click();
    EXPECT_EQ(d->editPanel()->title(), QStringLiteral(" Edycja "));
    pushButton(d.get(), "BB_Aplikacja")->click();
    EXPECT_EQ(lineEdit(d.get(), "Edit_Aplikacja")->text(), program);
    EXPECT_EQ(files.captionsAsked, QStringList{QStringLiteral("Wybór aplikacji")});
    pushButton(d.get(), "BB_Zapisz")->click();
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Nie wprowadzono wszystkich danych. Zapis nie jest możliwy !"));
    EXPECT_TRUE(d->editing());
    typeText(lineEdit(d.get(), "Edit_Rozszerzenie"), QStringLiteral(".pd"));
    pushButton(d.get(), "BB_Zapisz")->click();
    EXPECT_FALSE(d->editing());
    EXPECT_EQ(lastAssociation(), std::make_pair(QString(program + QStringLiteral("|pd")), 5));

    messages.answerNo();
    pushButton(d.get(), "BB_Usun")->click();
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Czy na pewno chcesz usunąć zaznaczoną pozycję ?"));
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(lastAssociation().second, 5);
}

} // namespace
