// The insert commands as the user chooses them: from the offer editor's "Wstaw" menu, the main
// window's "Wstaw" menu and the offers page's pop-up menu, into the editor while it is shown and
// into the main window's document pane otherwise.
#include "../shell/fixture.h"
#include "offers/E_of_spi.h"
#include "offers/REMain.h"
#include "offers/offerfiles.h"
#include "platform/clipboard.h"
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextEdit>

namespace {

using namespace shelltest;

QString sp(int n) {
    return QString(n, u' ');
}

class ComposeCommandsTest : public ShellTest {
protected:
    ComposeCommandsTest() : clipboardGuard_(clipboard) {
        makeMainFolder({u"Alfa"_qs, u"Beta"_qs, u"Gamma"_qs, u"Delta"_qs});
        offersFolder = QDir(main).filePath(store::kOffersFolder);
    }

    int itemNr(const QString& name) {
        engine::Table t(catalogue, u"Towar"_qs);
        t.setIndexFieldNames(u"Tow_Nazwa"_qs);
        t.open();
        return t.findKey({name}) ? t.asInteger(u"Tow_nr"_qs) : 0;
    }
    void setItem(const QString& name, const QVariantMap& values) {
        engine::Table t(catalogue, u"Towar"_qs);
        t.setIndexFieldNames(u"Tow_Nazwa"_qs);
        t.open();
        ASSERT_TRUE(t.findKey({name}));
        t.edit();
        for (auto it = values.begin(); it != values.end(); ++it)
            t.setValue(it.key(), it.value());
        t.post();
    }
    int addOffer(const QString& company) {
        return testsupport::addRow(offersFolder, "Oferty",
                                   {{u"Oferty_Data"_qs, QDate(2024, 5, 17)},
                                    {u"Oferty_Firma"_qs, company},
                                    {u"Oferty_Opis"_qs, u"oferta"_qs}},
                                   "Oferty_Nr");
    }
    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Opens offer `nr` from the offer list: the editor is shown on it.
    offers::TMainForm& openOffer(shell::TForm_Pelk& w, int nr) {
        runner.on(u"TEkr_Oferty_Spis"_qs, [&](QDialog& d) {
            ASSERT_TRUE(w.state().TOferty.findKey({nr}));
            click(d, "BB_Otworz");
        });
        trigger(w, "Oferty1");
        return w.offerEditor();
    }
    static QTextEdit* pane(shell::TForm_Pelk& w) { return w.form().RichEdit1; }
    static QStringList paragraphs(QTextEdit* edit) { return edit->toPlainText().split(u'\n'); }

