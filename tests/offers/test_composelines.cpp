// The insert commands' lines below the widgets: the filling rule, the column switches of the
// display configuration, each list read from a catalogue, and the lines written into a document.
#include "engine/query.h"
#include "engine/table.h"
#include "offers/composelines.h"
#include "offers/composetext.h"
#include "store/catalogue_schema.h"
#include "support/application.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

using namespace offers;
using testsupport::addRow;

QString sp(int n) {
    return QString(n, u' ');
}

TEST(ComposeCells, TextCellsKeepTheirValueAndPadToOnePastTheWidth) {
    const QString fifty(50, u'a'), fiftyOne(51, u'b'), sixty(60, u'c');
    EXPECT_EQ(textCell(fifty, kNameColumn), fifty + u' ');
    EXPECT_EQ(textCell(fiftyOne, kNameColumn), fiftyOne);
    EXPECT_EQ(textCell(u"Śruba"_qs, kSymbolColumn), u"Śruba"_qs + sp(21));
    EXPECT_EQ(textCell({}, kLabelColumn), sp(31));

    // A long name is written whole and pushes the following columns to the right.
    ColumnSwitches on;
    on.name1 = on.symbol = true;
    const auto row = [&](const QString& name) {
        return itemLine([&](const QString& f) { return f == u"Tow_Nazwa" ? name : u"S-1"_qs; }, on);
    };
    EXPECT_EQ(row(u"krótka"_qs), u"krótka"_qs + sp(45) + u"S-1"_qs + sp(23));
    EXPECT_EQ(row(sixty), sixty + u"S-1"_qs + sp(23));
}

TEST(ComposeCells, AmountCellsAreRightAlignedInElevenPlacesAfterOneSpace) {
    EXPECT_EQ(amountCell(u"12,5"_qs, kPriceSuffix), u" "_qs + sp(7) + u"12,5 zł"_qs);
    EXPECT_EQ(amountCell(u"3"_qs, kQuantitySuffix), sp(11) + u"3 szt."_qs);
    EXPECT_EQ(amountCell(u"1234567890"_qs, kPriceSuffix), u"  1234567890 zł"_qs);
    EXPECT_EQ(amountCell(u"12345678901"_qs, kPriceSuffix), u" 12345678901 zł"_qs);
    EXPECT_EQ(amountCell(u"05-03-2024"_qs, {}), u"  05-03-2024"_qs);
    EXPECT_EQ(amountCell({}, kPriceSuffix), sp(13) + u"zł"_qs);
}

TEST(ComposeCells, CompanyLinesLeaveOutBlankTextsAndNotesBecomeLines) {
    EXPECT_TRUE(companyLines({}).isEmpty()); // nothing chosen since the start
    EXPECT_EQ(companyLines({u"ALFA Sp. z o.o."_qs, {}, {}, u"Polna 3"_qs, u"00-950 Warszawa"_qs}),
              (QStringList{u"ALFA Sp. z o.o."_qs, u"Polna 3"_qs, u"00-950 Warszawa"_qs}));
    // A company without postal code and town leaves only the joining space: no line.
    EXPECT_EQ(companyLines({u"BETA"_qs, {}, {}, {}, u" "_qs}), QStringList{u"BETA"_qs});

    EXPECT_EQ(noteLines({}), QStringList{u"Notatki :"_qs});
    EXPECT_EQ(noteLines(u"pierwsza\r\ndruga\ntrzecia"_qs),
              (QStringList{u"Notatki :"_qs, u"pierwsza"_qs, u"druga"_qs, u"trzecia"_qs}));
}

