// pelkdb check on a catalogue in a throw-away server: a sound catalogue passes, and what other
// programs or hand-written SQL can break there (sort keys, columns, tables, indexes, the
// engine's own objects) is found and named.
#include "engine/check.h"
#include "support/copysample.h"
#include "support/pgcluster.h"

using namespace copysample;

namespace {

class ServerCheck : public ::testing::Test {
protected:
    void SetUp() override {
        static PgCluster cluster;
        if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
        ASSERT_TRUE(cluster.running());
        static int schemas = 0;
        location = cluster.location(QStringLiteral("sprawdzany_%1").arg(++schemas));
    }

    // Changes made behind the engine's back, then a fresh connection, so that nothing the
    // engine remembers stands in for what is on the server.
    void breakWith(const QStringList& statements) {
        auto db = Database::open(location);
        for (const QString& sql : statements)
            db->exec(sql);
    }

    QStringList findings() { return checkDatabase(*Database::open(location)); }

    QString location;
};

std::string shown(const QStringList& lines) {
    return lines.join(u'\n').toStdString();
}

} // namespace

TEST_F(ServerCheck, ASoundCatalogueIsInOrder) {
    makeItems(location, 40, 2);
    makeGroups(location);
    EXPECT_TRUE(findings().isEmpty()) << shown(findings());
    const Result r = pelkdb({location, QStringLiteral("check")});
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(
        r.out.trimmed(),
        QStringLiteral("Baza danych w katalogu na serwerze %1 jest w porządku.").arg(location));
}

TEST_F(ServerCheck, SortKeysThatDoNotMatchTheirTextAreNamedAndCounted) {
    makeItems(location, 40, 0);
    // Row 5 gets a key of another text, row 7 (which has a description) loses its key, row 1
    // (no date) gets a key for a date it does not have.
    breakWith(
        {QStringLiteral("UPDATE \"Towar\" SET \"Nazwa__k\" = '\\x00'::bytea WHERE \"Nr\" = 5"),
         QStringLiteral("UPDATE \"Towar\" SET \"Opis__k\" = NULL WHERE \"Nr\" = 7"),
         QStringLiteral("UPDATE \"Towar\" SET \"Dnia__k\" = '\\x41'::bytea WHERE \"Nr\" = 1")});
    const QStringList found = findings();
    EXPECT_TRUE(found.contains(
        QStringLiteral("Tabela Towar, wiersz o kluczu 5, pole Nazwa: niezgodny klucz "
                       "sortowania.")))
        << shown(found);
    EXPECT_TRUE(found.contains(
        QStringLiteral("Tabela Towar, wiersz o kluczu 7, pole Opis: brak klucza sortowania.")))
        << shown(found);
    EXPECT_TRUE(found.contains(
        QStringLiteral("Tabela Towar, wiersz o kluczu 1, pole Dnia: niezgodny klucz sortowania.")))
        << shown(found);
    EXPECT_TRUE(found.contains(
        QStringLiteral("Tabela Towar: błędnych lub brakujących kluczy sortowania: 3.")))
        << shown(found);
    EXPECT_EQ(found.size(), 4) << shown(found);

    const Result r = pelkdb({location, QStringLiteral("check")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("pole Nazwa: niezgodny klucz sortowania")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("w porządku")));
}

TEST_F(ServerCheck, EveryWrongKeyOfABigTableIsCountedButOnlyTheFirstAreNamed) {
    // More rows than one batch reads, so that the rows after the first batch count too.
    makeItems(location, 1300, 0);
    breakWith({QStringLiteral("UPDATE \"Towar\" SET \"Nazwa__k\" = NULL WHERE \"Nr\" % 2 = 0")});
    const QStringList found = findings();
    EXPECT_TRUE(found.contains(QStringLiteral("Tabela Towar: błędnych lub brakujących kluczy "
                                              "sortowania: 650 (wymieniono pierwsze 20).")))
        << shown(found);
    EXPECT_EQ(found.size(), 21);
    EXPECT_TRUE(found.contains(
        QStringLiteral("Tabela Towar, wiersz o kluczu 2, pole Nazwa: brak klucza sortowania.")));
}

