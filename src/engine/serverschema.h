#pragma once
#include "engine/fields.h"
#include <QStringList>
#include <QVariant>

namespace engine {

// How a catalogue's tables are laid out on a server. Values keep the stored form of values.h
// (dates and timestamps as text, logicals as integers), so rows copy between a folder and a
// server unchanged. Beside them:
// - a row id column "rowid" of its own, drawn from a sequence and never reused;
// - for every text column (alpha, memo, date, timestamp) its sort-key companion
//   (sortKeyColumn), the engine's Polish order as bytes, which the engine writes with every
//   insert and update and which orders, compares and indexes the text.

// The field's column holds text, on a server as in a folder.
bool isTextColumn(FieldType type);
// A column of a table on the server, named as the server names it, with its type as the
// server's catalogue (information_schema) spells it.
struct ServerColumn {
    QString name;
    QString type;
};
// The columns of a field: the field itself, then its sort key if it has one.
QList<ServerColumn> serverColumnsOf(const FieldDef& field);
// The same as column definitions for CREATE TABLE.
QStringList serverColumns(const FieldDef& field);
QString serverRowIdColumn();
// The names of a table's index and of its change trigger (serverChangeTriggerSql) on the server.
QString serverIndexName(const TableDef& def, const IndexDef& index);
QString serverChangeTriggerName(const TableDef& def);
// A name as the server keeps it: cut to its limit of 63 bytes, before a character that would
// not fit whole.
QString serverStoredName(const QString& name);
// CREATE INDEX for one of a table's indexes: text fields by their sort keys, empty values first
// as in a folder, the row id last so that rows with equal keys keep one order.
QString serverIndexSql(const TableDef& def, const IndexDef& index);

// CREATE TRIGGER making every write to the table, by any program, a change of the catalogue.
QString serverChangeTriggerSql(const TableDef& def);

// The sort key written beside a stored text value (a null one stays null).
QVariant sortKeyOf(const QVariant& stored);

} // namespace engine
