// Passwords of Users: kept as a salted hash that fits User_Haslo, compared without regard to
// letter case, and passwords still stored as typed taken over at the login.
#include "engine/database.h"
#include "engine/table.h"
#include "store/mainfolder_schema.h"
#include "store/passwords.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(Passwords, HashFitsTheFieldHidesThePasswordAndIgnoresLetterCase) {
    const QString h = store::hashPassword(QStringLiteral("Żółw-123"));
    EXPECT_LE(h.size(), 30);
    EXPECT_TRUE(store::isPasswordHash(h));
    EXPECT_FALSE(h.contains(QStringLiteral("123")));
    EXPECT_TRUE(store::passwordMatches(QStringLiteral("Żółw-123"), h));
    EXPECT_TRUE(store::passwordMatches(QStringLiteral("żÓŁW-123"), h));
    EXPECT_FALSE(store::passwordMatches(QStringLiteral("Żółw-124"), h));
    EXPECT_FALSE(store::passwordMatches(QStringLiteral("Zolw-123"), h));
    EXPECT_FALSE(store::passwordMatches(QString(), h));
    EXPECT_FALSE(store::passwordMatches(h, h)) << "the stored form is no password";

    // Salted: the same password never gives the same stored text.
    const QString again = store::hashPassword(QStringLiteral("Żółw-123"));
    EXPECT_NE(again, h);
    EXPECT_TRUE(store::passwordMatches(QStringLiteral("ŻÓŁW-123"), again));
    // A long password is no problem for the 30 characters.
    const QString longOne(80, u'x');
    EXPECT_TRUE(store::passwordMatches(longOne.toUpper(), store::hashPassword(longOne)));
    EXPECT_FALSE(store::passwordMatches(longOne.left(79), store::hashPassword(longOne)));
}

TEST(Passwords, ClearTextIsToldFromTheHashAndStillCompared) {
    for (const char* clear : {"", "tajne", "$1$", "$1$abc", "$1$aaaaaaaaaaaaaaaaaaaaaaaaaa!"})
        EXPECT_FALSE(store::isPasswordHash(QString::fromUtf8(clear))) << clear;
    EXPECT_TRUE(store::passwordMatches(QStringLiteral("TAJNE"), QStringLiteral("Tajne")));
    EXPECT_FALSE(store::passwordMatches(QStringLiteral("tajn"), QStringLiteral("Tajne")));
    // A damaged hash is compared as text: it never lets a password in.
    QString damaged = store::hashPassword(QStringLiteral("a"));
    damaged[10] = u'!';
    EXPECT_FALSE(store::isPasswordHash(damaged));
    EXPECT_FALSE(store::passwordMatches(QStringLiteral("a"), damaged));
}

struct UsersTable : ::testing::Test {
    TempFolder dir;
    QString main = dir.path();

    void SetUp() override {
        store::MainFolderSetup setup;
        setup.catalogueShown = setup.catalogueExpanded = main + "/Dane/Glowna";
        setup.adminName = "Admin";
        setup.adminPassword = "Start1";
        store::createMainFolder(main, setup);
    }
    void addUser(const QString& name, const QString& storedPassword, int rights, bool admin,
                 bool prices, const QString& catalogue = {}) {
        engine::Table t(main, "Users");
        t.open();
        t.append();
        t.setValue("User_Nazwa", name);
        t.setValue("User_Haslo", storedPassword);
        t.setValue("User_Uprawnienia", rights);
        t.setValue("User_Administrator", admin);
        t.setValue("User_Ceny", prices);
        t.setValue("User_Baza_Sciezka", catalogue);
        t.post();
    }
    QString storedPassword(int nr) {
        engine::Table t(main, "Users");
        t.open();
        return t.findKey({nr}) ? t.asString("User_Haslo") : QStringLiteral("<brak>");
    }
};

TEST_F(UsersTable, LoginFindsTheLastMatchingUserAndTakesOverPasswordsStoredAsTyped) {
    addUser("Kowalski", "Lato2024", 0, false, false, "/kat/k"); // 2: an older folder's row
    addUser("Nowak", store::hashPassword("zima"), 2, true, true, "/kat/n");
    addUser("KOWALSKI", "lato2024", 1, false, true, "/kat/k2"); // 4: same login, later row

    engine::Table users(main, "Users");
    users.open();
    const store::LoginUser admin = store::findLoginUser(users, "admin", "START1");
    EXPECT_EQ(admin.nr, 1);
    EXPECT_EQ(admin.rightsLevel, 2);
    EXPECT_TRUE(admin.adminRight);
    EXPECT_TRUE(admin.priceRight);
    EXPECT_EQ(QDir::fromNativeSeparators(admin.catalogue), "Dane/Glowna"); // relative to main

    EXPECT_FALSE(store::findLoginUser(users, "Nowak", "lato").found());
    EXPECT_FALSE(store::findLoginUser(users, "Nowa", "zima").found());
    EXPECT_EQ(store::findLoginUser(users, "nowak", "ZIMA").nr, 3);
    EXPECT_EQ(storedPassword(2), "Lato2024") << "a failed login changes nothing";

    const store::LoginUser k = store::findLoginUser(users, "kowalski", "LATO2024");
    EXPECT_EQ(k.nr, 4);
    EXPECT_EQ(k.rightsLevel, 1);
    EXPECT_EQ(k.catalogue, "/kat/k2");
    EXPECT_TRUE(k.priceRight);
    // Both rows that matched now hold the hash, and the same login still works.
    for (int nr : {2, 4}) {
        EXPECT_TRUE(store::isPasswordHash(storedPassword(nr))) << nr;
        EXPECT_TRUE(store::passwordMatches("lato2024", storedPassword(nr))) << nr;
    }
    EXPECT_EQ(store::findLoginUser(users, "Kowalski", "Lato2024").nr, 4);
    EXPECT_EQ(users.state(), engine::Table::State::Browse);
}

TEST_F(UsersTable, NoPasswordIsReadableInTheMainFolderFiles) {
    addUser("Nowak", store::hashPassword("ZupelnieTajne"), 2, false, true);
    // Every byte of the folder's database: neither password appears in any letter case.
    QFile db(main + "/" + engine::Database::fileName());
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    const QByteArray bytes = db.readAll().toUpper();
    EXPECT_FALSE(bytes.contains("ZUPELNIETAJNE"));
    EXPECT_FALSE(bytes.contains("START1"));
    EXPECT_TRUE(bytes.contains("ADMIN"));
}

} // namespace
