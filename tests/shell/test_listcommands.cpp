// The item list's daily conveniences: sorting by a click on a column header, prices shown as
// money, the list exported to a CSV file and rows copied through the clipboard.
#include "platform/clipboard.h"
#include "shell/fixture.h"
#include "shell/itemlistexport.h"
#include "support/rows.h"
#include "ui/filedialogs.h"
#include <QFile>
#include <QHeaderView>
#include <QTest>

using namespace shelltest;
using testsupport::addRow;
using Outcome = shell::MainController::StartOutcome;

namespace {

QStringList list(const char* items) {
    return QString::fromUtf8(items).split(u'|');
}

void type(QLineEdit* field, const QString& text) {
    for (QChar c : text)
        field->insert(QString(c));
}

// A CSV text as a spreadsheet reads it: ";" between fields, quoted fields with doubled quotes
// and line breaks inside, CR LF between records.
QList<QStringList> readCsv(const QString& text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            record << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            record << field;
            records << record;
            record.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && record.isEmpty()) << "the last line is ended";
    return records;
}

class ListCommandsTest : public ShellTest {
protected:
    ListCommandsTest() : clipboardGuard_(clipboard), dialogsGuard_(dialogs) {}

    platform::FakeClipboard clipboard;
    ui::FakeFileDialogs dialogs;

    std::unique_ptr<shell::TForm_Pelk> startWithItems() {
        makeMainFolder({});
        const QStringList names = list("Abażur|ABC|abd|Łopata|żuraw");
        const QStringList symbols = list("S-05|S-01|S-08|S-02|S-04");
        const double prices[] = {3, 1200.5, 7, 15, 30};
        for (int i = 0; i < names.size(); ++i)
            addRow(catalogue, "Towar",
                   {{"Tow_Nazwa", names[i]}, {"Tow_Symbol", symbols[i]}, {"Tow_SRP", prices[i]}});
        // The symbol and two prices shown in the list.
        engine::Table k(catalogue, QStringLiteral("Konfig_i"));
        k.open();
        k.edit();
        for (const char* column : {"Symbol", "Cena_SRP", "Cena_A"})
            k.setValue(QStringLiteral("Konfig_i_%1").arg(QLatin1String(column)), true);
        k.post();
        auto w = startWindow();
        EXPECT_EQ(outcome, Outcome::Running);
        w->show();
        return w;
    }

    static void clickHeader(ui::DbGrid* grid, const char* field) {
        QHeaderView* header = grid->horizontalHeader();
        const int column = grid->gridModel()->columnOfField(QLatin1String(field));
        ASSERT_GE(column, 0) << field;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, 4));
    }

    static int arrowColumn(ui::DbGrid* grid) {
        return grid->horizontalHeader()->sortIndicatorSection();
    }

private:
    platform::ScopedClipboard clipboardGuard_;
    ui::ScopedFileDialogs dialogsGuard_;
};

TEST_F(ListCommandsTest, HeaderClicksChooseTheSortAndTheArrowShowsTheOrderInForce) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();
    auto* grid = f.DBGrid_Towary;
    const auto* model = grid->gridModel();
    const int nameColumn = model->columnOfField(QStringLiteral("Tow_Nazwa"));
    const int symbolColumn = model->columnOfField(QStringLiteral("Tow_Symbol"));
    EXPECT_EQ(arrowColumn(grid), nameColumn);

    clickHeader(grid, "Tow_Symbol");
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 2);
    EXPECT_EQ(gridNames(grid), list("ABC|Łopata|żuraw|Abażur|abd"));
    EXPECT_EQ(arrowColumn(grid), symbolColumn);
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    // A second click keeps the order (the index has one direction), and the arrow with it.
    clickHeader(grid, "Tow_Symbol");
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    // A column without an index does nothing.
    clickHeader(grid, "Tow_SRP");
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 2);
    EXPECT_EQ(arrowColumn(grid), symbolColumn);
    EXPECT_EQ(gridNames(grid), list("ABC|Łopata|żuraw|Abażur|abd"));
    // The box moves the arrow too.
    f.Wyswietlaj_wg->setCurrentIndex(0);
    EXPECT_EQ(arrowColumn(grid), nameColumn);
    EXPECT_EQ(gridNames(grid), list("Abażur|ABC|abd|Łopata|żuraw"));

    // A query run while the box says Symbol lists by name: the box and the arrow say so, and
    // the search looks in the names.
    f.Wyswietlaj_wg->setCurrentIndex(2);
    s.QTowar.close();
    s.QTowar.setSql(list("SELECT DISTINCT Towar.*|FROM Towar |WHERE|Towar.Tow_SRP>5|"
                         "ORDER BY Towar.Tow_Nazwa"));
    s.Query.queryActive = true;
    w->BB_SQLClick();
    EXPECT_EQ(gridNames(grid), list("ABC|abd|Łopata|żuraw"));
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 0);
    EXPECT_EQ(arrowColumn(grid), nameColumn);
    f.Edit_Szukaj_Towar->setFocus();
    type(f.Edit_Szukaj_Towar, QStringLiteral("ło"));
    EXPECT_EQ(s.QTowar.asString(QStringLiteral("Tow_Nazwa")), "Łopata");
    // In query mode a header click orders the query's rows.
    clickHeader(grid, "Tow_Symbol");
    EXPECT_EQ(s.QTowar.sql().last(), "ORDER BY Towar.Tow_Symbol");
    EXPECT_EQ(gridNames(grid), list("ABC|Łopata|żuraw|abd"));
    EXPECT_EQ(arrowColumn(grid), symbolColumn);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
}

