// The offer list, the offer dialog, the offer editor and the main window's document pane, driven
// through their controls with the seams standing in for the user and the desktop. Documents are
// written as plain text, which the reader takes as it is, so these tests are about the screens.
#include "../shell/fixture.h"
#include "offers/E_of_spi.h"
#include "offers/REMain.h"
#include "offers/offerfiles.h"
#include "offers/offerpdf.h"
#include "platform/clipboard.h"
#include "ui/filedialogs.h"
#include <QCalendarWidget>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTextEdit>
#include <QTextList>

namespace {

using namespace shelltest;

class OffersTest : public ShellTest {
protected:
    OffersTest() : filesGuard_(files), clipboardGuard_(clipboard) {
        makeMainFolder();
        offersFolder = QDir(main).filePath(store::kOffersFolder);
    }

    int addOffer(const QDate& date, const QString& company, const QString& description) {
        return testsupport::addRow(offersFolder, "Oferty",
                                   {{QStringLiteral("Oferty_Data"), date},
                                    {QStringLiteral("Oferty_Firma"), company},
                                    {QStringLiteral("Oferty_Opis"), description}},
                                   "Oferty_Nr");
    }
    QString offerFile(int nr) const { return offers::offerFilePath(main, nr); }
    static void writeText(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString fileText(const QString& path) {
        QTextDocument doc;
        offers::loadDocument(path, doc, nullptr);
        return doc.toPlainText();
    }

    // The next calendar opening picks `date`.
    void pickDateNext(const QDate& date) {
        runner.on(QStringLiteral("TEkr_Kalendarz"), [date](QDialog& d) {
            d.findChild<QCalendarWidget*>(QStringLiteral("Kalendarz"))->setSelectedDate(date);
            click(d, "BB_Wybierz");
        });
    }

    // Opens the offer list from the main window's menu; `user` works in it.
    void inList(shell::TForm_Pelk& w, const std::function<void(QDialog&)>& user) {
        runner.on(QStringLiteral("TEkr_Oferty_Spis"), user);
        trigger(w, "Oferty1");
    }
    // Opens offer `nr` through the list's "Otwórz".
    void openOffer(shell::TForm_Pelk& w, int nr) {
        inList(w, [&](QDialog& d) {
            ASSERT_TRUE(w.state().TOferty.findKey({nr}));
            click(d, "BB_Otworz");
        });
    }
    static void typeInto(offers::TMainForm& editor, const QString& text) {
        editor.textArea()->setFocus();
        editor.textArea()->moveCursor(QTextCursor::End);
        editor.textArea()->insertPlainText(text);
    }

    QString offersFolder;
    ui::FakeFileDialogs files;
    platform::FakeClipboard clipboard;

private:
    ui::ScopedFileDialogs filesGuard_;
    platform::ScopedClipboard clipboardGuard_;
};

TEST_F(OffersTest, ListShowsThePeriodAndRefusesAnInvertedOne) {
    addOffer(QDate(2023, 12, 30), QStringLiteral("STARA"), QStringLiteral("zeszłoroczna"));
    addOffer(QDate(2024, 3, 1), QStringLiteral("BETA"), QStringLiteral("marcowa"));
    addOffer(QDate(2024, 4, 1), QStringLiteral("ALFA"), QStringLiteral("kwietniowa"));
    auto w = startWindow();
    inList(*w, [&](QDialog& d) {
        auto& list = static_cast<offers::TEkr_Oferty_Spis&>(d);
        EXPECT_EQ(list.filterText(), u"Oferty_Data>=01-01-2024 and Oferty_Data<=31-12-2024");
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Od")->text(), u"01-01-2024");
        EXPECT_EQ(gridNames(child<ui::DbGrid>(d, "DBGrid_Oferty")),
                  (QStringList{u"2"_qs, u"3"_qs}));
        EXPECT_FALSE(child<QLineEdit>(d, "Edit_Szukaj")->isVisibleTo(&d));
        EXPECT_TRUE(w->form().Menu_Raporty_Oferty->menuAction()->isVisible());
        EXPECT_FALSE(w->form().Menu_Dokumenty->menuAction()->isVisible());

        pickDateNext(QDate(2025, 1, 5));
        click(d, "BB_Od");
        EXPECT_EQ(messages.last().text,
                  u"Data początku okresu nie może być poźniejsza niż data końca okresu !");
        pickDateNext(QDate(2023, 6, 1));
        click(d, "BB_Do");
        EXPECT_EQ(messages.last().text,
                  u"Data końca okresu nie może być wcześniejsza niż data początku okresu !");
        EXPECT_EQ(list.filterText(), u"Oferty_Data>=01-01-2024 and Oferty_Data<=31-12-2024");

        pickDateNext(QDate(2023, 12, 1));
        click(d, "BB_Od");
        EXPECT_EQ(gridNames(child<ui::DbGrid>(d, "DBGrid_Oferty")).size(), 3);

        // Sorted by company, the search field finds the nearest company as one types.
        child<QComboBox>(d, "Wyswietlaj_wg")->setCurrentIndex(2);
        auto* search = child<QLineEdit>(d, "Edit_Szukaj");
        EXPECT_TRUE(search->isVisibleTo(&d));
        search->setFocus();
        testsupport::typeText(search, QStringLiteral("be"));
        EXPECT_EQ(w->state().TOferty.asString(QStringLiteral("Oferty_Firma")), u"BETA");
        click(d, "BB_Powrot");
    });
    EXPECT_TRUE(w->form().Oferty1->isEnabled());
    EXPECT_FALSE(w->form().Menu_Raporty_Oferty->menuAction()->isVisible());
    EXPECT_TRUE(w->form().Menu_Dokumenty->menuAction()->isVisible());
}

TEST_F(OffersTest, AddAndSaveMakeTheRowAndItsEmptyDocument) {
    auto w = startWindow();
    runner.on(QStringLiteral("TEkr_Oferty_Edycja"), [&](QDialog& d) {
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Data")->text(), u"17-05-2024");
        child<QLineEdit>(d, "Edit_Opis")->setText(QStringLiteral("Nowa oferta"));
        click(d, "BB_Zapisz");
    });
    inList(*w, [&](QDialog& d) {
        click(d, "BB_Dodaj");
        click(d, "BB_Powrot");
    });
    engine::Table t(offersFolder, QStringLiteral("Oferty"));
    t.open();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.asDate(QStringLiteral("Oferty_Data")), QDate(2024, 5, 17));
    EXPECT_EQ(t.asString(QStringLiteral("Oferty_Opis")), u"Nowa oferta");
    const int nr = t.asInteger(QStringLiteral("Oferty_Nr"));
    ASSERT_TRUE(QFile::exists(offerFile(nr)));
    EXPECT_TRUE(fileText(offerFile(nr)).trimmed().isEmpty());
    EXPECT_FALSE(w->offerEditor().isTextModified());
}

TEST_F(OffersTest, NoCompanyChosenEmptiesTheCompanyAndDeletingKeepsTheFile) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    writeText(offerFile(nr), "tekst");
    auto w = startWindow();
    runner.on(QStringLiteral("TEkr_Aktualizacja_Firma")); // closed without a choice
    runner.on(QStringLiteral("TEkr_Oferty_Edycja"), [&](QDialog& d) {
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Firma")->text(), u"ALFA");
        click(d, "BB_Firma");
        EXPECT_TRUE(child<QLineEdit>(d, "Edit_Firma")->text().isEmpty());
        click(d, "BB_Zapisz");
    });
    inList(*w, [&](QDialog& d) {
        click(d, "BB_Popraw");
        EXPECT_TRUE(w->state().TOferty.asString(QStringLiteral("Oferty_Firma")).isEmpty());
        messages.answerNo();
        click(d, "BB_Usun");
        EXPECT_EQ(messages.last().text, u"Chcesz usunąć zaznaczoną ofertę ?");
        EXPECT_EQ(w->state().TOferty.recordCount(), 1) << "No keeps the offer";
        messages.answerYes();
        click(d, "BB_Usun");
        EXPECT_EQ(w->state().TOferty.recordCount(), 0);
        click(d, "BB_Powrot");
    });
    EXPECT_EQ(readBytes(offerFile(nr)), "tekst") << "the document stays on disk";
}

