// The order editor's lines, companies, dates and number, through its controls and dialogs.
#include "editorfixture.h"

namespace editortest {
namespace {

TEST_F(EditorTest, LinesFromItemsAndTypedLinesAreStoredAsAdded) {
    const qint64 dokNr = newOrder();
    addLine(QStringLiteral("Śruba M6"));
    addLine(QStringLiteral("Śruba M6"), QStringLiteral("3"));
    // A typed line: an empty row edited in the line editor.
    runner.on(QStringLiteral("TEkr_Aktualizacja_Zamowienie"), [](QDialog& d) {
        testsupport::typeText(child<QLineEdit>(d, "Edit_Nazwa"), QStringLiteral("Uszczelka"));
        child<QLineEdit>(d, "Edit_Ilosc")->setText(QStringLiteral("4"));
        click(d, "BB_Zapisz");
    });
    editor()->insertTypedLine();
    EXPECT_TRUE(editor()->changed());
    EXPECT_EQ(editor()->buffer().count(), 3);

    click(ed(), "BB_Zapisz");
    EXPECT_FALSE(editor()->isOrderOpen()) << "a save closes the editor";
    const auto lines = storedLines(dokNr);
    ASSERT_EQ(lines.size(), 3u);
    // The same item twice gives two lines; nothing merges them.
    EXPECT_EQ(lines[0].name, QStringLiteral("Śruba M6"));
    EXPECT_EQ(lines[1].name, QStringLiteral("Śruba M6"));
    EXPECT_NE(lines[0].itemNr, 0);
    EXPECT_EQ(lines[0].itemNr, lines[1].itemNr);
    EXPECT_EQ(lines[1].quantity, 3.0);
    EXPECT_EQ(lines[2].name, QStringLiteral("Uszczelka"));
    EXPECT_EQ(lines[2].itemNr, 0) << "a typed line has no item";
    EXPECT_EQ(lines[2].quantity, 4.0);
    EXPECT_EQ(storedHeader(dokNr)->addresseeName, QString()) << "the marker is gone";
}

TEST_F(EditorTest, QuantityTakesCommaAndRefusesLetters) {
    newOrder();
    goTo(*w, QStringLiteral("Wkręt 4x40"));
    runner.on(QStringLiteral("TEkr_Zam_Dane"), [this](QDialog& d) {
        auto* q = child<QLineEdit>(d, "Edit_Ilosc");
        q->clear();
        testsupport::typeText(q, QStringLiteral("abc"));
        click(d, "BB_OK");
        EXPECT_EQ(messages.last().text, QStringLiteral("Wprowadzana ilość nie jest poprawna !"));
        EXPECT_TRUE(d.isVisible()) << "the dialog stays open with the typed text";
        EXPECT_EQ(q->text(), QStringLiteral("abc"));
        EXPECT_TRUE(editor()->buffer().isEmpty()) << "nothing added";
        q->clear();
        testsupport::typeText(q, QStringLiteral("2.5"));
        EXPECT_EQ(q->text(), QStringLiteral("2,5"));
        click(d, "BB_OK");
    });
    editor()->addLineFromItem();
    const auto lines = editor()->buffer().lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].quantity, 2.5);
    EXPECT_TRUE(child<QPushButton>(ed(), "BB_Wydruk")->isEnabled());
}

TEST_F(EditorTest, LineEditorRefusesBadQuantityAndAsksOnReturn) {
    newOrder();
    addLine(QStringLiteral("Śruba M6"));
    runner.on(QStringLiteral("TEkr_Aktualizacja_Zamowienie"), [this](QDialog& d) {
        auto* q = child<QLineEdit>(d, "Edit_Ilosc");
        q->clear();
        testsupport::typeText(q, QStringLiteral("x1"));
        click(d, "BB_Zapisz");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Wprowadzone dane nie są poprawne. Zapisywanie przerwane !"));
        EXPECT_TRUE(d.isVisible());
        q->clear();
        testsupport::typeText(q, QStringLiteral("7.5"));
        messages.answerYes(); // "Dane zostały zmienione. Czy zapisać ..."
        click(d, "BB_Powrot");
    });
    editor()->editLine(true);
    EXPECT_EQ(editor()->buffer().lines()[0].quantity, 7.5);
}

