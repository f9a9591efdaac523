// The drawing library: its checks, where a taken picture goes and when it is written, and the
// deletion refusal for a drawing in use.
#include "drawings/Akt_rys.h"
#include "drawings_fixture.h"
#include "ui/dbgrid.h"
#include <QFile>
#include <QGroupBox>

namespace {

using drawings::TEkr_Rysunki;
using drawtest::sampleImage;

class LibraryTest : public drawtest::DrawingsTest {
protected:
    std::unique_ptr<TEkr_Rysunki> open() { return showActive<TEkr_Rysunki>(state); }
    static QLineEdit* opis(QWidget* d) { return lineEdit(d, "Edit_Opis"); }
    void expectLast(const char* text) { EXPECT_EQ(messages.last().text, QString::fromUtf8(text)); }
};

TEST_F(LibraryTest, RowIsSavedOnlyWithDescriptionAndPicture) {
    auto d = open();
    ASSERT_FALSE(pushButton(d.get(), "BB_ZeSchowka")->isEnabled());
    click(d.get(), "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), QStringLiteral("Dodawanie nowego ryunku"));
    EXPECT_EQ(opis(d.get())->maxLength(), 30);
    typeText(opis(d.get()), QStringLiteral("Schemat"));
    click(d.get(), "BB_Zapisz");
    expectLast("Nie wprowadzono rysunku. Zapis nie jest możliwy !");
    click(d.get(), "BB_ZeSchowka"); // nothing on the clipboard yet
    expectLast("Schowek nie zawiera rysunku.");

    clipboard.imageHeld = sampleImage(Qt::red);
    click(d.get(), "BB_ZeSchowka");
    opis(d.get())->clear();
    click(d.get(), "BB_Zapisz");
    expectLast("Nie wprowadzono opisu rysunku. Zapis nie jest możliwy !");
    EXPECT_TRUE(library().isEmpty()); // a new row is written only by Zapisz

    typeText(opis(d.get()), QStringLiteral("Schemat"));
    click(d.get(), "BB_Zapisz");
    EXPECT_FALSE(pushButton(d.get(), "BB_ZeSchowka")->isEnabled());
    const auto rows = library();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].description, QStringLiteral("Schemat"));
    EXPECT_TRUE(rows[0].bytes.startsWith("\x89PNG")); // pasted pictures are kept as PNG
    EXPECT_EQ(d->picture()->image().size(), QSize(8, 6));
}

