#pragma once
#include <QChar>

namespace engine::lexing {

// Character classes shared by the readers of filter expressions and of local SQL.
inline bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}
inline bool isIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}
inline bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace engine::lexing
