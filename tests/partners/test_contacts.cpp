// The contacts dialog: what it does beyond the shared list-dialog behaviour.
#include "engine/table.h"
#include "partners/Ak_tel.h"
#include "store/catalogue_schema.h"
#include "store/mainstate.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using partners::TEkr_Aktualizacja_Telefony;
using Mode = ui::ListDialog::Mode;

struct Contact {
    int company;
    QString person, phone;
    bool operator==(const Contact&) const = default;
};

void PrintTo(const Contact& c, std::ostream* os) {
    *os << c.company << " " << c.person.toStdString() << " / " << c.phone.toStdString();
}

class ContactsTest : public CatalogueDialogTest {
protected:
    int addContact(int company, const QString& person, const QString& phone,
                   const QString& where = {}) {
        return testsupport::addRow(where.isEmpty() ? folder : where, QStringLiteral("Telefon"),
                                   {{QStringLiteral("Telefon_Firma_Nr"), company},
                                    {QStringLiteral("Telefon_Kontakt"), person},
                                    {QStringLiteral("Telefon_Nr_Tel"), phone}},
                                   QStringLiteral("Telefon_Nr"));
    }
    QList<Contact> stored() {
        engine::Table t(folder, QStringLiteral("Telefon"));
        t.open();
        QList<Contact> out;
        t.forEachRow([&] {
            out.append({t.asInteger(QStringLiteral("Telefon_Firma_Nr")),
                        t.asString(QStringLiteral("Telefon_Kontakt")),
                        t.asString(QStringLiteral("Telefon_Nr_Tel"))});
        });
        return out;
    }

    // As the companies dialog opens it for one of its companies.
    void forCompany(int nr, const QString& name) {
        state.ContactOwnerNr = nr;
        state.ContactCompanyName = name;
    }
    // As the order editor and the preferences open it to pick a contact of a company.
    void pickingFor(int nr, const QString& name) {
        state.ContactPickMode = QStringLiteral("Wybieranie");
        state.ContactCompanyNr = nr;
        state.ContactCompanyName = name;
        state.PickedContactNr = 0;
    }

    std::unique_ptr<TEkr_Aktualizacja_Telefony> open() {
        return showActive<TEkr_Aktualizacja_Telefony>(state);
    }

    template <class W = QLineEdit> static W* child(QWidget* d, const char* name) {
        return d->findChild<W*>(QLatin1String(name));
    }
    static QPushButton* button(QWidget* d, const char* name) { return child<QPushButton>(d, name); }
};

TEST_F(ContactsTest, ListsTheGivenCompanysContactsUnderItsName) {
    addContact(5, "Nowak", "22 111 22 33");
    addContact(7, "Obcy", "99");
    addContact(5, "Biuro", "biuro@firma.pl");
    forCompany(5, QStringLiteral("Firma A"));
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Kontakty");
    EXPECT_EQ(d->searchBox(), nullptr);
    EXPECT_EQ(child<QGroupBox>(d.get(), "GroupBox_Firma")->title(), " Firma : ");
    EXPECT_EQ(child<QLabel>(d.get(), "Label_Firma")->text(), "Firma A");
    EXPECT_EQ(d->table().recordCount(), 2);
    EXPECT_EQ(d->table().asString(QStringLiteral("Telefon_Kontakt")), "Biuro")
        << "sorted by contact";
    EXPECT_EQ(child(d.get(), "Edit_Kontakt")->maxLength(), 30);
    EXPECT_EQ(child(d.get(), "Edit_Telefon")->maxLength(), 50);
    EXPECT_FALSE(button(d.get(), "BB_Wybierz")->isVisible());
}

TEST_F(ContactsTest, CompanyFolderIsReadOnceAndEmptied) {
    TempFolder other;
    store::createCatalogue(other.path());
    addContact(5, "W głównym", "1", other.path());
    addContact(5, "W bieżącym", "2");
    forCompany(5, QStringLiteral("Firma A"));
    state.CompanyFolder = other.path();
    auto d = open();
    EXPECT_TRUE(state.CompanyFolder.isEmpty()) << "emptied once read";
    EXPECT_EQ(d->table().asString(QStringLiteral("Telefon_Kontakt")), "W głównym");
    state.CompanyFolder = QStringLiteral("left by someone");
    click(*d, "BB_Powrot");
    EXPECT_TRUE(state.CompanyFolder.isEmpty()) << "and again at closing";
}

