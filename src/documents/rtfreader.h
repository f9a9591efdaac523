#pragma once
#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace documents::rtf {

// Groups nested deeper than this are left out whole: real documents stay far below it, and the
// reader's state per group is bounded by it whatever the input.
constexpr int kMaxGroupDepth = 200;

// Reads RTF (the data starts with "{\rtf") at the cursor of an empty document. Returns a note
// on what was left out (too deep nesting, a truncated file), or an empty string.
QString readInto(QByteArrayView data, QTextDocument& doc);

} // namespace documents::rtf
