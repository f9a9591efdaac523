// The main window's document tab while an order is open: its grid and buttons, the order menu
// items and toolbar, the item list's double-click, and the Enter and Delete keys.
#include "editorfixture.h"
#include "orders/Otw_Zam.h"
#include "ui_E_Glowny.h"
#include <QMenu>
#include <QTabWidget>

namespace editortest {
namespace {

class DocumentTabTest : public EditorTest {
protected:
    Ui::TForm_Pelk& f() { return w->form(); }
    bool enabled(const char* name) { return w->isCommandEnabled(QLatin1String(name)); }
    void showWindow() {
        w->resize(1000, 700);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void lineDialogAnswersOk() {
        runner.on(QStringLiteral("TEkr_Zam_Dane"), [](QDialog& d) { click(d, "BB_OK"); });
    }
};

TEST_F(DocumentTabTest, OpenOrderPutsTheWindowInOrderMode) {
    EXPECT_FALSE(enabled("Zapisz1"));
    EXPECT_TRUE(enabled("Zamwienie1"));
    EXPECT_TRUE(f().DBGrid_Dokument->isHidden());
    newOrder();
    for (const char* name : {"Zapisz1", "Zamknij1", "Caydokument1", "Pokanazakadce1",
                             "BB_Dok_Do_Zakladki", "SpeedButton_Dok_Dodaj"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("Zamwienie1"));
    EXPECT_TRUE(f().Memo_dokument_Info->isHidden());
    EXPECT_EQ(f().TNotebook->tabText(8), QStringLiteral("Zamówienie"));
    // The whole document first: the editor shows, the tab's grid waits.
    EXPECT_TRUE(ed().isVisible());
    EXPECT_TRUE(f().DBGrid_Dokument->isHidden());
    EXPECT_FALSE(f().BB_Dok_Do_Zakladki->isHidden());

    click(ed(), "BB_Ekran_Glowny");
    EXPECT_FALSE(ed().isVisible());
    EXPECT_EQ(f().TNotebook->currentIndex(), 8);
    EXPECT_FALSE(f().DBGrid_Dokument->isHidden());
    EXPECT_TRUE(f().BB_Dok_Do_Zakladki->isHidden());
    EXPECT_FALSE(f().BB_Dok_Edycja->isEnabled()) << "no line yet";

    trigger(*w, "Caydokument1");
    EXPECT_TRUE(ed().isVisible());
    EXPECT_TRUE(f().DBGrid_Dokument->isHidden());

    messages.answerYes(); // the empty order is deleted
    trigger(*w, "Zamknij1");
    EXPECT_FALSE(enabled("Zapisz1"));
    EXPECT_TRUE(enabled("Zamwienie1"));
    EXPECT_FALSE(f().Memo_dokument_Info->isHidden());
    EXPECT_EQ(f().TNotebook->tabText(8), QStringLiteral("Dokument"));
    EXPECT_EQ(f().TNotebook->currentIndex(), 0);
    EXPECT_TRUE(f().BB_Dok_Do_Zakladki->isHidden());
}

TEST_F(DocumentTabTest, ItemListAddsLinesWhileTheGridShows) {
    showWindow();
    const qint64 dokNr = newOrder();
    goTo(*w, QStringLiteral("Wkręt 4x40"));
    // With the whole document shown the double-click is the item editor's, as always.
    runner.on(QStringLiteral("TEkr_Aktualizacja_Towar"));
    w->DBGrid_TowaryDblClick();
    EXPECT_TRUE(editor()->buffer().isEmpty());

    trigger(*w, "Pokanazakadce1");
    lineDialogAnswersOk();
    w->DBGrid_TowaryDblClick();
    lineDialogAnswersOk();
    click(*w, "BB_Dok_Dodaj");
    EXPECT_EQ(editor()->buffer().count(), 2);
    EXPECT_TRUE(f().BB_Dok_Edycja->isEnabled());
    EXPECT_TRUE(f().BB_Podglad->isEnabled());
    EXPECT_EQ(f().DBGrid_Dokument->gridModel()->rowCount(), 2);
    auto* grid = f().DBGrid_Dokument;
    EXPECT_EQ(grid->gridModel()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Nazwa pozycji"));
    EXPECT_EQ(shelltest::gridNames(grid),
              (QStringList{QStringLiteral("Wkręt 4x40"), QStringLiteral("Wkręt 4x40")}));
    EXPECT_EQ(grid->columnWidth(0), grid->width() - 375);

    // Delete does not reach the item list while the order grid shows.
    f().DBGrid_Towary->setFocus();
    const int items = st().TFTowar.recordCount();
    QTest::keyClick(f().DBGrid_Towary, Qt::Key_Delete);
    EXPECT_EQ(st().TFTowar.recordCount(), items);
    EXPECT_EQ(messages.count(), 0);

    // Enter in the order grid edits the line; elsewhere it adds one.
    f().DBGrid_Dokument->setFocus();
    runner.on(QStringLiteral("TEkr_Aktualizacja_Zamowienie"), [](QDialog& d) {
        child<QLineEdit>(d, "Edit_Uwagi")->setText(QStringLiteral("pilne"));
        click(d, "BB_Zapisz");
    });
    QTest::keyClick(f().DBGrid_Dokument, Qt::Key_Return);
    f().DBGrid_Towary->setFocus();
    lineDialogAnswersOk();
    QTest::keyClick(f().DBGrid_Towary, Qt::Key_Return);
    EXPECT_EQ(editor()->buffer().count(), 3);

    // Deleting a line asks; No keeps it.
    messages.answerNo();
    click(*w, "BB_Dok_Usun");
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Chcesz usunąć zaznaczoną pozycję z zamówienia ?"));
    EXPECT_EQ(editor()->buffer().count(), 3);
    messages.answerYes();
    click(*w, "BB_Dok_Usun");
    EXPECT_EQ(editor()->buffer().count(), 2);

    trigger(*w, "Zapisz1");
    EXPECT_FALSE(editor()->isOrderOpen());
    const auto lines = storedLines(dokNr);
    ASSERT_EQ(lines.size(), 2u);
    QStringList remarks;
    for (const auto& l : lines)
        remarks << l.remark;
    // Enter edited the line just added; the third line was the one deleted.
    EXPECT_EQ(remarks, (QStringList{QString(), QStringLiteral("pilne")}));
}

TEST_F(DocumentTabTest, LastLineDeletedDisablesTheLineCommands) {
    newOrder();
    trigger(*w, "Pokanazakadce1");
    lineDialogAnswersOk();
    click(*w, "BB_Dok_Dodaj");
    ASSERT_TRUE(f().BB_Dok_Wydruk->isEnabled());
    messages.answerYes();
    click(*w, "BB_Dok_Usun");
    EXPECT_TRUE(editor()->buffer().isEmpty());
    for (QWidget* b :
         {static_cast<QWidget*>(f().BB_Dok_Edycja), static_cast<QWidget*>(f().BB_Dok_Usun),
          static_cast<QWidget*>(f().BB_Dok_Wydruk), static_cast<QWidget*>(f().BB_Podglad)})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(child<QPushButton>(ed(), "BB_Wydruk")->isEnabled());
}

TEST_F(DocumentTabTest, OrderListComesBackWhenTheOrderCloses) {
    trigger(*w, "dodostawcy1");
    QWidget* list = orders::mainOrderList();
    ASSERT_TRUE(list && list->isVisible());
    click(*list, "BB_Dodaj");
    ASSERT_TRUE(editor()->isOrderOpen());
    EXPECT_FALSE(list->isVisible()) << "the list waits while the order is open";
    EXPECT_EQ(editor()->windowTitle(), QStringLiteral("Zamówienie do dostawcy"));
    messages.answerYes();
    click(ed(), "BB_Zamknij");
    EXPECT_TRUE(list->isVisible());

    // Not when the program ends.
    click(*list, "BB_Dodaj");
    ASSERT_TRUE(editor()->isOrderOpen());
    messages.answerYes().answerYes(); // the exit, then the empty order's deletion
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(list->isVisible());
}

} // namespace
} // namespace editortest
