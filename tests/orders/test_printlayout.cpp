#include "documents/painter.h"
#include "orders/orderlayout.h"
#include "orders/printfixture.h"
#include "support/application.h"
#include "support/pdftext.h"
#include "support/printing.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace orders;
using documents::Align;
using documents::Page;

namespace {

class PrintLayoutTest : public ::testing::Test {
protected:
    PrintLayoutTest() { testsupport::application<QGuiApplication>(); }

    OrderPrintData load(qint64 nr, int user = 0) {
        auto d = loadOrderPrintData(f.main, f.catalogue, nr, user);
        EXPECT_TRUE(d.has_value());
        return d.value_or(OrderPrintData{});
    }

    static OrderPrintData withLines(int count, int kind = 1) {
        OrderPrintData d;
        d.kind = kind;
        d.number = QStringLiteral("9/2024");
        for (int i = 1; i <= count; ++i)
            d.lines.append({QStringLiteral("Pozycja %1").arg(i),
                            QStringLiteral("S%1").arg(i),
                            QStringLiteral("K%1").arg(i),
                            QStringLiteral("szt"),
                            QString::number(i),
                            {}});
        return d;
    }

    printtest::PrintFolder f;
};

const documents::Element& at(const Page& p, const char* name) {
    const auto* e = p.find(QString::fromLatin1(name));
    if (!e) throw std::runtime_error(std::string("no element ") + name);
    return *e;
}

// Millimetres from the paper's corner: the printable area starts 10 mm in.
void expectBox(const Page& p, const char* name, double x, double y, double w, double h) {
    const QRectF b = at(p, name).box;
    EXPECT_NEAR(b.x(), x + 10, 0.05) << name;
    EXPECT_NEAR(b.y(), y + 10, 0.05) << name;
    if (w >= 0) {
        EXPECT_NEAR(b.width(), w, 0.05) << name;
    }
    if (h >= 0) {
        EXPECT_NEAR(b.height(), h, 0.05) << name;
    }
}

void expectRightEdge(const Page& p, const char* name, double right) {
    EXPECT_EQ(at(p, name).align, Align::Right) << name;
    EXPECT_NEAR(at(p, name).box.right(), right + 10, 0.05) << name;
}

void expectCentredBetween(const Page& p, const char* name, double from, double to) {
    EXPECT_EQ(at(p, name).align, Align::Centre) << name;
    EXPECT_NEAR(at(p, name).box.left(), from + 10, 0.05) << name;
    EXPECT_NEAR(at(p, name).box.right(), to + 10, 0.05) << name;
}

} // namespace

