// Saving and closing the order editor: the closing questions, refused writes that keep the
// editor open, the line buffer's life, the record lock, view-only users and printing.
#include "editorfixture.h"
#include <QFile>
#include <QProcess>

#ifndef ORDERS_WORKER_PATH
#define ORDERS_WORKER_PATH "build/tests/orders_worker"
#endif

namespace editortest {
namespace {

const QString kEmptyQuestion =
    QStringLiteral("Zamówienie nie zawiera żadnej pozycji. Usunąć to zamówienie !");
const QString kChangedQuestion =
    QStringLiteral("Dane zostały zmienione. Zapisać bieżące zamówienie ?");

class EditorCloseTest : public EditorTest {
protected:
    // Another installation on the default catalogue; with `keep` it stays running.
    QString runWorker(const QStringList& args, QProcess* keep = nullptr) {
        QProcess local;
        QProcess& p = keep ? *keep : local;
        p.start(QString::fromUtf8(ORDERS_WORKER_PATH), QStringList{catalogue} + args);
        EXPECT_TRUE(p.waitForStarted(10000));
        if (keep) {
            if (!p.canReadLine()) p.waitForReadyRead(10000);
            return QString::fromUtf8(p.readLine()).trimmed();
        }
        EXPECT_TRUE(p.waitForFinished(10000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    // A saved supplier order with one line.
    qint64 savedOrder() {
        const qint64 dokNr = newOrder();
        addLine(QStringLiteral("Śruba M6"), QStringLiteral("2"));
        click(ed(), "BB_Zapisz");
        EXPECT_FALSE(editor()->isOrderOpen());
        return dokNr;
    }
    bool tmpHolds(const QString& table) {
        return engine::Database::open(st().TempFolder)->hasTable(table);
    }
    bool commandEnabled(const char* name) { return w->isCommandEnabled(QLatin1String(name)); }
};

TEST_F(EditorCloseTest, UnchangedEmptyOrderAsksToBeDeleted) {
    const qint64 kept = newOrder();
    messages.answerNo();
    EXPECT_TRUE(editor()->closeOrder());
    EXPECT_EQ(messages.last().text, kEmptyQuestion);
    ASSERT_TRUE(storedHeader(kept));
    EXPECT_EQ(storedHeader(kept)->addresseeName, orders::editingMarker());

    const qint64 gone = newOrder();
    messages.answerYes();
    click(ed(), "BB_Zamknij");
    EXPECT_FALSE(storedHeader(gone)) << "Yes deletes the header";
    EXPECT_FALSE(st().OrderOpen);
    EXPECT_FALSE(ed().isVisible());
}

TEST_F(EditorCloseTest, ChangedOrderIsSavedOrDroppedOnClosing) {
    // Yes saves, also without lines.
    const qint64 saved = newOrder();
    child<QComboBox>(ed(), "CB_Transport")->setEditText(QStringLiteral("przesyłka kurierska"));
    messages.answerYes();
    EXPECT_TRUE(editor()->closeOrder());
    EXPECT_EQ(messages.last().text, kChangedQuestion);
    EXPECT_EQ(storedHeader(saved)->transport, QStringLiteral("przesyłka kurierska"));
    EXPECT_TRUE(storedLines(saved).empty());

    // No on a new order deletes its header.
    const qint64 dropped = newOrder();
    addLine(QStringLiteral("Wkręt 4x40"));
    messages.answerNo();
    EXPECT_TRUE(editor()->closeOrder());
    EXPECT_FALSE(storedHeader(dropped));

    // No on a stored order keeps it as stored.
    const qint64 stored = savedOrder();
    ASSERT_TRUE(openExisting(stored));
    addLine(QStringLiteral("Wkręt 4x40"));
    messages.answerNo();
    EXPECT_TRUE(editor()->closeOrder());
    EXPECT_EQ(storedLines(stored).size(), 1u);

    // Unchanged with lines: no question at all.
    ASSERT_TRUE(openExisting(stored));
    messages.clear();
    EXPECT_TRUE(editor()->closeOrder());
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(EditorCloseTest, EditedDotyczyLineIsAskedAboutOnClosing) {
    const qint64 dokNr = savedOrder();
    ASSERT_TRUE(openExisting(dokNr));
    testsupport::typeText(child<QLineEdit>(ed(), "Edit_Naglowek1"), QStringLiteral("Dostawa"));
    messages.answerYes();
    click(ed(), "BB_Zamknij");
    EXPECT_EQ(messages.last().text, kChangedQuestion);
    EXPECT_EQ(storedHeader(dokNr)->headings[0], QStringLiteral("Dostawa"));
    EXPECT_EQ(storedLines(dokNr).size(), 1u);
}

TEST_F(EditorCloseTest, EmptyOrderIsNotSaved) {
    const qint64 dokNr = newOrder();
    child<QComboBox>(ed(), "CB_Forma_Platnosci")->setEditText(QStringLiteral("czek"));
    click(ed(), "BB_Zapisz");
    EXPECT_EQ(messages.last().text,
              QStringLiteral(
                  "Zamówienie nie zawiera żadnej pozycji. Zapisywanie zamówienia przerwane !"));
    EXPECT_TRUE(editor()->isOrderOpen());
    EXPECT_TRUE(editor()->changed());
    EXPECT_EQ(storedHeader(dokNr)->addresseeName, orders::editingMarker()) << "nothing written";
}

TEST_F(EditorCloseTest, RefusedWriteKeepsTheEditorOpen) {
    const qint64 dokNr = newOrder();
    addLine(QStringLiteral("Śruba M6"));
    auto* number = child<QSpinBox>(ed(), "SpinEdit_Numer");
    number->setValue(40);
    editor()->Edit_NumerExit(); // free when the field is left
    ASSERT_EQ(runWorker({QStringLiteral("save"), QStringLiteral("2"), QStringLiteral("40")}),
              QStringLiteral("saved"));

    messages.answerYes();
    EXPECT_FALSE(editor()->closeOrder());
    EXPECT_EQ(messages.last().text, orders::numberTakenMessage());
    EXPECT_TRUE(editor()->isOrderOpen());
    EXPECT_TRUE(st().OrderOpen);
    EXPECT_TRUE(commandEnabled("Zamknij1")) << "the main window stays in order mode";
    EXPECT_EQ(number->value(), 40) << "the user's values stay";
    EXPECT_EQ(editor()->buffer().count(), 1);
    EXPECT_TRUE(storedLines(dokNr).empty());

    // The program's exit runs the same rules and stops with them.
    messages.answerYes().answerYes();
    w->close();
    EXPECT_TRUE(w->isVisible() || editor()->isOrderOpen());
    EXPECT_TRUE(editor()->isOrderOpen()) << "the exit stopped";

    number->setValue(41);
    messages.answerYes().answerYes();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(editor() && editor()->isOrderOpen());
    EXPECT_EQ(storedLines(dokNr).size(), 1u);
}

TEST_F(EditorCloseTest, LineBufferLivesWhileTheOrderIsOpen) {
    newOrder();
    const QString name = editor()->buffer().name();
    EXPECT_TRUE(name.startsWith(QStringLiteral("TDok")));
    EXPECT_TRUE(tmpHolds(name));
    messages.answerYes();
    editor()->closeOrder();
    EXPECT_FALSE(tmpHolds(name));

    const qint64 dokNr = savedOrder();
    ASSERT_TRUE(openExisting(dokNr));
    const QString second = editor()->buffer().name();
    EXPECT_EQ(editor()->buffer().count(), 1) << "the stored lines are loaded";
    editor()->closeOrder();
    EXPECT_FALSE(tmpHolds(second));
}

TEST_F(EditorCloseTest, BufferThatCannotBeMadeStopsTheOpening) {
    const qint64 dokNr = savedOrder();
    const QString tmpFolder = st().TempFolder;
    // A file where the buffer's folder should be.
    QFile blocker(tmp.path() + QStringLiteral("/blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    st().TempFolder = blocker.fileName() + QStringLiteral("/TMP");
    messages.clear();
    EXPECT_FALSE(openExisting(dokNr));
    EXPECT_EQ(errorTexts().size(), 1);
    EXPECT_FALSE(st().OrderOpen);
    EXPECT_FALSE(commandEnabled("Zapisz1"));
    EXPECT_FALSE(editor()->isOrderOpen());
    // Nothing was left in editing: another installation can take the order.
    QProcess holder;
    EXPECT_EQ(runWorker({QStringLiteral("hold"), QString::number(dokNr)}, &holder),
              QStringLiteral("locked"));
    holder.write("\n");
    holder.waitForFinished(10000);
    st().TempFolder = tmpFolder;
}

TEST_F(EditorCloseTest, OpenOrderIsLockedForOtherInstallations) {
    const qint64 dokNr = savedOrder();
    ASSERT_TRUE(openExisting(dokNr));
    EXPECT_TRUE(runWorker({QStringLiteral("hold"), QString::number(dokNr)})
                    .startsWith(QStringLiteral("error")));
    editor()->closeOrder();

    // And the other way round: an order held elsewhere opens nothing.
    QProcess holder;
    ASSERT_EQ(runWorker({QStringLiteral("hold"), QString::number(dokNr)}, &holder),
              QStringLiteral("locked"));
    messages.clear();
    EXPECT_FALSE(openExisting(dokNr));
    EXPECT_EQ(errorTexts().size(), 1);
    EXPECT_FALSE(editor()->isOrderOpen());
    EXPECT_FALSE(st().OrderOpen);
    holder.write("\n");
    holder.waitForFinished(10000);
}

TEST_F(EditorCloseTest, ViewOnlyUserChangesNothing) {
    const qint64 dokNr = savedOrder();
    st().RightsLevel = 1;
    ASSERT_TRUE(openExisting(dokNr));
    for (const char* name : {"BB_Zapisz", "BB_Firma1", "BB_Firma2", "BB_Kontakt1", "BB_Kontakt2",
                             "BB_Data_Wyst", "BB_Data_Realiz"})
        EXPECT_FALSE(child<QPushButton>(ed(), name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>(ed(), "BB_Podglad")->isEnabled()) << "printing stays";
    EXPECT_TRUE(child<QLineEdit>(ed(), "Edit_Naglowek1")->isReadOnly());
    EXPECT_TRUE(child<QSpinBox>(ed(), "SpinEdit_Numer")->isReadOnly());
    EXPECT_FALSE(child<QComboBox>(ed(), "CB_Transport")->isEnabled());
    EXPECT_FALSE(commandEnabled("Zapisz1"));
    EXPECT_FALSE(child<QPushButton>(*w, "BB_Dok_Dodaj")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*w, "BB_Dok_Usun")->isEnabled());
    editor()->addLineFromItem();
    editor()->deleteLine();
    EXPECT_EQ(editor()->buffer().count(), 1);
    messages.clear();
    click(ed(), "BB_Zamknij");
    EXPECT_EQ(messages.count(), 0) << "closing asks nothing and writes nothing";
    EXPECT_FALSE(editor()->isOrderOpen());
    EXPECT_EQ(storedLines(dokNr).size(), 1u);
}

TEST_F(EditorCloseTest, PendingChangesAreWrittenBeforePrinting) {
    const qint64 dokNr = savedOrder();
    QString storedWhenPrinted;
    int printed = 0;
    orders::testing::setOrderPrinter(
        [&](QWidget*, store::MainState&, qint64 nr, orders::PrintTarget t) {
            EXPECT_EQ(nr, dokNr);
            EXPECT_EQ(t, orders::PrintTarget::Preview);
            storedWhenPrinted = storedHeader(nr)->transport;
            ++printed;
            return true;
        });
    ASSERT_TRUE(openExisting(dokNr));
    child<QComboBox>(ed(), "CB_Transport")->setEditText(QStringLiteral("transport odbiorcy"));
    click(ed(), "BB_Podglad");
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(storedWhenPrinted, QStringLiteral("transport odbiorcy"));
    EXPECT_TRUE(editor()->isOrderOpen());
    EXPECT_FALSE(editor()->changed());
    EXPECT_TRUE(runWorker({QStringLiteral("hold"), QString::number(dokNr)})
                    .startsWith(QStringLiteral("error")))
        << "the order stays locked after the write";

    // A refused write prints nothing and keeps the values.
    auto* number = child<QSpinBox>(ed(), "SpinEdit_Numer");
    number->setValue(77);
    ASSERT_EQ(runWorker({QStringLiteral("save"), QStringLiteral("2"), QStringLiteral("77")}),
              QStringLiteral("saved"));
    click(ed(), "BB_Wydruk");
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(messages.last().text, orders::numberTakenMessage());
    EXPECT_EQ(number->value(), 77);
    orders::testing::setOrderPrinter({});
    number->setValue(78);
}

} // namespace
} // namespace editortest