TEST_F(LibraryTest, FileKeepsItsOwnBytesAndGoesToTheClipboard) {
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(tmp.path() + u'/' + QLatin1String(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QByteArray jpeg = drawtest::encoded(sampleImage(Qt::blue, 16, 10), "JPG");
    const QString broken = write("zepsuty.bmp", "to nie jest rysunek");
    files.answers = {broken, write("zdjecie.jpg", jpeg)};
    auto d = open();
    click(d.get(), "BB_Dodaj");
    typeText(opis(d.get()), QStringLiteral("Zdjęcie"));
    click(d.get(), "BB_ZPliku");
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Nie można odczytać rysunku z pliku %1.").arg(broken));
    EXPECT_TRUE(clipboard.imageHeld.isNull());
    click(d.get(), "BB_ZPliku");
    EXPECT_EQ(clipboard.imageHeld.size(), QSize(16, 10));
    click(d.get(), "BB_Zapisz");
    ASSERT_EQ(library().size(), 1);
    EXPECT_EQ(library()[0].bytes, jpeg);
}

TEST_F(LibraryTest, AbandonedNewRowLeavesNothingAndAClosedOneIsSavedOnYes) {
    clipboard.imageHeld = sampleImage(Qt::red);
    auto d = open();
    click(d.get(), "BB_Dodaj");
    click(d.get(), "BB_ZeSchowka");
    typeText(opis(d.get()), QStringLiteral("Nowy"));
    click(d.get(), "BB_Anuluj");
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(library().isEmpty());

    click(d.get(), "BB_Dodaj");
    click(d.get(), "BB_ZeSchowka");
    typeText(opis(d.get()), QStringLiteral("Wtyczka"));
    messages.answerYes();
    click(d.get(), "BB_Powrot");
    expectLast("Dane zostały zmienione. Zapisać wprowadzone zmiany!");
    ASSERT_EQ(library().size(), 1);
    EXPECT_EQ(library()[0].description, QStringLiteral("Wtyczka"));
}

TEST_F(LibraryTest, PictureTakenIntoAnExistingRowStaysWhenTheEditIsAbandoned) {
    addDrawing(QStringLiteral("Obudowa"), drawings::pngBytes(sampleImage(Qt::green)));
    clipboard.imageHeld = sampleImage(Qt::red, 3, 3);
    auto d = open();
    click(d.get(), "BB_Popraw");
    EXPECT_EQ(opis(d.get())->text(), QStringLiteral("Obudowa"));
    typeText(opis(d.get()), QStringLiteral(" zmieniona"));
    click(d.get(), "BB_ZeSchowka");
    click(d.get(), "BB_Anuluj");
    ASSERT_EQ(library().size(), 1);
    EXPECT_EQ(library()[0].description, QStringLiteral("Obudowa"));
    EXPECT_EQ(drawings::pictureFrom(library()[0].bytes).size(), QSize(3, 3));

    // An emptied picture is refused at Zapisz and, abandoned, leaves the stored one.
    click(d.get(), "BB_Popraw");
    click(d.get(), "BB_Wyczysc");
    click(d.get(), "BB_Zapisz");
    expectLast("Nie wprowadzono rysunku. Zapis nie jest możliwy !");
    click(d.get(), "BB_Anuluj");
    EXPECT_EQ(drawings::pictureFrom(library()[0].bytes).size(), QSize(3, 3));
}

TEST_F(LibraryTest, DrawingInUseIsNotDeleted) {
    const int used = addDrawing(QStringLiteral("A"), drawings::pngBytes(sampleImage(Qt::red)));
    addDrawing(QStringLiteral("B"), drawings::pngBytes(sampleImage(Qt::blue, 4, 2)));
    attach(addItem(QStringLiteral("Wtyk")), used);
    auto d = open();
    messages.answerYes();
    click(d.get(), "BB_Usun");
    EXPECT_EQ(messages.shown()[0].message.text,
              QStringLiteral("Czy chcesz usunąć zaznaczoną pozycję"));
    EXPECT_EQ(messages.shown()[0].message.defaultButton, ui::Button::Yes);
    expectLast("Ten rysunek jest używany przez bazy danych. Usunięcie nie jest możliwe !");
    EXPECT_EQ(library().size(), 2);

    d->table().last();
    EXPECT_EQ(d->picture()->image().size(), QSize(4, 2)); // the picture follows the list
    messages.answerYes();
    click(d.get(), "BB_Usun");
    ASSERT_EQ(library().size(), 1);
    EXPECT_EQ(library()[0].description, QStringLiteral("A"));
}

TEST_F(LibraryTest, EnterInTheSearchFieldMovesToTheListWhichStandsOnTheFoundRow) {
    addDrawing(QStringLiteral("Obudowa"), drawings::pngBytes(sampleImage(Qt::red)));
    addDrawing(QStringLiteral("Wtyk"), drawings::pngBytes(sampleImage(Qt::blue)));
    auto d = open();
    ASSERT_TRUE(d->searchBox()->hasFocus());
    typeText(d->searchBox(), QStringLiteral("Wt"));
    QTest::keyClick(d->searchBox(), Qt::Key_Return);
    EXPECT_TRUE(d->list()->hasFocus());
    EXPECT_TRUE(d->searchBox()->text().isEmpty()) << "left, the field is emptied";
    EXPECT_EQ(d->table().asString(QStringLiteral("Rys_Opis")), QStringLiteral("Wtyk"));
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Browse);
    // From the list Enter starts changing the row, as before.
    QTest::keyClick(d->list(), Qt::Key_Return);
    EXPECT_EQ(d->mode(), ui::ListDialog::Mode::Changing);
}

} // namespace
