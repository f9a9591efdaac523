#include "offers/composetext.h"
#include "offers/offerfiles.h"
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace offers {

void appendLines(QTextDocument& doc, const QStringList& lines) {
    if (lines.isEmpty()) return;
    QTextCursor c(&doc);
    c.beginEditBlock();
    c.movePosition(QTextCursor::End);
    const QTextBlockFormat block;
    const QTextCharFormat chars;
    const bool first = doc.isEmpty();
    if (first) {
        c.setBlockFormat(block);
        c.setBlockCharFormat(chars);
        c.setCharFormat(chars);
    }
    if (!first) c.insertBlock(block, chars);
    // One insertion: the paragraphs it makes take the default format of the one it starts in.
    c.insertText(lines.join(QChar::ParagraphSeparator), chars);
    c.endEditBlock();
}

bool insertDocumentFile(QTextCursor& cursor, const QString& path, QString* error) {
    QTextDocument part;
    if (!loadDocument(path, part, error)) return false;
    cursor.insertFragment(QTextDocumentFragment(&part));
    return true;
}

} // namespace offers