// A catalogue with an item and its details: two attribute values, a whole it goes into, a part,
// a substitute and two purchase prices.
class ComposeCatalogue : public ::testing::Test {
protected:
    ComposeCatalogue() {
        testsupport::application<QGuiApplication>();
        folder = tmp.sub(u"Kat"_qs);
        store::createCatalogue(folder);
        item = addItem(u"Zawór kulowy"_qs, u"ZK-15"_qs, 12.5);
        whole = addItem(u"Instalacja"_qs, u"IN-1"_qs, 1000);
        part = addItem(u"Kula"_qs, u"K-2"_qs, 0.75);
        substitute = addItem(u"Zawór grzybkowy"_qs, u"ZG-15"_qs, 14);
        bare = addItem(u"Bez danych"_qs, u"BD"_qs, 1);
        const int diameter =
            addRow(folder, "Cecha", {{u"Cecha_Opis"_qs, u"Średnica"_qs}}, "Cecha_Nr");
        const int material =
            addRow(folder, "Cecha", {{u"Cecha_Opis"_qs, u"Materiał"_qs}}, "Cecha_Nr");
        addRow(folder, "Opis",
               {{u"Opis_Tow_Nr"_qs, item},
                {u"Opis_Cecha_Nr"_qs, material},
                {u"Opis_Opis"_qs, u"mosiądz"_qs}});
        addRow(folder, "Opis",
               {{u"Opis_Tow_Nr"_qs, item},
                {u"Opis_Cecha_Nr"_qs, diameter},
                {u"Opis_Opis"_qs, u"15.5"_qs}});
        addRow(folder, "Sklada",
               {{u"Sklada_Tow_Nr"_qs, whole},
                {u"Sklada_Nr_Czesci"_qs, item},
                {u"Sklada_il_szt"_qs, 4}});
        addRow(folder, "Sklada",
               {{u"Sklada_Tow_Nr"_qs, item},
                {u"Sklada_Nr_Czesci"_qs, part},
                {u"Sklada_il_szt"_qs, 2.5}});
        addRow(folder, "Zamienne", {{u"Zam_Tow_Nr"_qs, item}, {u"Zam_Nr_Zam"_qs, substitute}});
        const int supplier =
            addRow(folder, "Firmy", {{u"Firma_Skrot"_qs, u"HURT-POL"_qs}}, "Firma_Nr");
        const int euro =
            addRow(folder, "Waluta", {{u"Waluta_Nazwa"_qs, u"EUR"_qs}, {u"Waluta_Kurs"_qs, 4.5}},
                   "Waluta_Nr");
        addRow(folder, "Cena",
               {{u"Cena_Tow_Nr"_qs, item},
                {u"Cena_Firma_Nr"_qs, supplier},
                {u"Cena_Waluta_Nr"_qs, euro},
                {u"Cena_1"_qs, 2},
                {u"Cena_2"_qs, 2.5},
                {u"Cena_SRP"_qs, 3},
                {u"Cena_Data"_qs, QDate(2024, 3, 5)}});
    }

    int addItem(const QString& name, const QString& symbol, double price) {
        return addRow(folder, "Towar",
                      {{u"Tow_Nazwa"_qs, name},
                       {u"Tow_Symbol"_qs, symbol},
                       {u"Tow_SRP"_qs, price},
                       {u"Tow_Cena_A"_qs, price * 2}},
                      "Tow_nr");
    }

    // Sets the configuration's switches of `group` to exactly `on` (column names).
    void switchColumns(const QString& group, const QStringList& on) {
        engine::Table k(folder, u"Konfig_i"_qs);
        k.open();
        k.edit();
        for (const char* c : {"Nazwa1", "Nazwa2", "Symbol", "Kod_Prod", "Cena_SRP", "Cena_A",
                              "Cena_B", "Cena_C", "Ilosc"}) {
            const QString name = u"Konfig_%1_%2"_qs.arg(group, QLatin1String(c));
            if (k.hasField(name)) k.setValue(name, on.contains(QLatin1String(c)));
        }
        k.post();
    }

    TempFolder tmp;
    QString folder;
    int item = 0, whole = 0, part = 0, substitute = 0, bare = 0;
};

TEST_F(ComposeCatalogue, TheSwitchesOfEachListComeFromTheConfiguration) {
    // A new catalogue shows name 1, symbol, producer code and the quantity.
    ComposeSwitches s = readComposeSwitches(folder);
    EXPECT_TRUE(s.items.name1 && s.items.symbol && s.items.producerCode);
    EXPECT_FALSE(s.items.name2 || s.items.price || s.items.priceA);
    EXPECT_TRUE(s.goesInto.quantity && s.consistsOf.quantity);

    switchColumns(u"iS"_qs, {u"Cena_B"_qs});
    s = readComposeSwitches(folder);
    EXPECT_TRUE(s.consistsOf.priceB);
    EXPECT_FALSE(s.consistsOf.name1 || s.consistsOf.quantity);
    EXPECT_TRUE(s.goesInto.name1); // the other groups keep theirs

    // A configuration without its row switches every column off.
    engine::Table k(folder, u"Konfig_i"_qs);
    k.open();
    k.remove();
    s = readComposeSwitches(folder);
    EXPECT_FALSE(s.items.name1 || s.items.symbol || s.goesInto.quantity);
}

