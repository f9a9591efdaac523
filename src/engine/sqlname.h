#pragma once
#include <QString>

namespace engine {

// A table or field name as SQL text: in double quotes, with any quote inside doubled, so that
// names with spaces, Polish letters or quotes of their own pass whole and can never end the text.
inline QString quoted(const QString& ident) {
    QString s = ident;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

} // namespace engine