TEST_F(EditorTest, ClientOrderAddresseeFillsOnlyAnEmptyRecipient) {
    newOrder(orders::kFromClient);
    EXPECT_EQ(ed().windowTitle(), QStringLiteral("Zamówienie od klienta"));
    EXPECT_EQ(child<QGroupBox>(ed(), "GB_Adresat")->title(), QStringLiteral(" Klient : "));
    EXPECT_FALSE(child<QPushButton>(ed(), "BB_Kontakt1")->isEnabled());
    pickCompanyNext(acme, QStringLiteral("ACME"));
    click(ed(), "BB_Firma1");
    EXPECT_EQ(text("Label_Firma1_Nazwa"), QStringLiteral("ACME"));
    EXPECT_EQ(text("Label_Firma2_Nazwa"), QStringLiteral("ACME"));
    EXPECT_EQ(text("Label_Firma2_Miasto"), QStringLiteral("30-001 Kraków"));
    EXPECT_TRUE(child<QPushButton>(ed(), "BB_Kontakt1")->isEnabled());
    EXPECT_TRUE(editor()->changed());

    pickCompanyNext(beta, QStringLiteral("Beta"));
    click(ed(), "BB_Firma1");
    EXPECT_EQ(text("Label_Firma1_Nazwa"), QStringLiteral("Beta"));
    EXPECT_EQ(text("Label_Firma2_Nazwa"), QStringLiteral("ACME")) << "a recipient is not replaced";
}

TEST_F(EditorTest, SupplierOrderGoesToTheOwnerCompany) {
    setSetting(QStringLiteral("Pelk_Firma_Nr"), beta);
    newOrder(orders::kToSupplier);
    EXPECT_EQ(child<QGroupBox>(ed(), "GB_Adresat")->title(), QStringLiteral(" Dostawca : "));
    EXPECT_EQ(text("Label_Firma2_Nazwa"), QStringLiteral("Beta"));
    EXPECT_EQ(text("Label_Firma2_Miasto"), QStringLiteral("30-001 Gdańsk"));
    pickCompanyNext(acme, QStringLiteral("ACME"));
    click(ed(), "BB_Firma1");
    EXPECT_EQ(text("Label_Firma1_Nazwa"), QStringLiteral("ACME"));
    EXPECT_EQ(text("Label_Firma2_Nazwa"), QStringLiteral("Beta"));
}

TEST_F(EditorTest, DatesRefuseAnIssueAfterTheCompletion) {
    newOrder();
    EXPECT_EQ(text("Label_Data_Wyst"), QStringLiteral("17-05-2024"));
    EXPECT_EQ(text("Label_Data_Realiz"), QStringLiteral("17-05-2024"));
    const QString refusal = QStringLiteral(
        "Data terminu realizacji nie może wcześniejsza niż data wystawienia dokumentu !");

    pickDateNext(QDate(2024, 5, 20));
    click(ed(), "BB_Data_Wyst");
    EXPECT_EQ(messages.last().text, refusal);
    EXPECT_EQ(text("Label_Data_Wyst"), QStringLiteral("17-05-2024"));
    EXPECT_FALSE(editor()->changed());

    pickDateNext(QDate(2024, 5, 10));
    click(ed(), "BB_Data_Realiz");
    EXPECT_EQ(messages.count(), 2);
    EXPECT_EQ(text("Label_Data_Realiz"), QStringLiteral("17-05-2024"));

    pickDateNext(QDate(2024, 5, 17)); // equal dates are accepted
    click(ed(), "BB_Data_Realiz");
    EXPECT_EQ(messages.count(), 2);
    EXPECT_TRUE(editor()->changed());

    pickDateNext(QDate(2024, 6, 30));
    click(ed(), "BB_Data_Realiz");
    pickDateNext(QDate(2024, 6, 1));
    click(ed(), "BB_Data_Wyst");
    EXPECT_EQ(text("Label_Data_Wyst"), QStringLiteral("01-06-2024"));
    EXPECT_EQ(text("Label_Data_Realiz"), QStringLiteral("30-06-2024"));
    EXPECT_EQ(messages.count(), 2);
}

TEST_F(EditorTest, NumberTakenByAnotherOrderIsRefusedOnLeaving) {
    const auto other = orders::createOrder(st(), orders::kToSupplier,
                                           orders::CompletedAtCreation::No, platform::today());
    const auto client = orders::createOrder(st(), orders::kFromClient,
                                            orders::CompletedAtCreation::No, platform::today());
    newOrder(orders::kToSupplier);
    auto* number = child<QSpinBox>(ed(), "SpinEdit_Numer");
    const int loaded = number->value();
    number->setValue(int(other.number));
    editor()->Edit_NumerExit();
    EXPECT_EQ(messages.last().text, orders::numberTakenMessage());
    EXPECT_EQ(number->value(), loaded);
    // Numbers are per kind: the client order's number is free for a supplier order.
    messages.clear();
    number->setValue(int(client.number) + 50);
    editor()->Edit_NumerExit();
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(EditorTest, SixLinesMoveWithUpAndDownAndTypingIsAChange) {
    newOrder();
    auto* first = child<QLineEdit>(ed(), "Edit_Naglowek1");
    ed().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ed()));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_TRUE(first->hasFocus()) << "Up from Dotyczy 1 does nothing";
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(ed(), "Edit_Stopka3"));
    EXPECT_FALSE(editor()->changed());
    testsupport::typeText(child<QLineEdit>(ed(), "Edit_Stopka3"), QStringLiteral("ą"));
    EXPECT_TRUE(editor()->changed());
}

} // namespace
} // namespace editortest