TEST_F(PrintLayoutTest, ClientOrderPlacesHeaderLinesAndFooterWhereTheFormHasThem) {
    const auto pages = clientOrderReport(load(f.order(1, 7, 2))).layout();
    ASSERT_EQ(pages.size(), 1);
    const Page& p = pages[0];

    // The four boxes of the header and the heading box.
    expectBox(p, "Ramka_Zamawiajacy", 0, 0, 91.3, 27.8);
    expectBox(p, "Ramka_Odbierajacy", 91, 0, 99, 27.8);
    expectBox(p, "Ramka_Wlasciciel", 0, 27.5, 91.3, 27.8);
    expectBox(p, "Ramka_Zamowienie", 91, 27.5, 99, 27.8);
    expectBox(p, "Ramka_Naglowek", 0, 55, 190, 13.5);
    EXPECT_EQ(at(p, "Zamawiajacy.Firma_Nazwa1").text, QStringLiteral("Żuraw i Syn"));
    EXPECT_EQ(at(p, "Zamawiajacy.Firma_Miejscowosc").text, QStringLiteral("Łódź"));
    EXPECT_NEAR(at(p, "Zamawiajacy.Firma_Miejscowosc").box.x(), 25.6, 0.05);
    EXPECT_EQ(at(p, "Zamawiajacy.Kontakt").text, QStringLiteral("Pani Żaneta"));
    EXPECT_NEAR(at(p, "Odbiorca.Firma_Nazwa1").box.x(), 103.1, 0.05);
    EXPECT_EQ(at(p, "Odbiorca.Firma_Nazwa1").text, QStringLiteral("Magazyn Centralny"));
    EXPECT_EQ(at(p, "Odbiorca.Kontakt").text, QStringLiteral("Pan Łukasz"));
    EXPECT_TRUE(at(p, "QRLabel_Zamawiajacy").style.bold);
    // Every text of the first boxes stays inside them.
    for (const auto& e : p.elements)
        if (e.name.startsWith(QStringLiteral("Zamawiajacy."))) {
            EXPECT_LE(e.box.bottom(), 10 + 27.8 + 0.01) << e.name.toStdString();
        }

    // The owner, with its contact, and the order's number and facts.
    EXPECT_EQ(at(p, "Wlasciciel.Firma_Nazwa1").text, QStringLiteral("PELK Sp. z o.o."));
    EXPECT_TRUE(at(p, "Wlasciciel.Firma_Nazwa3").style.bold &&
                at(p, "Wlasciciel.Firma_Nazwa3").style.italic);
    expectRightEdge(p, "Telefon_Kontakt", 45.8);
    EXPECT_EQ(at(p, "Telefon_Kontakt").text, QStringLiteral("Jan Nowak"));
    EXPECT_EQ(at(p, "Telefon_Nr_Tel").text, QStringLiteral("58 301 22 33"));
    expectRightEdge(p, "QRLabel_Zamowienie", 137.8);
    EXPECT_EQ(at(p, "QRLabel_Zamowienie").style.points, 16);
    expectCentredBetween(p, "Dok_Numer_Dok", 139.7, 176);
    EXPECT_EQ(at(p, "Dok_Numer_Dok").text, QStringLiteral("7/2024"));
    for (const char* caption : {"QRLabel_z_dnia", "QRLabel_Forma_Platnosci", "QRLabel_Transport"})
        expectRightEdge(p, caption, 118.8);
    EXPECT_NEAR(at(p, "Dok_Data_Wyst").box.x(), 130.7, 0.05);
    EXPECT_EQ(at(p, "Dok_Data_Wyst").text, QStringLiteral("17-05-2024"));
    EXPECT_EQ(at(p, "Dok_Transport").text, QStringLiteral("kurier"));
    EXPECT_NEAR(at(p, "QRLabel_Data_Realizacji").box.x(), 170, 0.05);
    EXPECT_EQ(at(p, "Dok_Data_Realiz").text, QStringLiteral("03-06-2024"));
    EXPECT_GT(at(p, "Dok_Data_Realiz").box.y(), at(p, "QRLabel_Data_Realizacji").box.y());
    EXPECT_EQ(at(p, "Dok_Naglowek1").text, QStringLiteral("Dotyczy oferty 12"));

    // Column headings and the page number.
    expectBox(p, "QRLabel_Nazwa", 2.1, 68.8, -1, -1);
    expectBox(p, "QRLabel_Symbol", 65.6, 68.8, -1, -1);
    expectBox(p, "QRLabel_Kod_Prod", 96.3, 68.8, -1, -1);
    expectCentredBetween(p, "QRLabel_j_m", 127, 137.8);
    expectRightEdge(p, "QRLabel_Ilosc", 150.5);
    expectBox(p, "QRLabel_Uwagi", 152.9, 68.8, -1, -1);
    EXPECT_NEAR(at(p, "QRLabel_Str").box.x(), 183.6, 0.05);
    EXPECT_NEAR(at(p, "Numer_Strony").box.x(), 192, 0.05);
    EXPECT_EQ(at(p, "Numer_Strony").text, QStringLiteral("1"));

    // The lines, 5.3 mm apart, from the header's foot.
    const auto names = p.findAll(QStringLiteral("Dane_Tow_Nazwa"));
    ASSERT_EQ(names.size(), 2);
    EXPECT_NEAR(names[0]->box.x(), 12.1, 0.05);
    EXPECT_NEAR(names[0]->box.y(), 10 + 73 + 0.4, 0.05);
    EXPECT_NEAR(names[1]->box.y() - names[0]->box.y(), 5.3, 0.01);
    EXPECT_EQ(names[0]->text, QStringLiteral("Ążęcik łożyska 1"));
    EXPECT_TRUE(names[0]->style.bold);
    EXPECT_NEAR(at(p, "Dane_Tow_Symbol").box.x(), 75.9, 0.05);
    EXPECT_NEAR(at(p, "Dane_Tow_Kod_Prod").box.x(), 106.6, 0.05);
    expectCentredBetween(p, "Dane_jm", 124.9, 137.8);
    expectRightEdge(p, "Dane_ilosc", 150.5);
    EXPECT_EQ(at(p, "Dane_ilosc").text, QStringLiteral("2,5"));
    EXPECT_NEAR(at(p, "Dane_Uwagi").box.x(), 163.7, 0.05);
    // No column runs into the next one.
    EXPECT_LE(at(p, "Dane_Tow_Nazwa").box.right(), at(p, "Dane_Tow_Symbol").box.left());
    EXPECT_LE(at(p, "Dane_Tow_Symbol").box.right(), at(p, "Dane_Tow_Kod_Prod").box.left());
    EXPECT_LE(at(p, "Dane_Tow_Kod_Prod").box.right(), at(p, "Dane_jm").box.left());

    // The footer at the foot of the page: 68 mm above the bottom margin.
    const double foot = 277 - 68;
    expectBox(p, "Ramka_Stopka", 0, foot + 1.1, 190, 14);
    EXPECT_EQ(at(p, "Dok_Stopka1").text, QStringLiteral("Dziękujemy"));
    expectBox(p, "Ramka_Podpis", 0, foot + 14.8, 190, 32.8);
    expectBox(p, "DBImage_Podpis", 114.3, foot + 15.9, 52.9, 26.5);
    expectBox(p, "Kropki", 110.1, foot + 40, -1, -1);
    expectBox(p, "QRLabel_Podpis", 141.8, foot + 43.9, -1, -1);
    EXPECT_EQ(at(p, "QRLabel_Podpis").style.points, 6);
    expectBox(p, "Ramka_Oprogramowanie", 0, foot + 47.4, 190, 4.8);
    expectBox(p, "QRLabel_Oprogramowanie", 16.9, foot + 47.9, -1, -1);
    EXPECT_TRUE(at(p, "QRLabel_Oprogramowanie")
                    .text.startsWith(QStringLiteral("Oprogramowanie : System Informacji PELK!")));
}

