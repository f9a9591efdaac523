// The main window's logic without the window: the start's steps, the empty check, the rights
// behind the commands, the periodic re-read, a catalogue that fails to open, and exit. The
// controller runs against FakeMainView.
#include "shell/czaro.h"
#include "shell/fakemainview.h"
#include "shell/fixture.h"

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

QStringList enabledOf(const FakeMainView& v, const QStringList& names) {
    QStringList on;
    for (const QString& n : names)
        if (v.isCommandEnabled(n)) on << n;
    return on;
}

class ControllerTest : public ShellTest {
protected:
    // A login that lets user 1 in with these rights, into the default catalogue.
    void loginAs(ControllerRig& r, int rights, bool admin) {
        r.controller.runLogin = [this, &r, rights, admin] {
            auto& s = r.state;
            r.view.steps << QStringLiteral("login");
            s.CurrentUserNr = 1;
            s.RightsLevel = rights;
            s.AdminRight = admin;
            s.CurrentCatalogueFolder = catalogue;
            r.controller.bindCatalogueTables();
            r.controller.tableMode();
            s.StartupDone = true;
        };
    }
    // A second user beside the administrator of the first run.
    void addUser(const QString& name) {
        engine::Table t(main, QStringLiteral("Users"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("User_Nazwa"), name);
        t.setValue(QStringLiteral("User_Uprawnienia"), 1);
        t.post();
    }
};

const QStringList kAdminCommands{QStringLiteral("Administrator1"), QStringLiteral("Kreatortest1")};

} // namespace

TEST_F(ControllerTest, StartWithoutLoginSetsUpTheWindowInOrderWithEveryRight) {
    makeMainFolder({QStringLiteral("Zawór"), QStringLiteral("Pompa")});
    ControllerRig r;
    bool splashGone = false;
    r.controller.beforeStartDialog = [&] { splashGone = true; };
    ASSERT_EQ(r.controller.start(main), Outcome::Running);

    EXPECT_FALSE(splashGone) << "no dialog came; the splash stays until the window shows";
    EXPECT_EQ(r.view.steps, (QStringList{"title", "startSize", "layout", "title", "maximise"}));
    EXPECT_EQ(r.view.title, QStringLiteral("PELK! - ") +
                                QDir::toNativeSeparators(r.state.CurrentCatalogueFolder));
    EXPECT_EQ(r.view.tab, 0);
    EXPECT_EQ(r.view.sort, 0);
    EXPECT_EQ(r.view.counter, 2);
    EXPECT_TRUE(r.view.favourites.isEmpty());
    EXPECT_TRUE(r.view.notesVisible);
    EXPECT_TRUE(r.view.pricesBound);
    EXPECT_EQ(r.state.TFTowar.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Pompa"));
    // Alone at the machine: every command, the wizard and new catalogues included.
    for (const QStringList* names : {&shell::MainController::rowCommands(),
                                     &shell::MainController::editCommands(), &kAdminCommands})
        EXPECT_EQ(enabledOf(r.view, *names), *names);
    EXPECT_TRUE(r.view.isCommandEnabled(QStringLiteral("Nowabaza1")));
    EXPECT_TRUE(r.controller.refreshTimer().isActive());
}

TEST_F(ControllerTest, TheSplashGoesBeforeTheLoginAndAnAbandonedLoginEndsTheStart) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    ControllerRig r;
    r.controller.beforeStartDialog = [&] { r.view.steps << QStringLiteral("splash gone"); };
    r.controller.runLogin = [&] { r.view.steps << QStringLiteral("login"); };
    EXPECT_EQ(r.controller.start(main), Outcome::Abandoned);
    EXPECT_EQ(r.view.steps, (QStringList{"splash gone", "login"}));
    EXPECT_FALSE(r.state.TFTowar.isOpen());
    EXPECT_FALSE(r.controller.refreshTimer().isActive());
}

TEST_F(ControllerTest, RightsDecideTheCommandsOffered) {
    struct Case {
        const char* who;
        int rights;
        bool admin;
        bool edit, administer, newCatalogue;
    };
    const Case cases[] = {
        {"view only, administrator", 1, true, false, false, false},
        {"view only", 1, false, false, false, false},
        {"full rights, no administrator", 2, false, true, false, true},
        {"administrator", 2, true, true, true, true},
    };
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.who);
        ControllerRig r;
        loginAs(r, c.rights, c.admin);
        ASSERT_EQ(r.controller.start(main), Outcome::Running);
        const QStringList& edit = shell::MainController::editCommands();
        EXPECT_EQ(enabledOf(r.view, edit), c.edit ? edit : QStringList{});
        // The toolbar buttons follow their menu items.
        EXPECT_EQ(r.view.isCommandEnabled(QStringLiteral("SpeedButton6")), c.edit);
        EXPECT_EQ(enabledOf(r.view, kAdminCommands), c.administer ? kAdminCommands : QStringList{});
        EXPECT_EQ(r.view.isCommandEnabled(QStringLiteral("Uytkownicy1")), c.admin);
        EXPECT_EQ(r.view.isCommandEnabled(QStringLiteral("Nowabaza1")), c.newCatalogue);
        EXPECT_EQ(r.controller.mayAdminister(), c.administer);
        // Browsing is for everyone; the empty check never gives the editing commands back.
        r.controller.emptyCheck();
        EXPECT_TRUE(r.view.isCommandEnabled(QStringLiteral("SpeedButton17")));
        EXPECT_EQ(enabledOf(r.view, edit), c.edit ? edit : QStringList{});
    }
}

