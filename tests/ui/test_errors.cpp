// Engine errors in the list and work dialog bases: a save refused because another installation
// locked, changed or deleted the row, and a dialog whose table cannot be opened. Each is pressed
// through the buttons; afterwards the error box was shown and the dialog is in a state the user
// can go on from, with nothing he typed lost and nothing half-written.
//
// The other installation is a second engine connection to the same catalogue, reached through a
// second name of its folder (the engine keeps one connection per folder name and process).
#include "engine/database.h"
#include "engine/table.h"
#include "store/catalogue_schema.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "ui/buttons.h"
#include "ui/listdialog.h"
#include "ui/messages.h"
#include "ui/uitest.h"
#include "ui/workdialog.h"
#include <QFile>
#include <QGroupBox>
#include <QTest>

namespace {

const QString kCities = QStringLiteral("Miasta");
const QString kName = QStringLiteral("Miasto_Nazwa");
const QString kCode = QStringLiteral("Miasto_Tel_Kierunkowy");

// The cities dictionary as its maintenance dialog keeps it.
class CityList : public ui::ListDialog {
public:
    CityList(const QString& folder, const QString& table, bool holdRowWhileEditing)
        : ListDialog(nullptr) {
        Setup s;
        s.caption = QStringLiteral("Miasta");
        s.folder = folder;
        s.tableName = table;
        s.order = kName;
        s.searchField = kName;
        s.columns = {{kName, QStringLiteral("Miasto")}};
        s.holdRowWhileEditing = holdRowWhileEditing;
        s.closeQuestion = QStringLiteral("Zapisać zmiany?");
        build(s);
        addEditField(QStringLiteral("Edit_Nazwa"), QStringLiteral("Nazwa"), kName);
        addEditField(QStringLiteral("Edit_Kierunkowy"), QStringLiteral("Kierunkowy"), kCode);
    }
    int closings = 0;

protected:
    void closing() override { ++closings; }
};

// One city's card, written back as a whole by Zapisz as the item editors do.
class CityCard : public ui::WorkDialog {
public:
    CityCard(const QString& folder, const QString& table, int nr)
        : WorkDialog(QStringLiteral("Zapisać zmiany?"), nullptr), folder_(folder), table_(table),
          nr_(nr) {
        name_ = new QLineEdit(this);
        name_->setObjectName(QStringLiteral("Edit_Nazwa"));
        connect(name_, &QLineEdit::textEdited, this, [this] { markChanged(); });
        auto* zapisz =
            ui::dialogButton(this, QStringLiteral("BB_Zapisz"), QStringLiteral("Zapisz"));
        connect(zapisz, &QPushButton::clicked, this, &WorkDialog::BB_ZapiszClick);
    }
    // Another installation's doing, between this dialog's reading the row for writing and its
    // writing it.
    std::function<void()> betweenReadAndWrite;
    int releases = 0;

protected:
    bool filled() const override { return filled_; }
    void opening() override {
        engine::Table t(folder_, table_);
        t.open();
        t.findKey({nr_});
        name_->setText(t.asString(kName));
        filled_ = true;
    }
    bool save() override {
        engine::Table t(folder_, table_);
        t.open();
        t.findKey({nr_});
        t.edit();
        if (betweenReadAndWrite) betweenReadAndWrite();
        t.setValue(kName, name_->text());
        t.post();
        return true;
    }
    void release() override {
        ++releases;
        filled_ = false;
    }

private:
    QString folder_, table_;
    int nr_;
    bool filled_ = false;
    QLineEdit* name_;
};

class DialogErrors : public UiTest {
protected:
    DialogErrors() : messagesGuard_(messages) {
        folder = tmp.sub(QStringLiteral("Katalog"));
        engine::Database::open(folder, engine::Database::Mode::Create)
            ->createTable(*store::catalogueTable(kCities));
        testsupport::addRow(folder, "Miasta", {{"Miasto_Nazwa", QStringLiteral("Gdańsk")}});
        testsupport::addRow(folder, "Miasta", {{"Miasto_Nazwa", QStringLiteral("Kraków")}});
        otherName = tmp.path() + QStringLiteral("/drugi");
        EXPECT_TRUE(QFile::link(folder, otherName));
        other = std::make_unique<engine::Table>(otherName, kCities);
        other->open();
        other->findKey({1});
    }

