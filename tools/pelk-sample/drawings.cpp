#include "engine/error.h"
#include "items.h"
#include "rowwriter.h"
#include "sample.h"
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace sample {

namespace {

constexpr int kWidth = 160, kHeight = 120;

const char* const kSubjects[kGroupCount] = {
    "Śruba - widok z boku",    "Nakrętka - widok",   "Podkładka - rzut",     "Wkręt - widok",
    "Kołek rozporowy - widok", "Łożysko - przekrój", "Pierścień - przekrój", "Zawór - schemat",
    "Złączka - widok",         "Przewód - przekrój", "Kabel - przekrój",     "Klucz - rzut",
    "Wiertarka - szkic",       "Silnik - wymiary",   "Pas - profil",         "Sprężyna - widok",
    "Opakowanie smaru",        "Puszka farby",       "Rękawica - rozmiary",  "Zestaw - elementy",
};

void dimension(QPainter& p, QPointF a, QPointF b) {
    p.save();
    p.setPen(QPen(QColor(200, 30, 30), 1));
    p.drawLine(a, b);
    const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y()) * 5.0;
    const QPointF n(-d.y(), d.x());
    p.drawLine(a, a + d + n * 0.6);
    p.drawLine(a, a + d - n * 0.6);
    p.drawLine(b, b - d + n * 0.6);
    p.drawLine(b, b - d - n * 0.6);
    p.restore();
}

QByteArray drawing(int group, Rng& r) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(QColor(252, 252, 248));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 170, 200), 1));
    p.drawRect(2, 2, kWidth - 5, kHeight - 5);
    p.drawRect(kWidth - 52, kHeight - 18, 49, 15); // title block
    const QPen ink(QColor(20, 30, 90), 2);
    p.setPen(ink);
    const double cx = kWidth / 2.0 + r.range(-8, 8), cy = kHeight / 2.0 - 6 + r.range(-5, 5);
    const double s = r.between(0.8, 1.15);
    switch (group) {
    case gBolts:
    case gScrews:
    case gAnchors: {
        const double len = 70 * s, dia = 14 * s;
        p.drawRect(QRectF(cx - len / 2 - 14, cy - dia, 14, dia * 2)); // head
        p.drawRect(QRectF(cx - len / 2, cy - dia / 2, len, dia));
        p.setPen(QPen(QColor(20, 30, 90), 1));
        for (double x = cx; x < cx + len / 2; x += 4)
            p.drawLine(QPointF(x, cy - dia / 2), QPointF(x + 2, cy + dia / 2));
        dimension(p, QPointF(cx - len / 2, cy + dia + 8), QPointF(cx + len / 2, cy + dia + 8));
        break;
    }
    case gNuts:
    case gWashers:
    case gSeals: {
        const double rad = 34 * s;
        if (group == gNuts) {
            QPolygonF hex;
            for (int k = 0; k < 6; ++k)
                hex << QPointF(cx + rad * std::cos(k * M_PI / 3),
                               cy + rad * std::sin(k * M_PI / 3));
            p.drawPolygon(hex);
        } else {
            p.drawEllipse(QPointF(cx, cy), rad, rad);
        }
        p.drawEllipse(QPointF(cx, cy), rad * 0.5, rad * 0.5);
        dimension(p, QPointF(cx - rad, cy + rad + 6), QPointF(cx + rad, cy + rad + 6));
        break;
    }
    case gBearings: {
        const double outer = 40 * s, inner = 18 * s;
        p.drawEllipse(QPointF(cx, cy), outer, outer);
        p.drawEllipse(QPointF(cx, cy), outer - 6, outer - 6);
        p.drawEllipse(QPointF(cx, cy), inner + 6, inner + 6);
        p.drawEllipse(QPointF(cx, cy), inner, inner);
        const double mid = (outer - 6 + inner + 6) / 2, ball = (outer - inner - 12) / 2 - 1;
        const int balls = r.range(8, 11);
        for (int k = 0; k < balls; ++k)
            p.drawEllipse(QPointF(cx + mid * std::cos(2 * M_PI * k / balls),
                                  cy + mid * std::sin(2 * M_PI * k / balls)),
                          ball, ball);
        break;
    }
    case gValves:
    case gFittings: {
        p.drawRect(QRectF(cx - 60 * s, cy - 10, 120 * s, 20));
        p.drawEllipse(QPointF(cx, cy), 22 * s, 22 * s);
        p.drawLine(QPointF(cx, cy - 22 * s), QPointF(cx, cy - 40 * s));
        p.drawLine(QPointF(cx - 20, cy - 40 * s), QPointF(cx + 25, cy - 40 * s));
        dimension(p, QPointF(cx - 60 * s, cy + 30), QPointF(cx + 60 * s, cy + 30));
        break;
    }
    case gHoses:
    case gCables:
    case gBelts: {
        QPainterPath path;
        path.moveTo(12, cy);
        for (int k = 1; k <= 4; ++k)
            path.quadTo(12 + k * 34 - 17, cy + (k % 2 ? -30 : 30) * s, 12 + k * 34, cy);
        p.drawPath(path);
        p.drawEllipse(QPointF(kWidth - 30, 24), 12, 12);
        p.drawEllipse(QPointF(kWidth - 30, 24), 6, 6);
        break;
    }
    case gMotors:
    case gPowerTools: {
        p.drawRect(QRectF(cx - 45 * s, cy - 25 * s, 80 * s, 50 * s));
        for (double x = cx - 40 * s; x < cx + 30 * s; x += 8)
            p.drawLine(QPointF(x, cy - 25 * s), QPointF(x, cy - 30 * s));
        p.drawRect(QRectF(cx + 35 * s, cy - 5, 22 * s, 10));
        p.drawLine(QPointF(cx - 45 * s, cy + 25 * s), QPointF(cx - 55 * s, cy + 32 * s));
        p.drawLine(QPointF(cx + 35 * s, cy + 25 * s), QPointF(cx + 45 * s, cy + 32 * s));
        dimension(p, QPointF(cx - 45 * s, cy + 40 * s), QPointF(cx + 35 * s, cy + 40 * s));
        break;
    }
    default: {
        const double w = 70 * s, h = 50 * s;
        p.drawRoundedRect(QRectF(cx - w / 2, cy - h / 2, w, h), 6, 6);
        p.drawLine(QPointF(cx - w / 2, cy - h / 4), QPointF(cx + w / 2, cy - h / 4));
        if (group == gSprings)
            for (int k = 0; k < 7; ++k)
                p.drawEllipse(QPointF(cx - w / 2 + 8 + k * (w - 16) / 6, cy + 4), 6, h / 3);
        dimension(p, QPointF(cx - w / 2, cy + h / 2 + 8), QPointF(cx + w / 2, cy + h / 2 + 8));
        break;
    }
    }
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither).save(&buffer, "BMP");
    return bytes;
}

} // namespace