TEST_F(ComposeCatalogue, AnItemLineWritesTheSwitchedOnColumnsInTheirOrder) {
    engine::Table t(folder, u"Towar"_qs);
    t.open();
    ASSERT_TRUE(t.findKey({item}));
    ColumnSwitches on;
    on.symbol = on.price = on.name1 = true;
    EXPECT_EQ(itemLine(t, on),
              u"Zawór kulowy"_qs + sp(39) + u"ZK-15"_qs + sp(21) + sp(8) + u"12,5 zł"_qs);
    on = {};
    on.priceA = on.priceC = true; // price C not given: an empty cell
    EXPECT_EQ(itemLine(t, on), sp(10) + u"25 zł"_qs + sp(13) + u"zł"_qs);
    EXPECT_EQ(itemLine(t, ColumnSwitches{}), QString()); // nothing switched on: an empty line
}

TEST_F(ComposeCatalogue, DetailListsReadTheItemsRowsUnderTheirTitles) {
    // Attribute values in the order of the attribute numbers, the value without filler.
    EXPECT_EQ(attributeLines(folder, item),
              (QStringList{u"Własności :"_qs, u"Średnica"_qs + sp(23) + u"15.5"_qs,
                           u"Materiał"_qs + sp(23) + u"mosiądz"_qs}));
    EXPECT_EQ(attributeLines(folder, bare), QStringList{u"Własności :"_qs});

    ColumnSwitches on;
    on.name1 = on.quantity = true;
    EXPECT_EQ(goesIntoLines(folder, item, on),
              (QStringList{u"Wchodzi do :"_qs, u"Instalacja"_qs + sp(41) + sp(11) + u"4 szt."_qs}));
    EXPECT_EQ(consistsOfLines(folder, item, on),
              (QStringList{u"Składa się z :"_qs, u"Kula"_qs + sp(47) + sp(9) + u"2,5 szt."_qs}));
    // Substitutes have no quantity, whatever the switch says.
    EXPECT_EQ(substituteLines(folder, item, on),
              (QStringList{u"Zamienniki :"_qs, u"Zawór grzybkowy"_qs + sp(36)}));

    on = {};
    on.symbol = on.price = true; // the related item's own values, not the current item's
    EXPECT_EQ(consistsOfLines(folder, item, on).value(1),
              u"K-2"_qs + sp(23) + sp(8) + u"0,75 zł"_qs);
    EXPECT_EQ(goesIntoLines(folder, bare, on), QStringList{u"Wchodzi do :"_qs});
    // Every column switched off: a row is still a line, an empty one.
    EXPECT_EQ(goesIntoLines(folder, item, ColumnSwitches{}),
              (QStringList{u"Wchodzi do :"_qs, QString()}));
}

TEST_F(ComposeCatalogue, PurchasePricesAreInTheHomeCurrencyAndNeedTheRight) {
    // 2, 2.5 and 3 euro at 4.5; the third price was not given.
    EXPECT_EQ(purchasePriceLines(folder, item, true),
              (QStringList{u"Ceny zakupu :"_qs, u"HURT-POL"_qs + sp(23) + sp(11) + u"9 zł"_qs +
                                                    sp(7) + u"11,25 zł"_qs + sp(13) + u"zł"_qs +
                                                    sp(8) + u"13,5 zł"_qs + u"  05-03-2024"_qs}));
    EXPECT_EQ(purchasePriceLines(folder, item, false), QStringList{u"Ceny zakupu :"_qs});

    // A converted price is rounded to the grosz: 10.08 at 4.4533 is 44.889792.
    const int dollar = addRow(folder, "Waluta", {{u"Waluta_Kurs"_qs, 4.4533}}, "Waluta_Nr");
    addRow(folder, "Cena",
           {{u"Cena_Tow_Nr"_qs, item}, {u"Cena_Waluta_Nr"_qs, dollar}, {u"Cena_1"_qs, 10.08}});
    EXPECT_TRUE(purchasePriceLines(folder, item, true)
                    .value(2)
                    .startsWith(sp(31) + sp(7) + u"44,89 zł"_qs));
    EXPECT_EQ(purchasePriceLines(folder, bare, true), QStringList{u"Ceny zakupu :"_qs});
}

