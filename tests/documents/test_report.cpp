#include "documents/painter.h"
#include "documents/report.h"
#include "documents/tablereport.h"
#include "support/application.h"
#include "support/pdftext.h"
#include "support/printing.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace documents;

namespace {

Band band(double height, const QString& name) {
    Band b;
    b.height = height;
    b.text(name, 0, 0, 50, name);
    return b;
}

Report numberedReport(int details, double detailHeight) {
    Report r;
    Band header = band(20, QStringLiteral("header"));
    header.pageNumber(QStringLiteral("page"), 150, 0, 20);
    r.setPageHeader(header);
    r.setPageFooter(band(10, QStringLiteral("footer")));
    for (int i = 0; i < details; ++i)
        r.addDetail(band(detailHeight, QStringLiteral("line%1").arg(i)));
    return r;
}

// A page drawn at 10 pixels to the millimetre.
QImage render(const Page& page) {
    QImage image(2100, 2970, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    QPainter p(&image);
    paintPage(p, page);
    return image;
}

bool anyInk(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160) return true;
    return false;
}

class ReportTest : public ::testing::Test {
protected:
    ReportTest() { testsupport::application<QGuiApplication>(); }
    TempFolder tmp;
};

} // namespace

TEST_F(ReportTest, BreaksPagesWhereTheBandHeightsPutThemWithHeaderAndFooterOnEveryPage) {
    // 277 mm printable, 30 mm of header and footer: 24 bands of 10 mm to a page.
    const auto pages = numberedReport(30, 10).layout();
    ASSERT_EQ(pages.size(), 2);
    int printed = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const Page& p = pages[i];
        ASSERT_TRUE(p.find(QStringLiteral("header")));
        ASSERT_TRUE(p.find(QStringLiteral("footer")));
        EXPECT_DOUBLE_EQ(p.find(QStringLiteral("header"))->box.top(), 10);
        EXPECT_DOUBLE_EQ(p.find(QStringLiteral("footer"))->box.top(), 277);
        EXPECT_EQ(p.find(QStringLiteral("page"))->text, QString::number(i + 1));
        for (const Element& e : p.elements)
            if (e.name.startsWith(QStringLiteral("line"))) {
                EXPECT_GE(e.box.top(), 30);
                EXPECT_LE(e.box.top() + 10, 277 + 1e-9) << e.name.toStdString();
                ++printed;
            }
    }
    EXPECT_EQ(printed, 30);
    EXPECT_DOUBLE_EQ(pages[1].find(QStringLiteral("line24"))->box.top(), 30);
    EXPECT_FALSE(pages[0].find(QStringLiteral("line24")));
    EXPECT_DOUBLE_EQ(pages[0].find(QStringLiteral("line23"))->box.top(), 30 + 23 * 10);
}

TEST_F(ReportTest, AReportWithoutDetailsPrintsNothingUnlessAskedTo) {
    Report r = numberedReport(0, 10);
    EXPECT_TRUE(r.layout().isEmpty());
    r.setPrintIfEmpty(true);
    ASSERT_EQ(r.layout().size(), 1);
    EXPECT_TRUE(r.layout()[0].find(QStringLiteral("footer")));
    // A band taller than the room of a page gets a page of its own and the layout ends.
    EXPECT_EQ(numberedReport(3, 400).layout().size(), 3);
}

TEST_F(ReportTest, ATextIsCutAtTheEdgeOfItsBoxAndPicturesKeepTheirProportions) {
    Page page;
    Element text;
    text.box = QRectF(20, 20, 20, 10);
    text.text = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    text.style.points = 20;
    page.elements.append(text);
    Element right = text;
    right.box = QRectF(20, 40, 20, 10);
    right.align = Align::Right;
    page.elements.append(right);
    QImage wide(200, 100, QImage::Format_RGB32);
    wide.fill(Qt::red);
    Element picture;
    picture.kind = Element::Kind::Picture;
    picture.box = QRectF(100, 100, 40, 40);
    picture.picture = wide;
    page.elements.append(picture);

    const QImage image = render(page);
    EXPECT_TRUE(anyInk(image, QRect(200, 200, 200, 80)));
    EXPECT_FALSE(anyInk(image, QRect(402, 190, 600, 120))) << "drawn past the box's right edge";
    // A right-aligned text too wide for its box keeps its beginning and is cut on the right.
    EXPECT_TRUE(anyInk(image, QRect(200, 400, 200, 80)));
    EXPECT_FALSE(anyInk(image, QRect(0, 390, 198, 120))) << "drawn past the box's left edge";
    EXPECT_FALSE(anyInk(image, QRect(402, 390, 600, 120))) << "drawn past the box's right edge";
    Page narrow;
    right.text = QStringLiteral("W");
    narrow.elements.append(right);
    const QImage one = render(narrow);
    EXPECT_FALSE(anyInk(one, QRect(200, 400, 100, 80))) << "a short text lost its alignment";
    EXPECT_TRUE(anyInk(one, QRect(330, 400, 70, 80)));

    // 200 x 100 into 40 x 40 mm: 40 x 20 mm at the box's top, nothing stretched below.
    EXPECT_EQ(image.pixel(1380, 1190), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1020, 1020), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1200, 1250), qRgb(255, 255, 255));
}

