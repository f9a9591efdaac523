#pragma once
// Readable QStrings in googletest's failure messages: found by argument-dependent lookup, so it
// lives where QString does.
#include <QString>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