TEST_F(ContactsTest, SavingNeedsOneOfTheTwoBoxes) {
    forCompany(5, QStringLiteral("Firma A"));
    auto d = open();
    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), "Dodawanie nowego kontaktu");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Proszę wpisać wszystkie dane !");
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_TRUE(child(d.get(), "Edit_Kontakt")->hasFocus());
    EXPECT_TRUE(stored().isEmpty());

    // Only a number, no person.
    auto* phone = child(d.get(), "Edit_Telefon");
    QTest::keyClick(child(d.get(), "Edit_Kontakt"), Qt::Key_Down);
    EXPECT_TRUE(phone->hasFocus());
    typeText(phone, "601 200 300");
    QTest::keyClick(phone, Qt::Key_Return);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored(), QList<Contact>({{5, "", "601 200 300"}}));
    EXPECT_TRUE(d->list()->hasFocus());
}

TEST_F(ContactsTest, DeletionIsNeverRefusedAndYesIsPreselected) {
    addContact(5, "Nowak", "1");
    addContact(5, "Kowalski", "2");
    forCompany(5, QStringLiteral("Firma A"));
    auto d = open();
    messages.answerNo();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.last().text, "Chcesz usunąć zaznaczoną pozycję ?");
    EXPECT_EQ(messages.last().defaultButton, ui::Button::Yes);
    EXPECT_EQ(stored().size(), 2);
    messages.answerYes();
    QTest::keyClick(d->list(), Qt::Key_Delete);
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_FALSE(button(d.get(), "BB_Popraw")->isEnabled());
    EXPECT_FALSE(button(d.get(), "BB_Usun")->isEnabled());
}

TEST_F(ContactsTest, EscSettlesAnEditAndKeepsTheDialogOpen) {
    addContact(5, "Nowak", "1");
    forCompany(5, QStringLiteral("Firma A"));
    auto d = open();
    auto* person = child(d.get(), "Edit_Kontakt");

    // Unchanged: abandoned without a question.
    click(*d, "BB_Popraw");
    QTest::keyClick(person, Qt::Key_Escape);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(messages.count(), 0);

    // Changed: asked, Yes saves, the dialog stays.
    click(*d, "BB_Popraw");
    typeText(person, "-Kowalska");
    messages.answerYes();
    QTest::keyClick(person, Qt::Key_Escape);
    EXPECT_EQ(messages.last().text, "Dane zostały zmienione. Czy zapisać wprowadzone zmiany!");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(stored(), QList<Contact>({{5, "Nowak-Kowalska", "1"}}));

    // No: the change is dropped.
    click(*d, "BB_Popraw");
    typeText(person, "X");
    messages.answerNo();
    QTest::keyClick(person, Qt::Key_Escape);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored(), QList<Contact>({{5, "Nowak-Kowalska", "1"}}));

    // Browsing: Esc closes, and the owner given for this opening is forgotten.
    QTest::keyClick(d->list(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.ContactOwnerNr, 0);
}

