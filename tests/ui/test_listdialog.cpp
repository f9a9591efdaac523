// The list-dialog base: the tables that hold a row back from deletion, and the keys that act
// wherever the focus is.
#include "engine/database.h"
#include "engine/table.h"
#include "support/tempfolder.h"
#include "ui/dbgrid.h"
#include "ui/listdialog.h"
#include "ui/messages.h"
#include "uitest.h"
#include <QGroupBox>
#include <QTest>
#include <QVBoxLayout>

using namespace engine;

namespace {

const QString kNr = QStringLiteral("Miejsce_Nr");
const QString kName = QStringLiteral("Miejsce_Nazwa");

// A dictionary of places, used by clients (by number) and by deliveries (by number, named in
// the refusal).
class PlacesDialog : public ui::ListDialog {
public:
    PlacesDialog(const QString& folder, bool readOnly) : ui::ListDialog(nullptr) {
        Setup s;
        s.caption = QStringLiteral("Miejsca");
        s.folder = folder;
        s.tableName = QStringLiteral("Miejsce");
        s.order = kName;
        s.searchField = kName;
        s.columns = {{kName, QStringLiteral("Miejsce"), 0}};
        s.deleteQuestion = QStringLiteral("Usunąć ?");
        s.references = {
            {.table = QStringLiteral("Klient"),
             .fields = QStringLiteral("Klient_Miejsce_Nr"),
             .keyField = kNr,
             .message = QStringLiteral("Miejsce ma klientów !")},
            {.table = QStringLiteral("Dostawa"),
             .fields = QStringLiteral("Dostawa_Miejsce_Nr;Dostawa_Opis"),
             .keyField = kNr,
             .messageFor =
                 [](const Table& found) {
                     return QStringLiteral("Dostawa %1 !")
                         .arg(found.asString(QStringLiteral("Dostawa_Opis")));
                 }},
        };
        s.readOnly = readOnly;
        build(std::move(s));
        addEditField(QStringLiteral("Edit_Nazwa"), QStringLiteral("Nazwa :"), kName);
        // Another list of the dialog, as the companies dialog shows a company's contacts.
        auto* other = new ui::DbGrid(this);
        other->setObjectName(QStringLiteral("DBGrid_Inna"));
        listColumn()->addWidget(other);
    }
};

struct ListDialogTest : UiTest {
    TempFolder dir;
    std::shared_ptr<Database> db = Database::open(dir.path(), Database::Mode::Create);
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard{messages};

