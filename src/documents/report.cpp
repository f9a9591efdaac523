#include "documents/report.h"

#include <cmath>

namespace documents {

QString reportFontFamily() {
    return QStringLiteral("DejaVu Sans");
}

double lineHeight(double points) {
    // Lines of a printout are set close, as on the forms the printouts copy; a text's box lets
    // its descenders show below it (see painter.cpp).
    return points * 25.4 / 72.0 * 1.12;
}

Element& Band::text(const QString& name, double x, double y, double width, const QString& text,
                    TextStyle style, Align align, double height) {
    Element e;
    e.kind = Element::Kind::Text;
    e.name = name;
    e.box = QRectF(x, y, width, height > 0 ? height : lineHeight(style.points));
    e.text = text;
    e.style = style;
    e.align = align;
    elements.append(std::move(e));
    return elements.last();
}

Element& Band::frame(const QString& name, double x, double y, double width, double height) {
    Element e;
    e.kind = Element::Kind::Frame;
    e.name = name;
    e.box = QRectF(x, y, width, height);
    elements.append(std::move(e));
    return elements.last();
}

Element& Band::picture(const QString& name, double x, double y, double width, double height,
                       const QImage& image) {
    Element e;
    e.kind = Element::Kind::Picture;
    e.name = name;
    e.box = QRectF(x, y, width, height);
    e.picture = image;
    elements.append(std::move(e));
    return elements.last();
}

Element& Band::pageNumber(const QString& name, double x, double y, double width, TextStyle style,
                          Align align) {
    Element& e = text(name, x, y, width, QString(), style, align);
    e.pageNumber = true;
    return e;
}

const Element* Page::find(const QString& name) const {
    for (const Element& e : elements)
        if (e.name == name) return &e;
    return nullptr;
}

QList<const Element*> Page::findAll(const QString& name) const {
    QList<const Element*> out;
    for (const Element& e : elements)
        if (e.name == name) out.append(&e);
    return out;
}

PageSource PageSource::of(QList<Page> pages) {
    PageSource s;
    s.count = int(pages.size());
    s.page = [pages = std::move(pages)](int i) { return pages.at(i); };
    return s;
}

void placeBand(Page& page, const Band& band, const PageSetup& setup, double top) {
    const QPointF origin(setup.margins.left(), setup.margins.top() + top);
    for (const Element& e : band.elements) {
        Element placed = e;
        placed.box.translate(origin);
        if (placed.pageNumber) placed.text = QString::number(page.number);
        page.elements.append(std::move(placed));
    }
}

double Report::detailRoom() const {
    return setup_.printableHeight() - header_.height - footer_.height;
}

QList<Page> Report::layout() const {
    QList<Page> pages;
    if (details_.isEmpty() && !printIfEmpty_) return pages;
    const double room = detailRoom();
    const double footerTop = setup_.printableHeight() - footer_.height;
    auto startPage = [&] {
        Page p;
        p.number = int(pages.size()) + 1;
        placeBand(p, header_, setup_, 0);
        pages.append(std::move(p));
    };
    auto finishPage = [&] { placeBand(pages.last(), footer_, setup_, footerTop); };

    startPage();
    double used = 0;
    for (const Band& band : details_) {
        // A band taller than a whole page still gets a page of its own rather than none.
        if (used > 0 && used + band.height > room + 1e-9) {
            finishPage();
            startPage();
            used = 0;
        }
        placeBand(pages.last(), band, setup_, header_.height + used);
        used += band.height;
    }
    finishPage();
    return pages;
}

} // namespace documents
