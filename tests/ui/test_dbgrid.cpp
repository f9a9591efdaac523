#include "engine/database.h"
#include "engine/query.h"
#include "engine/table.h"
#include "support/tempfolder.h"
#include "ui/dbgrid.h"
#include "ui/dbmemo.h"
#include "ui/dbtext.h"
#include "ui/messages.h"
#include "uitest.h"
#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace engine;

namespace {

const QString kName = QStringLiteral("Tow_Nazwa");

// Names run against the numbers (row 1 is "Towar 00300" of 300): the name order reverses the
// primary one.
QString nameOf(int nr, int total) {
    return QStringLiteral("Towar %1").arg(total + 1 - nr, 5, 10, QLatin1Char('0'));
}

// Turns the model tester's complaints into test failures while it lives.
class ModelTesterFailures {
public:
    ModelTesterFailures() { previous = qInstallMessageHandler(&handle); }
    ~ModelTesterFailures() { qInstallMessageHandler(previous); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
        if (ctx.category && qstrcmp(ctx.category, "qt.modeltest") == 0 && type != QtDebugMsg)
            ADD_FAILURE() << msg.toStdString();
        else if (previous)
            previous(type, ctx, msg);
    }
    static inline QtMessageHandler previous = nullptr;
};

struct GridTest : UiTest {
    TempFolder dir;
    std::shared_ptr<Database> db = Database::open(dir.path(), Database::Mode::Create);
    std::unique_ptr<Table> t = std::make_unique<Table>(dir.path(), QStringLiteral("Towar"));
    ui::DbGrid grid;
    ui::DbGridModel* m = grid.gridModel();

    GridTest() {
        db->createTable(
            TableDef{QStringLiteral("Towar"),
                     {{QStringLiteral("Tow_nr"), FieldType::AutoInc},
                      {kName, FieldType::Alpha, 40, true},
                      {QStringLiteral("Tow_Cena"), FieldType::Number},
                      {QStringLiteral("Tow_Data"), FieldType::Date},
                      {QStringLiteral("Tow_Uwagi"), FieldType::Memo, 240}},
                     {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Tow_nr")}, true},
                      {QStringLiteral("wg_Tow_Nazwa"), {kName}, false}}});
    }

    // Rows 1..n, then the grid over the open table, shown.
    void openGrid(int n) {
        Table w(dir.path(), QStringLiteral("Towar"));
        w.open();
        db->transaction([&] {
            for (int i = 1; i <= n; ++i) {
                w.append();
                w.setValue(kName, nameOf(i, n));
                w.setValue(QStringLiteral("Tow_Cena"), i * 1.5);
                w.setValue(QStringLiteral("Tow_Data"), QDate(2024, 1, 1).addDays(i));
                if (i % 2)
                    w.setValue(QStringLiteral("Tow_Uwagi"),
                               QStringLiteral("wiersz %1\ndruga linia").arg(i));
                w.post();
            }
        });
        grid.setDataSet(t.get());
        t->open();
        grid.resize(420, 300);
        grid.show();
        settle();
    }

    // Lets the grid finish following a cursor that moved in code.
    static void settle() { QCoreApplication::processEvents(); }

    QString cell(int row, const QString& field) {
        m->ensureRows(row, row);
        return m->data(m->index(row, m->columnOfField(field))).toString();
    }
    bool rowVisible(int row) {
        const QRect r = grid.visualRect(m->index(row, 0));
        return r.top() >= 0 && r.bottom() < grid.viewport()->height();
    }
    void click(int row) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(m->index(row, 0)).center());
    }
};

} // namespace