TEST_F(OffersTest, SavingAfterOpeningAnotherFileWritesTheOffersOwnFile) {
    for (int i = 1; i <= 7; ++i)
        addOffer(QDate(2024, 1, i), QStringLiteral("F%1").arg(i),
                 QStringLiteral("oferta %1").arg(i));
    writeText(offerFile(7), "siedem");
    const QString other = tmp.sub(QStringLiteral("inne")) + QStringLiteral("/inny.rtf");
    writeText(other, "inny tekst");
    auto w = startWindow();
    openOffer(*w, 7);
    offers::TMainForm& editor = w->offerEditor();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_FALSE(w->form().Oferty1->isEnabled());
    EXPECT_EQ(editor.windowTitle(), u"7.rtf - oferta 7");
    EXPECT_TRUE(editor.textArea()->toPlainText().contains(u"siedem"));

    files.answers << other;
    trigger(editor, "FileOpenItem");
    EXPECT_TRUE(editor.textArea()->toPlainText().contains(u"inny tekst"));
    EXPECT_EQ(editor.windowTitle(), u"7.rtf - oferta 7") << "the file that will be written";
    typeInto(editor, QStringLiteral(" dopisek"));
    trigger(editor, "FileSaveItem");
    EXPECT_TRUE(fileText(offerFile(7)).contains(u"inny tekst dopisek"));
    EXPECT_EQ(readBytes(other), "inny tekst");
    EXPECT_FALSE(editor.isTextModified());

    // Closing the editor gives the list back, modeless.
    editor.close();
    EXPECT_TRUE(w->offerList().isVisible());
    EXPECT_TRUE(w->form().Oferty1->isEnabled());
    w->offerList().hide();
}

