#pragma once
#include "engine/fields.h"
#include <QDate>
#include <QDateTime>
#include <QVariant>
#include <optional>

namespace engine {

// How values are kept in SQLite: empty is NULL for every type; alpha and memo as text (alpha cut
// to its size); longint, autoinc and logical (0/1) as integers; number as a double; date as text
// "yyyy-MM-dd"; timestamp as text "yyyy-MM-dd HH:mm:ss" (".zzz" added when there are
// milliseconds); graphic as a blob. Text encodings of dates sort as the dates do.

// Reads dd.mm.yyyy, dd-mm-yyyy, yyyy.mm.dd and yyyy-mm-dd (day and month may have one digit);
// also "/" as separator. Surrounding blanks are ignored. nullopt for anything that is no date.
std::optional<QDate> parseLooseDate(QStringView text);
// A date as above, optionally followed by a blank and hh:mm or hh:mm:ss.
std::optional<QDateTime> parseLooseTimestamp(QStringView text);

QString dateToStorage(const QDate& d);
QDate dateFromStorage(QStringView s);
QString timestampToStorage(const QDateTime& t);
QDateTime timestampFromStorage(QStringView s);

// A number typed with "," or "." as decimal separator; nullopt when it is none.
std::optional<double> parseLooseNumber(QStringView text);

// The stored form of a value written into a field: a null QVariant for an empty value. Accepts
// the field's own type or text in the forms the loaders read (numbers with "," or ".", loose
// dates, logicals T/N/true/false/1/0). Alpha text is cut to the field's size. Throws
// EngineError(BadValue) for a value that cannot be the field's type.
QVariant toStorage(const FieldDef& field, const QVariant& value, const QString& table = {});

// The typed value of a stored one: QString, int (longint, autoinc), double, QDate, QDateTime,
// bool, QByteArray, or a null QVariant for an empty field.
QVariant fromStorage(const FieldDef& field, const QVariant& stored);

} // namespace engine
