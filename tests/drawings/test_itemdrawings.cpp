// An item's drawings chosen on a working copy, and the preview that walks through them.
#include "drawings/Kart_Gr.h"
#include "drawings/podglad.h"
#include "drawings_fixture.h"
#include "engine/database.h"
#include "items/Ak_towar.h"
#include "platform/worktables.h"
#include "ui/dbgrid.h"
#include <QCheckBox>
#include <QLabel>

namespace {

using drawings::TEkr_Kartoteki_Rysunki;
using drawings::TEkr_Podglad;
using drawtest::sampleImage;

class ItemDrawingsTest : public drawtest::DrawingsTest {
protected:
    ItemDrawingsTest() {
        obudowa = addDrawing(QStringLiteral("Obudowa"), drawings::pngBytes(sampleImage(Qt::red)));
        schemat = addDrawing(QStringLiteral("Schemat"), drawings::pngBytes(sampleImage(Qt::blue)));
        wtyk = addItem(QStringLiteral("Wtyk"));
        gniazdo = addItem(QStringLiteral("Gniazdo"));
    }

    void run(const std::function<void(TEkr_Kartoteki_Rysunki&)>& play) {
        runner.on<TEkr_Kartoteki_Rysunki>(play);
        TEkr_Kartoteki_Rysunki dialog(state);
        ui::modalRunner().run(dialog);
        EXPECT_TRUE(dialog.workTableName().isEmpty());
    }
    static void pick(TEkr_Kartoteki_Rysunki& d, const QString& description) {
        auto* search = lineEdit(&d, "Edit_Szukaj");
        search->setText(description);
        ASSERT_EQ(d.library()->dataSet()->asString(QStringLiteral("Rys_Opis")), description);
    }

    int obudowa, schemat, wtyk, gniazdo;
};

TEST_F(ItemDrawingsTest, OpeningAndClosingWithoutChangesTouchesNothing) {
    attach(wtyk, schemat);
    attach(wtyk, obudowa);
    makeCurrent(wtyk);
    QString workName;
    run([&](TEkr_Kartoteki_Rysunki& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Obiekt / Rysunki"));
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label_Obiekt"))->text(),
                  QStringLiteral("Wtyk"));
        workName = d.workTableName();
        EXPECT_TRUE(workName.startsWith(QStringLiteral("grafika_TMP")));
        EXPECT_EQ(d.chosenDrawings(), (QList<int>{schemat, obudowa}));
        EXPECT_EQ(d.chosenDescriptions(), (QStringList{"Schemat", "Obudowa"}));
        EXPECT_FALSE(pushButton(&d, "BB_Zapisz")->isEnabled());
        click(&d, "BB_Powrot");
    });
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(drawingsOf(wtyk), (QList<int>{schemat, obudowa}));
    platform::WorkTables tables(state.TempFolder);
    EXPECT_FALSE(tables.database()->hasTable(workName));
    EXPECT_TRUE(tables.ownerOf(workName).isEmpty());
}

TEST_F(ItemDrawingsTest, AddingADrawingTwiceGivesOneRowForTheItemTakenAtOpening) {
    makeCurrent(wtyk);
    run([&](TEkr_Kartoteki_Rysunki& d) {
        makeCurrent(gniazdo); // the main window moves meanwhile
        pick(d, QStringLiteral("Schemat"));
        click(&d, "BB_Dodaj");
        click(&d, "BB_Dodaj");
        EXPECT_EQ(d.chosenDrawings(), (QList<int>{schemat}));
        EXPECT_TRUE(pushButton(&d, "BB_Zapisz")->isEnabled());
        // Enter in the search field adds as well.
        lineEdit(&d, "Edit_Szukaj")->setText(QStringLiteral("obu")); // the nearest description
        QTest::keyClick(lineEdit(&d, "Edit_Szukaj"), Qt::Key_Return);
        EXPECT_EQ(d.chosenDrawings(), (QList<int>{schemat, obudowa}));
        QTest::keyClick(lineEdit(&d, "Edit_Szukaj"), Qt::Key_Return);
        EXPECT_EQ(d.chosenDrawings().size(), 2);
        click(&d, "BB_Zapisz");
    });
    EXPECT_EQ(drawingsOf(wtyk), (QList<int>{schemat, obudowa}));
    EXPECT_TRUE(drawingsOf(gniazdo).isEmpty());
}