TEST_F(OffersTest, AFileChangedByAnotherInstallationIsNotOverwrittenSilently) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    writeText(offerFile(nr), "pierwszy");
    auto w = startWindow();
    openOffer(*w, nr);
    offers::TMainForm& editor = w->offerEditor();
    typeInto(editor, QStringLiteral(" moje"));
    writeText(offerFile(nr), "zapisany gdzie indziej, dłuższy");

    messages.answerNo();
    trigger(editor, "FileSaveItem");
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Plik %1 został zmieniony przez innego użytkownika. Zastąpić go ?")
                  .arg(offerFile(nr)));
    EXPECT_EQ(messages.last().caption, u"Uwaga !");
    EXPECT_EQ(readBytes(offerFile(nr)), "zapisany gdzie indziej, dłuższy");
    EXPECT_TRUE(editor.isTextModified());

    messages.answerYes();
    trigger(editor, "FileSaveItem");
    EXPECT_TRUE(fileText(offerFile(nr)).contains(u"pierwszy moje"));
    // Our own save is no change by another user.
    typeInto(editor, QStringLiteral(" znowu"));
    const int boxes = messages.count();
    trigger(editor, "FileSaveItem");
    EXPECT_EQ(messages.count(), boxes);
    editor.hide();
}

TEST_F(OffersTest, TextMovesToThePaneAndBackWithoutTheClipboard) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    writeText(offerFile(nr), "treść oferty");
    clipboard.setText(QStringLiteral("w schowku"));
    QGuiApplication::clipboard()->setText(QStringLiteral("w schowku systemu"));
    auto w = startWindow();
    openOffer(*w, nr);
    offers::TMainForm& editor = w->offerEditor();
    typeInto(editor, QStringLiteral(" zmiana"));

    click(editor, "BitBtn1");
    auto* pane = w->form().RichEdit1;
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(w->form().Panel_Oferty->isVisibleTo(w.get()));
    EXPECT_EQ(w->detailTab(), 9);
    EXPECT_TRUE(pane->toPlainText().contains(u"treść oferty zmiana"));
    EXPECT_TRUE(pane->document()->isModified());
    EXPECT_TRUE(editor.textArea()->toPlainText().isEmpty());

    click(w.get(), "BB_Oferta_wroc_do_dokumentu");
    EXPECT_TRUE(editor.textArea()->toPlainText().contains(u"treść oferty zmiana"));
    EXPECT_TRUE(editor.isTextModified());
    EXPECT_EQ(editor.fileName(), offerFile(nr));
    EXPECT_TRUE(pane->toPlainText().isEmpty());
    EXPECT_EQ(clipboard.text(), u"w schowku");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"w schowku systemu");

    // Changed text on the pane is offered for saving before the main window closes, into the
    // offer it came from.
    click(editor, "BitBtn1");
    messages.answer(ui::Button::Ok); // "Zapisać zmiany do pliku ...?"
    messages.answer(ui::Button::No); // the main window's own exit question
    w->close();
    EXPECT_EQ(messages.texts().value(messages.count() - 2),
              QStringLiteral("Zapisać zmiany do pliku %1?").arg(offerFile(nr)));
    EXPECT_TRUE(fileText(offerFile(nr)).contains(u"treść oferty zmiana"));
}