    ListDialogTest() {
        db->createTable(TableDef{QStringLiteral("Miejsce"),
                                 {{kNr, FieldType::AutoInc}, {kName, FieldType::Alpha, 20}},
                                 {{QStringLiteral("PrimaryIndex"), {kNr}, true},
                                  {QStringLiteral("wg_Miejsce_Nazwa"), {kName}, false}}});
        db->createTable(
            TableDef{QStringLiteral("Klient"),
                     {{QStringLiteral("Klient_Nr"), FieldType::AutoInc},
                      {QStringLiteral("Klient_Miejsce_Nr"), FieldType::LongInt}},
                     {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Klient_Nr")}, true}}});
        db->createTable(
            TableDef{QStringLiteral("Dostawa"),
                     {{QStringLiteral("Dostawa_Nr"), FieldType::AutoInc},
                      {QStringLiteral("Dostawa_Miejsce_Nr"), FieldType::LongInt},
                      {QStringLiteral("Dostawa_Opis"), FieldType::Alpha, 20}},
                     {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Dostawa_Nr")}, true}}});
    }

    int add(const QString& table, std::initializer_list<std::pair<QString, QVariant>> values) {
        Table t(dir.path(), table);
        t.open();
        t.append();
        for (const auto& [field, value] : values)
            t.setValue(field, value);
        t.post();
        return t.value(0).toInt();
    }
    int addPlace(const QString& name) { return add(QStringLiteral("Miejsce"), {{kName, name}}); }
    int places() {
        Table t(dir.path(), QStringLiteral("Miejsce"));
        t.open();
        return t.recordCount();
    }
    std::unique_ptr<PlacesDialog> open(bool readOnly = false) {
        return showActive<PlacesDialog>(dir.path(), readOnly);
    }
    static void find(PlacesDialog& d, const QString& name) {
        d.searchBox()->setText(name);
        ASSERT_EQ(d.table().asString(kName), name);
    }
};

TEST_F(ListDialogTest, DeclaredReferencesRefuseTheDeletionInTheirOrder) {
    const int used = addPlace(QStringLiteral("Gdańsk"));
    const int delivered = addPlace(QStringLiteral("Kraków"));
    addPlace(QStringLiteral("Łódź"));
    add(QStringLiteral("Klient"), {{QStringLiteral("Klient_Miejsce_Nr"), used}});
    add(QStringLiteral("Dostawa"), {{QStringLiteral("Dostawa_Miejsce_Nr"), used},
                                    {QStringLiteral("Dostawa_Opis"), QStringLiteral("A")}});
    // Named by the second field of the reference's order, not by when it was stored.
    add(QStringLiteral("Dostawa"), {{QStringLiteral("Dostawa_Miejsce_Nr"), delivered},
                                    {QStringLiteral("Dostawa_Opis"), QStringLiteral("Z")}});
    add(QStringLiteral("Dostawa"), {{QStringLiteral("Dostawa_Miejsce_Nr"), delivered},
                                    {QStringLiteral("Dostawa_Opis"), QStringLiteral("M")}});
    auto d = open();

    find(*d, QStringLiteral("Gdańsk"));
    messages.answerYes();
    d->button(QStringLiteral("BB_Usun"))->click();
    EXPECT_EQ(messages.last().text, "Miejsce ma klientów !") << "the first reference first";

    find(*d, QStringLiteral("Kraków"));
    messages.answerYes();
    d->button(QStringLiteral("BB_Usun"))->click();
    EXPECT_EQ(messages.last().text, "Dostawa M !");
    EXPECT_EQ(places(), 3);

    // No to the question: nothing is looked up, nothing deleted.
    find(*d, QStringLiteral("Łódź"));
    messages.clear();
    messages.answerNo();
    d->button(QStringLiteral("BB_Usun"))->click();
    EXPECT_EQ(messages.count(), 1);
    EXPECT_EQ(places(), 3);

    messages.answerYes();
    d->button(QStringLiteral("BB_Usun"))->click();
    EXPECT_EQ(places(), 2);
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
}

TEST_F(ListDialogTest, InsertAndDeleteActWhereverNeitherSearchNorEditBoxHasTheFocus) {
    addPlace(QStringLiteral("Gdańsk"));
    addPlace(QStringLiteral("Kraków"));
    auto d = open();
    // After clicking a side button the focus is on it.
    QPushButton* remove = d->button(QStringLiteral("BB_Usun"));
    messages.answerNo();
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_TRUE(remove->hasFocus());
    QTest::keyClick(remove, Qt::Key_Insert);
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Adding);
    // In the edit box the keys are the box's own.
    QLineEdit* name = lineEdit(d.get(), "Edit_Nazwa");
    ASSERT_TRUE(name->hasFocus());
    QTest::keyClick(name, Qt::Key_Insert);
    QTest::keyClick(name, Qt::Key_Delete);
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Adding);
    EXPECT_EQ(messages.count(), 1);
    d->button(QStringLiteral("BB_Anuluj"))->click();

    // Delete from a side button asks and deletes.
    remove->setFocus();
    messages.answerYes();
    QTest::keyClick(remove, Qt::Key_Delete);
    EXPECT_EQ(messages.last().text, "Usunąć ?");
    EXPECT_EQ(places(), 1);

    // Neither in the search field nor in another list of the dialog.
    d->searchBox()->setFocus();
    QTest::keyClick(d->searchBox(), Qt::Key_Insert);
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    auto* other = d->findChild<ui::DbGrid*>(QStringLiteral("DBGrid_Inna"));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Delete);
    EXPECT_EQ(places(), 1);
    EXPECT_EQ(messages.count(), 2);

    // A read-only user's keys do nothing anywhere.
    auto ro = open(true);
    QPushButton* back = ro->button(QStringLiteral("BB_Powrot"));
    back->setFocus();
    QTest::keyClick(back, Qt::Key_Insert);
    QTest::keyClick(back, Qt::Key_Delete);
    EXPECT_EQ(ro->mode(), ui::ListDialog::Mode::Browse);
    EXPECT_EQ(places(), 1);
}

TEST_F(ListDialogTest, AnyPrintableLetterTypedInTheListStartsTheSearch) {
    addPlace(QStringLiteral("Kraków"));
    addPlace(QStringLiteral("Śrem"));
    addPlace(QStringLiteral("Zabrze"));
    auto d = open();
    d->list()->setFocus();
    typeText(d->list(), QStringLiteral("Ś"));
    EXPECT_TRUE(d->searchBox()->hasFocus());
    EXPECT_EQ(d->searchBox()->text(), "Ś");
    EXPECT_EQ(d->table().asString(kName), "Śrem");

    // A blank or a Ctrl chord does not; AltGr (Ctrl+Alt), which types Polish letters, does.
    d->list()->setFocus();
    QTest::sendKeyEvent(QTest::Click, d->list(), Qt::Key_Space, QStringLiteral(" "),
                        Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, d->list(), Qt::Key_K, QStringLiteral("k"),
                        Qt::ControlModifier);
    EXPECT_TRUE(d->list()->hasFocus());
    QTest::sendKeyEvent(QTest::Click, d->list(), Qt::Key_unknown, QStringLiteral("ź"),
                        Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(d->searchBox()->text(), "ź");
}

} // namespace