TEST_F(PrintLayoutTest, CaptionsFollowTheLanguageSetting) {
    const auto pl = orderCaptions(QStringLiteral("PL"));
    EXPECT_EQ(pl[QStringLiteral("QRLabel_Zamawiajacy")], QStringLiteral("Zamawiający :"));
    EXPECT_EQ(pl[QStringLiteral("QRLabel_Odbierajacy")], QStringLiteral("Odbiorca :"));
    EXPECT_EQ(pl[QStringLiteral("QRLabel_z_dnia")], QStringLiteral("Z dnia :"));
    EXPECT_EQ(pl[QStringLiteral("QRLabel_Adresat")], QStringLiteral("Adresat :"));

    const auto en = orderCaptions(QStringLiteral("ANG"));
    const std::pair<const char*, const char*> english[] = {
        {"QRLabel_Zamawiajacy", "Purchaser :"},
        {"QRLabel_Odbierajacy", "Recipient :"},
        {"QRLabel_Adresat", "Addressee :"},
        {"QRLabel_Zamowienie", "Order No :"},
        {"QRLabel_z_dnia", "Order Date :"},
        {"QRLabel_Data_Realizacji", "Realization Date :"},
        {"QRLabel_Forma_Platnosci", "Payment :"},
        {"QRLabel_Transport", "Transport :"},
        {"QRLabel_Nazwa", "Name"},
        {"QRLabel_Symbol", "Index"},
        {"QRLabel_Kod_Prod", "Prod ident."},
        {"QRLabel_j_m", "Unit"},
        {"QRLabel_Ilosc", "Quantity"},
        {"QRLabel_Uwagi", "Comments"},
        {"QRLabel_Podpis", "Signature"},
        {"QRLabel_Str", "Page"},
        {"QRLabel_NIP", "VAT No :"},
        {"QRLabel_Konto", "Account :"}};
    for (const auto& [label, text] : english)
        EXPECT_EQ(en[QString::fromLatin1(label)], QString::fromLatin1(text)) << label;

    // Any other value (the comparison is exact) keeps the captions as designed.
    for (const char* other : {"", "pl", "DE"}) {
        const auto design = orderCaptions(QString::fromLatin1(other));
        EXPECT_EQ(design[QStringLiteral("QRLabel_Odbierajacy")], QStringLiteral("Odbierający :"));
        EXPECT_EQ(design[QStringLiteral("QRLabel_z_dnia")], QStringLiteral("Z dnia : "));
        EXPECT_EQ(design[QStringLiteral("QRLabel_Ilosc")], QStringLiteral("Ilość"));
    }

    // The setting reaches the printout.
    f.set(QStringLiteral("Pelk_Wydruk_Jezyk"), QStringLiteral("ANG"));
    const auto pages = clientOrderReport(load(f.order(1, 8, 1))).layout();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(at(pages[0], "QRLabel_Odbierajacy").text, QStringLiteral("Recipient :"));
    EXPECT_EQ(at(pages[0], "QRLabel_Str").text, QStringLiteral("Page"));
}