    QString offersFolder;
    platform::FakeClipboard clipboard;

private:
    platform::ScopedClipboard clipboardGuard_;
};

TEST_F(ComposeCommandsTest, LinesGoToTheEditorWhileShownElseToTheDocumentPane) {
    setItem(u"Beta"_qs, {{u"Tow_Symbol"_qs, u"B-2"_qs}, {u"Tow_SRP"_qs, 12.5}});
    auto w = startWindow();
    goTo(*w, u"Beta"_qs);
    const QString beta = u"Beta"_qs + sp(47) + u"B-2"_qs + sp(23) + sp(26); // no producer code

    const int nr = addOffer({});
    writeFile(offers::offerFilePath(main, nr), "Szanowni Państwo");
    offers::TMainForm& editor = openOffer(*w, nr);
    ASSERT_TRUE(editor.isVisible());
    trigger(editor, "biecy1");
    trigger(*w, "Wstawobiekt1"); // the pop-up menu writes into the shown editor too
    EXPECT_EQ(paragraphs(editor.textArea()), (QStringList{u"Szanowni Państwo"_qs, beta, beta}));
    EXPECT_TRUE(pane(*w)->toPlainText().isEmpty());

    // The text moved onto the pane hides the editor: the commands follow it there.
    click(editor, "BitBtn1");
    ASSERT_FALSE(editor.isVisible());
    trigger(*w, "biecy2");
    trigger(*w, "Wstawnotatki1");
    EXPECT_EQ(paragraphs(pane(*w)),
              (QStringList{u"Szanowni Państwo"_qs, beta, beta, beta, u"Notatki :"_qs}));
    EXPECT_TRUE(editor.textArea()->toPlainText().isEmpty());
}

TEST_F(ComposeCommandsTest, AnOfferOpenForReadingOnlyTakesNothing) {
    auto w = startWindow();
    w->state().RightsLevel = 1;
    const int nr = addOffer({});
    writeFile(offers::offerFilePath(main, nr), "tylko do odczytu");
    offers::TMainForm& editor = openOffer(*w, nr);
    ASSERT_TRUE(editor.textArea()->isReadOnly());
    trigger(*w, "biecy2");
    trigger(*w, "Wstawnagwek1");
    child<QAction>(editor, "biecy1")->trigger();
    EXPECT_EQ(editor.textArea()->toPlainText(), u"tylko do odczytu");
    EXPECT_TRUE(pane(*w)->toPlainText().isEmpty());
    editor.hide();
}

TEST_F(ComposeCommandsTest, HeaderKeepsItsFormattingAndTheClipboardItsContent) {
    writeFile(QDir(main).filePath(store::kHeaderFile),
              "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\b ALFA-TECH} Sp. z o.o.\\par}");
    QFile::remove(QDir(main).filePath(store::kFooterFile));
    clipboard.setText(u"w schowku"_qs);
    QGuiApplication::clipboard()->setText(u"w schowku systemu"_qs);
    auto w = startWindow();
    const int nr = addOffer({});
    writeFile(offers::offerFilePath(main, nr), "Treść");
    offers::TMainForm& editor = openOffer(*w, nr);
    QTextEdit* text = editor.textArea();
    QTextCursor c = text->textCursor();
    c.movePosition(QTextCursor::Start);
    text->setTextCursor(c);

    trigger(editor, "nagwek1");
    EXPECT_TRUE(text->toPlainText().startsWith(u"ALFA-TECH Sp. z o.o."_qs));
    EXPECT_TRUE(text->toPlainText().endsWith(u"Treść"_qs));
    QTextCursor at(text->document());
    at.setPosition(3);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
    at.setPosition(14);
    EXPECT_NE(at.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(clipboard.text(), u"w schowku");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"w schowku systemu");
    EXPECT_TRUE(errorTexts().isEmpty());

    // No footer file: the error box names it and nothing is inserted.
    const QString before = text->toHtml();
    trigger(*w, "wstawstopk2");
    ASSERT_EQ(errorTexts().size(), 1);
    EXPECT_TRUE(errorTexts().first().contains(QDir(main).filePath(store::kFooterFile)));
    EXPECT_EQ(text->toHtml(), before);
    editor.hide();
}

TEST_F(ComposeCommandsTest, AllListedItemsKeepTheListWhereItWas) {
    auto w = startWindow();
    goTo(*w, u"Delta"_qs);
    auto& items = w->state().TFTowar;
    const int recNo = items.recNo();
    int scrolled = 0;
    QObject::connect(&items, &engine::DataSet::afterScroll, [&] { ++scrolled; });

    trigger(*w, "wszystkiewidoczne2");
    // The list's order (name) with the name and symbol columns of a new catalogue.
    QStringList names;
    for (const QString& line : paragraphs(pane(*w)))
        names << line.trimmed();
    EXPECT_EQ(names, (QStringList{u"Alfa"_qs, u"Beta"_qs, u"Delta"_qs, u"Gamma"_qs}));
    EXPECT_EQ(items.asString(u"Tow_Nazwa"_qs), u"Delta");
    EXPECT_EQ(items.recNo(), recNo);
    EXPECT_EQ(scrolled, 0);
    EXPECT_EQ(messages.count(), 0); // few rows: no question
}

TEST_F(ComposeCommandsTest, DetailCommandsReadTheCurrentItemAndLeaveThePageShown) {
    const int alfa = itemNr(u"Alfa"_qs), beta = itemNr(u"Beta"_qs);
    setItem(u"Alfa"_qs, {{u"Tow_Uwagi"_qs, u"dostawa 2 dni\r\ngwarancja 24 miesiące"_qs}});
    const int diameter =
        testsupport::addRow(catalogue, "Cecha", {{u"Cecha_Opis"_qs, u"Średnica"_qs}}, "Cecha_Nr");
    testsupport::addRow(
        catalogue, "Opis",
        {{u"Opis_Tow_Nr"_qs, alfa}, {u"Opis_Cecha_Nr"_qs, diameter}, {u"Opis_Opis"_qs, u"15"_qs}});
    testsupport::addRow(
        catalogue, "Sklada",
        {{u"Sklada_Tow_Nr"_qs, alfa}, {u"Sklada_Nr_Czesci"_qs, beta}, {u"Sklada_il_szt"_qs, 3}});
    const int supplier =
        testsupport::addRow(catalogue, "Firmy", {{u"Firma_Skrot"_qs, u"HURT"_qs}}, "Firma_Nr");
    const int pln =
        testsupport::addRow(catalogue, "Waluta",
                            {{u"Waluta_Nazwa"_qs, u"PLN"_qs}, {u"Waluta_Kurs"_qs, 1}}, "Waluta_Nr");
    testsupport::addRow(catalogue, "Cena",
                        {{u"Cena_Tow_Nr"_qs, alfa},
                         {u"Cena_Firma_Nr"_qs, supplier},
                         {u"Cena_Waluta_Nr"_qs, pln},
                         {u"Cena_1"_qs, 7.25}});
    auto w = startWindow();
    w->showDetailTab(0);
    goTo(*w, u"Alfa"_qs);
    w->state().PriceRight = false;
    for (const char* command : {"wstawwasnoci1", "Wstawskadasi2", "wstawwchodzido2",
                                "wstawzamienniki2", "Wstawnotatki2", "wstawcenyzakupukonkurencji1"})
        trigger(*w, command);
    EXPECT_EQ(
        paragraphs(pane(*w)),
        (QStringList{u"Własności :"_qs, u"Średnica"_qs + sp(23) + u"15"_qs, u"Składa się z :"_qs,
                     u"Beta"_qs + sp(47) + sp(26) + sp(26) + sp(11) + u"3 szt."_qs,
                     u"Wchodzi do :"_qs, u"Zamienniki :"_qs, u"Notatki :"_qs, u"dostawa 2 dni"_qs,
                     u"gwarancja 24 miesiące"_qs, u"Ceny zakupu :"_qs}));
    EXPECT_EQ(w->detailTab(), 0);

    // With the price right the prices follow; an item without attribute values has the title.
    pane(*w)->clear();
    w->state().PriceRight = true;
    trigger(*w, "Wstawcenyzakupu1");
    const QString empty = sp(13) + u"zł"_qs;
    EXPECT_EQ(paragraphs(pane(*w)).value(1),
              u"HURT"_qs + sp(27) + sp(8) + u"7,25 zł"_qs + empty + empty + empty + sp(12));
    pane(*w)->clear();
    goTo(*w, u"Gamma"_qs);
    trigger(*w, "Wstawdanezbiecejzakadki1");
    EXPECT_EQ(pane(*w)->toPlainText(), u"Własności :");
}

TEST_F(ComposeCommandsTest, TheCompanyBlockComesFromTheOfferOrTheCompaniesDialog) {
    testsupport::addRow(catalogue, "Firmy",
                        {{u"Firma_Skrot"_qs, u"ALFA"_qs},
                         {u"Firma_Nazwa1"_qs, u"ALFA Sp. z o.o."_qs},
                         {u"Firma_Ulica"_qs, u"Polna 3"_qs},
                         {u"Firma_Kod_Poczt"_qs, u"00-950"_qs},
                         {u"Firma_Miejscowosc"_qs, u"Warszawa"_qs}});
    auto w = startWindow();
    // No company chosen since the start: nothing.
    trigger(*w, "wstawfirm2");
    EXPECT_TRUE(pane(*w)->toPlainText().isEmpty());

    const int nr = addOffer(u"ALFA"_qs);
    writeFile(offers::offerFilePath(main, nr), "");
    offers::TMainForm& editor = openOffer(*w, nr);
    trigger(editor, "firm1");
    EXPECT_EQ(paragraphs(editor.textArea()),
              (QStringList{u"ALFA Sp. z o.o."_qs, u"Polna 3"_qs, u"00-950 Warszawa"_qs}));
    editor.hide();
}

} // namespace