TEST_F(ServerCheck, MissingTablesColumnsIndexesAndTriggersAreFound) {
    makeItems(location, 10, 0);
    makeGroups(location);
    {
        auto db = Database::open(location);
        TableDef def;
        def.name = QStringLiteral("Kraj");
        def.fields = {{QStringLiteral("Nazwa"), FieldType::Alpha, 20}};
        db->createTable(def);
    }
    breakWith({QStringLiteral("ALTER TABLE \"Grupa\" DROP COLUMN \"Gr_Nazwa__k\""),
               QStringLiteral("ALTER TABLE \"Grupa\" ALTER COLUMN \"Gr_Nr\" TYPE integer"),
               QStringLiteral("DROP TABLE \"Kraj\""),
               QStringLiteral("DROP INDEX \"Towar$wg_Nazwa\""),
               QStringLiteral("DROP INDEX \"Towar$PrimaryIndex\""),
               QStringLiteral("CREATE INDEX \"Towar$PrimaryIndex\" ON \"Towar\" (\"Nr\")"),
               QStringLiteral("DROP TRIGGER \"Towar$zmiany\" ON \"Towar\"")});
    const QStringList found = findings();
    for (const QString& line :
         {QStringLiteral("Tabela Grupa: brak kolumny Gr_Nazwa__k."),
          QStringLiteral("Tabela Grupa: kolumna Gr_Nr ma typ integer zamiast bigint."),
          QStringLiteral("Tabela kraj jest opisana w katalogu, ale nie istnieje w katalogu na "
                         "serwerze %1.")
              .arg(location),
          QStringLiteral("Tabela Towar: brak indeksu wg_Nazwa."),
          QStringLiteral("Tabela Towar: indeks główny PrimaryIndex nie pilnuje niepowtarzalności "
                         "klucza."),
          QStringLiteral("Tabela Towar: brak wyzwalacza Towar$zmiany, przez który zapisy innych "
                         "programów są widoczne dla użytkowników.")})
        EXPECT_TRUE(found.contains(line)) << line.toStdString() << "\n" << shown(found);
    // Untouched indexes and keys are not reported; a table with a column gone is not read.
    EXPECT_EQ(found.size(), 6) << shown(found);
}

TEST_F(ServerCheck, TheEnginesOwnObjectsOnTheServerAreChecked) {
    makeGroups(location);
    {
        auto db = Database::open(location);
        db->exec(QStringLiteral("DELETE FROM _pelk_state"));
        db->exec(QStringLiteral("DROP TABLE _pelk_seq"));
        // The support functions go for the whole database; the engine makes them again on the
        // next opening, so the check runs on this connection.
        db->exec(QStringLiteral("DROP SCHEMA pelk_sql CASCADE"));
        const QStringList found = checkDatabase(*db);
        EXPECT_TRUE(found.contains(QStringLiteral("Brak wiersza stanu katalogu w tabeli "
                                                  "_pelk_state.")))
            << shown(found);
        EXPECT_TRUE(found.contains(QStringLiteral("Brak tabeli wewnętrznej _pelk_seq.")));
        EXPECT_TRUE(found.contains(QStringLiteral("Brak schematu pelk_sql z funkcjami "
                                                  "pomocniczymi katalogów na serwerze.")));
    }
    // Opened again, the functions are back; the rest stays as found.
    const QStringList again = findings();
    EXPECT_FALSE(again.join(u'\n').contains(QStringLiteral("pelk_sql"))) << shown(again);
    EXPECT_TRUE(again.contains(QStringLiteral("Brak tabeli wewnętrznej _pelk_seq.")));
}

TEST_F(ServerCheck, CountersAndLocksOfDeadHoldersAreCheckedAsInAFolder) {
    makeItems(location, 12, 0);
    // A counter below the highest number, a lock of an owner whose connection is gone (no
    // advisory lock holds its token), and a lock of nobody.
    breakWith({QStringLiteral("UPDATE _pelk_seq SET seq = 1"),
               QStringLiteral("INSERT INTO _pelk_owners VALUES('x1', 'Zenon', 'inny', 12345, 5)"),
               QStringLiteral("INSERT INTO _pelk_locks VALUES('towar', 2, 'x1')"),
               QStringLiteral("INSERT INTO _pelk_tablelocks VALUES('towar', 'nikt')")});
    const QStringList found = findings();
    EXPECT_TRUE(found.contains(QStringLiteral("Tabela Towar: licznik pola Nr (1) jest "
                                              "mniejszy niż najwyższa wartość pola (12).")))
        << shown(found);
    EXPECT_TRUE(
        found.contains(QStringLiteral("Tabela Towar: blokada nieczynnego użytkownika Zenon (x1).")))
        << shown(found);
    EXPECT_TRUE(
        found.contains(QStringLiteral("Tabela Towar: blokada nieczynnego użytkownika ? (nikt).")))
        << shown(found);
    EXPECT_EQ(found.size(), 3) << shown(found);
}
