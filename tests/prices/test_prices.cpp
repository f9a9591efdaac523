// Purchase prices: the item's lines on their working copy (one per supplier, dated when changed,
// written back as a whole) and the dialog over them: opening on the default supplier, adding,
// editing in the grid, clearing, the date box, the closing question and the price right.
#include "engine/database.h"
#include "engine/table.h"
#include "platform/clock.h"
#include "platform/worktables.h"
#include "prices/Akt_ceny.h"
#include "prices/pricelinesmodel.h"
#include "prices/pricesheet.h"
#include "support/rows.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QTableView>

using prices::PriceField;
using prices::PriceLinesModel;
using prices::PriceSheet;
using prices::TEkr_ceny;
using testsupport::addRow;

namespace {

const QDate kToday(2024, 5, 17);
const QDate kOld(2020, 1, 2);

class PricesTest : public CatalogueDialogTest {
protected:
    PricesTest() : clockGuard_(clock) {
        state.PriceRight = true;
        zloty =
            addRow(folder, "Waluta", {{"Waluta_Nazwa", "PLN"}, {"Waluta_Kurs", 1.0}}, "Waluta_Nr");
        euro =
            addRow(folder, "Waluta", {{"Waluta_Nazwa", "EUR"}, {"Waluta_Kurs", 4.0}}, "Waluta_Nr");
        state.HomeCurrencyNr = zloty;
        alfa = company("Alfa", "Kraków");
        beta = company("Beta", "Gdańsk");
        gamma = company("Gamma", "Opole");
        lamp = addRow(folder, "Towar", {{"Tow_Nazwa", "Lampa"}}, "Tow_nr");
        shade = addRow(folder, "Towar", {{"Tow_Nazwa", "Klosz"}}, "Tow_nr");
        state.CurrentItemNr = lamp;
    }

    void drop(const char* table, int nr) {
        engine::Table t(folder, QLatin1String(table));
        t.open();
        ASSERT_TRUE(t.findKey({nr}));
        t.remove();
    }
    int company(const char* name, const char* town) {
        return addRow(folder, "Firmy",
                      {{"Firma_Skrot", name}, {"Firma_Miejscowosc", QString::fromUtf8(town)}},
                      "Firma_Nr");
    }
    void price(int item, int companyNr, double a, int currency, const QString& remark = {}) {
        addRow(folder, "Cena",
               {{"Cena_Tow_Nr", item},
                {"Cena_Firma_Nr", companyNr},
                {"Cena_1", a},
                {"Cena_SRP", a * 2},
                {"Cena_Waluta_Nr", currency},
                {"Cena_Data", kOld},
                {"Cena_Uwaga", remark}});
    }

    // The item's Cena rows in their order: "number company A B C SRP currency date remark".
    QStringList stored(int item, bool withNumbers = false) {
        QStringList out;
        engine::Table t(folder, QStringLiteral("Cena"));
        t.setIndexFieldNames(QStringLiteral("Cena_Tow_Nr;Cena_nr"));
        t.open();
        t.setRange({item});
        for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
            QStringList f;
            if (withNumbers) f << t.asString(QStringLiteral("Cena_nr"));
            for (const char* name : {"Cena_Firma_Nr", "Cena_1", "Cena_2", "Cena_3", "Cena_SRP",
                                     "Cena_Waluta_Nr", "Cena_Data", "Cena_Uwaga"})
                f << t.asString(QLatin1String(name));
            out << f.join(u' ');
        }
        return out;
    }
    QStringList workTables() {
        if (!engine::Database::exists(state.TempFolder)) return {};
        QStringList out = engine::Database::open(state.TempFolder)->tables();
        out.removeAll(platform::WorkTables::kRegistryTable);
        return out;
    }

    void run(const std::function<void(TEkr_ceny&)>& play) {
        runner.on<TEkr_ceny>(play);
        TEkr_ceny dialog(state);
        ui::modalRunner().run(dialog);
    }

