#pragma once
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

// A small banded report: bands of placed elements in millimetres, laid out into pages. Laying
// out needs no display and no paint device; drawing is a separate step (painter.h).
namespace documents {

// The family every printout uses (its condensed faces): installed on a plain Debian desktop and
// embedded in PDF files, with the Polish letters.
QString reportFontFamily();

struct TextStyle {
    double points = 10;
    bool bold = false;
    bool italic = false;
};

enum class Align { Left, Centre, Right };

struct Element {
    enum class Kind { Text, Frame, Picture };
    Kind kind = Kind::Text;
    QString name; // the layout's own name for the element, for finding it again
    QRectF box;   // millimetres; within a band from the band's top-left, on a page from the
                  // paper's top-left corner
    QString text;
    TextStyle style;
    Align align = Align::Left;
    QImage picture;
    // A text that shows the number of the page it is printed on (its `text` is ignored).
    bool pageNumber = false;
};

struct Band {
    double height = 0; // millimetres; elements never make a band taller
    QList<Element> elements;

    // The usual ways to place things. A text box's height defaults to one line of its font.
    Element& text(const QString& name, double x, double y, double width, const QString& text,
                  TextStyle style = {}, Align align = Align::Left, double height = 0);
    Element& frame(const QString& name, double x, double y, double width, double height);
    Element& picture(const QString& name, double x, double y, double width, double height,
                     const QImage& image);
    Element& pageNumber(const QString& name, double x, double y, double width, TextStyle style = {},
                        Align align = Align::Left);
};

// The height of one line of text of this size, in millimetres.
double lineHeight(double points);

struct PageSetup {
    QSizeF paper{210, 297}; // A4 portrait
    QMarginsF margins{10, 10, 10, 10};
    double printableWidth() const { return paper.width() - margins.left() - margins.right(); }
    double printableHeight() const { return paper.height() - margins.top() - margins.bottom(); }
};

struct Page {
    int number = 1;
    QList<Element> elements;                        // boxes from the paper's top-left corner
    const Element* find(const QString& name) const; // the first element of that name
    QList<const Element*> findAll(const QString& name) const;
};

// A source of pages drawn one at a time, so that a very long list never needs all its pages at
// once.
struct PageSource {
    int count = 0;
    std::function<Page(int index)> page; // index 0 .. count-1
    static PageSource of(QList<Page> pages);
};

// The page header band at the top of every page (the first included), the page footer band at the
// bottom of every page (the last included), the detail bands in between in their order, a new page
// whenever the next detail band would not fit.
class Report {
public:
    explicit Report(PageSetup setup = {}) : setup_(setup) {}

    const PageSetup& setup() const { return setup_; }
    void setPageHeader(Band band) { header_ = std::move(band); }
    void setPageFooter(Band band) { footer_ = std::move(band); }
    void addDetail(Band band) { details_.append(std::move(band)); }
    // Without detail bands the report prints nothing (the default), or one page of header and
    // footer.
    void setPrintIfEmpty(bool on) { printIfEmpty_ = on; }

    // The room the detail bands have on each page, in millimetres.
    double detailRoom() const;
    QList<Page> layout() const;

private:
    PageSetup setup_;
    Band header_, footer_;
    QList<Band> details_;
    bool printIfEmpty_ = false;
};

// Places a band's elements on a page with the band's top at `top` (millimetres from the top of the
// printable area), resolving page numbers.
void placeBand(Page& page, const Band& band, const PageSetup& setup, double top);

} // namespace documents