TEST_F(GridTest, ModelPassesTheTesterThroughTheDataSetsLife) {
    ModelTesterFailures failures;
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Warning);
    openGrid(300);
    EXPECT_EQ(m->rowCount(), 300);
    ASSERT_EQ(m->columnCount(), 5); // every field, under its name

    // As the program shows values: dd-mm-yyyy, decimal comma, memo on one line; numbers right.
    EXPECT_EQ(cell(250, kName), nameOf(251, 300));
    EXPECT_EQ(cell(250, QStringLiteral("Tow_Cena")), "376,5");
    EXPECT_EQ(cell(250, QStringLiteral("Tow_Data")), "08-09-2024");
    EXPECT_EQ(cell(250, QStringLiteral("Tow_Uwagi")), "wiersz 251 druga linia");
    EXPECT_TRUE(m->data(m->index(0, 2), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    EXPECT_TRUE(m->data(m->index(0, 1), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);

    // The screen's own columns, matched in any letter case; widths stay with their fields.
    grid.addColumn(QStringLiteral("tow_nazwa"), QStringLiteral("Nazwa"), 150);
    grid.addColumn(QStringLiteral("TOW_CENA"), QStringLiteral("Cena"));
    grid.addColumn(QStringLiteral("Tow_Data"), QStringLiteral("Data"));
    EXPECT_TRUE(grid.setColumnTitle(QStringLiteral("TOW_nazwa"), QStringLiteral("Nazwa towaru")));
    EXPECT_FALSE(grid.setColumnTitle(QStringLiteral("Tow_Brak"), QStringLiteral("x")));
    EXPECT_TRUE(grid.setColumnVisible(QStringLiteral("tow_cena"), false));
    ASSERT_EQ(m->columnCount(), 2);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Nazwa towaru");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Data");
    grid.setColumnVisible(QStringLiteral("tow_cena"), true);
    grid.setColumnWidth(2, 77); // as the user drags it
    t->refresh();
    EXPECT_EQ(grid.fieldWidth(QStringLiteral("Tow_Data")), 77);
    EXPECT_EQ(grid.fieldWidth(QStringLiteral("Tow_Nazwa")), 150);

    // Filtering, posting, deleting, closing: the model follows each.
    t->setFilter(QStringLiteral("Tow_Cena < 30"));
    t->setFiltered(true);
    EXPECT_EQ(m->rowCount(), 19);
    t->last();
    t->edit();
    t->setValue(kName, QStringLiteral("Ćma"));
    t->post();
    EXPECT_EQ(cell(18, kName), "Ćma");
    t->remove();
    EXPECT_EQ(m->rowCount(), 18);
    t->setFiltered(false);
    EXPECT_EQ(m->rowCount(), 299);
    settle();
    t->close();
    EXPECT_EQ(m->rowCount(), 0);
    t->open();
    EXPECT_EQ(m->rowCount(), 299);
    settle();
}

TEST_F(GridTest, ScrollingTwentyThousandRowsReadsOnlyWhatIsShown) {
    openGrid(20000);
    ASSERT_EQ(m->rowCount(), 20000);
    const int bound = ui::DbGridModel::kMaxWindows * ui::DbGridModel::kWindowRows;
    const int atOpen = m->loadCount();
    EXPECT_LE(atOpen, 2);

    grid.scrollToBottom();
    settle();
    EXPECT_TRUE(m->isRowCached(19999));
    EXPECT_LE(m->loadCount() - atOpen, 2);
    EXPECT_EQ(cell(19999, kName), nameOf(20000, 20000));
    for (int value : {15000, 9000, 4000, 12345, 100}) {
        grid.verticalScrollBar()->setValue(value);
        settle();
        EXPECT_TRUE(m->isRowCached(grid.rowAt(0)));
        EXPECT_LE(m->cachedRowCount(), bound);
    }
    grid.scrollToTop();
    settle();
    EXPECT_EQ(cell(0, kName), nameOf(1, 20000));
    EXPECT_EQ(t->recNo(), 1); // scrolling the view leaves the cursor alone

    // A row asked for while not at hand reads empty and arrives on the next turn.
    ASSERT_FALSE(m->isRowCached(7000));
    EXPECT_EQ(m->data(m->index(7000, 0)).toString(), "");
    QTRY_VERIFY_WITH_TIMEOUT(m->isRowCached(7000), 2000);

    t->last();
    settle();
    EXPECT_EQ(grid.currentIndex().row(), 19999);
    EXPECT_TRUE(rowVisible(19999));
    EXPECT_LE(m->cachedRowCount(), bound);
    EXPECT_LT(m->loadCount(), 20);
}

TEST_F(GridTest, GridAndCursorFollowEachOther) {
    openGrid(300);
    EXPECT_EQ(grid.currentIndex().row(), 0);

    // A click moves the cursor once; the cursor's move does not come back to the grid.
    QSignalSpy scrolls(t.get(), &DataSet::afterScroll);
    click(5);
    EXPECT_EQ(scrolls.count(), 1);
    EXPECT_EQ(t->recNo(), 6);
    EXPECT_EQ(t->asString(kName), cell(5, kName));
    QTest::keyClick(grid.viewport(), Qt::Key_Down);
    EXPECT_EQ(t->recNo(), 7);
    QTest::keyClick(grid.viewport(), Qt::Key_End);
    EXPECT_EQ(t->asString(kName), nameOf(300, 300));
    EXPECT_EQ(grid.currentIndex().column(), 0);

    // The cursor moving in code selects its row, alone, and brings it into view.
    t->setRecNo(250);
    settle();
    ASSERT_EQ(grid.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(grid.selectionModel()->selectedRows()[0].row(), 249);
    EXPECT_TRUE(rowVisible(249));

    // Another order: the same row, elsewhere. A posted edit moving the row; a delete.
    const QString current = t->asString(kName);
    t->setIndexName(QStringLiteral("wg_Tow_Nazwa"));
    settle();
    EXPECT_EQ(cell(grid.currentIndex().row(), kName), current);
    t->edit();
    t->setValue(kName, QStringLiteral("Ąaa"));
    t->post();
    settle();
    EXPECT_EQ(grid.currentIndex().row(), 0);
    EXPECT_EQ(cell(0, kName), "Ąaa");
    t->setRecNo(100);
    t->remove();
    settle();
    EXPECT_EQ(m->rowCount(), 299);
    EXPECT_EQ(cell(grid.currentIndex().row(), kName), t->asString(kName));

    // Double click and Enter reach the screen; the grid keeps Enter from the dialog.
    QSignalSpy doubleClicks(&grid, &ui::DbGrid::rowDoubleClicked);
    QSignalSpy enters(&grid, &ui::DbGrid::enterPressed);
    click(4);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {},
                       grid.visualRect(m->index(4, 0)).center());
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_EQ(enters.count(), 1);
    EXPECT_EQ(t->recNo(), 5);
}

TEST_F(GridTest, LeavingARowThatCannotBePostedKeepsBothWhereTheyWere) {
    openGrid(50);
    t->setRecNo(3);
    t->edit();
    t->clearValue(kName); // required
    ui::FakeMessages fake;
    ui::ScopedMessages installed(fake);
    click(10);
    settle();
    ASSERT_EQ(fake.count(), 1);
    EXPECT_TRUE(fake.last().text.contains(kName));
    EXPECT_EQ(t->state(), Table::State::Edit);
    EXPECT_EQ(grid.currentIndex().row(), 2);
    t->cancel();
}

TEST_F(GridTest, DetailGridFollowsItsMaster) {
    openGrid(3);
    db->createTable(TableDef{QStringLiteral("Opis"),
                             {{QStringLiteral("Opis_Tow_Nr"), FieldType::LongInt},
                              {QStringLiteral("Opis_Nr"), FieldType::AutoInc},
                              {QStringLiteral("Opis_Opis"), FieldType::Alpha, 40}},
                             {{QStringLiteral("PrimaryIndex"),
                               {QStringLiteral("Opis_Tow_Nr"), QStringLiteral("Opis_Nr")},
                               true}}});
    Table detail(dir.path(), QStringLiteral("Opis"));
    detail.open();
    db->transaction([&] {
        for (int tow : {1, 2, 3})
            for (int i = 0; i < (tow == 3 ? 5 : 3); ++i) {
                detail.append();
                detail.setValue(QStringLiteral("Opis_Tow_Nr"), tow);
                detail.setValue(QStringLiteral("Opis_Opis"),
                                QStringLiteral("opis %1.%2").arg(tow).arg(i));
                detail.post();
            }
    });
    detail.close();
    detail.setMaster(t.get(), QStringLiteral("Tow_nr"));
    detail.open();
    grid.setDataSet(&detail);
    const QString field = QStringLiteral("Opis_Opis");
    EXPECT_EQ(cell(0, field), "opis 1.0");
    t->next(); // as many rows as before, other ones
    settle();
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(cell(2, field), "opis 2.2");
    t->next();
    settle();
    EXPECT_EQ(m->rowCount(), 5);
    EXPECT_EQ(cell(4, field), "opis 3.4");
    EXPECT_EQ(grid.currentIndex().row(), 0);
}

TEST_F(GridTest, QueryAsSource) {
    openGrid(300);
    ModelTesterFailures failures;
    Query q;
    q.setDatabaseName(dir.path());
    q.setSql({QStringLiteral("SELECT Tow_Nazwa, Tow_Cena FROM Towar"),
              QStringLiteral("WHERE Tow_Cena > 300"), QStringLiteral("ORDER BY Tow_Nazwa")});
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Warning);
    grid.setDataSet(&q);
    q.open();
    settle();
    ASSERT_EQ(m->rowCount(), 100);
    EXPECT_EQ(m->columnCount(), 2);
    EXPECT_EQ(cell(0, kName), nameOf(300, 300));
    EXPECT_EQ(cell(0, QStringLiteral("tow_cena")), "450");

    click(3);
    EXPECT_EQ(q.recNo(), 4);
    q.setRecNo(90);
    settle();
    EXPECT_EQ(grid.currentIndex().row(), 89);
    EXPECT_TRUE(rowVisible(89));
    q.refresh();
    settle();
    EXPECT_EQ(m->rowCount(), 100);
    EXPECT_EQ(grid.currentIndex().row(), 89);
}

