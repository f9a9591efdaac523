#include "offers/offerruler.h"
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace offers {

namespace {

// Indents are kept in points; the screen shows 4/3 pixels a point.
constexpr double kPixelsPerPoint = 4.0 / 3.0;
constexpr double kPointsPerPixel = 0.75;

QLabel* marker(QWidget* parent, const char* name, const QString& glyph, int y) {
    auto* m = new QLabel(glyph, parent);
    m->setObjectName(QLatin1String(name));
    m->setAlignment(Qt::AlignCenter);
    m->setFixedSize(11, 10);
    m->move(0, y);
    m->setCursor(Qt::SizeHorCursor);
    return m;
}

} // namespace

OfferRuler::OfferRuler(QWidget* parent) : QWidget(parent) {
    setFixedHeight(26);
    first_ = marker(this, "FirstInd", QStringLiteral("▼"), 0);
    left_ = marker(this, "LeftInd", QStringLiteral("▲"), 15);
    right_ = marker(this, "RightInd", QStringLiteral("▲"), 15);
    for (QLabel* m : {first_, left_, right_})
        m->installEventFilter(this);
}

QSize OfferRuler::sizeHint() const {
    return {400, 26};
}

void OfferRuler::setEditor(QTextEdit* editor) {
    editor_ = editor;
    follow();
}

int OfferRuler::halfWidth() const {
    return first_->width() / 2;
}

void OfferRuler::follow() {
    if (!editor_ || dragged_) return;
    const QTextBlockFormat f = editor_->textCursor().blockFormat();
    const double firstPt = f.textIndent() * kPointsPerPixel;
    const double leftPt = f.leftMargin() * kPointsPerPixel;
    const double rightPt = f.rightMargin() * kPointsPerPixel;
    // The inverse of what releasing a marker sets, so that a marker pressed and released where
    // it stands leaves the paragraph as it was.
    const int h = halfWidth();
    first_->move(qRound(firstPt * kPixelsPerPoint + 6 - h), first_->y());
    left_->move(qRound((firstPt + leftPt) * kPixelsPerPoint + 6 - h), left_->y());
    right_->move(qRound(width() + h - 2 - (rightPt + 12) * kPixelsPerPoint), right_->y());
}

void OfferRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setPen(palette().color(QPalette::Mid));
    const int step = int(72 * kPixelsPerPoint / 2.54); // one centimetre
    for (int x = 8, n = 0; x < width() - 8; x += step / 2, ++n)
        p.drawLine(x, height() / 2 - (n % 2 ? 2 : 4), x, height() / 2 + (n % 2 ? 2 : 4));
}

void OfferRuler::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    follow();
}

bool OfferRuler::eventFilter(QObject* watched, QEvent* event) {
    auto* m = qobject_cast<QLabel*>(watched);
    if (!m || (m != first_ && m != left_ && m != right_)) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        dragged_ = m; // grabbed at half its width
        return true;
    case QEvent::MouseMove:
        if (dragged_ == m) {
            const int x =
                mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint()).x();
            m->move(std::clamp(x - halfWidth(), 0, std::max(0, width() - m->width())), m->y());
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (dragged_ == m) {
            dragged_ = nullptr;
            released(m);
        }
        return true;
    default:
        return false;
    }
}

void OfferRuler::released(QLabel* m) {
    if (!editor_ || editor_->isReadOnly()) {
        follow();
        return;
    }
    QTextCursor c = editor_->textCursor();
    QTextBlockFormat f = c.blockFormat();
    const int h = halfWidth();
    double firstPt = f.textIndent() * kPointsPerPixel;
    if (m == first_ || m == left_) {
        if (m == first_) firstPt = std::max(0.0, (first_->x() + h - 6) * kPointsPerPixel);
        const double leftPt = (left_->x() + h - 6) * kPointsPerPixel - firstPt;
        f.setTextIndent(firstPt * kPixelsPerPoint);
        f.setLeftMargin(std::max(0.0, leftPt) * kPixelsPerPoint);
    } else {
        const double rightPt = (width() + h - right_->x() - 2) * kPointsPerPixel - 12;
        f.setRightMargin(std::max(0.0, rightPt) * kPixelsPerPoint);
    }
    c.setBlockFormat(f);
    editor_->setTextCursor(c);
    follow();
}

} // namespace offers
