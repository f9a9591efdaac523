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

// Whether the key types a character that starts a search: any printable character but a blank,
// Polish letters included, typed without Ctrl or Alt (AltGr, which some keyboards type Polish
// letters with, counts as typing).
bool typesSearchText(const QKeyEvent& key);

// Such a character typed in the list starts a new search text, the caret after it. True when the
// key was used up.
bool listKeyStartsSearch(const QKeyEvent& key, QLineEdit& search);

} // namespace ui
