#pragma once
#include <QString>

namespace engine {

// The SQL that creates, in `schema` (a bare name, quoted here), the server's counterparts of
// the functions every SQLite connection gets (registerSqlFunctions), giving the same answers:
//   pl_upper(text) -> text       Upper() of local SQL, Unicode's simple upper-case mapping
//   pl_num(x)      -> numeric    CAST(x AS NUMERIC): text read as parseLooseNumber reads it
//                                 (NULL when it is no number), numbers as they are
//   pl_date(x)     -> text       CAST(x AS DATE): "yyyy-MM-dd", as dates are stored, from text
//                                 in the forms parseLooseTimestamp reads; NULL otherwise
//   pl_prefix(text, text) -> boolean  x begins with p in the program's text order; NULL is false
//   pl_fold(text)  -> text       foldPolish()
//   pl_letters(text) -> bigint   the mask of searchLetterBit(); NULL gives 0
//   pl_key(text)   -> bytea      polishSortKey(), byte for byte
// (with helpers beside them: pl_upper_table, pl_num_loose, pl_date_loose). Plain SQL and
// PL/pgSQL only, no extension; safe to run again (CREATE OR REPLACE), in about a second and a
// half, most of it spent checking the server's upper() against the program's. The character
// tables are written out from the ones the program uses, so the server cannot disagree with
// the program whatever its locale. Run when a catalogue's schema is made.
QString pgSupportFunctionsSql(const QString& schema);

// The schema the support functions live in, one per database, shared by its catalogues (and
// the extensions the engine uses there: pg_trgm for the contains index), and the function whose
// presence says they were made there.
inline QString pgFunctionsSchema() {
    return QStringLiteral("pelk_sql");
}
inline QString pgFunctionsVersionFunction() {
    return QStringLiteral("pl_functions_version");
}

} // namespace engine
