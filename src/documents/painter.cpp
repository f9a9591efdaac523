#include "documents/painter.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

namespace documents {

namespace {

struct Scale {
    double x, y; // device units per millimetre
    QRectF operator()(const QRectF& mm) const {
        return QRectF(mm.x() * x, mm.y() * y, mm.width() * x, mm.height() * y);
    }
};

Scale scaleOf(const QPainter& painter) {
    const QPaintDevice* d = painter.device();
    return {d->logicalDpiX() / 25.4, d->logicalDpiY() / 25.4};
}

int alignmentFlags(Align a) {
    switch (a) {
    case Align::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

void drawText(QPainter& p, const Scale& s, const Element& e) {
    if (e.text.isEmpty() || e.box.width() <= 0 || e.box.height() <= 0) return;
    QFont font(reportFontFamily());
    font.setPointSizeF(e.style.points);
    font.setBold(e.style.bold);
    font.setItalic(e.style.italic);
    // Printed texts are measured at the printer's resolution, never snapped to screen pixels, so
    // that preview and paper break lines alike.
    font.setHintingPreference(QFont::PreferNoHinting);
    // The condensed faces of the family, so that the captions and names the forms were drawn
    // for fit their boxes.
    font.setStretch(QFont::Condensed);
    p.setFont(font);
    const QRectF box = s(e.box);
    p.save();
    // Cut at the box's sides; below it only the descenders of its line may show.
    const double fontHeight = e.style.points / 72.0 * p.device()->logicalDpiY() * 1.17;
    p.setClipRect(QRectF(box.x(), box.y(), box.width(), std::max(box.height(), fontHeight)),
                  Qt::IntersectClip);
    // A text wider than its box keeps its beginning, whatever its alignment.
    const bool tooWide = QFontMetricsF(font, p.device()).horizontalAdvance(e.text) > box.width();
    p.drawText(box, alignmentFlags(tooWide ? Align::Left : e.align) | Qt::TextSingleLine, e.text);
    p.restore();
}

void drawFrame(QPainter& p, const Scale& s, const Element& e) {
    QPen pen(Qt::black);
    pen.setWidthF(0.25 * s.x);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(s(e.box));
}

void drawPicture(QPainter& p, const Scale& s, const Element& e) {
    if (e.picture.isNull() || e.box.width() <= 0 || e.box.height() <= 0) return;
    const QRectF box = s(e.box);
    // Kept in proportion, never stretched: as large as the box allows, at its top-left corner.
    const QSizeF size = QSizeF(e.picture.size()).scaled(box.size(), Qt::KeepAspectRatio);
    p.drawImage(QRectF(box.topLeft(), size), e.picture);
}

} // namespace

void paintPage(QPainter& painter, const Page& page) {
    const Scale s = scaleOf(painter);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Element& e : page.elements) {
        painter.setPen(Qt::black);
        switch (e.kind) {
        case Element::Kind::Text:
            drawText(painter, s, e);
            break;
        case Element::Kind::Frame:
            drawFrame(painter, s, e);
            break;
        case Element::Kind::Picture:
            drawPicture(painter, s, e);
            break;
        }
    }
    painter.restore();
}

bool paintPages(QPagedPaintDevice& device, const PageSource& pages) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    for (int i = 0; i < pages.count; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        paintPage(painter, pages.page(i));
    }
    return painter.end();
}

bool writePdf(const QString& path, const PageSource& pages, const QString& title, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QString shown = QFileInfo(path).fileName();
    if (pages.count == 0)
        return fail(QStringLiteral("Brak stron do zapisania w pliku %1.").arg(shown));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(
            QStringLiteral("Nie można zapisać pliku %1: %2").arg(shown, file.errorString()));
    bool painted = false;
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("PELK!"));
        pdf.setResolution(600);
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        painted = paintPages(pdf, pages);
    }
    if (!painted || file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(QStringLiteral("Nie można zapisać pliku %1: %2").arg(shown, why));
    }
    if (!file.commit())
        return fail(
            QStringLiteral("Nie można zapisać pliku %1: %2").arg(shown, file.errorString()));
    return true;
}

} // namespace documents