    // What is stored, read by the other installation.
    QString storedName(int nr) {
        other->refresh();
        return other->findKey({nr}) ? other->asString(kName) : QStringLiteral("<brak>");
    }
    // The other installation changes the row behind every lock, as an older program does.
    void changeElsewhere(int nr, const QString& name) {
        engine::Database::open(otherName)->exec(
            QStringLiteral("UPDATE Miasta SET Miasto_Nazwa = '%1' WHERE Miasto_Nr = %2")
                .arg(name)
                .arg(nr));
    }
    static void click(QWidget* d, const char* button) {
        QPushButton* b = pushButton(d, button);
        ASSERT_TRUE(b && b->isVisible() && b->isEnabled()) << button;
        b->click();
    }
    static void retype(QWidget* d, const char* edit, const QString& text) {
        lineEdit(d, edit)->selectAll();
        typeText(lineEdit(d, edit), text);
    }
    void expectErrorBox(const char* causeWord, const QString& table = kCities) {
        ASSERT_GT(messages.count(), 0);
        EXPECT_EQ(messages.last().kind, ui::Message::Kind::Error);
        EXPECT_TRUE(messages.last().text.contains(QString::fromUtf8(causeWord)))
            << messages.last().text.toStdString();
        EXPECT_TRUE(messages.last().text.contains(table)) << messages.last().text.toStdString();
    }
    // Still editing the row as typed, with Zapisz and Anuluj to go on with.
    static void expectEditingAsTyped(CityList& d, const QString& typed) {
        EXPECT_EQ(d.mode(), ui::ListDialog::Mode::Changing);
        EXPECT_TRUE(d.changed());
        EXPECT_TRUE(d.editPanel()->isVisible());
        EXPECT_EQ(lineEdit(&d, "Edit_Nazwa")->text(), typed);
        EXPECT_TRUE(pushButton(&d, "BB_Zapisz")->isEnabled());
        EXPECT_TRUE(pushButton(&d, "BB_Anuluj")->isEnabled());
        EXPECT_FALSE(pushButton(&d, "BB_Dodaj")->isEnabled());
    }

    TempFolder tmp;
    QString folder, otherName;
    std::unique_ptr<engine::Table> other;
    ui::FakeMessages messages;

private:
    ui::ScopedMessages messagesGuard_;
};

// --- ListDialog -------------------------------------------------------------------------------

TEST_F(DialogErrors, ListSaveIntoARowLockedElsewhereStaysInEditingUntilTheLockGoes) {
    auto d = showActive<CityList>(folder, kCities, false);
    click(d.get(), "BB_Popraw");
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));
    other->edit();

    click(d.get(), "BB_Zapisz");
    expectErrorBox("zablokowany");
    expectEditingAsTyped(*d, QStringLiteral("Gdynia"));
    EXPECT_EQ(storedName(1), QStringLiteral("Gdańsk"));

    other->cancel();
    click(d.get(), "BB_Zapisz");
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    EXPECT_FALSE(d->editPanel()->isVisible());
    EXPECT_EQ(storedName(1), QStringLiteral("Gdynia"));
    EXPECT_EQ(d->table().recordCount(), 2);
}

TEST_F(DialogErrors, ListRowLockedElsewhereIsNotOpenedForEditingAndTheListGoesOn) {
    auto d = showActive<CityList>(folder, kCities, true);
    other->edit();
    click(d.get(), "BB_Popraw");
    expectErrorBox("zablokowany");
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    EXPECT_FALSE(d->editPanel()->isVisible());
    EXPECT_TRUE(pushButton(d.get(), "BB_Popraw")->isEnabled());
    EXPECT_FALSE(pushButton(d.get(), "BB_Zapisz")->isEnabled());

    // The lock gone, the same row opens and saves.
    other->cancel();
    click(d.get(), "BB_Popraw");
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));
    click(d.get(), "BB_Zapisz");
    EXPECT_EQ(storedName(1), QStringLiteral("Gdynia"));
}

TEST_F(DialogErrors, ListSaveOverARowChangedElsewhereKeepsBothUntilTheUserSavesAgain) {
    auto d = showActive<CityList>(folder, kCities, true);
    click(d.get(), "BB_Popraw");
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));
    changeElsewhere(1, QStringLiteral("Sopot"));

    click(d.get(), "BB_Zapisz");
    expectErrorBox("zmieniony");
    expectEditingAsTyped(*d, QStringLiteral("Gdynia"));
    EXPECT_EQ(storedName(1), QStringLiteral("Sopot"));
    // The row is let go meanwhile: the other installation is not kept out by a failed save.
    other->findKey({1});
    other->edit();
    other->cancel();

    // Told, the user saves again: now over what the other installation left.
    click(d.get(), "BB_Zapisz");
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    EXPECT_EQ(storedName(1), QStringLiteral("Gdynia"));
    EXPECT_EQ(storedName(2), QStringLiteral("Kraków"));
}