void makeDrawings(Context& c) {
    const int count = std::clamp(c.options.items / 40, 2 * kGroupCount, 300);
    c.drawingsByGroup.assign(kGroupCount, {});
    RowWriter& drawings = c.session->writer(
        QStringLiteral("Rysunek"), {QStringLiteral("Rys_Opis"), QStringLiteral("Rys_Blob")});
    for (int k = 0; k < count; ++k) {
        Rng r = c.rng(kDrawings, std::uint64_t(k));
        const int group = k % kGroupCount;
        const QString description = QStringLiteral("%1 %2")
                                        .arg(QString::fromUtf8(kSubjects[group]))
                                        .arg(k / kGroupCount + 1);
        const QByteArray bmp = drawing(group, r);
        const int nr = int(drawings.add({description, bmp}));
        c.drawingsByGroup[std::size_t(group)].push_back(nr);
        // The first drawings also lie beside the data sheets, for the drawing attributes.
        if (k < 16) {
            const QString path = QDir::toNativeSeparators(
                c.documentsFolder +
                QStringLiteral("/rysunek_%1.bmp").arg(nr, 3, 10, QLatin1Char('0')));
            QSaveFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(bmp) != bmp.size() || !f.commit())
                throw engine::EngineError(engine::EngineError::Kind::Io,
                                          QStringLiteral("Nie można zapisać pliku %1.").arg(path));
            c.drawingFiles << path;
        }
    }
    reportRows(c, drawings);
}

} // namespace sample
