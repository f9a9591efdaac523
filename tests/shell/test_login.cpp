// The login at start-up: who may come in, with which rights and into which catalogue, and how
// wrong attempts end the program.
#include "engine/database.h"
#include "shell/Haslo.h"
#include "shell/fixture.h"
#include "store/passwords.h"
#include "support/rows.h"
#include <QLineEdit>
#include <QPushButton>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

const QString kWrong = QStringLiteral("Wprowadzone dane nie są poprawne!.\n Proszę o ponowne "
                                      "wprowadzenie nazwy użytkownika i hasła !!!");
const QString kGoodbye = QStringLiteral("Przykro mi dane nie są prawdziwe ! Do zobaczenia !");

void typeAndStart(QDialog& d, const QString& name, const QString& password) {
    d.findChild<QLineEdit*>(QStringLiteral("ME_Nazwa"))->setText(name);
    d.findChild<QLineEdit*>(QStringLiteral("ME_Haslo"))->setText(password);
    d.findChild<QPushButton*>(QStringLiteral("B_Zatwierdz"))->click();
}

class LoginTest : public ShellTest {
protected:
    void addUser(const QString& name, const QString& storedPassword, int rights, bool admin,
                 bool prices, const QString& catalogueText) {
        testsupport::addRow(main, QStringLiteral("Users"),
                            {{QStringLiteral("User_Nazwa"), name},
                             {QStringLiteral("User_Haslo"), storedPassword},
                             {QStringLiteral("User_Uprawnienia"), rights},
                             {QStringLiteral("User_Administrator"), admin},
                             {QStringLiteral("User_Ceny"), prices},
                             {QStringLiteral("User_Baza_Sciezka"), catalogueText}});
    }
    void addFavourite(const QString& folder, int user) {
        testsupport::addRow(
            main, QStringLiteral("Bazy"),
            {{QStringLiteral("Baza_Sciezka"), folder}, {QStringLiteral("Baza_User_Nr"), user}});
    }
    // Starts the window with a login that types these.
    std::unique_ptr<shell::TForm_Pelk> logIn(const QString& name, const QString& password) {
        runner.on(QStringLiteral("TEkr_Haslo"),
                  [=](QDialog& d) { typeAndStart(d, name, password); });
        return startWindow();
    }
};

} // namespace

TEST_F(LoginTest, NameAndPasswordInAnotherLetterCaseLogInWithTheUsersRightsAndFavourites) {
    makeMainFolder({QStringLiteral("Zawór"), QStringLiteral("Pompa")}, /*login*/ true);
    addFavourite(QStringLiteral("/gdzie/indziej"), 2); // another user's
    bool closeButton = true;
    runner.on(QStringLiteral("TEkr_Haslo"), [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Witam w Systemie Informacji PELK!"));
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("ME_Haslo"))->echoMode(),
                  QLineEdit::Password);
        closeButton = d.windowFlags().testFlag(Qt::WindowCloseButtonHint);
        typeAndStart(d, QStringLiteral("ADMIN"), QStringLiteral("TaJnE"));
    });
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    EXPECT_FALSE(closeButton);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    auto& s = w->state();
    EXPECT_TRUE(s.StartupDone);
    EXPECT_EQ(s.CurrentUserNr, 1);
    // Locks held by this installation name the user as stored, not as typed.
    EXPECT_EQ(engine::Database::userName(), QStringLiteral("admin"));
    EXPECT_EQ(s.RightsLevel, 2);
    EXPECT_TRUE(s.AdminRight);
    EXPECT_TRUE(s.PriceRight);
    EXPECT_EQ(s.CurrentCatalogueFolder, catalogue);
    // As stored by the first run: relative to the main folder it lies in.
    EXPECT_EQ(QDir::fromNativeSeparators(s.CurrentCatalogueName), QStringLiteral("Dane/Glowna"));
    EXPECT_EQ(s.TempFolder, main + QStringLiteral("/TMP"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("PELK! - ") + QDir::toNativeSeparators(catalogue));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary),
              (QStringList{QStringLiteral("Pompa"), QStringLiteral("Zawór")}));
    EXPECT_TRUE(s.TFGrupa.isOpen());
    EXPECT_TRUE(s.TFirma_Prod.isOpen());
    EXPECT_EQ(w->form().DBGrid_Cena->dataSet(), &s.TCeny);
    for (const QString& name : shell::MainController::editCommands())
        EXPECT_TRUE(w->isCommandEnabled(name)) << name.toStdString();
    // Only the user's own favourites.
    ASSERT_EQ(w->form().Ulubione->count(), 1);
    EXPECT_EQ(w->form().Ulubione->itemText(0), catalogue);
    EXPECT_TRUE(s.TBazy.filtered());
}

