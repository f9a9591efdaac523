// pelkdb copy, run as an administrator runs it: a separate process moving a whole folder's tables
// to another location. The copy is checked through the engine, as the program will read it.
#include "engine/database.h"
#include "engine/table.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace engine;

namespace {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

Result pelkdb(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PELKDB_PATH), args);
    EXPECT_TRUE(p.waitForFinished(120000)) << "pelkdb " << args.join(u' ').toStdString();
    Result r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString ok(const QStringList& args) {
    const Result r = pelkdb(args);
    EXPECT_EQ(r.code, 0) << "pelkdb " << args.join(u' ').toStdString() << "\n"
                         << r.err.toStdString();
    return r.out;
}

const QByteArray kPicture =
    QByteArray(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(70000, 0) + "koniec");

TableDef itemsDef() {
    TableDef def;
    def.name = QStringLiteral("Towar");
    def.fields = {{QStringLiteral("Nr"), FieldType::AutoInc},
                  {QStringLiteral("Nazwa"), FieldType::Alpha, 40, true},
                  {QStringLiteral("Grupa"), FieldType::LongInt},
                  {QStringLiteral("Cena"), FieldType::Number},
                  {QStringLiteral("Dnia"), FieldType::Date},
                  {QStringLiteral("Zmiana"), FieldType::Timestamp},
                  {QStringLiteral("Jest"), FieldType::Logical},
                  {QStringLiteral("Opis"), FieldType::Memo, 20},
                  {QStringLiteral("Obraz"), FieldType::Graphic}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true},
                   {QStringLiteral("wg_Nazwa"), {QStringLiteral("Nazwa"), QStringLiteral("Nr")}},
                   {QStringLiteral("wg_Grupa"), {QStringLiteral("Grupa")}}};
    return def;
}

// Rows `count` items long, each with every kind of value, some empty; the last items are
// deleted, so that the counter stands above the highest number left.
void makeItems(const QString& folder, int count, int deletedAtEnd) {
    auto db = Database::open(folder, Database::Mode::Create);
    db->createTable(itemsDef());
    Table t(folder, QStringLiteral("Towar"));
    t.open();
    db->transaction([&] {
        for (int i = 1; i <= count; ++i) {
            t.append();
            t.setValue(QStringLiteral("Nazwa"), i % 3 == 0
                                                    ? QStringLiteral("Śruba ząbkowana %1").arg(i)
                                                    : QStringLiteral("łożysko %1").arg(i));
            if (i % 4 != 0) t.setValue(QStringLiteral("Grupa"), i % 7);
            if (i % 5 != 0) t.setValue(QStringLiteral("Cena"), i * 1.25 - 0.001);
            if (i % 2 == 0) t.setValue(QStringLiteral("Dnia"), QDate(1999, 12, 31).addDays(i));
            if (i % 6 == 1)
                t.setValue(QStringLiteral("Zmiana"),
                           QDateTime(QDate(2026, 2, 28), QTime(23, 59, 58, 250)).addSecs(i));
            if (i % 3 != 1) t.setValue(QStringLiteral("Jest"), i % 2 == 0);
            if (i % 5 == 2)
                t.setValue(QStringLiteral("Opis"),
                           QStringLiteral("Żółć; \"cudzysłów\"\nnowy wiersz %1").arg(i));
            if (i % 50 == 1)
                t.setValue(QStringLiteral("Obraz"), QByteArray(kPicture + QByteArray::number(i)));
            t.post();
        }
    });
    t.last();
    for (int i = 0; i < deletedAtEnd; ++i) {
        t.last();
        t.remove();
    }
}