TEST_F(ItemDrawingsTest, UsunAndWyczyscDetachButKeepTheLibrary) {
    attach(wtyk, obudowa);
    attach(wtyk, schemat);
    attach(gniazdo, obudowa);
    makeCurrent(wtyk);
    run([&](TEkr_Kartoteki_Rysunki& d) {
        click(&d, "BB_Usun"); // the first row is selected
        EXPECT_EQ(d.chosenDrawings(), (QList<int>{schemat}));
        click(&d, "BB_Wyczysc");
        EXPECT_TRUE(d.chosenDrawings().isEmpty());
        EXPECT_FALSE(pushButton(&d, "BB_Usun")->isEnabled());
        EXPECT_FALSE(pushButton(&d, "BB_Wyczysc")->isEnabled());
        click(&d, "BB_Zapisz");
    });
    EXPECT_TRUE(drawingsOf(wtyk).isEmpty());
    EXPECT_EQ(drawingsOf(gniazdo), (QList<int>{obudowa}));
    EXPECT_EQ(library().size(), 2);
}

TEST_F(ItemDrawingsTest, LibraryOpenedInBetweenIsReadAgain) {
    attach(wtyk, obudowa);
    makeCurrent(wtyk);
    runner.on("TEkr_Rysunki", [&](QDialog& lib) {
        // Another description for the attached drawing, typed in the library.
        click(&lib, "BB_Popraw");
        auto* opis = lineEdit(&lib, "Edit_Opis");
        opis->clear();
        typeText(opis, QStringLiteral("Obudowa tylna"));
        click(&lib, "BB_Zapisz");
    });
    run([&](TEkr_Kartoteki_Rysunki& d) {
        click(&d, "BB_Rysunki");
        EXPECT_EQ(d.chosenDescriptions(), (QStringList{"Obudowa tylna"}));
        EXPECT_EQ(d.library()->dataSet()->asString(QStringLiteral("Rys_Opis")),
                  QStringLiteral("Obudowa tylna"));
    });
}

TEST_F(ItemDrawingsTest, ItemEditorOpensTheDrawingsOfItsItem) {
    makeCurrent(gniazdo);
    state.TFTowar.refresh();
    state.ItemEditMode = QStringLiteral("Edycja");
    auto editor = showActive<items::TEkr_Aktualizacja_Towar>(state);
    QCoreApplication::processEvents();
    runner.on<TEkr_Kartoteki_Rysunki>([&](TEkr_Kartoteki_Rysunki& d) {
        EXPECT_EQ(d.itemNr(), gniazdo);
        pick(d, QStringLiteral("Schemat"));
        click(&d, "BB_Dodaj");
        click(&d, "BB_Zapisz");
    });
    auto* rysunki = pushButton(editor.get(), "BB_Rysunki");
    ASSERT_TRUE(rysunki->isEnabled());
    rysunki->click();
    EXPECT_EQ(runner.opened(), QStringList{"TEkr_Kartoteki_Rysunki"});
    EXPECT_EQ(drawingsOf(gniazdo), (QList<int>{schemat}));
}

TEST_F(ItemDrawingsTest, PreviewWalksThroughTheItemsDrawings) {
    attach(wtyk, obudowa);
    attach(wtyk, schemat);
    makeCurrent(wtyk);
    state.TGrafika.setIndexName(QStringLiteral("wg_Grafika_Tow_Nr"));
    state.TGrafika.open();
    state.TGrafika.setRange({wtyk});
    auto d = showActive<TEkr_Podglad>(state);
    auto* rysunek = d->findChild<QLabel*>(QStringLiteral("Label_Rysunek"));
    EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("Label_Obiekt"))->text(),
              QStringLiteral("Wtyk"));
    EXPECT_EQ(rysunek->text(), QStringLiteral("Obudowa"));
    EXPECT_FALSE(d->picture()->stretched());
    click(d.get(), "NB_Next");
    EXPECT_EQ(rysunek->text(), QStringLiteral("Schemat"));
    EXPECT_EQ(state.TGrafika.asInteger(QStringLiteral("Grafika_Rys_Nr")), schemat);
    EXPECT_EQ(d->picture()->image().pixelColor(0, 0), QColor(Qt::blue));
    click(d.get(), "NB_First");
    EXPECT_EQ(rysunek->text(), QStringLiteral("Obudowa"));
    click(d.get(), "CBox_Dopasowany");
    EXPECT_TRUE(d->picture()->stretched());
}

} // namespace