TEST_F(GridTest, TextAndMemoFollowTheCurrentRow) {
    ui::DbText name;
    ui::DbMemo notes;
    name.setDataSet(t.get());
    name.setField(QStringLiteral("tow_nazwa"));
    notes.setDataSet(t.get());
    notes.setField(QStringLiteral("Tow_Uwagi"));
    EXPECT_TRUE(notes.isReadOnly());
    openGrid(4);
    EXPECT_EQ(name.text(), nameOf(1, 4));
    EXPECT_EQ(notes.toPlainText(), "wiersz 1\ndruga linia");
    t->next();
    EXPECT_EQ(name.text(), nameOf(2, 4));
    EXPECT_EQ(notes.toPlainText(), "");

    // Another cursor changes the row: a re-read shows it.
    Table other(dir.path(), QStringLiteral("Towar"));
    other.open();
    other.setRecNo(2);
    other.edit();
    other.setValue(kName, QStringLiteral("Łożysko"));
    other.post();
    t->refresh();
    EXPECT_EQ(name.text(), "Łożysko");
    name.setField(QStringLiteral("Tow_Brak"));
    EXPECT_EQ(name.text(), "");
    name.setField(QStringLiteral("Tow_Cena"));
    EXPECT_EQ(name.text(), "3");

    // The table going away leaves everything empty.
    t.reset();
    EXPECT_EQ(name.text(), "");
    EXPECT_EQ(notes.toPlainText(), "");
    EXPECT_EQ(m->rowCount(), 0);
    settle();
}
