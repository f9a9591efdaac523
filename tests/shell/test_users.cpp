// The users dialog: what it stores for a user, and its guards.
#include "engine/table.h"
#include "platform/clipboard.h"
#include "shell/Uzytkownicy.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "store/passwords.h"
#include "support/tempfolder.h"
#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "ui/uitest.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {

using shell::TEkr_Uzytkownicy;

class UsersTest : public UiTest {
protected:
    UsersTest() : messagesGuard_(messages), clipboardGuard_(clipboard), filesGuard_(files) {
        main = tmp.path() + QStringLiteral("/");
        store::MainFolderSetup setup;
        setup.catalogueShown = tmp.path() + QStringLiteral("/Dane/Glowna");
        setup.catalogueExpanded = setup.catalogueShown;
        setup.adminName = QStringLiteral("admin");
        setup.adminPassword = QStringLiteral("tajne");
        store::createMainFolder(main, setup);
        state.MainFolder = main;
        state.CurrentCatalogueFolder = QStringLiteral("/srv/katalogi/Druga");
    }

    std::unique_ptr<TEkr_Uzytkownicy> open() { return showActive<TEkr_Uzytkownicy>(state); }

    struct User {
        QString name, password, catalogue;
        int rights = 0;
        bool admin = false, prices = false;
        QByteArray signature;
    };
    QList<User> users() {
        engine::Table t(main, QStringLiteral("Users"));
        t.open();
        QList<User> out;
        t.forEachRow([&] {
            out.append({t.asString(QStringLiteral("User_Nazwa")),
                        t.asString(QStringLiteral("User_Haslo")),
                        t.asString(QStringLiteral("User_Baza_Sciezka")),
                        t.asInteger(QStringLiteral("User_Uprawnienia")),
                        t.asBoolean(QStringLiteral("User_Administrator")),
                        t.asBoolean(QStringLiteral("User_Ceny")),
                        t.asBytes(QStringLiteral("User_Podpis"))});
        });
        return out;
    }
    template <class W> static W* child(QWidget* d, const char* name) {
        return d->findChild<W*>(QLatin1String(name));
    }

    TempFolder tmp;
    QString main;
    store::MainState state;
    ui::FakeMessages messages;
    platform::FakeClipboard clipboard;
    ui::FakeFileDialogs files;

private:
    ui::ScopedMessages messagesGuard_;
    platform::ScopedClipboard clipboardGuard_;
    ui::ScopedFileDialogs filesGuard_;
};

TEST_F(UsersTest, NewUserGetsPricesNoAdminTheOpenCatalogueAndAHashedPassword) {
    auto d = open();
    click(*d, "BB_Dodaj");
    EXPECT_TRUE(child<QLineEdit>(d.get(), "Edit_Nazwa")->hasFocus());
    EXPECT_TRUE(child<QCheckBox>(d.get(), "DBCheckBox3")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(d.get(), "DBCheckBox1")->isChecked());

    // Both fields are needed for a new user.
    child<QLineEdit>(d.get(), "Edit_Nazwa")->setText(QStringLiteral("Ewa"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Dane niekompletne. Zapis nie jest możliwy !");
    EXPECT_EQ(users().size(), 1);

    child<QLineEdit>(d.get(), "Edit_Haslo")->setText(QStringLiteral("Kwiatek"));
    click(*d, "BB_Zapisz");
    const auto all = users();
    ASSERT_EQ(all.size(), 2);
    const User& ewa = all[1];
    EXPECT_EQ(ewa.name, "Ewa");
    EXPECT_EQ(ewa.rights, 1) << "the choice starts on browsing only";
    EXPECT_FALSE(ewa.admin);
    EXPECT_TRUE(ewa.prices);
    EXPECT_EQ(ewa.catalogue, "/srv/katalogi/Druga");
    EXPECT_FALSE(ewa.password.contains(QStringLiteral("wiatek"), Qt::CaseInsensitive));
    EXPECT_TRUE(store::passwordMatches(QStringLiteral("kwiatek"), ewa.password));
}

TEST_F(UsersTest, ChangingWithAnEmptyPasswordKeepsTheStoredOne) {
    const QString before = users()[0].password;
    auto d = open();
    click(*d, "BB_Popraw");
    auto* password = child<QLineEdit>(d.get(), "Edit_Haslo");
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(password->hasFocus());
    child<QLineEdit>(d.get(), "Edit_Nazwa")->setText(QStringLiteral("szef"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(users()[0].name, "szef");
    EXPECT_EQ(users()[0].password, before);
    EXPECT_EQ(users()[0].rights, 2);

    // An empty name is refused also when changing.
    click(*d, "BB_Popraw");
    child<QLineEdit>(d.get(), "Edit_Nazwa")->clear();
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Dane niekompletne. Zapis nie jest możliwy !");
    EXPECT_EQ(users()[0].name, "szef");
}

TEST_F(UsersTest, SignatureFromClipboardOrFileAndCleared) {
    auto d = open();
    click(*d, "BB_Popraw");
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    clipboard.imageHeld = image;
    click(*d, "BB_Ze_Schowka");
    EXPECT_TRUE(d->changed());
    click(*d, "BB_Zapisz");
    QImage stored;
    ASSERT_TRUE(stored.loadFromData(users()[0].signature));
    EXPECT_EQ(stored.size(), QSize(20, 10));

    // A file that is no picture is reported and changes nothing.
    click(*d, "BB_Popraw");
    files.answers << tmp.path() + QStringLiteral("/brak.bmp");
    click(*d, "BB_Z_Pliku");
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Nie można odczytać rysunku")));
    click(*d, "BB_Wyczysc");
    click(*d, "BB_Zapisz");
    EXPECT_TRUE(users()[0].signature.isEmpty());
}

TEST_F(UsersTest, ClosingWithoutAnAdministratorWarnsAndClosesAllTheSame) {
    auto d = open();
    click(*d, "BB_Popraw");
    child<QCheckBox>(d.get(), "DBCheckBox1")->click(); // admin off
    EXPECT_TRUE(d->changed());
    messages.answerYes(); // save the change on closing
    messages.answerNo();  // the warning's answer changes nothing
    click(*d, "BB_Powrot");
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.shown()[0].message.text,
              "Dane zostały zmienione. Zapisać wprowadzone zmiany!");
    EXPECT_TRUE(messages.shown()[1].message.text.startsWith(
        QStringLiteral("Żaden z użytkowników nie ma uprawnień administratora !")));
    EXPECT_EQ(messages.shown()[1].message.defaultButton, ui::Button::No);
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(users()[0].admin);
}

TEST_F(UsersTest, ReadOnlyUserChangesNothing) {
    state.RightsLevel = 1;
    auto d = open();
    for (const char* b : {"BB_Dodaj", "BB_Popraw", "BB_Usun"})
        EXPECT_FALSE(child<QAbstractButton>(d.get(), b)->isVisible()) << b;
    // The buttons are hidden from him; their handlers, which the list's keys reach as well,
    // refuse on their own.
    d->BB_DodajClick();
    d->BB_PoprawClick();
    d->BB_UsunClick();
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    EXPECT_EQ(users().size(), 1);
}

} // namespace