TEST_F(ComposeCatalogue, ListedItemsFollowTheListsOrderAndFilter) {
    engine::Table list(folder, u"Towar"_qs);
    list.setIndexFieldNames(u"Tow_Nazwa"_qs);
    list.setFilter(u"Tow_SRP < 100"_qs);
    list.setFiltered(true);
    list.open();
    ColumnSwitches on;
    on.symbol = true;
    QStringList lines;
    int batches = 0;
    listedItemLines(
        itemListSource(list), on,
        [&](const QStringList& part) {
            lines << part;
            ++batches;
            return true;
        },
        2);
    EXPECT_EQ(lines, (QStringList{u"BD"_qs + sp(24), u"K-2"_qs + sp(23), u"ZG-15"_qs + sp(21),
                                  u"ZK-15"_qs + sp(21)}));
    EXPECT_EQ(batches, 2);

    // A stop after the first batch reads no more.
    lines.clear();
    listedItemLines(
        itemListSource(list), on,
        [&](const QStringList& part) {
            lines << part;
            return false;
        },
        3);
    EXPECT_EQ(lines.size(), 3);
}

TEST_F(ComposeCatalogue, ListedItemsOfAQueryFollowItsText) {
    engine::Query q;
    q.setDatabaseName(folder);
    q.setSql({u"SELECT DISTINCT Towar.*"_qs, u"FROM Towar"_qs, u"WHERE Towar.Tow_SRP > 10"_qs,
              u"ORDER BY Towar.Tow_Symbol"_qs});
    q.open();
    q.last(); // the list on screen may stand anywhere
    ColumnSwitches on;
    on.name1 = true;
    QStringList lines;
    listedItemLines(itemListSource(q), on, [&](const QStringList& part) {
        lines << part;
        return true;
    });
    EXPECT_EQ(lines, (QStringList{textCell(u"Instalacja"_qs, kNameColumn),
                                  textCell(u"Zawór grzybkowy"_qs, kNameColumn),
                                  textCell(u"Zawór kulowy"_qs, kNameColumn)}));
}

TEST(ComposeText, LinesAreParagraphsAtTheEndInTheDefaultFormat) {
    testsupport::application<QGuiApplication>();
    QTextDocument doc;
    appendLines(doc, {u"pierwsza"_qs});
    EXPECT_EQ(doc.blockCount(), 1); // an empty document takes the line into its paragraph

    // The text ends in a bold, centred paragraph and the caret stands at the start.
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertBlock(centred, bold);
    c.insertText(u"Tytuł"_qs, bold);
    appendLines(doc, {u"druga"_qs, u"  trzecia  "_qs});
    EXPECT_EQ(doc.toPlainText(), u"pierwsza\nTytuł\ndruga\n  trzecia  "_qs);
    const QTextBlock last = doc.lastBlock();
    EXPECT_NE(last.blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_NE(last.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    // One undo takes the whole insertion back.
    doc.undo();
    EXPECT_EQ(doc.toPlainText(), u"pierwsza\nTytuł"_qs);
}

TEST(ComposeText, ADocumentFileIsInsertedAtTheCursorWithItsFormatting) {
    testsupport::application<QGuiApplication>();
    TempFolder tmp;
    const QString path = tmp.path() + u"/naglowek.rtf"_qs;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b FIRMA} nag\\'b3\\'f3wek\\par}");
    f.close();

    QTextDocument doc;
    doc.setPlainText(u"przed po"_qs);
    QTextCursor c(&doc);
    c.setPosition(6);
    QString why;
    ASSERT_TRUE(insertDocumentFile(c, path, &why)) << why.toStdString();
    // Inside a line the header makes paragraphs of its own.
    EXPECT_EQ(doc.toPlainText(), u"przed \nFIRMA nagłówek\npo"_qs);
    QTextCursor bold(&doc);
    bold.setPosition(9);
    EXPECT_EQ(bold.charFormat().fontWeight(), QFont::Bold);
    bold.setPosition(16);
    EXPECT_NE(bold.charFormat().fontWeight(), QFont::Bold);

    // On an empty line it takes that line.
    QTextDocument lines;
    lines.setPlainText(u"a\n\nb"_qs);
    QTextCursor empty(&lines);
    empty.setPosition(2);
    ASSERT_TRUE(insertDocumentFile(empty, path, &why));
    EXPECT_EQ(lines.toPlainText(), u"a\nFIRMA nagłówek\nb"_qs);

    const QString before = doc.toPlainText();
    EXPECT_FALSE(insertDocumentFile(c, tmp.path() + u"/brak.rtf"_qs, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(doc.toPlainText(), before);
}

} // namespace