TEST_F(PrintLayoutTest, ColumnsUnboundBySettingsPrintNothingUnderTheirHeadings) {
    f.set(QStringLiteral("Pelk_Zam_Od_Symb_Wid"), false);
    const qint64 client = f.order(1, 1, 1);
    const Page p = clientOrderReport(load(client)).layout().value(0);
    EXPECT_EQ(at(p, "QRLabel_Symbol").text, QStringLiteral("Symbol"));
    EXPECT_EQ(at(p, "Dane_Tow_Symbol").text, QString());
    EXPECT_EQ(at(p, "Dane_Tow_Kod_Prod").text, QStringLiteral("KOD-1"));

    // The supplier kind has settings of its own.
    f.set(QStringLiteral("Pelk_Zam_Do_Kod_p_Wid"), false);
    const Page s = orderReport(load(f.order(2, 1, 1))).layout().value(0);
    EXPECT_EQ(at(s, "QRDBText22").text, QStringLiteral("SYM-1"));
    EXPECT_EQ(at(s, "QRDBText23").text, QString());
    EXPECT_EQ(at(s, "QRLabel_Kod_Prod").text, QStringLiteral("Kod prod."));
}

TEST_F(PrintLayoutTest, AnOrderWithoutLinesHasNoPages) {
    EXPECT_TRUE(orderReport(load(f.order(1, 3, 0))).layout().isEmpty());
    EXPECT_TRUE(orderReport(load(f.order(2, 3, 0))).layout().isEmpty());
    EXPECT_FALSE(loadOrderPrintData(f.main, f.catalogue, 999, 0).has_value());
}

TEST_F(PrintLayoutTest, LongOrdersRepeatHeaderAndFooterOnEveryPageNumbered) {
    // 277 mm less 73 of header and 68 of footer leaves room for 25 lines of 5.3 mm.
    const auto pages = clientOrderReport(withLines(120)).layout();
    ASSERT_EQ(pages.size(), 5);
    int lines = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const Page& p = pages[i];
        EXPECT_EQ(at(p, "Numer_Strony").text, QString::number(i + 1));
        EXPECT_TRUE(p.find(QStringLiteral("QRLabel_Zamawiajacy")));
        EXPECT_TRUE(p.find(QStringLiteral("Dok_Numer_Dok")));
        EXPECT_TRUE(p.find(QStringLiteral("QRLabel_Oprogramowanie")));
        const auto names = p.findAll(QStringLiteral("Dane_Tow_Nazwa"));
        EXPECT_EQ(names.size(), i < 4 ? 25 : 20);
        EXPECT_LE(names.last()->box.bottom(), at(p, "Ramka_Stopka").box.top());
        EXPECT_EQ(names.first()->text, QStringLiteral("Pozycja %1").arg(lines + 1));
        lines += int(names.size());
    }
    EXPECT_EQ(lines, 120);

    // The supplier layout, with its taller header, breaks likewise.
    const auto supplier = supplierOrderReport(withLines(120, 2)).layout();
    ASSERT_GT(supplier.size(), 5);
    EXPECT_EQ(at(supplier.last(), "Numer_Strony").text, QString::number(supplier.size()));
}