void makeGroups(const QString& folder) {
    auto db = Database::open(folder, Database::Mode::Create);
    TableDef def;
    def.name = QStringLiteral("Grupa");
    def.fields = {{QStringLiteral("Gr_Nr"), FieldType::LongInt},
                  {QStringLiteral("Gr_Nazwa"), FieldType::Alpha, 30}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Gr_Nr")}, true}};
    db->createTable(def);
    Table t(folder, def.name);
    t.open();
    for (int i = 0; i < 3; ++i) {
        t.append();
        t.setValue(QStringLiteral("Gr_Nr"), i);
        t.setValue(QStringLiteral("Gr_Nazwa"), QStringLiteral("Grupa ĄĘ %1").arg(i));
        t.post();
    }
}

// Every row of a table as it reads, pictures included, in primary key order.
QList<QVariantList> rows(const QString& folder, const QString& table) {
    Table t(folder, table);
    t.open();
    QList<QVariantList> out;
    t.forEachRow([&] {
        QVariantList row;
        for (int i = 0; i < t.fieldCount(); ++i)
            row << t.value(i);
        out << row;
    });
    return out;
}

qint64 appendItem(const QString& folder) {
    Table t(folder, QStringLiteral("Towar"));
    t.open();
    t.append();
    t.setValue(QStringLiteral("Nazwa"), QStringLiteral("nowy"));
    t.post();
    return t.value(QStringLiteral("Nr")).toLongLong();
}

struct CopyTest : ::testing::Test {
    TempFolder dir;
    QString source = dir.sub(QStringLiteral("źródło"));
    QString dest = dir.path() + QStringLiteral("/nowy/katalog");
};

} // namespace

// Layouts with their indexes, every kind of value, empty fields and pictures arrive as they
// were; the numbering goes on above the highest number ever given out, in the copy and still in
// the source, which the copy leaves untouched.
TEST_F(CopyTest, CopiesEveryTableWholeAndTheNumberingGoesOn) {
    makeItems(source, 120, 2);
    makeGroups(source);
    const auto itemsBefore = rows(source, QStringLiteral("Towar"));
    ASSERT_EQ(itemsBefore.size(), 118);

    const QString out = ok({source, QStringLiteral("copy"), dest});
    EXPECT_TRUE(out.contains(QStringLiteral("Towar: 118 wierszy"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Grupa: 3 wiersze"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Skopiowano 2 tabele (121 wierszy)")))
        << out.toStdString();

    auto from = Database::open(source), to = Database::open(dest);
    EXPECT_EQ(to->tables(), from->tables());
    for (const QString& table : from->tables()) {
        const TableDef a = from->requireTable(table), b = to->requireTable(table);
        ASSERT_EQ(a.fields.size(), b.fields.size()) << table.toStdString();
        for (int i = 0; i < a.fields.size(); ++i) {
            EXPECT_EQ(a.fields[i].name, b.fields[i].name);
            EXPECT_EQ(a.fields[i].type, b.fields[i].type);
            EXPECT_EQ(a.fields[i].size, b.fields[i].size);
            EXPECT_EQ(a.fields[i].required, b.fields[i].required);
        }
        ASSERT_EQ(a.indexes.size(), b.indexes.size());
        for (int i = 0; i < a.indexes.size(); ++i) {
            EXPECT_EQ(a.indexes[i].name, b.indexes[i].name);
            EXPECT_EQ(a.indexes[i].fields, b.indexes[i].fields);
            EXPECT_EQ(a.indexes[i].primary, b.indexes[i].primary);
        }
        EXPECT_EQ(rows(dest, table), rows(source, table)) << table.toStdString();
    }
    const auto copied = rows(dest, QStringLiteral("Towar"));
    EXPECT_EQ(copied[0][8].toByteArray(), QByteArray(kPicture + "1"));
    EXPECT_FALSE(copied[3][2].isValid()); // empty stays empty, not 0
    EXPECT_EQ(copied[3][2].isValid(), itemsBefore[3][2].isValid());
    EXPECT_EQ(copied[0][5].toDateTime().time().msec(), 250);

    // The secondary index orders the copy by the Polish collation, as it did the source.
    Table byName(dest, QStringLiteral("Towar"));
    byName.setIndexName(QStringLiteral("wg_Nazwa"));
    byName.open();
    byName.findNearest({QStringLiteral("ś")});
    EXPECT_TRUE(byName.asString(QStringLiteral("Nazwa")).startsWith(QStringLiteral("Śruba")));

    // 120 numbers were given out: neither side hands out 119 or 120 again.
    EXPECT_EQ(appendItem(dest), 121);
    EXPECT_EQ(appendItem(source), 121);
    EXPECT_EQ(rows(source, QStringLiteral("Towar")).mid(0, 118), itemsBefore);
}