TEST_F(ControllerTest, TheWizardAgainReplacesTheUsersOnlyWhenAnAdministratorRunsIt) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    addUser(QStringLiteral("jan"));
    ASSERT_EQ(userCount(main), 2);
    for (const auto& [rights, admin] :
         {std::pair{1, false}, std::pair{1, true}, std::pair{2, false}, std::pair{2, true}}) {
        SCOPED_TRACE(rights * 10 + admin);
        ControllerRig r;
        loginAs(r, rights, admin);
        ASSERT_EQ(r.controller.start(main), Outcome::Running);
        bool ran = false;
        r.controller.runWizard = [&] { // finishes as a user would, with a new administrator
            ran = true;
            shell::SetupAnswers a;
            a.location = catalogue;
            a.createCatalogue = false;
            a.adminName = QStringLiteral("nowy");
            a.adminPassword = QStringLiteral("haslo");
            shell::finishSetup(main, a);
            return true;
        };
        r.controller.wizardAgain();
        const bool allowed = rights == 2 && admin;
        EXPECT_EQ(ran, allowed);
        EXPECT_EQ(userCount(main), allowed ? 1 : 2);
        if (allowed) break; // the users are gone now
    }
}

TEST_F(ControllerTest, EmptyCheckAndTheRereadFollowWhatOtherInstallationsDo) {
    makeMainFolder();
    ControllerRig r;
    ASSERT_EQ(r.controller.start(main), Outcome::Running);
    const QStringList& rows = shell::MainController::rowCommands();
    EXPECT_TRUE(r.state.CatalogueEmpty);
    EXPECT_TRUE(enabledOf(r.view, rows).isEmpty());
    EXPECT_FALSE(r.view.notesVisible);
    EXPECT_TRUE(r.view.isCommandEnabled(QStringLiteral("Nowy1")));

    // Not while a dialog is open: its current item must not move.
    insertItemElsewhere(catalogue, 10, QStringLiteral("Kolano"));
    r.controller.modalDialogOpen = [] { return true; };
    r.controller.refreshTick();
    EXPECT_TRUE(r.state.CatalogueEmpty);
    EXPECT_EQ(r.view.counter, 0);

    r.controller.modalDialogOpen = [] { return false; };
    r.controller.refreshTick();
    EXPECT_FALSE(r.state.CatalogueEmpty);
    EXPECT_EQ(r.view.counter, 1);
    EXPECT_EQ(enabledOf(r.view, rows), rows);
    EXPECT_TRUE(r.view.notesVisible);

    // A filter in force keeps the query off, also through the empty check.
    r.state.Filter.applied = true;
    r.controller.emptyCheck();
    EXPECT_FALSE(r.view.isCommandEnabled(QStringLiteral("SpeedButton18")));
    EXPECT_TRUE(r.view.isCommandEnabled(QStringLiteral("Filtr1")));
}

TEST_F(ControllerTest, ACatalogueThatFailsToOpenLeavesThePreviousOneOrNoneAtAll) {
    makeMainFolder({QStringLiteral("Zawór")});
    const QString broken = brokenCatalogue();
    ControllerRig r;
    ASSERT_EQ(r.controller.start(main), Outcome::Running);
    auto& s = r.state;
    const QString good = s.CurrentCatalogueFolder;
    const QString title = r.view.title;

    s.CurrentCatalogueFolder = broken;
    s.CurrentCatalogueName = QStringLiteral("Uszkodzona");
    EXPECT_FALSE(r.controller.openCatalogue());
    ASSERT_EQ(errorTexts().size(), 1);
    EXPECT_TRUE(errorTexts()[0].contains(QStringLiteral("Towar")));
    // Back where the user was, with everything that works there.
    EXPECT_EQ(s.CurrentCatalogueFolder, good);
    EXPECT_EQ(r.view.title, title);
    ASSERT_TRUE(s.TFTowar.isOpen());
    EXPECT_EQ(s.TFTowar.databaseName(), good);
    EXPECT_EQ(s.TFTowar.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Zawór"));
    EXPECT_TRUE(r.view.isCommandEnabled(QStringLiteral("Edycja2")));
    EXPECT_TRUE(r.controller.refreshTimer().isActive());

    // With nothing to go back to (the default catalogue itself is broken): no catalogue, and
    // nothing offered that needs one, until a good one is opened.
    messages.clear();
    setSetting(QStringLiteral("Pelk_Katalog_Glowny"), broken);
    ControllerRig second;
    ASSERT_EQ(second.controller.start(main), Outcome::Running);
    EXPECT_EQ(errorTexts().size(), 1);
    EXPECT_FALSE(second.state.TFTowar.isOpen());
    EXPECT_TRUE(second.state.CatalogueEmpty);
    EXPECT_TRUE(enabledOf(second.view, shell::MainController::rowCommands()).isEmpty());
    EXPECT_FALSE(second.view.isCommandEnabled(QStringLiteral("SpeedButton6")));
    EXPECT_FALSE(second.controller.refreshTimer().isActive());
    second.controller.refreshTick(); // nothing to re-read, nothing to report
    EXPECT_EQ(errorTexts().size(), 1);

    second.state.CurrentCatalogueFolder = good;
    EXPECT_TRUE(second.controller.openCatalogue());
    second.controller.emptyCheck();
    EXPECT_TRUE(second.view.isCommandEnabled(QStringLiteral("Nowy1")));
    EXPECT_TRUE(second.view.isCommandEnabled(QStringLiteral("Edycja2")));
    EXPECT_EQ(second.view.counter, 1);
}
