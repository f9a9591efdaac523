#pragma once
#include <QString>
#include <QStringView>

struct sqlite3;

namespace engine {

// Text order of the whole program: case-insensitive and Polish-aware (a < ą < b, l < ł < m,
// z < ź < ż; "Łata" and "łata" compare equal), from a fixed, hand-written table so that an
// order that indexes depend on never changes under them. A consistent total order on weights;
// a prefix sorts before the longer text. Returns <0, 0, >0.
int comparePolish(const char* a, int na, const char* b, int nb); // UTF-8
int comparePolish(QStringView a, QStringView b);

// True when `text` begins with `prefix` in the order above (case and Polish folding alike).
bool beginsWithPolish(QStringView text, QStringView prefix);

// Unicode-aware upper-casing (ą -> Ą, ß stays), as SQL Upper() does.
QString upperPolish(QStringView text);

// The form texts are searched in: lower case, every letter without its marks (ł -> l, Ś -> s,
// é -> e), other characters as they are. What pl_fold() gives in SQL.
QString foldPolish(QStringView text);

// The bit (0..63) a folded ASCII character has in a mask of the characters a text holds; -1 for
// a character without one. What pl_letters() sets.
int searchLetterBit(char32_t c);

// A string that sorts after every text beginning with `prefix` (for index ranges).
QString prefixUpperBound(const QString& prefix);

// Registers on one connection the collation "PL" (the order above) and the functions
//   pl_upper(x)     Upper() of local SQL; NULL stays NULL
//   pl_num(x)       CAST(x AS NUMERIC): the number, accepting "," or "."; NULL when x is none
//   pl_date(x)      CAST(x AS DATE): "yyyy-MM-dd" from the forms parseLooseDate reads; else NULL
//   pl_prefix(x, p) 1 when x begins with p in the order above, else 0; NULL x gives 0
//   pl_fold(x)      foldPolish(x); NULL stays NULL
//   pl_letters(x)   the mask of searchLetterBit() of the characters in x; NULL gives 0
// Every connection the engine opens calls this.
void registerSqlFunctions(sqlite3* db);

} // namespace engine
