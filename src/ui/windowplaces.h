#pragma once
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

namespace store {
class LayoutStore;
}

namespace ui {

// Where a window of this size and place may stand on these screens (their available areas): a
// window lying within one screen stays as it is; any other is moved onto the screen it overlaps
// most (the one nearest to it when it overlaps none), made smaller first when it is larger than
// that screen. A screen taken away since, or a resolution made smaller, leaves no window out of
// reach. With no screens the window stays.
QRect placedOnScreen(const QRect& window, const QList<QRect>& screens);
// The same against the screens the system has now.
QRect placedOnScreen(const QRect& window);

// A window's size, place and maximised state as text to keep, and given back to a window
// (brought onto a screen). False, with the window untouched, for a text that is no such thing.
QString windowGeometryText(const QWidget& window);
bool restoreWindowGeometry(QWidget& window, const QString& text);

// Every dialog of the program comes back where and as large as the user last left it: installed
// on the application, it gives a dialog its remembered geometry when it shows and remembers it
// when it hides, under "dialog/" and the dialog's objectName (its class name when it has none),
// with the catalogue left empty: a dialog looks the same whatever catalogue is open. Message
// boxes and progress dialogs, whose size follows their text, are left alone. The store is only
// changed in memory; its owner writes it.
class DialogPlaces : public QObject {
    Q_OBJECT
public:
    explicit DialogPlaces(store::LayoutStore& store, QObject* parent = nullptr);
    ~DialogPlaces() override;

    // The key a dialog is remembered under; empty for a window that is not remembered.
    static QString keyOf(const QWidget& window);
    // The dialogs on screen now (the long-lived ones at exit) into the store.
    void rememberShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    store::LayoutStore& store_;
};

} // namespace ui
