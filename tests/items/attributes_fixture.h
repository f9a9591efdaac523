#pragma once
// What the tests of the attribute screens share: a catalogue with attributes, groups, templates,
// items and values made directly in its tables, and the seams replaced by stand-ins.
#include "engine/database.h"
#include "engine/table.h"
#include "platform/worktables.h"
#include "store/catalogue_schema.h"
#include "store/mainstate.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace attrtest {

class AttributeTest : public UiTest {
protected:
    AttributeTest() : messagesGuard_(messages), runnerGuard_(runner), filesGuard_(files) {
        st.MainFolder = QDir(tmp.path()).absolutePath() + u'/';
        st.TempFolder = st.MainFolder + QStringLiteral("TMP");
        st.CurrentCatalogueFolder = tmp.sub(QStringLiteral("Kat"));
        store::createCatalogue(st.CurrentCatalogueFolder);
        for (engine::DataSet* t : st.catalogueTables())
            t->setDatabaseName(st.CurrentCatalogueFolder);
    }
    ~AttributeTest() override {
        for (engine::DataSet* t : st.catalogueTables())
            t->close();
    }

    QString cat() const { return st.CurrentCatalogueFolder; }

    int addAttribute(const QString& name, const QString& letter) {
        return testsupport::addRow(
            cat(), QStringLiteral("Cecha"),
            {{QStringLiteral("Cecha_Opis"), name}, {QStringLiteral("Cecha_Typ"), letter}},
            QStringLiteral("Cecha_Nr"));
    }
    int addGroup(const QString& name) {
        return testsupport::addRow(cat(), QStringLiteral("Grupa"),
                                   {{QStringLiteral("Grupa_Nazwa"), name}},
                                   QStringLiteral("Grupa_Nr"));
    }
    void addTemplateRow(int group, int attribute, int position) {
        testsupport::addRow(cat(), QStringLiteral("Szablon"),
                            {{QStringLiteral("Szablon_Grupa_Nr"), group},
                             {QStringLiteral("Szablon_Cecha_Nr"), attribute},
                             {QStringLiteral("Szablon_Znaczenie"), position}});
    }
    void setTemplate(int group, const QList<int>& attributes) {
        for (int i = 0; i < attributes.size(); ++i)
            addTemplateRow(group, attributes[i], i + 1);
    }
    int addItem(const QString& name, int group) {
        return testsupport::addRow(
            cat(), QStringLiteral("Towar"),
            {{QStringLiteral("Tow_Nazwa"), name}, {QStringLiteral("Tow_Grupa_nr"), group}},
            QStringLiteral("Tow_nr"));
    }
    void addValue(int item, int attribute, const QString& text) {
        testsupport::addRow(cat(), QStringLiteral("Opis"),
                            {{QStringLiteral("Opis_Tow_Nr"), item},
                             {QStringLiteral("Opis_Cecha_Nr"), attribute},
                             {QStringLiteral("Opis_Opis"), text}});
    }

    // The group's template as stored: "name:position" in position order (an entry whose
    // attribute is gone shows its number instead of a name).
    QStringList storedTemplate(int group) {
        QStringList out;
        engine::Table s(cat(), QStringLiteral("Szablon"));
        s.open();
        s.setRange({group});
        engine::Table c(cat(), QStringLiteral("Cecha"));
        c.open();
        for (s.first(); !s.eof(); s.next()) {
            const int nr = s.asInteger(QStringLiteral("Szablon_Cecha_Nr"));
            const QString name =
                c.findKey({nr}) ? c.asString(QStringLiteral("Cecha_Opis")) : QString::number(nr);
            out << name + u':' + QString::number(s.asInteger(QStringLiteral("Szablon_Znaczenie")));
        }
        return out;
    }
    // The item's Opis rows: attribute number -> Opis_Opis, in Opis_Nr order.
    QList<QPair<int, QString>> storedValues(int item) {
        QList<QPair<int, QString>> out;
        engine::Table o(cat(), QStringLiteral("Opis"));
        o.setIndexFieldNames(QStringLiteral("Opis_Tow_Nr;Opis_Nr"));
        o.open();
        o.setRange({item});
        for (o.first(); !o.eof(); o.next())
            out << qMakePair(o.asInteger(QStringLiteral("Opis_Cecha_Nr")),
                             o.asString(QStringLiteral("Opis_Opis")));
        return out;
    }
    // Working tables present in TMP now.
    QStringList workTables() {
        if (!engine::Database::exists(st.TempFolder)) return {};
        QStringList out = engine::Database::open(st.TempFolder)->tables();
        out.removeAll(platform::WorkTables::kRegistryTable);
        return out;
    }
    // The main window's item table on `item`.
    void makeCurrent(int item) {
        if (!st.TFTowar.isOpen()) st.TFTowar.open();
        st.TFTowar.setIndexFieldNames(QStringLiteral("Tow_nr"));
        ASSERT_TRUE(st.TFTowar.findKey({item}));
        // As the item list and the item editor hand the item over to its screens.
        st.CurrentItemNr = item;
        st.CurrentItemName = st.TFTowar.asString(QStringLiteral("Tow_Nazwa"));
    }

    TempFolder tmp;
    store::MainState st;
    ui::FakeMessages messages;
    ui::ScriptedModalRunner runner;
    ui::FakeFileDialogs files;

private:
    ui::ScopedMessages messagesGuard_;
    ui::ScopedModalRunner runnerGuard_;
    ui::ScopedFileDialogs filesGuard_;
};

} // namespace attrtest