TEST_F(OffersTest, AMissingFileOpensEmptyAndSavingCreatesIt) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    auto w = startWindow();
    openOffer(*w, nr);
    ASSERT_EQ(errorTexts().size(), 1);
    EXPECT_TRUE(errorTexts().first().contains(offerFile(nr)));
    offers::TMainForm& editor = w->offerEditor();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(editor.textArea()->toPlainText().isEmpty());
    typeInto(editor, QStringLiteral("nowy tekst"));
    trigger(editor, "FileSaveItem");
    EXPECT_TRUE(fileText(offerFile(nr)).contains(u"nowy tekst"));
    editor.hide();
}

TEST_F(OffersTest, AViewOnlyUserReadsOffersAndChangesNothing) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    writeText(offerFile(nr), "tekst");
    auto w = startWindow();
    w->state().RightsLevel = 1;
    inList(*w, [&](QDialog& d) {
        for (const char* name : {"BB_Dodaj", "BB_Popraw", "BB_Usun"})
            EXPECT_FALSE(child<QPushButton>(d, name)->isEnabled()) << name;
        click(d, "BB_Otworz");
    });
    offers::TMainForm& editor = w->offerEditor();
    EXPECT_TRUE(editor.textArea()->isReadOnly());
    EXPECT_FALSE(child<QAction>(editor, "FileSaveItem")->isEnabled());
    editor.hide();
}

