// What "Zapisz" writes and what the program makes of it: every field of both records read back,
// the main window's captions, columns and home currency, the owner and the default catalogue,
// the logo, and the header and footer files.
#include "offers/REMain.h"
#include "orders/orderdocs.h"
#include "preferences/bindings.h"
#include "preferences/fixture.h"
#include "shell/Otw_baze.h"
#include <QBuffer>
#include <QFile>
#include <QImage>

namespace {

using namespace preftest;
using preferences::Binding;

// A value for every control, different from the design and from each other.
void fillEverything(TEkr_Preferencje& d) {
    int n = 0;
    for (const Binding& b : preferences::settingsTexts())
        d.findChild<QLineEdit*>(b.control)->setText(QStringLiteral("t%1").arg(++n));
    for (const Binding& b : preferences::settingsFlags())
        d.findChild<QCheckBox*>(b.control)->setChecked(
            !d.findChild<QCheckBox*>(b.control)->isChecked());
    for (const Binding& b : preferences::settingsNumbers())
        d.findChild<QSpinBox*>(b.control)->setValue(100 + ++n);
    for (const Binding& b : preferences::patternParts())
        d.findChild<QComboBox*>(b.control)->setEditText(QStringLiteral("p%1").arg(++n));
    for (const Binding& b : preferences::displayTexts())
        d.findChild<QLineEdit*>(b.control)->setText(QStringLiteral("n%1").arg(++n));
    for (const Binding& b : preferences::displayFlags()) {
        auto* box = d.findChild<QCheckBox*>(b.control);
        if (b.control != u"CB_P_Podstawowy") box->setChecked(!box->isChecked());
    }
    in<QRadioButton>(d, "RB_Angielski")->setChecked(true);
    in<QRadioButton>(d, "RB_Nazwa2")->setChecked(true);
    in<QCheckBox>(d, "CB_Przypomnienie")->setChecked(true);
}

TEST_F(PreferencesTest, EveryFieldIsWrittenAndReadBackOnReopening) {
    startProgram();
    std::map<QString, QVariant> shown; // control -> value, as the user left them
    auto valueOf = [](QWidget* w) -> QVariant {
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        if (auto* c = qobject_cast<QCheckBox*>(w)) return c->isChecked();
        if (auto* s = qobject_cast<QSpinBox*>(w)) return s->value();
        if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
        return {};
    };
    auto all = [] {
        QList<Binding> out;
        for (const auto& l : {preferences::settingsTexts(), preferences::settingsFlags(),
                              preferences::settingsNumbers(), preferences::patternParts(),
                              preferences::displayTexts(), preferences::displayFlags()})
            out += l;
        return out;
    };
    openPreferences([&](TEkr_Preferencje& d) {
        fillEverything(d);
        for (const Binding& b : all())
            shown[b.control] = valueOf(d.findChild<QWidget*>(b.control));
        click(d, "BB_Zapisz");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(messages.count(), 0);

    // The records hold what was shown, field by field.
    store::Settings s(main);
    for (const Binding& b : preferences::settingsTexts())
        EXPECT_EQ(s.text(b.field), shown[b.control].toString()) << b.field.toStdString();
    for (const Binding& b : preferences::settingsFlags())
        EXPECT_EQ(s.flag(b.field), shown[b.control].toBool()) << b.field.toStdString();
    for (const Binding& b : preferences::settingsNumbers())
        EXPECT_EQ(s.integer(b.field), shown[b.control].toInt()) << b.field.toStdString();
    for (const Binding& b : preferences::patternParts())
        EXPECT_EQ(s.text(b.field), shown[b.control].toString()) << b.field.toStdString();
    for (const Binding& b : preferences::displayTexts())
        EXPECT_EQ(konfig(b.field).toString(), shown[b.control].toString()) << b.field.toStdString();
    for (const Binding& b : preferences::displayFlags())
        EXPECT_EQ(konfig(b.field).toBool(), shown[b.control].toBool()) << b.field.toStdString();
    // The fields as the rest of the program names them.
    EXPECT_EQ(s.text(QStringLiteral("Pelk_Zam_Do_Forma_Plat")),
              shown[QStringLiteral("Edit_Forma2")].toString());
    EXPECT_EQ(s.text(QStringLiteral("Pelk_Zam_Od_Stopka3")),
              shown[QStringLiteral("Edit_Uwagi13")].toString());
    EXPECT_EQ(konfig(QStringLiteral("Konfig_iZ_Cena_C")).toBool(),
              shown[QStringLiteral("CB_iZ_Cena_C")].toBool());
    EXPECT_EQ(s.text(QStringLiteral("Pelk_Wydruk_Jezyk")), QStringLiteral("ANG"));
    EXPECT_TRUE(s.flag(QStringLiteral("Pelk_Nazwa2_na_wydr")));
    EXPECT_FALSE(s.flag(QStringLiteral("Pelk_Kopia_Wykonuj")));
    EXPECT_EQ(s.flag(QStringLiteral("Pelk_Zam_Od_Autonumer")),
              shown[QStringLiteral("CB_Autonumer1")].toBool());

    // Reopened, the dialog shows them again.
    openPreferences([&](TEkr_Preferencje& d) {
        for (const Binding& b : all())
            EXPECT_EQ(valueOf(d.findChild<QWidget*>(b.control)), shown[b.control])
                << b.control.toStdString();
        EXPECT_TRUE(in<QRadioButton>(d, "RB_Angielski")->isChecked());
        EXPECT_TRUE(in<QRadioButton>(d, "RB_Nazwa2")->isChecked());
        EXPECT_EQ(in<QLabel>(d, "Label_Pole4")->text(), shown[QStringLiteral("Edit_Kod_Prod")]);
        EXPECT_FALSE(d.changed());
    });
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(PreferencesTest, TheMainWindowTakesCaptionsColumnsAndHomeCurrencyAtOnce) {
    startProgram();
    window->resize(1024, 700);
    window->show();
    const int euro = add("Waluta", {{"Waluta_Nazwa", "EUR"}, {"Waluta_Kurs", 4.3}}, "Waluta_Nr");
    auto& f = window->form();
    auto* grid = f.DBGrid_Towary;
    ASSERT_GT(grid->fieldWidth(QStringLiteral("Tow_Symbol")), 0);
    ASSERT_EQ(grid->fieldWidth(QStringLiteral("Tow_Nazwa2")), 0);

    runner.on(QStringLiteral("TEkr_Aktualizacja_Waluta"),
              choose("Waluta_Nazwa", QStringLiteral("EUR")));
    openPreferences([&](TEkr_Preferencje& d) {
        auto* name = in<QLineEdit>(d, "Edit_Nazwa1");
        name->setText(QStringLiteral("Nazwa handlowa"));
        Q_EMIT name->editingFinished();
        EXPECT_EQ(in<QLabel>(d, "Label_Pole1")->text(), QStringLiteral("Nazwa handlowa"));
        in<QCheckBox>(d, "CB_i_Symbol")->setChecked(false);
        in<QCheckBox>(d, "CB_i_Nazwa2")->setChecked(true);
        showPage(d, "TS_Domyslne");
        click(d, "SB_Waluta");
        EXPECT_EQ(in<QLabel>(d, "Label_Waluta")->text(), QStringLiteral("EUR"));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(grid->gridModel()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Nazwa handlowa"));
    EXPECT_EQ(f.Label_Nazwa1->text(), QStringLiteral("Nazwa handlowa"));
    EXPECT_EQ(f.Wyswietlaj_wg->itemText(0), QStringLiteral("Nazwa handlowa"));
    EXPECT_EQ(grid->fieldWidth(QStringLiteral("Tow_Symbol")), 0);
    EXPECT_GT(grid->fieldWidth(QStringLiteral("Tow_Nazwa2")), 0);
    EXPECT_EQ(window->state().HomeCurrencyNr, euro);
    EXPECT_EQ(window->state().Display.headerName1, QStringLiteral("Nazwa handlowa"));
}

TEST_F(PreferencesTest, ANewOrderIsNumberedByThePatternSavedInTheDialog) {
    startProgram();
    clock.date = QDate(2024, 3, 15);
    openPreferences([&](TEkr_Preferencje& d) {
        const char* const parts[] = {"CB_11", "CB_12", "CB_13", "CB_14", "CB_15", "CB_16"};
        const QString texts[] = {QStringLiteral("ZK"),    QStringLiteral("-"),
                                 QStringLiteral("NUMER"), QStringLiteral("/"),
                                 QStringLiteral("ROK"),   QString()};
        for (int i = 0; i < 6; ++i)
            in<QComboBox>(d, parts[i])->setEditText(texts[i]);
        in<QSpinBox>(d, "SE_Nr1")->setValue(12);
        click(d, "BB_Zapisz");
    });
    auto& st = window->state();
    const orders::CreatedOrder made = orders::createOrder(
        st, orders::kFromClient, orders::CompletedAtCreation::No, platform::today());
    EXPECT_EQ(made.number, 12);
    EXPECT_EQ(orders::documentNumber(orders::readNumbering(st.TPelk, orders::kFromClient).pattern,
                                     made.number, platform::today()),
              QStringLiteral("ZK-12/2024"));
}

TEST_F(PreferencesTest, ChoosingTheOwnerKeepsWhatWasTypedBefore) {
    startProgram();
    const int beta = add("Firmy",
                         {{"Firma_Skrot", "Beta"},
                          {"Firma_Nazwa1", "Beta Sp. z o.o."},
                          {"Firma_Ulica", "Długa 5"},
                          {"Firma_Kod_Poczt", "30-001"},
                          {"Firma_Miejscowosc", "Kraków"},
                          {"Firma_NIP", "123-45-67-890"}},
                         "Firma_Nr");
    const int phone = add("Telefon",
                          {{"Telefon_Firma_nr", beta},
                           {"Telefon_Kontakt", "Nowak"},
                           {"Telefon_Nr_Tel", "12 345 67 89"}},
                          "Telefon_Nr");
    runner.on(QStringLiteral("TEkr_Aktualizacja_Firma"),
              choose("Firma_Skrot", QStringLiteral("Beta")));
    runner.on(QStringLiteral("TEkr_Aktualizacja_Telefony"), [](QDialog& d) {
        static_cast<ui::ListDialog&>(d).button(QStringLiteral("BB_Wybierz"))->click();
    });
    openPreferences([&](TEkr_Preferencje& d) {
        in<QLineEdit>(d, "Edit_Forma1")->setText(QStringLiteral("przelew 14 dni"));
        click(d, "SB_Firma");
        EXPECT_EQ(in<QLabel>(d, "Label_Skrot")->text(), QStringLiteral("Beta"));
        EXPECT_EQ(in<QLabel>(d, "Label_Miejscowosc")->text(), QStringLiteral("Kraków"));
        EXPECT_EQ(in<QLabel>(d, "Label_NIP")->text(), QStringLiteral("123-45-67-890"));
        EXPECT_EQ(in<QLineEdit>(d, "Edit_Forma1")->text(), QStringLiteral("przelew 14 dni"));
        click(d, "SB_Kontakt");
        EXPECT_EQ(in<QLabel>(d, "Label_Kontakt")->text(), QStringLiteral("Nowak 12 345 67 89"));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(setting(QStringLiteral("Pelk_Firma_Nr")).toInt(), beta);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Kontakt_Nr")).toInt(), phone);
    EXPECT_EQ(setting(QStringLiteral("Pelk_Zam_Od_Forma_plat")).toString(),
              QStringLiteral("przelew 14 dni"));
}

TEST_F(PreferencesTest, TheDefaultCatalogueIsAFolderWithTheCatalogueTables) {
    startProgram();
    const QString second = main + QStringLiteral("/Dane/Druga");
    const QString broken = main + QStringLiteral("/Dane/BezDanych");
    QDir().mkpath(second);
    QDir().mkpath(broken);
    store::createCatalogue(second);
    store::createCatalogue(broken);
    engine::Database::open(broken)->dropTable(QStringLiteral("Dane"));
    auto pick = [this](const QString& folder) {
        runner.on<shell::TOtworz_Baze>([folder](shell::TOtworz_Baze& p) {
            EXPECT_EQ(p.windowTitle(), QStringLiteral("Lokalizacja podstawowej bazy danych"));
            ASSERT_TRUE(p.showFolder(folder));
            click(p, "BB_Wybierz");
        });
    };
    pick(broken);
    pick(second);
    openPreferences([&](TEkr_Preferencje& d) {
        showPage(d, "TS_Domyslne");
        auto* shown = in<QLabel>(d, "Label_Baza");
        EXPECT_EQ(shown->text(), QDir::toNativeSeparators(catalogue));
        click(d, "SB_Baza");
        EXPECT_EQ(
            messages.last().text,
            QStringLiteral("W wybranym folderze nie ma bazy danych programu (tabeli Dane) !"));
        EXPECT_EQ(shown->text(), QDir::toNativeSeparators(catalogue));
        click(d, "SB_Baza");
        EXPECT_EQ(shown->text(), QDir::toNativeSeparators(second));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(messages.last().text, QStringLiteral("Zmiana podstawowej bazy danych zostanie "
                                                   "uwzględniona po ponownym uruchomieniu "
                                                   "programu."));
    EXPECT_EQ(setting(QStringLiteral("Pelk_Katalog_Glowny")).toString(),
              QDir::toNativeSeparators(QStringLiteral("Dane/Druga")))
        << "inside the main folder: relative";
    EXPECT_EQ(window->state().DefaultCatalogueFolder, catalogue) << "until the next start";

    // Saved again without choosing: the stored text stays as it is and nothing is said.
    messages.clear();
    openPreferences([&](TEkr_Preferencje& d) {
        EXPECT_EQ(in<QLabel>(d, "Label_Baza")->text(), QDir::toNativeSeparators(second));
        in<QCheckBox>(d, "CB_Podpis")->click();
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(PreferencesTest, TheLogoIsStoredAsTheFilesBytesAndShownWithinItsFrame) {
    startProgram();
    QImage wide(660, 40, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    const QString png = tmp.path() + QStringLiteral("/logo.png");
    ASSERT_TRUE(wide.save(png, "PNG"));
    const QString text = tmp.path() + QStringLiteral("/logo.bmp");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("nie rysunek");
    }
    files.answers = {text, png};
    openPreferences([&](TEkr_Preferencje& d) {
        auto* logo = in<QLabel>(d, "Image_Logo");
        click(d, "BB_Z_dysku");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Wybrany plik nie jest rysunkiem BMP, PNG ani JPEG !"));
        EXPECT_FALSE(d.changed());
        click(d, "BB_Z_dysku");
        EXPECT_TRUE(d.changed());
        EXPECT_EQ(logo->pixmap().size(), QSize(330, 20)) << "in proportion within 330 x 80";
        click(d, "BB_Zapisz");
    });
    QFile f(png);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(store::Settings(main).bytes(QStringLiteral("Pelk_Logo")), f.readAll());
}

TEST_F(PreferencesTest, HeaderIsEditedInTheProgramsEditorAndRefreshedOnRequest) {
    startProgram();
    const QString header = QDir(main).filePath(QStringLiteral("naglowek.rtf"));
    openPreferences([&](TEkr_Preferencje& d) {
        showPage(d, "TS_Raporty");
        auto* refresh = in<QPushButton>(d, "BB_Odswiez_Naglowek");
        EXPECT_FALSE(refresh->isEnabled());
        click(d, "BB_Edytuj_Naglowek");
        offers::TMainForm* editor = d.documentEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(editor->windowModality(), Qt::ApplicationModal);
        EXPECT_TRUE(refresh->isEnabled());
        // What the editor saves is what "Odśwież" shows.
        editor->textArea()->setPlainText(QStringLiteral("Nowy nagłówek firmy"));
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("Nowy nagłówek firmy"));
        ASSERT_TRUE(editor->writeDocument(doc));
        editor->textArea()->document()->setModified(false);
        editor->close();
        click(d, "BB_Odswiez_Naglowek");
        EXPECT_EQ(in<QTextEdit>(d, "RE_Naglowek")->toPlainText(),
                  QStringLiteral("Nowy nagłówek firmy"));
        EXPECT_FALSE(refresh->isEnabled());
        EXPECT_FALSE(d.changed()) << "the file is saved by the editor, not by the dialog";
    });
    QTextDocument stored;
    ASSERT_TRUE(offers::loadDocument(header, stored, nullptr));
    EXPECT_EQ(stored.toPlainText(), QStringLiteral("Nowy nagłówek firmy"));
}

} // namespace