    static QAbstractItemModel* grid(QDialog& d) {
        return child<QTableView>(d, "DBGrid_Ceny")->model();
    }
    static bool type(QDialog& d, int line, int column, const QVariant& value) {
        return grid(d)->setData(grid(d)->index(line, column), value, Qt::EditRole);
    }
    // The shown lines: company, A, B, C, SRP, currency.
    static QStringList shown(QDialog& d) {
        QStringList out;
        auto* m = grid(d);
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            out << cells.join(u'|');
        }
        return out;
    }
    static void pickCompany(QDialog& d, const char* name) {
        child<QLineEdit>(d, "Edit_Szukaj")->setText(QString::fromUtf8(name));
    }
    static QString selectedCompany(QDialog& d) {
        return child<ui::DbGrid>(d, "DBGrid_Firmy")->dataSet()->asString("Firma_Skrot");
    }

    platform::FakeClock clock{kToday};
    int zloty, euro, alfa, beta, gamma, lamp, shade;

private:
    platform::ScopedClock clockGuard_;
};

// --- The lines, below the dialog ----------------------------------------------------------------

TEST_F(PricesTest, TheSheetCopiesTheItemsLinesInSupplierOrderAndWritesThemBackAsAWhole) {
    const int gone = company("Zeta", "Łódź");
    price(lamp, beta, 2.5, euro, QStringLiteral("od 10 szt."));
    price(lamp, alfa, 7, zloty);
    price(lamp, gone, 1, zloty);
    price(shade, alfa, 3, zloty);
    drop("Firmy", gone);
    PriceSheet sheet(folder, state.TempFolder, lamp);
    sheet.open();
    ASSERT_EQ(sheet.lines().size(), 3);
    EXPECT_EQ(sheet.lines()[0].companyName, QString()) << "a company that is gone has no name";
    EXPECT_EQ(sheet.lines()[1].companyName, QStringLiteral("Alfa"));
    const prices::PriceLine& b = sheet.lines()[2];
    EXPECT_EQ(
        QVariantList({b.companyNr, b.price1, b.price2, b.srp, b.currencyNr, b.date, b.remark}),
        QVariantList({beta, 2.5, QVariant(), 5.0, euro, kOld, "od 10 szt."}));
    EXPECT_TRUE(workTables().contains(sheet.workTableName()));
    EXPECT_TRUE(sheet.workTableName().startsWith(QStringLiteral("Cen")));

    const QStringList before = stored(lamp);
    const QStringList shadeBefore = stored(shade, true);
    sheet.save();
    EXPECT_EQ(stored(lamp).size(), 3);
    for (const QString& row : before)
        EXPECT_TRUE(stored(lamp).contains(row)) << row.toStdString();
    EXPECT_EQ(stored(shade, true), shadeBefore) << "another item's prices stay as they were";
    EXPECT_TRUE(sheet.setRemark(1, QString(40, u'x'), kToday));
    EXPECT_EQ(sheet.lines()[1].remark.size(), prices::kRemarkLength) << "cut to Cena_Uwaga";
    sheet.close();
    EXPECT_TRUE(workTables().isEmpty());
}

// --- The dialog ---------------------------------------------------------------------------------

