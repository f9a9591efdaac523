// The dialogs whose frame comes from a Designer form: every control the handlers and the tests
// reach by name is there with its caption, Tab goes through the controls in the designed order,
// and the dialog fits a 1024 x 700 screen, also with fonts at 150 %.
#include "engine/table.h"
#include "items/Ak_towar.h"
#include "partners/Ak_firma.h"
#include "prices/Akt_ceny.h"
#include "relations/Akt_skl.h"
#include "shell/Serwer.h"
#include "ui/cataloguetest.h"
#include <QAbstractButton>
#include <QLayout>
#include <functional>
#include <memory>

namespace {

const QSize kScreen(1024, 700);

struct Form {
    const char* dialog;
    std::function<std::unique_ptr<QDialog>(store::MainState&)> make;
    // "name" or "name=caption" for the controls that must be there.
    QStringList controls;
    // The controls in the order Tab reaches them.
    QStringList tabOrder;
    bool laidOut = true; // false: the geometry is computed, not left to layouts
};

QList<Form> forms() {
    return {
        {"TEkr_ceny",
         [](store::MainState& s) { return std::make_unique<prices::TEkr_ceny>(s); },
         {"Label_Obiekt", "DBGrid_Ceny", "DBEdit_Uwagi", "GroupBox_Firmy", "Edit_Szukaj",
          "BB_Firmy=...", "DBGrid_Firmy", "DBText_Miejscowosc", "DBText_Ulica",
          "CheckBox_Domyslna=Ustaw firmę jako domyślną", "BB_Dodaj=Dodaj", "BB_Usun=Usuń",
          "BB_Wyczysc=Wyczyść", "GroupBox_Data", "Edit_Data", "BB_Data=...", "BB_Zapisz=Zapisz",
          "BB_Anuluj=Anuluj", "BB_Powrot=Powrót"},
         {"DBGrid_Ceny", "DBEdit_Uwagi", "Edit_Szukaj", "BB_Firmy", "DBGrid_Firmy",
          "CheckBox_Domyslna", "BB_Dodaj", "BB_Usun", "BB_Wyczysc", "Edit_Data", "BB_Data",
          "BB_Zapisz", "BB_Anuluj", "BB_Powrot"}},
        {"TEkr_Sklada_sie",
         [](store::MainState& s) { return std::make_unique<relations::TEkr_Sklada_sie>(s); },
         {"Label_Obiekt", "DBGrid_Pozycje", "BB_Dodaj=Dodaj", "BB_Usun=Usuń", "BB_Wyczysc=Wyczyść",
          "Edit_Szukaj_Towar", "Wyswietlaj_wg", "DBGrid_Towary", "BB_Powrot=Powrót",
          "BB_Anuluj=Anuluj", "BB_Zapisz=Zapisz", "BB_Nowy=Nowy obiekt ..."},
         {"DBGrid_Pozycje", "BB_Dodaj", "BB_Usun", "BB_Wyczysc", "Edit_Szukaj_Towar",
          "Wyswietlaj_wg", "DBGrid_Towary", "BB_Powrot", "BB_Anuluj", "BB_Zapisz", "BB_Nowy"}},
        {"TEkr_Aktualizacja_Towar",
         [](store::MainState& s) { return std::make_unique<items::TEkr_Aktualizacja_Towar>(s); },
         {"Edit_Grupa",
          "Edit_Towar",
          "Edit_Nazwa2",
          "Edit_Kod_Tow",
          "Edit_Producent",
          "Edit_Kod_Prod",
          "Edit_Ilosc",
          "Combo_jm",
          "Combo_VAT",
          "Edit_Cena",
          "Edit_Cena_A",
          "Edit_Cena_B",
          "Edit_Cena_C",
          "BB_Grupy=...",
          "BB_Producenci=...",
          "BB_Powrot=Powrót",
          "BB_Zapisz=Zapisz",
          "BB_Anuluj=Anuluj",
          "Panel_Przyciski",
          "BB_Wlasnosci=Własności ...",
          "BB_Wchodzi=Wchodzi do ...",
          "BB_Sklada=Składa się ...",
          "BB_Zamienniki=Zamienniki ...",
          "BB_Rysunki=Rysunki ...",
          "BB_Ceny=Ceny zakupu /..."},
         {"Edit_Grupa",    "Edit_Towar",   "Edit_Nazwa2", "Edit_Kod_Tow", "Edit_Producent",
          "Edit_Kod_Prod", "Edit_Ilosc",   "Combo_jm",    "Combo_VAT",    "Edit_Cena",
          "Edit_Cena_A",   "Edit_Cena_B",  "Edit_Cena_C", "BB_Powrot",    "BB_Zapisz",
          "BB_Anuluj",     "BB_Wlasnosci", "BB_Wchodzi",  "BB_Sklada",    "BB_Zamienniki",
          "BB_Rysunki",    "BB_Ceny"},
         false},
        {"TEkr_Aktualizacja_Firma",
         [](store::MainState& s) { return std::make_unique<partners::TEkr_Aktualizacja_Firma>(s); },
         {"PageControl_Firma",
          "TabSheet_Adres",
          "TabSheet_Dodatkowe",
          "TabSheet_Kontakty",
          "DBText_Skrot",
          "DBText_Platnosci",
          "DBText_Uwagi",
          "Edit_Skrot",
          "Edit_Nazwa1",
          "Edit_Nazwa2",
          "Edit_Nazwa3",
          "Edit_Panstwo",
          "Edit_Miejscowosc",
          "Edit_Kod",
          "Edit_Ulica",
          "Edit_Regon",
          "Edit_NIP",
          "Edit_Bank",
          "Edit_Konto",
          "Edit_Platnosci",
          "Edit_Naleznosci",
          "Edit_Uwagi",
          "BB_Panstwo=...",
          "BB_Miasto=...",
          "DBGrid_Telefon",
          "BB_Kontakty=Kontakty",
          "BB_WWW=Połącz ze stroną WWW",
          "BB_Email=Wyślij e-mail",
          "ComboBox_Wg",
          "BB_Schowek=Do schowka"},
         {"Edit_Skrot", "Edit_Nazwa1", "Edit_Nazwa2", "Edit_Nazwa3", "Edit_Panstwo",
          "Edit_Miejscowosc", "Edit_Kod", "Edit_Ulica", "Edit_Regon", "Edit_NIP", "Edit_Bank",
          "Edit_Konto", "Edit_Platnosci", "Edit_Naleznosci", "Edit_Uwagi", "DBGrid_Telefon",
          "BB_Kontakty", "BB_WWW", "BB_Email"}},
        {"TEkr_Serwer",
         [](store::MainState&) { return std::make_unique<shell::TEkr_Serwer>(); },
         {"Edit_Adres", "BB_Szukaj=Szukaj", "ListBox_Katalogi", "BB_Wybierz=Wybierz",
          "BB_Anuluj=Anuluj"},
         {"Edit_Adres", "BB_Szukaj", "ListBox_Katalogi", "BB_Wybierz", "BB_Anuluj"}},
    };
}

// The place of each widget in the dialog's Tab chain.
QHash<QWidget*, int> tabPlaces(QWidget* dialog) {
    QHash<QWidget*, int> out;
    int at = 0;
    for (QWidget* w = dialog->nextInFocusChain(); w != dialog && !out.contains(w);
         w = w->nextInFocusChain())
        out.insert(w, at++);
    return out;
}

class DialogFormsTest : public CatalogueDialogTest {
protected:
    DialogFormsTest() {
        state.PriceRight = true;
        auto& d = state.Display;
        d.panelBasic = d.panelProducer = d.panelQuantity = d.panelPrices = d.panelVisible = true;
        engine::Table towar(folder, QStringLiteral("Towar"));
        towar.open();
        towar.append();
        towar.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Lampa"));
        towar.post();
        state.CurrentItemNr = towar.asInteger(QStringLiteral("Tow_nr"));
        state.CurrentItemName = QStringLiteral("Lampa");
    }
};

TEST_F(DialogFormsTest, NamedControlsTabOrderAndScreenFit) {
    for (const Form& f : forms()) {
        SCOPED_TRACE(f.dialog);
        auto dialog = f.make(state);
        dialog->show();
        for (const QString& entry : f.controls) {
            const QString name = entry.section(u'=', 0, 0);
            auto* w = dialog->findChild<QWidget*>(name);
            ASSERT_NE(w, nullptr) << name.toStdString();
            if (entry.contains(u'=')) {
                auto* button = qobject_cast<QAbstractButton*>(w);
                ASSERT_NE(button, nullptr) << name.toStdString();
                EXPECT_EQ(button->text(), entry.section(u'=', 1)) << name.toStdString();
            }
            if (!w->isVisibleTo(dialog.get())) continue;
            const QRect at(w->mapTo(dialog.get(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(dialog->rect().contains(at)) << name.toStdString() << " lies outside";
        }
        const auto places = tabPlaces(dialog.get());
        int previous = -1;
        for (const QString& name : f.tabOrder) {
            auto* w = dialog->findChild<QWidget*>(name);
            ASSERT_TRUE(places.contains(w)) << name.toStdString();
            EXPECT_GT(places.value(w), previous) << name.toStdString() << " out of Tab order";
            previous = places.value(w);
        }
        EXPECT_LE(dialog->width(), kScreen.width());
        EXPECT_LE(dialog->height(), kScreen.height());
        if (f.laidOut) {
            QFont larger = dialog->font();
            larger.setPointSizeF(larger.pointSizeF() * 1.5);
            dialog->setFont(larger);
            dialog->layout()->activate();
            const QSize least = dialog->minimumSizeHint();
            EXPECT_LE(least.width(), kScreen.width());
            EXPECT_LE(least.height(), kScreen.height());
        }
        dialog->hide();
    }
}

} // namespace
