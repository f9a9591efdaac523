#include "ui/windowplaces.h"
#include "store/layoutstore.h"
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace ui {

namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// The squared distance between two rectangles; 0 when they touch or overlap.
qint64 distance(const QRect& a, const QRect& b) {
    const qint64 dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
    const qint64 dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
    return dx * dx + dy * dy;
}

const QString kDialogKey = QStringLiteral("dialog/");

} // namespace

QRect placedOnScreen(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty() || window.isEmpty()) return window;
    for (const QRect& s : screens)
        if (s.contains(window)) return window;
    const QRect* target = nullptr;
    qint64 bestOverlap = 0;
    for (const QRect& s : screens)
        if (const qint64 o = overlap(window, s); o > bestOverlap) {
            bestOverlap = o;
            target = &s;
        }
    if (!target) {
        qint64 nearest = -1;
        for (const QRect& s : screens)
            if (const qint64 d = distance(window, s); nearest < 0 || d < nearest) {
                nearest = d;
                target = &s;
            }
    }
    const QRect& s = *target;
    QRect r(window.topLeft(),
            QSize(std::min(window.width(), s.width()), std::min(window.height(), s.height())));
    if (r.right() > s.right()) r.moveRight(s.right());
    if (r.bottom() > s.bottom()) r.moveBottom(s.bottom());
    if (r.left() < s.left()) r.moveLeft(s.left());
    if (r.top() < s.top()) r.moveTop(s.top());
    return r;
}

QRect placedOnScreen(const QRect& window) {
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->availableGeometry();
    return placedOnScreen(window, screens);
}

QString windowGeometryText(const QWidget& window) {
    return QString::fromLatin1(window.saveGeometry().toBase64());
}

bool restoreWindowGeometry(QWidget& window, const QString& text) {
    const QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
    if (bytes.isEmpty() || !window.restoreGeometry(bytes)) return false;
    if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return true;
    const QRect now = window.geometry();
    const QRect placed = placedOnScreen(now);
    if (placed != now) window.setGeometry(placed);
    return true;
}

DialogPlaces::DialogPlaces(store::LayoutStore& store, QObject* parent)
    : QObject(parent), store_(store) {
    qApp->installEventFilter(this);
}

DialogPlaces::~DialogPlaces() {
    if (qApp) qApp->removeEventFilter(this);
}

QString DialogPlaces::keyOf(const QWidget& window) {
    if (!window.isWindow() || !qobject_cast<const QDialog*>(&window)) return {};
    if (qobject_cast<const QMessageBox*>(&window) || qobject_cast<const QProgressDialog*>(&window))
        return {};
    QString name = window.objectName();
    if (name.isEmpty()) {
        // Plain dialogs made on the spot would all share one name.
        name = QString::fromLatin1(window.metaObject()->className());
        if (name == QLatin1String("QDialog")) return {};
    }
    if (name.startsWith(QLatin1String("qt_"))) return {};
    return kDialogKey + name;
}

void DialogPlaces::rememberShown() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        const QString key = keyOf(*w);
        if (!key.isEmpty()) store_.setValue({}, key, windowGeometryText(*w));
    }
}

bool DialogPlaces::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    // Spontaneous ones come from the window system: minimising and restoring.
    if ((type != QEvent::Show && type != QEvent::Hide) || event->spontaneous()) return false;
    auto* w = qobject_cast<QDialog*>(watched);
    if (!w) return false;
    const QString key = keyOf(*w);
    if (key.isEmpty()) return false;
    if (type == QEvent::Show) {
        const QString text = store_.value({}, key);
        if (!text.isEmpty()) restoreWindowGeometry(*w, text);
    } else {
        store_.setValue({}, key, windowGeometryText(*w));
    }
    return false;
}

} // namespace ui