TEST_F(DialogErrors, ListSaveOfARowDeletedElsewhereNeverWritesIntoItsNeighbour) {
    auto d = showActive<CityList>(folder, kCities, false);
    click(d.get(), "BB_Popraw");
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));
    other->remove();
    d->table().refresh(); // as the re-read tick does: the cursor moves on to Kraków

    click(d.get(), "BB_Zapisz");
    expectErrorBox("usunięty");
    expectEditingAsTyped(*d, QStringLiteral("Gdynia"));
    EXPECT_EQ(storedName(2), QStringLiteral("Kraków"));
    EXPECT_EQ(storedName(1), QStringLiteral("<brak>"));

    click(d.get(), "BB_Anuluj");
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    EXPECT_EQ(d->table().recordCount(), 1);
}

TEST_F(DialogErrors, ListClosedWithAChangedRowThatCannotBeSavedStaysOpen) {
    auto d = showActive<CityList>(folder, kCities, false);
    click(d.get(), "BB_Popraw");
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));
    other->edit();
    messages.answerYes();

    click(d.get(), "BB_Powrot");
    expectErrorBox("zablokowany");
    EXPECT_TRUE(d->isVisible());
    expectEditingAsTyped(*d, QStringLiteral("Gdynia"));
    EXPECT_EQ(d->closings, 0);

    other->cancel();
    messages.answerYes();
    click(d.get(), "BB_Powrot");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->closings, 1);
    EXPECT_EQ(storedName(1), QStringLiteral("Gdynia"));
}

// --- WorkDialog -------------------------------------------------------------------------------

TEST_F(DialogErrors, WorkSaveIntoARowLockedOrChangedElsewhereKeepsTheChangesOnScreen) {
    auto d = showActive<CityCard>(folder, kCities, 1);
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));

    other->edit();
    click(d.get(), "BB_Zapisz");
    expectErrorBox("zablokowany");
    other->cancel();

    d->betweenReadAndWrite = [this] { changeElsewhere(1, QStringLiteral("Sopot")); };
    click(d.get(), "BB_Zapisz");
    expectErrorBox("zmieniony");
    d->betweenReadAndWrite = nullptr;

    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->changed());
    EXPECT_EQ(lineEdit(d.get(), "Edit_Nazwa")->text(), QStringLiteral("Gdynia"));
    EXPECT_EQ(storedName(1), QStringLiteral("Sopot"));
    EXPECT_EQ(d->releases, 0);
    // Neither failure left the row locked.
    other->findKey({1});
    other->edit();
    other->cancel();

    click(d.get(), "BB_Zapisz");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->releases, 1);
    EXPECT_EQ(storedName(1), QStringLiteral("Gdynia"));
}

TEST_F(DialogErrors, WorkClosedWithChangesThatCannotBeSavedStaysOpen) {
    auto d = showActive<CityCard>(folder, kCities, 1);
    retype(d.get(), "Edit_Nazwa", QStringLiteral("Gdynia"));
    other->edit();
    messages.answerYes();
    d->reject();
    expectErrorBox("zablokowany");
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->changed());
    EXPECT_EQ(d->releases, 0);
    other->cancel();
}

// --- Opening ----------------------------------------------------------------------------------

TEST_F(DialogErrors, DialogsWhoseTableIsMissingCloseCleanly) {
    {
        auto d = std::make_unique<CityList>(folder, QStringLiteral("Brak"), true);
        d->show();
        expectErrorBox("", QStringLiteral("Brak"));
        EXPECT_FALSE(d->isEnabled()); // nothing to press on the way out
        QTRY_VERIFY(!d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_FALSE(d->table().isOpen());
        d->reject(); // closing again does nothing more
        EXPECT_EQ(d->closings, 0);
    }
    {
        auto d = std::make_unique<CityCard>(folder, QStringLiteral("Brak"), 1);
        d->show();
        expectErrorBox("", QStringLiteral("Brak"));
        QTRY_VERIFY(!d->isVisible());
        EXPECT_EQ(d->releases, 1);
        // Shown again once the table is there, it fills itself.
        engine::Database::open(folder)->createTable(
            [] {
                auto def = *store::catalogueTable(kCities);
                def.name = QStringLiteral("Brak");
                return def;
            }(),
            false);
        const int boxes = messages.count();
        d->show();
        EXPECT_EQ(messages.count(), boxes);
        EXPECT_TRUE(d->isEnabled());
        d->reject();
        EXPECT_EQ(d->releases, 2);
    }
    EXPECT_EQ(storedName(1), QStringLiteral("Gdańsk"));
}

} // namespace