// A destination holding tables is left exactly as it was unless --replace is given; with it
// the copy takes the place of all its tables. A failure half-way leaves it whole as well.
TEST_F(CopyTest, RefusesADestinationWithTablesUnlessReplacing) {
    makeGroups(source);
    const QString other = dir.sub(QStringLiteral("inny"));
    makeItems(other, 5, 0);

    Result r = pelkdb({source, QStringLiteral("copy"), other});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("zawiera już tabele (Towar)")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("--replace")));
    EXPECT_EQ(Database::open(other)->tables(), QStringList{QStringLiteral("Towar")});
    EXPECT_EQ(rows(other, QStringLiteral("Towar")).size(), 5);

    {
        // Another installation uses one of the destination's tables exclusively: replacing
        // fails, and the rows already dropped or written are rolled back.
        Database::setUserName(QStringLiteral("Kowalski"));
        Table held(other, QStringLiteral("Towar"));
        held.openExclusive();
        r = pelkdb({source, QStringLiteral("copy"), other, QStringLiteral("--replace")});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Kowalski"))) << r.err.toStdString();
        EXPECT_EQ(Database::open(other)->tables(), QStringList{QStringLiteral("Towar")});
        EXPECT_EQ(rows(other, QStringLiteral("Towar")).size(), 5);
    }

    ok({source, QStringLiteral("copy"), other, QStringLiteral("--replace")});
    EXPECT_EQ(Database::open(other)->tables(), QStringList{QStringLiteral("Grupa")});
    EXPECT_EQ(rows(other, QStringLiteral("Grupa")), rows(source, QStringLiteral("Grupa")));

    // An empty folder, or a database without tables, is no obstacle.
    const QString empty = dir.sub(QStringLiteral("pusty"));
    ok({source, QStringLiteral("copy"), empty});
    EXPECT_EQ(rows(empty, QStringLiteral("Grupa")).size(), 3);
}

// Calls that cannot be meant are refused before anything is made anywhere.
TEST_F(CopyTest, NonsenseIsRefusedWithNothingMade) {
    makeGroups(source);
    Result r = pelkdb({source, QStringLiteral("copy")});
    EXPECT_EQ(r.code, 2);
    // Onto itself, also under another spelling of the same folder: --replace would drop what
    // it is about to read.
    r = pelkdb({source, QStringLiteral("copy"), source + QStringLiteral("/../źródło/"),
                QStringLiteral("--replace")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("jest jej źródłem"))) << r.err.toStdString();
    EXPECT_EQ(rows(source, QStringLiteral("Grupa")).size(), 3);

    const QString missing = dir.path() + QStringLiteral("/brak");
    r = pelkdb({missing, QStringLiteral("copy"), dest});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nie istnieje"))) << r.err.toStdString();
    r = pelkdb({dir.sub(QStringLiteral("bez bazy")), QStringLiteral("copy"), dest});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nie zawiera bazy danych"))) << r.err.toStdString();
    r = pelkdb({source, QStringLiteral("copy"), QStringLiteral("postgresql://serwer/baza")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("schemat"))) << r.err.toStdString();
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/nowy")).exists());
}

// A table of tens of thousands of rows tells how far it has got, on stderr, so that the
// output scripts read stays as it is.
TEST_F(CopyTest, ReportsProgressOnLargeTables) {
    makeItems(source, 25000, 0);
    const Result r = pelkdb({source, QStringLiteral("copy"), dest});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Towar: 10000 z 25000 wierszy")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Towar: 25000 z 25000 wierszy")));
    EXPECT_FALSE(r.out.contains(QStringLiteral(" z 25000")));
    EXPECT_EQ(rows(dest, QStringLiteral("Towar")).size(), 25000);
}