TEST_F(OffersTest, FileModeSavesOnlyTheFileShown) {
    const QString header = QDir(main).filePath(store::kHeaderFile);
    writeText(header, "Firma");
    auto w = startWindow();
    offers::TMainForm& editor = w->offerEditor();
    editor.editFile(header);
    EXPECT_EQ(editor.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(editor.windowTitle(), u"naglowek.rtf");
    typeInto(editor, QStringLiteral(" i wspólnicy"));
    trigger(editor, "FileSaveItem");
    EXPECT_TRUE(fileText(header).contains(u"Firma i wspólnicy"));
    EXPECT_EQ(QDir(offersFolder).entryList({QStringLiteral("*.rtf")}).size(), 0);
    editor.close();
    EXPECT_FALSE(w->offerList().isVisible()) << "file mode has no offer list to go back to";
}

TEST_F(OffersTest, OfferPdfIsWrittenOnlyForAnExistingOffer) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    writeText(offerFile(nr), "Oferta do druku");
    const QString out = QDir(tmp.path()).filePath(QStringLiteral("o.pdf"));
    QString error;
    ASSERT_TRUE(offers::writeOfferPdf(main, nr, out, &error)) << error.toStdString();
    EXPECT_TRUE(readBytes(out).startsWith("%PDF"));

    const QString missing = QDir(tmp.path()).filePath(QStringLiteral("brak.pdf"));
    EXPECT_FALSE(offers::writeOfferPdf(main, nr + 1, missing, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(missing));
    QFile::remove(offerFile(nr));
    EXPECT_FALSE(offers::writeOfferPdf(main, nr, missing, &error));
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(offers::writeOfferPdf(main, nr, QStringLiteral("/nie/ma/folderu/x.pdf"), &error));
}

TEST_F(OffersTest, OpenAndSaveAsAskBeforeTheyLoseOrReplaceText) {
    const int nr = addOffer(QDate(2024, 2, 2), QStringLiteral("ALFA"), QStringLiteral("luty"));
    writeText(offerFile(nr), "stary tekst");
    const QString other = QDir(tmp.path()).filePath(QStringLiteral("inny.rtf"));
    writeText(other, "inny");
    auto w = startWindow();
    openOffer(*w, nr);
    offers::TMainForm& editor = w->offerEditor();
    typeInto(editor, QStringLiteral(" zmieniony"));

    // Cancel goes on without saving.
    messages.answer(ui::Button::Cancel);
    files.answers << other;
    trigger(editor, "FileOpenItem");
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Zapisać zmiany do pliku %1?").arg(offerFile(nr)));
    EXPECT_EQ(readBytes(offerFile(nr)), "stary tekst");
    EXPECT_EQ(editor.textArea()->toPlainText(), u"inny");

    // An existing file is replaced only on Yes.
    typeInto(editor, QStringLiteral(" plus"));
    messages.answerNo();
    files.answers << other;
    trigger(editor, "FileSaveAsItem");
    EXPECT_EQ(messages.last().text, QStringLiteral("Zastąpić istniejący plik %1").arg(other));
    EXPECT_EQ(readBytes(other), "inny");
    EXPECT_TRUE(editor.isTextModified());
    messages.answerYes();
    files.answers << other;
    trigger(editor, "FileSaveAsItem");
    EXPECT_EQ(fileText(other), u"inny plus");
    EXPECT_EQ(editor.windowTitle(), u"inny.rtf - luty");
    EXPECT_FALSE(editor.isTextModified());
    editor.hide();
}

TEST_F(OffersTest, TheToolbarFollowsTheSelectionWithoutChangingTheText) {
    auto w = startWindow();
    offers::TMainForm& editor = w->offerEditor();
    QTextEdit* text = editor.textArea();
    QTextCursor c(text->document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("Nagłówek"), bold);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.createList(QTextListFormat::ListDisc);
    c.insertText(QStringLiteral("punkt"));
    text->document()->setModified(false);
    auto* boldButton = child<QAction>(editor, "FormatBold");
    auto* bullets = child<QAction>(editor, "FormatBullets");

    text->moveCursor(QTextCursor::Start);
    text->moveCursor(QTextCursor::Right);
    EXPECT_TRUE(boldButton->isChecked());
    EXPECT_FALSE(bullets->isChecked());
    text->moveCursor(QTextCursor::End);
    EXPECT_FALSE(boldButton->isChecked());
    EXPECT_TRUE(bullets->isChecked());
    EXPECT_FALSE(text->document()->isModified()) << "following the caret changed the text";
    EXPECT_EQ(text->document()->toPlainText(), u"Nagłówek\npunkt");

    // The user's press does change it.
    bullets->trigger();
    EXPECT_EQ(text->textCursor().currentList(), nullptr);
    EXPECT_TRUE(text->document()->isModified());
}

TEST_F(OffersTest, DocumentOnANewOfferOpensTheEditorOnItsNewFile) {
    auto w = startWindow();
    runner.on(QStringLiteral("TEkr_Oferty_Edycja"), [&](QDialog& d) {
        child<QLineEdit>(d, "Edit_Opis")->setText(QStringLiteral("Od razu pisana"));
        click(d, "BB_Dokument");
    });
    inList(*w, [&](QDialog& d) { click(d, "BB_Dodaj"); });
    offers::TMainForm& editor = w->offerEditor();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_FALSE(w->offerList().isVisible());
    EXPECT_FALSE(w->form().Oferty1->isEnabled());
    EXPECT_EQ(editor.offerNr(), 1);
    EXPECT_TRUE(QFile::exists(offerFile(1)));
    EXPECT_EQ(editor.windowTitle(), u"1.rtf - Od razu pisana");
    editor.hide();
}

TEST_F(OffersTest, AnotherOfferAsksForThePanesChangedText) {
    const int first = addOffer(QDate(2024, 2, 2), QStringLiteral("A"), QStringLiteral("pierwsza"));
    const int second = addOffer(QDate(2024, 2, 3), QStringLiteral("B"), QStringLiteral("druga"));
    writeText(offerFile(first), "jeden");
    writeText(offerFile(second), "dwa");
    auto w = startWindow();
    openOffer(*w, first);
    offers::TMainForm& editor = w->offerEditor();
    typeInto(editor, QStringLiteral(" zmiana"));
    click(editor, "BitBtn1");
    w->offerList().prepare();
    messages.answer(ui::Button::Ok);
    ASSERT_TRUE(editor.openOffer(second, QStringLiteral("druga")));
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Zapisać zmiany do pliku %1?").arg(offerFile(first)));
    EXPECT_EQ(fileText(offerFile(first)), u"jeden zmiana") << "saved into the offer it belongs to";
    EXPECT_EQ(fileText(offerFile(second)), u"dwa");
    EXPECT_TRUE(w->form().RichEdit1->toPlainText().isEmpty());
    EXPECT_EQ(editor.textArea()->toPlainText(), u"dwa");
}

// Dragging a ruler marker by `dx` pixels, as the mouse does.
void drag(QWidget* marker, int dx) {
    const QPoint at = marker->rect().center();
    auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent e(type, local, marker->mapToGlobal(local), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(marker, &e);
    };
    send(QEvent::MouseButtonPress, at, Qt::LeftButton);
    send(QEvent::MouseMove, at + QPoint(dx, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at + QPoint(dx, 0), {});
}

TEST_F(OffersTest, RulerMarkersSetTheParagraphsIndents) {
    auto w = startWindow();
    offers::TMainForm& editor = w->offerEditor();
    editor.show();
    QTextEdit* text = editor.textArea();
    text->setPlainText(QStringLiteral("akapit"));
    QTextBlockFormat f;
    f.setTextIndent(24);
    f.setLeftMargin(12);
    text->textCursor().setBlockFormat(f);
    text->moveCursor(QTextCursor::End);
    auto* first = child<QWidget>(editor, "FirstInd");
    auto* left = child<QWidget>(editor, "LeftInd");
    auto* right = child<QWidget>(editor, "RightInd");

    // Pressed and released where they stand, the markers change nothing.
    for (QWidget* m : {first, left, right})
        drag(m, 0);
    EXPECT_DOUBLE_EQ(text->textCursor().blockFormat().textIndent(), 24);
    EXPECT_DOUBLE_EQ(text->textCursor().blockFormat().leftMargin(), 12);
    EXPECT_DOUBLE_EQ(text->textCursor().blockFormat().rightMargin(), 0);

    drag(left, 40);
    EXPECT_DOUBLE_EQ(text->textCursor().blockFormat().leftMargin(), 52);
    EXPECT_DOUBLE_EQ(text->textCursor().blockFormat().textIndent(), 24);
    drag(right, -20);
    EXPECT_DOUBLE_EQ(text->textCursor().blockFormat().rightMargin(), 20);
    EXPECT_TRUE(text->document()->isModified());
    editor.hide();
}

TEST_F(OffersTest, TheEditorWritesItsTextAsPdf) {
    auto w = startWindow();
    offers::TMainForm& editor = w->offerEditor();
    editor.textArea()->setPlainText(QStringLiteral("Oferta w PDF"));
    const QString out = QDir(tmp.path()).filePath(QStringLiteral("oferta.pdf"));
    files.answers << out;
    trigger(editor, "FileSavePdfItem");
    EXPECT_TRUE(readBytes(out).startsWith("%PDF"));
    files.answers << QStringLiteral("/nie/ma/takiego/folderu/x.pdf");
    trigger(editor, "FileSavePdfItem");
    EXPECT_EQ(errorTexts().size(), 1);
}

TEST_F(OffersTest, ARowLeftInTheDialogIsFinishedBeforeAnythingElse) {
    auto w = startWindow();
    runner.on(QStringLiteral("TEkr_Oferty_Edycja"), [&](QDialog& d) {
        testsupport::typeText(child<QLineEdit>(d, "Edit_Opis"), QStringLiteral("odłożona"));
        click(d, "BB_Powrot");
    });
    runner.on(QStringLiteral("TEkr_Oferty_Edycja"), [&](QDialog& d) {
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Opis")->text(), u"odłożona");
        click(d, "BB_Zapisz");
    });
    inList(*w, [&](QDialog& d) {
        click(d, "BB_Dodaj");
        EXPECT_EQ(w->state().TOferty.state(), engine::Table::State::Insert);
        click(d, "BB_Dodaj"); // opens the dialog on the row left there, not a second row
        click(d, "BB_Powrot");
    });
    EXPECT_TRUE(errorTexts().isEmpty());
    engine::Table t(offersFolder, QStringLiteral("Oferty"));
    t.open();
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_TRUE(QFile::exists(offerFile(t.asInteger(QStringLiteral("Oferty_Nr")))));
}

} // namespace
