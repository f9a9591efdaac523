#pragma once
// What the drawing screens' tests share: a catalogue with items and drawings made directly in its
// tables, and the seams replaced by stand-ins.
#include "drawings/picturebox.h"
#include "engine/table.h"
#include "platform/clipboard.h"
#include "support/pictures.h"
#include "support/rows.h"
#include "ui/cataloguetest.h"
#include "ui/filedialogs.h"
#include <QAbstractButton>

namespace drawtest {

using testsupport::addRow;
using testsupport::encoded;
using testsupport::sampleImage;

class DrawingsTest : public CatalogueDialogTest {
protected:
    DrawingsTest()
        : CatalogueDialogTest(QStringLiteral("Kat")), clipboardGuard_(clipboard),
          filesGuard_(files) {
        state.MainFolder = tmp.path() + u'/';
        for (engine::DataSet* t : state.catalogueTables())
            t->setDatabaseName(folder);
    }
    ~DrawingsTest() override {
        for (engine::DataSet* t : state.catalogueTables())
            t->close();
    }

    int addDrawing(const QString& description, const QByteArray& bytes) {
        return addRow(folder, "Rysunek", {{"Rys_Opis", description}, {"Rys_Blob", bytes}},
                      "Rys_Nr");
    }
    int addItem(const QString& name) {
        return addRow(folder, "Towar", {{"Tow_Nazwa", name}}, "Tow_nr");
    }
    void attach(int item, int drawing) {
        addRow(folder, "Grafika", {{"Grafika_Tow_Nr", item}, {"Grafika_Rys_Nr", drawing}});
    }
    // The drawings attached to `item`, in the order they were attached.
    QList<int> drawingsOf(int item) {
        engine::Table t(folder, QStringLiteral("Grafika"));
        t.open();
        QList<int> out;
        t.forEachRow([&] {
            if (t.asInteger(QStringLiteral("Grafika_Tow_Nr")) == item)
                out << t.asInteger(QStringLiteral("Grafika_Rys_Nr"));
        });
        return out;
    }
    struct Stored {
        QString description;
        QByteArray bytes;
    };
    QList<Stored> library() {
        engine::Table t(folder, QStringLiteral("Rysunek"));
        t.open();
        QList<Stored> out;
        t.forEachRow([&] {
            out.append(
                {t.asString(QStringLiteral("Rys_Opis")), t.asBytes(QStringLiteral("Rys_Blob"))});
        });
        return out;
    }
    void makeCurrent(int item) {
        if (!state.TFTowar.isOpen()) state.TFTowar.open();
        state.TFTowar.setIndexFieldNames(QStringLiteral("Tow_nr"));
        ASSERT_TRUE(state.TFTowar.findKey({item}));
        // As the item list and the item editor hand the item over to its screens.
        state.CurrentItemNr = item;
        state.CurrentItemName = state.TFTowar.asString(QStringLiteral("Tow_Nazwa"));
    }

    platform::FakeClipboard clipboard;
    ui::FakeFileDialogs files;

private:
    platform::ScopedClipboard clipboardGuard_;
    ui::ScopedFileDialogs filesGuard_;
};

} // namespace drawtest