TEST_F(PrintLayoutTest, SignatureOfTheLoggedInUserOnlyWhenTheSettingsWantIt) {
    {
        engine::Table users(f.main, QStringLiteral("Users"));
        users.open();
        ASSERT_TRUE(users.findKey({1}));
        users.edit();
        users.setValue(QStringLiteral("User_Podpis"), printtest::pngOf(Qt::blue));
        users.post();
    }
    const qint64 nr = f.order(1, 4, 1);
    f.set(QStringLiteral("Pelk_Podpis"), false);
    const Page off = clientOrderReport(load(nr, 1)).layout().value(0);
    EXPECT_EQ(at(off, "DBImage_Podpis").box.height(), 0);

    f.set(QStringLiteral("Pelk_Podpis"), true);
    const Page on = clientOrderReport(load(nr, 1)).layout().value(0);
    EXPECT_NEAR(at(on, "DBImage_Podpis").box.height(), 26.5, 1e-9);
    EXPECT_FALSE(at(on, "DBImage_Podpis").picture.isNull());

    // Nobody logged in (the tool): the designed height, and no picture to put there.
    const Page nobody = clientOrderReport(load(nr, 0)).layout().value(0);
    EXPECT_NEAR(at(nobody, "DBImage_Podpis").box.height(), 26.5, 1e-9);
    EXPECT_TRUE(at(nobody, "DBImage_Podpis").picture.isNull());
}

TEST_F(PrintLayoutTest, SupplierOrderShowsOwnerWithTaxDataSupplierAndLogo) {
    f.set(QStringLiteral("Pelk_Logo"), printtest::pngOf(Qt::green));
    f.set(QStringLiteral("Pelk_Wydruk_Jezyk"), QStringLiteral("ANG"));
    const Page p = orderReport(load(f.order(2, 5, 2))).layout().value(0);
    EXPECT_EQ(at(p, "DBImage1").box.topLeft(), QPointF(10, 10));
    EXPECT_FALSE(at(p, "DBImage1").picture.isNull());
    EXPECT_EQ(at(p, "Zamawiajacy.Firma_Nazwa1").text, QStringLiteral("PELK Sp. z o.o."));
    EXPECT_EQ(at(p, "QRLabel_NIP").text, QStringLiteral("VAT No :"));
    EXPECT_EQ(at(p, "QRT_NIP").text, QStringLiteral("584-000-11-22"));
    EXPECT_EQ(at(p, "QRT_Konto").text, QStringLiteral("11 2222 3333"));
    EXPECT_EQ(at(p, "QRLabel_Adresat").text, QStringLiteral("Addressee :"));
    EXPECT_EQ(at(p, "Adresat.Firma_Nazwa1").text, QStringLiteral("Żuraw i Syn"));
    EXPECT_EQ(at(p, "Adresat.Kontakt").text, QStringLiteral("Pani Żaneta"));
    EXPECT_EQ(at(p, "Odbiorca.Kontakt").text, QStringLiteral("Pan Łukasz"));
    EXPECT_TRUE(at(p, "TKontakt_Z").text.contains(QStringLiteral("Jan Nowak")));
    // The boxes of the header do not overlap the column headings.
    EXPECT_LE(at(p, "Ramka_Naglowek").box.bottom(), at(p, "QRLabel_Nazwa").box.top());

    // Without a logo there is no picture.
    f.set(QStringLiteral("Pelk_Logo"), QVariant());
    EXPECT_FALSE(
        orderReport(load(f.order(2, 6, 1))).layout().value(0).find(QStringLiteral("DBImage1")));
}

TEST_F(PrintLayoutTest, PdfReadBackHasTheCaptionsNumberAndPolishNames) {
    const qint64 nr = f.order(1, 12, 3);
    const QString path = QDir(f.tmp.path()).filePath(QStringLiteral("z.pdf"));
    auto data = load(nr);
    data.language = QStringLiteral("ANG");
    ASSERT_TRUE(documents::writePdf(path, documents::PageSource::of(orderReport(data).layout()),
                                    QStringLiteral("z")));
    QString text = testsupport::pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Purchaser :"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("12/2024")));

    data.language = QStringLiteral("PL");
    ASSERT_TRUE(documents::writePdf(path, documents::PageSource::of(orderReport(data).layout()),
                                    QStringLiteral("z")));
    text = testsupport::pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Zamawiający :"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Ążęcik łożyska 3")));
}
