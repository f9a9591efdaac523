#pragma once
#include <QString>
#include <QStringList>

namespace store {
struct FilterState;
}

namespace search {

// Operator lists of the filter's rows, by index. The name rows carry "zaczyna się " with a
// trailing blank, the symbol rows without: the lists are the dialog's own texts.
const QStringList& filterNameOperators();   // Name 1, Name 2
const QStringList& filterCodeOperators();   // Symbol, producer code
const QStringList& filterChoiceOperators(); // group, producer
enum FilterTextOp { FilterEquals = 0, FilterStartsWith = 1, FilterNothing = 2 };
constexpr int kFilterChoiceNothing = 1;

// A text between single quotes for the item table's filter; a quote inside is written twice,
// which the engine reads back as one, so no typed name can end the text early.
QString filterQuoted(const QString& value);

// The item table's filter expression from the dialog's values: group, then Name 1, Name 2,
// Symbol and producer code, then producer, joined by " and". Empty when nothing narrows the
// list.
QString filterExpression(const store::FilterState& f);

} // namespace search
