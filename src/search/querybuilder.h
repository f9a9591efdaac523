#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace store {
struct QueryState;
}

namespace search {

// The fixed operator lists of the query's item rows (group, names, symbol, producer, producer
// symbol) and of the selling price, matched by index; the third item entry ends in a blank.
const QStringList& queryItemOperators();
const QStringList& queryPriceOperators();
enum QueryItemOp { ItemEquals = 0, ItemContains = 1, ItemStartsWith = 2, ItemNothing = 3 };
constexpr int kPriceNothing = 5;

// The operators offered for an attribute's value, by its type letter (Cecha_Typ), matched by
// text; empty for a letter that is no type.
QStringList valueOperators(const QString& typeLetter);
// The label shown beside the attribute's name ("typ liczbowy").
QString attributeTypeLabel(const QString& typeLetter);

// A text between double quotes for local SQL; a quote inside is doubled, which the engine reads
// back as one, so a value cannot end the text early.
QString sqlQuoted(const QString& value);
// The value as the SQL compares it with Upper(): every letter in capitals, as Upper() does.
QString sqlUpper(const QString& value);
// A typed number for the SQL text: optional sign, digits, one "," or "." before further digits;
// blanks around it are dropped and the comma becomes a dot. Nothing for anything else.
std::optional<QString> sqlNumber(const QString& typed);

// Step one of building: a chosen operator with a non-empty box joins the group or the company
// table. Flags once set are not cleared here.
void setJoinFlags(store::QueryState& q);

// The SQL lines of the item query, one entry per line, from the query state with its join flags
// already set. Nothing when the selling price or a numeric attribute value that takes part is
// not a number.
std::optional<QStringList> queryLines(const store::QueryState& q);

} // namespace search
