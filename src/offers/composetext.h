#pragma once
#include <QString>
#include <QStringList>

class QTextCursor;
class QTextDocument;

namespace offers {

// The insert commands, the same in the offer editor's "Wstaw" menu and on the main window.
enum class InsertCommand {
    Header,
    Footer,
    Company,
    CurrentItem,
    ListedItems,
    Attributes,
    GoesInto,
    ConsistsOf,
    Substitutes,
    Notes,
    PurchasePrices,
};

// Appends each line as a paragraph of its own at the end of `doc`, in the document's default
// paragraph and character format whatever the text before it looks like, as one undo step. An
// empty document takes the first line into its empty paragraph.
void appendLines(QTextDocument& doc, const QStringList& lines);

// Inserts the document in the file at `path` (rich text or plain text) at `cursor`, with its
// formatting, replacing the selection, as paragraphs of its own: inside a line it begins a new
// paragraph and the rest of the line follows it in another. False with the reason when the file
// cannot be read; nothing is inserted then.
bool insertDocumentFile(QTextCursor& cursor, const QString& path, QString* error);

} // namespace offers