TEST_F(ListCommandsTest, PricesInTheListAndBesideItShowTwoDecimals) {
    auto w = startWithItems();
    auto& f = w->form();
    auto* model = f.DBGrid_Towary->gridModel();
    model->ensureRows(0, 4);
    const int price = model->columnOfField(QStringLiteral("Tow_SRP"));
    const int priceA = model->columnOfField(QStringLiteral("Tow_Cena_A"));
    EXPECT_EQ(model->index(0, price).data().toString(), "3,00");
    EXPECT_EQ(model->index(1, price).data().toString(), QString::fromUtf8("1\u202F200,50"));
    EXPECT_EQ(model->index(1, priceA).data().toString(), "") << "no price A given";
    w->state().TFTowar.gotoRowId(2);
    EXPECT_EQ(f.DBText_SRP->text(), QString::fromUtf8("1\u202F200,50"));
}

TEST_F(ListCommandsTest, ExportWritesTheListAsShownAndReadsBackWithAwkwardValues) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();
    addRow(catalogue, "Towar",
           {{"Tow_Nazwa", "Śruba \"M8\"; ocynk"},
            {"Tow_Symbol", "S-03\r\ndruga linia"},
            {"Tow_SRP", 0.5}});
    f.Odwie1->trigger();
    f.Wyswietlaj_wg->setCurrentIndex(2); // by symbol
    const QString path = tmp.path() + QStringLiteral("/lista.csv");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier");
    old.close();

    dialogs.answers << path;
    auto* exportList = w->findChild<QAction*>(QStringLiteral("EksportujListe1"));
    ASSERT_NE(exportList, nullptr);
    EXPECT_EQ(exportList->text(), QStringLiteral("Eksportuj listę..."));
    EXPECT_TRUE(f.Baza1->actions().contains(exportList));
    exportList->trigger();
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "a byte order mark for the spreadsheet";
    const auto records = readCsv(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(records.size(), 7);
    EXPECT_EQ(records[0], list("Pole 1|Pole 3|Pole 4|Cena sprzedaży|Cena A|Ilość"));
    EXPECT_EQ(records[1], list("ABC|S-01||1200,5||"));
    EXPECT_EQ(records[3], QStringList({QString::fromUtf8("Śruba \"M8\"; ocynk"),
                                       QStringLiteral("S-03\r\ndruga linia"), QString(),
                                       QStringLiteral("0,5"), QString(), QString()}));
    EXPECT_EQ(records[6], list("abd|S-08||7||"));

    // In query mode the query's rows; a name without an ending gets ".csv".
    s.QTowar.close();
    s.QTowar.setSql(
        list("SELECT DISTINCT Towar.*|FROM Towar |WHERE|Towar.Tow_SRP>5|ORDER BY Towar.Tow_Nazwa"));
    s.Query.queryActive = true;
    w->BB_SQLClick();
    const QString queryPath = tmp.path() + QStringLiteral("/zapytanie");
    dialogs.answers << queryPath;
    exportList->trigger();
    QFile queryFile(queryPath + QStringLiteral(".csv"));
    ASSERT_TRUE(queryFile.open(QIODevice::ReadOnly));
    const auto queried = readCsv(QString::fromUtf8(queryFile.readAll().mid(3)));
    ASSERT_EQ(queried.size(), 5);
    EXPECT_EQ(queried[1][0], "ABC");
    EXPECT_EQ(queried[4][0], "żuraw");

    // A cancelled export leaves the file of that name as it was.
    const auto source = shell::itemListSource(*f.DBGrid_Towary);
    int asked = 0;
    EXPECT_EQ(shell::writeItemListCsv(source, path, [&](int, int) { return ++asked < 1; }),
              shell::ExportResult::Cancelled);
    EXPECT_EQ(asked, 1);
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes) << "the earlier export is kept";
    // A folder that does not exist: the reason, and nothing written.
    QString error;
    EXPECT_EQ(
        shell::writeItemListCsv(source, tmp.path() + QStringLiteral("/brak/x.csv"), {}, &error),
        shell::ExportResult::Failed);
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(ListCommandsTest, CtrlCCopiesTheSelectedRowsWithCaptions) {
    auto w = startWithItems();
    auto& f = w->form();
    auto* grid = f.DBGrid_Towary;
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.text(),
              QString::fromUtf8("Pole 1\tPole 3\tPole 4\tCena sprzedaży\tCena A\tIlość\n"
                                "ABC\tS-01\t\t1200,5\t\t\n"
                                "abd\tS-08\t\t7\t\t\n"));
    EXPECT_EQ(w->state().TFTowar.asString(QStringLiteral("Tow_Nazwa")), "abd");
    EXPECT_TRUE(messages.shown().isEmpty());
}

} // namespace
