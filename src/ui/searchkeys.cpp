#include "ui/searchkeys.h"
#include "engine/dataset.h"
#include <QKeyEvent>
#include <QLineEdit>

namespace ui {

bool searchFieldMovesList(const QKeyEvent& key, QWidget& list, engine::DataSet& rows,
                          const std::function<void()>& leave) {
    const int k = key.key();
    const bool down = k == Qt::Key_Down || k == Qt::Key_PageDown;
    const bool up = k == Qt::Key_Up || k == Qt::Key_PageUp;
    if (!down && !up) return false;
    list.setFocus();
    leave();
    if (rows.isOpen() && !rows.isEmpty()) {
        if (down)
            rows.next();
        else
            rows.prior();
    }
    return true;
}

bool typesSearchText(const QKeyEvent& key) {
    const QString text = key.text();
    if (text.size() != 1 || !text[0].isPrint() || text[0].isSpace()) return false;
    const auto held = key.modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    return held != Qt::ControlModifier && held != Qt::AltModifier;
}

bool listKeyStartsSearch(const QKeyEvent& key, QLineEdit& search) {
    if (!typesSearchText(key)) return false;
    const QString text = key.text();
    search.setFocus();
    search.setText(text);
    search.setCursorPosition(int(text.size()));
    return true;
}

} // namespace ui