namespace {

// `count` more items written at once through a connection of their own.
void addManyItems(const QString& folder, int count) {
    sqlite3* db = nullptr;
    const QByteArray path = QDir(folder).filePath(engine::Database::fileName()).toUtf8();
    ASSERT_EQ(sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    engine::registerSqlFunctions(db);
    const QByteArray sql =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        QByteArray::number(count) + ") INSERT INTO Towar(Tow_Nazwa) SELECT 'Pozycja ' || i FROM n";
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error), SQLITE_OK) << error;
    sqlite3_free(error);
    sqlite3_close(db);
}

TEST_F(ComposeCommandsTest, AboveTenThousandListedItemsTheUserIsAskedFirst) {
    addManyItems(catalogue, 9997); // 10,001 with the four of the fixture
    auto w = startWindow();
    messages.answer(ui::Button::No);
    trigger(*w, "wszystkiewidoczne2");
    EXPECT_EQ(messages.last().text, u"Wstawić 10001 pozycji do dokumentu ?");
    EXPECT_EQ(messages.last().caption, u"Uwaga !");
    EXPECT_TRUE(pane(*w)->toPlainText().isEmpty());

    messages.answer(ui::Button::Yes);
    trigger(*w, "wszystkiewidoczne2");
    EXPECT_EQ(pane(*w)->document()->blockCount(), 10001);
    EXPECT_EQ(pane(*w)->document()->firstBlock().text().trimmed(), u"Alfa");
}

} // namespace
