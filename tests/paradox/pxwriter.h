#pragma once
#include <QList>
#include <QString>
#include <QVariant>

// Writes Paradox tables with pxlib's own writer, as the firms' catalogues are kept.
namespace pxtest {

struct Column {
    QString name;
    int type;   // pxlib's type code (pxfAlpha ...)
    int length; // bytes in the record
};

// Values: an invalid QVariant is an empty field; QString text (written in the table's code
// page), QByteArray for pictures, QDate, bool, integers and doubles.
struct Table {
    QList<Column> columns;
    QList<QVariantList> rows;
    int codePage = 1250;
    qint64 headerAutoInc = 0; // written into the header when not 0
};

// Writes `name`.db (and `name`.mb when a column keeps blobs) in `folder`. Blobs longer than the
// field's leader go to the .mb file, written here in Paradox's layout.
void write(const QString& folder, const QString& name, const Table& table);

// Column shorthands.
Column alpha(const QString& name, int length);
Column autoinc(const QString& name);
Column longint(const QString& name);
Column number(const QString& name);
Column money(const QString& name);
Column date(const QString& name);
Column logical(const QString& name);
Column memo(const QString& name);
Column blob(const QString& name);
Column graphic(const QString& name);

} // namespace pxtest
