// Leaving the program: the exit question, the backup started at exit, and the user's last
// catalogue remembered for the next login.
#include "shell/fakemainview.h"
#include "shell/fixture.h"

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

const QString kExitQuestion = QStringLiteral("Zakończyć pracę z programem ?");
const QString kBackupQuestion = QStringLiteral("Wykonać teraz kopię zapasową ?");
const QString kBackupFailed =
    QStringLiteral("Polecenie wykonane nieprawodłowo. Kopia zapasowa nie została wykonana !");

} // namespace

TEST_F(ShellTest, ExitAnsweredNoChangesNothing) {
    makeMainFolder({QStringLiteral("Zawór")});
    setSetting(QStringLiteral("Pelk_Kopia_Wykonuj"), true);
    auto w = startWindow();
    w->show();
    messages.answerNo();
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(messages.count(), 1) << "no backup question after No";
    EXPECT_EQ(messages.last().text, kExitQuestion);
    EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
    EXPECT_TRUE(launcher.requests.empty());
    EXPECT_TRUE(w->state().TPelk.isOpen());
    EXPECT_TRUE(w->state().TFTowar.isOpen());
    EXPECT_TRUE(w->controller().refreshTimer().isActive());

    messages.answerYes().answerNo(); // now leave, without a backup
    EXPECT_TRUE(w->close());
    EXPECT_EQ(messages.texts(), (QStringList{kExitQuestion, kExitQuestion, kBackupQuestion}));
    EXPECT_FALSE(w->controller().refreshTimer().isActive());
}

TEST_F(ShellTest, BackupIsOfferedAtEveryExitAndDatedOnlyWhenStarted) {
    makeMainFolder({QStringLiteral("Zawór")});
    const QDate lastBackup(2023, 12, 1);
    // Far longer than the old 79-character limit: handed over whole.
    const QString parameters = QStringLiteral("-r \"/mnt/kopie/katalog wyrobów/") +
                               QString(90, u'x') + QStringLiteral(".tar\" Dane");
    setSetting(QStringLiteral("Pelk_Kopia_Wykonuj"), true);
    setSetting(QStringLiteral("Pelk_Kopia_Aplikacja"), QStringLiteral("pelk-kopia"));
    setSetting(QStringLiteral("Pelk_Kopia_Polecenie"), parameters);
    setSetting(QStringLiteral("Pelk_Kopia_Data"), lastBackup);
    // Interval and confirmation settings do not matter: the question comes at every exit.
    setSetting(QStringLiteral("Pelk_Kopia_Co_Ile"), 30);
    setSetting(QStringLiteral("Pelk_Kopia_Potwierdz"), false);

    auto exitOnce = [&](ui::Button backupAnswer) {
        ControllerRig r;
        EXPECT_EQ(r.controller.start(main), Outcome::Running);
        messages.clear();
        messages.answerYes().answer(backupAnswer);
        EXPECT_TRUE(r.controller.confirmExit());
        r.controller.closing();
        EXPECT_EQ(messages.texts().mid(0, 2), (QStringList{kExitQuestion, kBackupQuestion}));
        return messages.texts().mid(2);
    };

    // No: nothing started, the date stays.
    EXPECT_TRUE(exitOnce(ui::Button::No).isEmpty());
    EXPECT_TRUE(launcher.requests.empty());
    EXPECT_EQ(setting(QStringLiteral("Pelk_Kopia_Data")).toDate(), lastBackup);

    // A program that cannot be started, for whatever reason: the message, and the date stays.
    for (auto answer :
         {platform::LaunchResult::Status::NotFound, platform::LaunchResult::Status::Failed}) {
        launcher.answer = answer;
        EXPECT_EQ(exitOnce(ui::Button::Yes), QStringList{kBackupFailed});
        EXPECT_EQ(setting(QStringLiteral("Pelk_Kopia_Data")).toDate(), lastBackup);
    }

    // Started: today's date.
    launcher.answer = platform::LaunchResult::Status::Started;
    launcher.requests.clear();
    EXPECT_TRUE(exitOnce(ui::Button::Yes).isEmpty());
    ASSERT_EQ(launcher.requests.size(), 1u);
    EXPECT_EQ(launcher.requests[0].program, QStringLiteral("pelk-kopia"));
    EXPECT_EQ(launcher.requests[0].parameters, parameters);
    EXPECT_TRUE(launcher.requests[0].workingFolder.isEmpty());
    EXPECT_EQ(setting(QStringLiteral("Pelk_Kopia_Data")).toDate(), clock.date);
}

TEST_F(ShellTest, TheLoggedInUsersLastCatalogueIsRememberedAtExit) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    const QString second = tmp.sub(QStringLiteral("Dane/Druga"));
    store::createCatalogue(second);
    addItems(second, {QStringLiteral("Pompa")});

    ControllerRig r;
    auto& s = r.state;
    r.controller.runLogin = [&] { // the administrator of the first run logs in
        s.CurrentUserNr = 1;
        s.RightsLevel = 2;
        s.AdminRight = s.PriceRight = true;
        s.CurrentCatalogueFolder = catalogue;
        r.controller.bindCatalogueTables();
        r.controller.tableMode();
        s.StartupDone = true;
    };
    ASSERT_EQ(r.controller.start(main), Outcome::Running);
    // The favourites of the first run.
    EXPECT_EQ(r.view.favourites, QStringList{catalogue});

    s.CurrentCatalogueFolder = second;
    ASSERT_TRUE(r.controller.openCatalogue());
    EXPECT_EQ(s.TFTowar.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Pompa"));
    messages.answerYes();
    EXPECT_TRUE(r.controller.confirmExit());
    r.controller.closing();
    EXPECT_FALSE(s.TUsers.isOpen());
    EXPECT_FALSE(s.TPelk.isOpen());

    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    ASSERT_TRUE(users.findKey({1}));
    // Kept relative to the main folder it lies in.
    EXPECT_EQ(QDir(main).absoluteFilePath(users.asString(QStringLiteral("User_Baza_Sciezka"))),
              second);
    EXPECT_TRUE(QDir::isRelativePath(users.asString(QStringLiteral("User_Baza_Sciezka"))));
}
