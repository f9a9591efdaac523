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

bool listKeyStartsSearch(const QKeyEvent& key, QLineEdit& search) {
    const QString text = key.text();
    if (text.size() != 1 || text[0].unicode() < 33 || text[0].unicode() > 122) return false;
    search.setFocus();
    search.setText(text);
    search.setCursorPosition(int(text.size()));
    return true;
}

} // namespace ui