TEST_F(ReportTest, PdfFileHoldsThePagesWithPolishLetters) {
    Report r = numberedReport(30, 10);
    Band polish;
    polish.height = 10;
    polish.text(QStringLiteral("pl"), 0, 0, 190, QStringLiteral("Zażółć gęślą jaźń ĄĘŁŃÓŚŹŻ"));
    r.addDetail(polish);
    const QString path = QDir(tmp.path()).filePath(QStringLiteral("raport.pdf"));
    QString error;
    ASSERT_TRUE(writePdf(path, PageSource::of(r.layout()), QStringLiteral("Raport"), &error))
        << error.toStdString();
    EXPECT_EQ(testsupport::pdfPages(path), 2);
    const QString text = testsupport::pdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Zażółć gęślą jaźń ĄĘŁŃÓŚŹŻ"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("line29")));
}

TEST_F(ReportTest, AFailedPdfWriteLeavesNoFileAndKeepsAnEarlierOne) {
    const auto pages = PageSource::of(numberedReport(3, 10).layout());
    QString error;
    const QString missing = QDir(tmp.path()).filePath(QStringLiteral("brak/raport.pdf"));
    EXPECT_FALSE(writePdf(missing, pages, QStringLiteral("Raport"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("raport.pdf"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));

    const QString earlier = QDir(tmp.path()).filePath(QStringLiteral("stary.pdf"));
    QFile f(earlier);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("earlier");
    f.close();
    EXPECT_FALSE(writePdf(earlier, PageSource{}, QStringLiteral("Raport"), &error));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("stary.pdf")});
}

TEST_F(ReportTest, TableReportCountsPagesFromRowsAndReadsOnlyThePageDrawn) {
    QList<std::pair<int, int>> asked;
    auto read = [&](int first, int count) {
        asked.append({first, count});
        QList<QStringList> rows;
        for (int i = first; i < first + count; ++i)
            rows.append({QStringLiteral("Nazwa %1").arg(i), QString::number(i)});
        return rows;
    };
    TableReport list(QStringLiteral("Lista obiektów - Główny"), QStringLiteral("17-05-2024"),
                     {{QStringLiteral("Nazwa 1"), 3}, {QStringLiteral("Ilość"), 1, Align::Right}},
                     1'000'000, read);
    const int per = list.rowsPerPage();
    EXPECT_GT(per, 40);
    EXPECT_EQ(list.pageCount(), (1'000'000 + per - 1) / per);
    EXPECT_TRUE(asked.isEmpty()) << "rows read before any page was drawn";

    const Page p = list.page(2);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], std::make_pair(2 * per, per));
    EXPECT_EQ(p.find(QStringLiteral("Numer_Strony"))->text, QStringLiteral("3"));
    EXPECT_EQ(p.find(QStringLiteral("Naglowek"))->text, QStringLiteral("Lista obiektów - Główny"));
    EXPECT_EQ(p.find(QStringLiteral("Data"))->text, QStringLiteral("17-05-2024"));
    const auto titles = p.findAll(QStringLiteral("Tytul"));
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[1]->text, QStringLiteral("Ilość"));
    // The widths follow the weights: three quarters and one quarter of 190 mm.
    EXPECT_NEAR(titles[1]->box.left() - titles[0]->box.left(), 142.5, 1e-6);
    const auto cells = p.findAll(QStringLiteral("Pole"));
    ASSERT_EQ(cells.size(), 2 * per);
    EXPECT_EQ(cells[0]->text, QStringLiteral("Nazwa %1").arg(2 * per));
    EXPECT_EQ(cells[1]->align, Align::Right);
    EXPECT_LE(cells.last()->box.bottom(), p.find(QStringLiteral("Str"))->box.top());

    TableReport few(QStringLiteral("x"), {}, {{QStringLiteral("a"), 1}}, 3, read);
    EXPECT_EQ(few.pageCount(), 1);
    EXPECT_EQ(few.page(0).findAll(QStringLiteral("Pole")).size(), 3);
}