TEST_F(ContactsTest, PickingAContact) {
    addContact(5, "Nowak", "1");
    const int wanted = addContact(5, "Zieliński", "2");
    addContact(7, "Obcy", "3");

    // A company without contacts: nothing chosen, the dialog closes.
    pickingFor(9, QStringLiteral("Pusta"));
    state.PickedContactNr = 99;
    auto none = open();
    EXPECT_EQ(state.PickedContactNr, 0);
    EXPECT_TRUE(none->table().isEmpty());
    QTest::keyClick(none->list(), Qt::Key_Return);
    EXPECT_FALSE(none->isVisible());
    EXPECT_EQ(state.PickedContactNr, 0);
    EXPECT_TRUE(state.ContactPickMode.isEmpty());

    // Enter in the list picks the current row.
    pickingFor(5, QStringLiteral("Firma A"));
    auto d = open();
    EXPECT_TRUE(button(d.get(), "BB_Wybierz")->isVisible());
    EXPECT_EQ(d->table().recordCount(), 2);
    QTest::keyClick(d->list(), Qt::Key_Down);
    QTest::keyClick(d->list(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedContactNr, wanted);
    EXPECT_TRUE(state.ContactPickMode.isEmpty());
}

TEST_F(ContactsTest, AContactSavedWhilePickingBelongsToTheOwner) {
    addContact(5, "Nowak", "1");
    pickingFor(5, QStringLiteral("Firma A"));
    state.ContactOwnerNr = 7;
    auto d = open();
    click(*d, "BB_Dodaj");
    typeText(child(d.get(), "Edit_Kontakt"), "Nowy");
    click(*d, "BB_Zapisz");
    EXPECT_TRUE(stored().contains(Contact{7, "Nowy", ""}));
    EXPECT_EQ(d->table().recordCount(), 1) << "not one of the listed company's";
    click(*d, "BB_Powrot");

    // An owner is given for one opening: a later picker naming none saves for its own company,
    // not for whichever company was opened before.
    forCompany(7, QStringLiteral("Firma B"));
    click(*open(), "BB_Powrot");
    pickingFor(5, QStringLiteral("Firma A"));
    auto picker = open();
    click(*picker, "BB_Dodaj");
    typeText(child(picker.get(), "Edit_Telefon"), "555");
    click(*picker, "BB_Zapisz");
    EXPECT_TRUE(stored().contains(Contact{5, "", "555"}));
    EXPECT_EQ(picker->table().recordCount(), 2);
}

TEST_F(ContactsTest, ReadOnlyUserSeesButCannotChangeContacts) {
    addContact(5, "Nowak", "1");
    addContact(5, "Zieliński", "2");
    state.RightsLevel = 1;
    forCompany(5, QStringLiteral("Firma A"));
    auto d = open();
    for (const char* b : {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Zapisz", "BB_Anuluj"})
        EXPECT_FALSE(button(d.get(), b)->isVisible()) << b;
    EXPECT_EQ(d->table().recordCount(), 2);
    d->list()->setFocus();
    QTest::keyClick(d->list(), Qt::Key_Insert);
    QTest::keyClick(d->list(), Qt::Key_Delete);
    QTest::keyClick(d->list(), Qt::Key_Return);
    Q_EMIT d->list()->rowDoubleClicked();
    // Hidden from him; the handlers, which the list's keys reach as well, refuse on their own.
    d->BB_DodajClick();
    d->BB_PoprawClick();
    d->BB_UsunClick();
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(stored().size(), 2);
    click(*d, "BB_Powrot");

    // Picking stays his: Enter chooses.
    pickingFor(5, QStringLiteral("Firma A"));
    auto picker = open();
    picker->list()->setFocus();
    QTest::keyClick(picker->list(), Qt::Key_Return);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_NE(state.PickedContactNr, 0);
}

TEST_F(ContactsTest, TheListIsDisabledWhileEmptyAndAReadOnlyPickerPicksByDoubleClick) {
    forCompany(5, QStringLiteral("Firma A"));
    auto d = open();
    EXPECT_FALSE(d->list()->isEnabled());
    button(d.get(), "BB_Dodaj")->click();
    typeText(child(d.get(), "Edit_Kontakt"), "Nowak");
    button(d.get(), "BB_Zapisz")->click();
    EXPECT_TRUE(d->list()->isEnabled());
    messages.answerYes();
    button(d.get(), "BB_Usun")->click();
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_FALSE(d->list()->isEnabled());
    d->BB_PowrotClick();

    // Picking changes nothing: a view-only user picks for the order editor as anyone does.
    addContact(5, "Adamski", "1");
    const int wanted = addContact(5, "Zieliński", "2");
    state.RightsLevel = 1;
    pickingFor(5, QStringLiteral("Firma A"));
    auto ro = open();
    ui::DbGrid* list = ro->list();
    const QRect second = list->visualRect(list->model()->index(1, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_FALSE(ro->isVisible());
    EXPECT_EQ(state.PickedContactNr, wanted);
    EXPECT_EQ(stored().size(), 2);
}

} // namespace
