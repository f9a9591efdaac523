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
    // The header or footer is made of whole paragraphs: standing inside a line it starts on the
    // next one, and the rest of the line moves below it.
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (!cursor.atBlockStart()) cursor.insertBlock();
    if (!cursor.atBlockEnd()) {
        cursor.insertBlock();
        cursor.movePosition(QTextCursor::PreviousBlock);
    }
    cursor.insertFragment(QTextDocumentFragment(&part));
    cursor.endEditBlock();
    return true;
}

} // namespace offers
