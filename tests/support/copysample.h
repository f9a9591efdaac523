#pragma once
// What the tests of moving a catalogue (pelkdb copy) share: pelkdb run as a process, a source
// folder holding every kind of value, and the comparison of two locations table by table.
// PELKDB_PATH names the tool in each test program that includes this.
#include "engine/database.h"
#include "engine/table.h"
#include "support/pelkdbrun.h"
#include <gtest/gtest.h>

namespace copysample {

using namespace engine;

using pelkdbrun::ok;
using pelkdbrun::pelkdb;
using pelkdbrun::Result;

inline const QByteArray kPicture =
    QByteArray(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(70000, 0) + "koniec");

inline TableDef itemsDef() {
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
inline void makeItems(const QString& folder, int count, int deletedAtEnd) {
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

inline void makeGroups(const QString& folder) {
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
inline QList<QVariantList> rows(const QString& folder, const QString& table) {
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

inline qint64 appendItem(const QString& folder) {
    Table t(folder, QStringLiteral("Towar"));
    t.open();
    t.append();
    t.setValue(QStringLiteral("Nazwa"), QStringLiteral("nowy"));
    t.post();
    return t.value(QStringLiteral("Nr")).toLongLong();
}

// The same tables at both locations, with the same layouts, indexes and rows.
inline void expectSameTables(const QString& source, const QString& dest) {
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
}

} // namespace copysample