TEST_F(LoginTest, TwoWrongAttemptsKeepTheDialogAndTheThirdEndsTheProgram) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    int result = -1;
    runner.on(QStringLiteral("TEkr_Haslo"), [&](QDialog& d) {
        typeAndStart(d, QStringLiteral("admin"), QStringLiteral("zle"));
        EXPECT_TRUE(d.isVisible());
        typeAndStart(d, QStringLiteral("nikt"), QStringLiteral("tajne"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(messages.texts(), (QStringList{kWrong, kWrong}));
        typeAndStart(d, QString(), QString());
        EXPECT_FALSE(d.isVisible());
        result = d.result();
    });
    auto w = startWindow();
    EXPECT_EQ(outcome, Outcome::Abandoned);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(messages.texts(), (QStringList{kWrong, kWrong, kGoodbye}));
    EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
    auto& s = w->state();
    EXPECT_FALSE(s.StartupDone);
    EXPECT_EQ(s.CurrentUserNr, 0);
    EXPECT_FALSE(s.TFTowar.isOpen());
    EXPECT_FALSE(s.TFGrupa.isOpen());
}

TEST_F(LoginTest, ARightAttemptAfterWrongOnesAndCancellingBehaveAsTheUserChose) {
    makeMainFolder({}, /*login*/ true);
    runner.on(QStringLiteral("TEkr_Haslo"), [&](QDialog& d) {
        typeAndStart(d, QStringLiteral("admin"), QStringLiteral("tajn"));
        typeAndStart(d, QStringLiteral("admin"), QStringLiteral("tajne "));
        typeAndStart(d, QStringLiteral("Admin"), QStringLiteral("tajne"));
    });
    auto w = startWindow();
    EXPECT_EQ(outcome, Outcome::Running);
    EXPECT_EQ(w->state().CurrentUserNr, 1);
    EXPECT_EQ(messages.count(), 2);

    runner.on(QStringLiteral("TEkr_Haslo"),
              [&](QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("B_Anuluj"))->click(); });
    auto again = startWindow();
    EXPECT_EQ(outcome, Outcome::Abandoned);
    EXPECT_FALSE(again->state().StartupDone);
    EXPECT_FALSE(again->state().TFTowar.isOpen());
}

TEST_F(LoginTest, AnyRightsOtherThanTwoAreReadOnly) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    addUser(QStringLiteral("Gosc"), store::hashPassword(QStringLiteral("x")), 0, false, false,
            catalogue);
    addUser(QStringLiteral("Czytelnik"), store::hashPassword(QStringLiteral("y")), 1, false, true,
            catalogue);
    for (const auto& [name, password, prices] :
         {std::tuple{"gosc", "X", false}, std::tuple{"CZYTELNIK", "y", true}}) {
        SCOPED_TRACE(name);
        auto w = logIn(QString::fromLatin1(name), QString::fromLatin1(password));
        ASSERT_EQ(outcome, Outcome::Running);
        auto& s = w->state();
        EXPECT_EQ(s.RightsLevel, 1);
        EXPECT_FALSE(s.AdminRight);
        EXPECT_EQ(s.PriceRight, prices);
        EXPECT_EQ(w->form().DBGrid_Cena->dataSet() != nullptr, prices);
        for (const QString& command : shell::MainController::editCommands())
            EXPECT_FALSE(w->isCommandEnabled(command)) << command.toStdString();
        EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("Administrator1")));
        EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("Uytkownicy1")));
    }
}

TEST_F(LoginTest, TheUserStartsInTheCatalogueLastWorkedInOrTheDefaultOneWhenItIsGone) {
    makeMainFolder({QStringLiteral("Zawór")}, /*login*/ true);
    const QString second = tmp.sub(QStringLiteral("Dane/Druga"));
    store::createCatalogue(second);
    addItems(second, {QStringLiteral("Pompa")});
    // Stored relative to the main folder, as a folder written by hand may be.
    addUser(QStringLiteral("Nowak"), store::hashPassword(QStringLiteral("zima")), 2, false, true,
            QStringLiteral("Dane/Druga"));
    addUser(QStringLiteral("Kowal"), QStringLiteral("Lato"), 2, true, true,
            QStringLiteral("Dane/Usuniety"));
    addFavourite(second, 2);

    {
        auto w = logIn(QStringLiteral("nowak"), QStringLiteral("ZIMA"));
        ASSERT_EQ(outcome, Outcome::Running);
        auto& s = w->state();
        EXPECT_EQ(s.CurrentUserNr, 2);
        EXPECT_EQ(s.CurrentCatalogueFolder, second);
        EXPECT_EQ(s.CurrentCatalogueName, QStringLiteral("Dane/Druga"));
        EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Pompa")});
        EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Nowy1")));
        EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("Uytkownicy1")));
        ASSERT_EQ(w->form().Ulubione->count(), 1);
        EXPECT_EQ(w->form().Ulubione->itemText(0), second);
        EXPECT_TRUE(messages.shown().isEmpty());
    }

    // The catalogue of the last session is gone: the user still gets in, into the default one.
    auto w = logIn(QStringLiteral("KOWAL"), QStringLiteral("lato"));
    ASSERT_EQ(outcome, Outcome::Running);
    auto& s = w->state();
    EXPECT_EQ(s.CurrentUserNr, 3);
    EXPECT_EQ(s.CurrentCatalogueFolder, catalogue);
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Zawór")});
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Nie można otworzyć katalogu")))
        << messages.last().text.toStdString();
    EXPECT_FALSE(QDir(main).exists(QStringLiteral("Dane/Usuniety")));
    // The password as typed in that older row is now kept as its hash.
    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    ASSERT_TRUE(users.findKey({3}));
    EXPECT_TRUE(store::isPasswordHash(users.asString(QStringLiteral("User_Haslo"))));
}
