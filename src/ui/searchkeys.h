#pragma once
#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace engine {
class DataSet;
}

namespace ui {

// The keys that join a search field to the list it searches, as every dialog with such a pair
// has them.

// Down or Page Down in the search field: the list takes the focus, `leave` runs (it empties the
// field without searching) and the rows move one down; Up or Page Up one up. True when the key
// was one of these and is used up.
bool searchFieldMovesList(const QKeyEvent& key, QWidget& list, engine::DataSet& rows,
                          const std::function<void()>& leave);

// A printable character (codes 33 to 122) typed in the list starts a new search text, the caret
// after it. True when the key was used up.
bool listKeyStartsSearch(const QKeyEvent& key, QLineEdit& search);

} // namespace ui