TEST_F(PricesTest, OpeningAndClosingWithoutChangesLeavesCenaUntouchedAndAsksNothing) {
    price(lamp, beta, 2.5, euro);
    price(lamp, alfa, 7, zloty);
    const QStringList before = stored(lamp, true);
    for (const char* way : {"BB_Powrot", "Esc"}) {
        run([&](TEkr_ceny& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Obiekt / Ceny"));
            EXPECT_EQ(child<QLabel>(d, "Label_Obiekt")->text(), QStringLiteral("Lampa"));
            EXPECT_EQ(child<QLineEdit>(d, "Edit_Data")->text(), QStringLiteral("17-05-2024"));
            EXPECT_EQ(shown(d), (QStringList{"Alfa|7,00|||14,00|PLN", "Beta|2,50|||5,00|EUR"}));
            EXPECT_FALSE(d.changed());
            if (QLatin1String(way) == QLatin1String("Esc"))
                d.reject();
            else
                click(d, way);
        });
        EXPECT_EQ(stored(lamp, true), before) << way;
    }
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(PricesTest, AddingASupplierTwiceGivesOneRow) {
    price(lamp, beta, 2.5, euro);
    run([&](TEkr_ceny& d) {
        pickCompany(d, "Ga");
        EXPECT_EQ(selectedCompany(d), QStringLiteral("Gamma"));
        EXPECT_EQ(child<QLabel>(d, "DBText_Miejscowosc")->text(), QStringLiteral("Opole"));
        click(d, "BB_Dodaj");
        click(d, "BB_Dodaj");
        pickCompany(d, "Beta");
        click(d, "BB_Dodaj"); // Beta had a line already
        EXPECT_EQ(shown(d), (QStringList{"Beta|2,50|||5,00|EUR", "Gamma|||||PLN"}));
        EXPECT_EQ(d.currentLine(), 1) << "the grid stands on the new line";
        EXPECT_TRUE(d.changed());
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(stored(lamp), (QStringList{QString("%1 2,5   5 %2 02-01-2020 ").arg(beta).arg(euro),
                                         QString("%1     %2 17-05-2024 ").arg(gamma).arg(zloty)}));
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(PricesTest, UsunRemovesTheCurrentLineAndWyczyscWithZapiszEveryPrice) {
    price(lamp, beta, 2.5, euro);
    price(lamp, alfa, 7, zloty);
    price(shade, alfa, 3, zloty);
    const QStringList shadeBefore = stored(shade, true);
    run([&](TEkr_ceny& d) {
        child<QTableView>(d, "DBGrid_Ceny")->setCurrentIndex(grid(d)->index(1, 1));
        click(d, "BB_Usun");
        EXPECT_EQ(shown(d), QStringList{"Alfa|7,00|||14,00|PLN"});
        click(d, "BB_Zapisz");
    });
    ASSERT_EQ(stored(lamp).size(), 1);
    EXPECT_TRUE(stored(lamp)[0].startsWith(QString::number(alfa) + u' '));
    run([&](TEkr_ceny& d) {
        click(d, "BB_Wyczysc");
        EXPECT_TRUE(shown(d).isEmpty());
        for (const char* off : {"BB_Usun", "BB_Wyczysc", "DBGrid_Ceny"})
            EXPECT_FALSE(child<QWidget>(d, off)->isEnabled()) << off;
        click(d, "BB_Zapisz");
    });
    EXPECT_TRUE(stored(lamp).isEmpty());
    EXPECT_EQ(stored(shade, true), shadeBefore);
}

TEST_F(PricesTest, TheDefaultSupplierOpensOnItsRowAndTheBoxSetsIt) {
    price(lamp, alfa, 7, zloty);
    price(lamp, beta, 2.5, euro);
    price(lamp, gamma, 1, zloty);
    state.DefaultSupplierNr = beta;
    run([&](TEkr_ceny& d) {
        EXPECT_EQ(d.currentLine(), 1);
        EXPECT_EQ(grid(d)->index(d.currentLine(), 0).data().toString(), QStringLiteral("Beta"));
        EXPECT_EQ(selectedCompany(d), QStringLiteral("Beta"));
        auto* box = child<QCheckBox>(d, "CheckBox_Domyslna");
        EXPECT_TRUE(box->isChecked());
        box->click();
        EXPECT_EQ(state.DefaultSupplierNr, 0);
        pickCompany(d, "Gamma");
        box->click();
        EXPECT_EQ(state.DefaultSupplierNr, gamma);
    });
    state.DefaultSupplierNr = 0;
    run([&](TEkr_ceny& d) {
        EXPECT_FALSE(child<QCheckBox>(d, "CheckBox_Domyslna")->isChecked());
        EXPECT_EQ(d.currentLine(), 0);
    });
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(PricesTest, TheDateBoxDateIsStoredOnlyInChangedRows) {
    price(lamp, alfa, 7, zloty);
    price(lamp, beta, 2.5, euro);
    price(lamp, gamma, 1, zloty);
    runner.on("TEkr_Kalendarz", [&](QDialog&) {
        state.DatePicked = true;
        state.PickedDate = QStringLiteral("03-04-2023");
    });
    runner.on("TEkr_Kalendarz"); // cancelled: the date stays
    run([&](TEkr_ceny& d) {
        click(d, "BB_Data");
        click(d, "BB_Data");
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Data")->text(), QStringLiteral("03-04-2023"));
        EXPECT_TRUE(type(d, 0, PriceLinesModel::PriceB, QStringLiteral("1,75")));
        EXPECT_TRUE(type(d, 2, PriceLinesModel::CurrencyName, euro));
        EXPECT_TRUE(type(d, 1, PriceLinesModel::PriceA, QStringLiteral("2,5"))) << "unchanged";
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(stored(lamp),
              (QStringList{QString("%1 7 1,75  14 %2 03-04-2023 ").arg(alfa).arg(zloty),
                           QString("%1 2,5   5 %2 02-01-2020 ").arg(beta).arg(euro),
                           QString("%1 1   2 %2 03-04-2023 ").arg(gamma).arg(euro)}));
}

// The program has one date picker: the prices of another item, in a dialog of its own, open it on
// the date the first dialog left it at, not on today.
TEST_F(PricesTest, TheDatePickerKeepsItsDateFromOneDialogToTheNext) {
    runner.on("TEkr_Kalendarz", [&](QDialog& d) {
        auto* calendar = d.findChild<QCalendarWidget*>(QStringLiteral("Kalendarz"));
        EXPECT_EQ(calendar->selectedDate(), kToday);
        calendar->setSelectedDate(QDate(2023, 4, 3));
        child<QPushButton>(d, "BB_Wybierz")->click();
    });
    run([&](TEkr_ceny& d) {
        click(d, "BB_Data");
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Data")->text(), QStringLiteral("03-04-2023"));
    });

    state.CurrentItemNr = shade;
    runner.on("TEkr_Kalendarz", [&](QDialog& d) {
        auto* calendar = d.findChild<QCalendarWidget*>(QStringLiteral("Kalendarz"));
        EXPECT_EQ(calendar->selectedDate(), QDate(2023, 4, 3)) << "where the last one ended";
        child<QPushButton>(d, "BB_Anuluj")->click();
    });
    run([&](TEkr_ceny& d) {
        click(d, "BB_Data");
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Data")->text(), platform::dateText(kToday))
            << "cancelled: the dialog keeps its own date";
    });
}

TEST_F(PricesTest, APriceThatIsNoNumberIsRefusedAndTheLineKeepsItsValue) {
    price(lamp, alfa, 7, zloty);
    run([&](TEkr_ceny& d) {
        EXPECT_FALSE(type(d, 0, PriceLinesModel::PriceA, QStringLiteral("7 zł")));
        EXPECT_EQ(messages.last().text, QStringLiteral("Wprowadzona dana nie jest liczbą !"));
        EXPECT_FALSE(d.changed());
        EXPECT_FALSE(grid(d)->flags(grid(d)->index(0, PriceLinesModel::Company)) &
                     Qt::ItemIsEditable);
        EXPECT_TRUE(type(d, 0, PriceLinesModel::PriceSrp, QStringLiteral("12.5")));
        EXPECT_TRUE(type(d, 0, PriceLinesModel::PriceA, QString()));
        EXPECT_EQ(shown(d), QStringList{"Alfa||||12,50|PLN"});
        // Grouped thousands are typed as they are shown.
        EXPECT_TRUE(type(d, 0, PriceLinesModel::PriceB, QStringLiteral("1 200,50")));
        EXPECT_EQ(shown(d), QStringList{QString::fromUtf8("Alfa||1\u202F200,50||12,50|PLN")});
        EXPECT_TRUE(type(d, 0, PriceLinesModel::PriceB, QString()));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(stored(lamp), QStringList{QString("%1    12,5 %2 17-05-2024 ").arg(alfa).arg(zloty)});
}

TEST_F(PricesTest, ClosingWithChangesAsksWhetherToSave) {
    price(lamp, alfa, 7, zloty);
    const QStringList before = stored(lamp, true);
    messages.answerNo();
    run([&](TEkr_ceny& d) {
        auto* remark = child<QLineEdit>(d, "DBEdit_Uwagi");
        remark->setFocus();
        typeText(remark, QStringLiteral("pilne"));
        click(d, "BB_Powrot");
    });
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany ?"));
    EXPECT_EQ(stored(lamp, true), before);

    messages.answerYes();
    run([&](TEkr_ceny& d) {
        auto* remark = child<QLineEdit>(d, "DBEdit_Uwagi");
        remark->setText(QStringLiteral("pilne"));
        Q_EMIT remark->textEdited(remark->text());
        d.reject();
    });
    EXPECT_EQ(stored(lamp),
              QStringList{QString("%1 7   14 %2 17-05-2024 pilne").arg(alfa).arg(zloty)});
}

TEST_F(PricesTest, PricesAreWrittenForTheItemTakenAtOpeningAndNotOnceItIsGone) {
    price(shade, alfa, 3, zloty);
    const QStringList shadeBefore = stored(shade, true);
    run([&](TEkr_ceny& d) {
        state.CurrentItemNr = shade; // the main window moves on meanwhile
        pickCompany(d, "Beta");
        click(d, "BB_Dodaj");
        click(d, "BB_Zapisz");
    });
    ASSERT_EQ(stored(lamp).size(), 1);
    EXPECT_TRUE(stored(lamp)[0].startsWith(QString::number(beta) + u' '));
    EXPECT_EQ(stored(shade, true), shadeBefore);

    state.CurrentItemNr = lamp;
    run([&](TEkr_ceny& d) {
        click(d, "BB_Wyczysc");
        drop("Towar", lamp);
        click(d, "BB_Zapisz");
        EXPECT_EQ(messages.last().text, QStringLiteral("Obiekt został usunięty przez innego "
                                                       "użytkownika. Zapis nie jest możliwy !"));
        EXPECT_TRUE(d.isVisible());
        click(d, "BB_Anuluj");
    });
    EXPECT_EQ(stored(lamp).size(), 1) << "nothing written";
}

TEST_F(PricesTest, WithoutCompaniesNothingCanBeAdded) {
    for (int nr : {alfa, beta, gamma})
        drop("Firmy", nr);
    run([&](TEkr_ceny& d) {
        EXPECT_FALSE(child<QPushButton>(d, "BB_Dodaj")->isEnabled());
        EXPECT_FALSE(child<QWidget>(d, "DBGrid_Firmy")->isEnabled());
        // Disabled with no company to add; the handler refuses on its own too.
        d.BB_DodajClick();
        EXPECT_TRUE(shown(d).isEmpty());
        EXPECT_FALSE(d.changed());
    });
}

TEST_F(PricesTest, APolishLetterTypedInTheSupplierListStartsTheSearch) {
    company("Śnieżka", "Łódź");
    run([&](TEkr_ceny& d) {
        auto* list = child<ui::DbGrid>(d, "DBGrid_Firmy");
        list->setFocus();
        typeText(list, QStringLiteral("Ś"));
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Szukaj")->text(), QStringLiteral("Ś"));
        EXPECT_EQ(selectedCompany(d), QStringLiteral("Śnieżka"));
    });
}

} // namespace
