#include "engine/pgfunctions.h"
#include "engine/sortkey.h"
#include "engine/sqlfunctions.h"
#include "engine/sqlname.h"
#include <QChar>

namespace engine {

namespace {

// A character-for-character mapping, as translate(x, from, to) takes it.
struct CharMap {
    std::u32string from;
    std::u32string to;
};

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// translate() looks each character up by walking `from`, and a character missing from it costs
// the whole walk. So the characters of everyday Polish text come first, mapped to themselves
// where the mapping leaves them be, and the rest follow in code point order.
const std::u32string& everydayCharacters() {
    static const std::u32string s =
        U" aeoiznrwystcdkpmuljłbgęhąóżśćfńźvxq0123456789AEOIZNRWYSTCDKPMULJŁBGĘHĄÓŻŚĆFŃŹVXQ"
        U".,-/()'\"%:;_*+#&!?=";
    return s;
}

// NUL never occurs in the server's text, and surrogates are no characters there.
template <typename F> CharMap mapOfEveryCharacter(char32_t end, F f) {
    CharMap m;
    for (const char32_t c : everydayCharacters()) {
        if (m.from.find(c) != std::u32string::npos) continue;
        m.from += c, m.to += f(c);
    }
    for (char32_t c = 1; c < end; ++c) {
        if (isSurrogate(c) || everydayCharacters().find(c) != std::u32string::npos) continue;
        const char32_t to = f(c);
        if (to != c) m.from += c, m.to += to;
    }
    return m;
}

char32_t firstCodePoint(const QString& s) {
    if (s.isEmpty()) return 0;
    if (s.size() > 1 && s[0].isHighSurrogate() && s[1].isLowSurrogate())
        return QChar::surrogateToUcs4(s[0], s[1]);
    return s[0].unicode();
}

// A text literal the server reads whatever its client encoding and quoting settings: every
// character but letters and digits of ASCII as a Unicode escape.
QString literal(const std::u32string& chars) {
    QString out = QStringLiteral("U&'");
    for (const char32_t c : chars) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            out += QChar(char16_t(c));
        else if (c <= 0xFFFF)
            out += u'\\' + QString::number(uint(c), 16).rightJustified(4, u'0');
        else
            out += QStringLiteral("\\+") + QString::number(uint(c), 16).rightJustified(6, u'0');
    }
    return out + u'\'';
}

// `text` when y-m-d is a day, else NULL; each argument is an SQL expression.
QString checkedDate(const QString& y, const QString& m, const QString& d, const QString& text) {
    return QStringLiteral("CASE WHEN %1 >= 1 AND %2 BETWEEN 1 AND 12 AND %3 BETWEEN 1 AND CASE "
                          "WHEN %2 = 2 THEN CASE WHEN (%1 % 4 = 0 AND %1 % 100 <> 0) OR %1 % 400 "
                          "= 0 THEN 29 ELSE 28 END WHEN %2 IN (4, 6, 9, 11) THEN 30 ELSE 31 END "
                          "THEN %4 END")
        .arg(y, m, d, text);
}

QString translateCall(const QString& arg, const CharMap& m) {
    return QStringLiteral("translate(%1, %2, %3)").arg(arg, literal(m.from), literal(m.to));
}

const CharMap& upperMap() {
    // As pl_upper in SQLite: each character by itself, Unicode's simple mapping.
    static const CharMap m =
        mapOfEveryCharacter(0x110000, [](char32_t c) { return QChar::toUpper(c); });
    return m;
}

const CharMap& foldMap() {
    static const CharMap m = mapOfEveryCharacter(0x110000, [](char32_t c) {
        // Not QString::fromUcs4, which drops U+FEFF as a byte order mark.
        QString one;
        if (QChar::requiresSurrogates(c))
            one = QChar(QChar::highSurrogate(c)) + QChar(QChar::lowSurrogate(c));
        else
            one = QChar(char16_t(c));
        return firstCodePoint(foldPolish(one));
    });
    return m;
}

const CharMap& keyMap() {
    // Above U+017F every character is its own sort code.
    static const CharMap m = mapOfEveryCharacter(0x180, polishSortCode);
    return m;
}

// The blanks QString::trimmed() removes, which the loose readers of numbers and dates ignore.
const std::u32string& blanks() {
    static const std::u32string s = [] {
        std::u32string out;
        for (char32_t c = 1; c < 0x110000; ++c)
            if (!isSurrogate(c) && QChar::isSpace(c)) out += c;
        return out;
    }();
    return s;
}

std::u32string searchLetters() {
    std::u32string out(64, U' ');
    for (char32_t c = 0; c < 128; ++c)
        if (const int bit = searchLetterBit(c); bit >= 0) out[size_t(bit)] = c;
    return out;
}

} // namespace

QString pgSupportFunctionsSql(const QString& schema) {
    const QString s = quoted(schema);
    const QString b = literal(blanks());
    QString sql;

    // Stable as convert_to() is, so that the server may fold it into the calling query.
    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_key(x text) RETURNS bytea\n"
                          "LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $pl$\n"
                          "SELECT convert_to(%2, 'UTF8')\n$pl$;\n")
               .arg(s, translateCall(QStringLiteral("x"), keyMap()));

    // Text of ASCII alone (codes, many names) needs no table: the byte-wise upper() and
    // lower() give the same there.
    const QString ascii = QStringLiteral("x ~ '^[\\x01-\\x7f]*$'");
    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_upper_table(x text) RETURNS text\n"
                          "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                          "SELECT CASE WHEN %2 THEN upper(x COLLATE \"C\") ELSE %3 END\n$pl$;\n"
                          "CREATE OR REPLACE FUNCTION %1.pl_upper(x text) RETURNS text\n"
                          "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                          "SELECT %1.pl_upper_table(x)\n$pl$;\n")
               .arg(s, ascii, translateCall(QStringLiteral("x"), upperMap()));

    // The server's own upper() under a C.UTF-8 collation maps character by character too, and
    // is many times faster than the table. It is taken where it maps as the table does; the
    // characters it maps and the table does not (a newer Unicode on one side) send the text to
    // the table.
    CharMap changed;
    for (size_t i = 0; i < upperMap().from.size(); ++i)
        if (upperMap().from[i] != upperMap().to[i])
            changed.from += upperMap().from[i], changed.to += upperMap().to[i];
    QString schemaText = s;
    schemaText.replace(u'\'', QStringLiteral("''"));
    sql += QStringLiteral(
               "DO $pl$\n"
               "DECLARE\n"
               "  c text;\n"
               "  same boolean;\n"
               "  extra text;\n"
               "  body text;\n"
               "BEGIN\n"
               "  SELECT collname INTO c FROM pg_collation WHERE collname IN ('C.utf8', "
               "'C.UTF-8') AND collprovider = 'c' AND collencoding IN (-1, 6) LIMIT 1;\n"
               "  IF c IS NULL THEN\n"
               "    RETURN;\n"
               "  END IF;\n"
               "  EXECUTE format('SELECT upper($1 COLLATE %I) = $2', c) INTO same USING %2, %3;\n"
               "  IF NOT same THEN\n"
               "    RETURN;\n"
               "  END IF;\n"
               "  EXECUTE format('SELECT string_agg(CASE WHEN n > 65535 THEN ''\\U'' || "
               "lpad(to_hex(n), 8, ''0'') ELSE ''\\u'' || lpad(to_hex(n), 4, ''0'') END, '''') "
               "FROM generate_series(1, 1114111) AS n WHERE (n < 55296 OR n > 57343) AND "
               "upper(chr(n) COLLATE %I) <> chr(n) AND strpos($1, chr(n)) = 0', c) INTO extra "
               "USING %2;\n"
               "  IF extra IS NULL THEN\n"
               "    body := format('upper(x COLLATE %I)', c);\n"
               "  ELSE\n"
               "    body := format('CASE WHEN x ~ %L THEN %1.pl_upper_table(x) ELSE upper(x "
               "COLLATE %I) END', '[' || extra || ']', c);\n"
               "  END IF;\n"
               "  EXECUTE 'CREATE OR REPLACE FUNCTION %1.pl_upper(x text) RETURNS text LANGUAGE "
               "sql IMMUTABLE PARALLEL SAFE AS $f$ SELECT ' || body || ' $f$';\n"
               "END\n$pl$;\n")
               .arg(schemaText, literal(changed.from), literal(changed.to));

    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_fold(x text) RETURNS text\n"
                          "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                          "SELECT CASE WHEN %2 THEN lower(x COLLATE \"C\") ELSE %3 END\n$pl$;\n")
               .arg(s, ascii, translateCall(QStringLiteral("x"), foldMap()));

    // Both keys are whole characters, so a key that begins the other's is a beginning in the
    // text order too.
    sql +=
        QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_prefix(x text, p text) RETURNS boolean\n"
                       "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                       "SELECT coalesce(substr(%1.pl_key(x), 1, octet_length(%1.pl_key(p))) = "
                       "%1.pl_key(p), false)\n$pl$;\n")
            .arg(s);

    // One expression, so that the server folds it into the query that calls it.
    QStringList bits;
    const std::u32string letters = searchLetters();
    for (size_t bit = 0; bit < letters.size(); ++bit)
        bits << QStringLiteral("CASE WHEN strpos(x, %1) > 0 THEN 1::bigint << %2 ELSE 0 END")
                    .arg(literal(letters.substr(bit, 1)))
                    .arg(bit);
    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_letters(x text) RETURNS bigint\n"
                          "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                          "SELECT %2\n$pl$;\n")
               .arg(s, bits.join(QStringLiteral(" |\n")));

    // QString::toDouble's grammar after "," became "."; a number no double can hold (beyond
    // its range, or so small it would be zero) is none, as for the program.
    sql += QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1.pl_num_loose(x text) RETURNS numeric\n"
               "LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $pl$\n"
               "DECLARE\n"
               "  m text[];\n"
               "  whole text;\n"
               "  ex numeric;\n"
               "  magnitude numeric;\n"
               "  n numeric;\n"
               "BEGIN\n"
               "  m := regexp_match(replace(btrim(x, %2), ',', '.'),\n"
               "                    '^([+-]?)([0-9]*)(?:\\.([0-9]*))?(?:[eE]([+-]?[0-9]+))?$');\n"
               "  IF m IS NULL OR (m[2] = '' AND coalesce(m[3], '') = '') THEN\n"
               "    RETURN NULL;\n"
               "  END IF;\n"
               "  ex := coalesce(m[4], '0')::numeric;\n"
               "  IF ltrim(m[2] || coalesce(m[3], ''), '0') = '' THEN\n"
               "    RETURN 0;\n"
               "  END IF;\n"
               "  whole := ltrim(m[2], '0');\n"
               "  IF whole <> '' THEN\n"
               "    magnitude := ex + length(whole) - 1;\n"
               "  ELSE\n"
               "    magnitude := ex - (length(m[3]) - length(ltrim(m[3], '0'))) - 1;\n"
               "  END IF;\n"
               "  IF magnitude > 308 OR magnitude < -324 OR abs(ex) > 1000 THEN\n"
               "    RETURN NULL;\n"
               "  END IF;\n"
               "  n := (m[1] || coalesce(nullif(m[2], ''), '0') || '.' ||\n"
               "        coalesce(nullif(m[3], ''), '0') || 'e' || ex::text)::numeric;\n"
               "  IF abs(n) >= 1.797693134862315807937e308 OR abs(n) <= 2.4703282292062327e-324 "
               "THEN\n"
               "    RETURN NULL;\n"
               "  END IF;\n"
               "  RETURN n;\n"
               "END\n$pl$;\n")
               .arg(s, b);
    // A plain number, by far the most common, is read in the calling query itself; the rest
    // goes to the reader above.
    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_num(x text) RETURNS numeric\n"
                          "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                          "SELECT CASE WHEN x ~ '^-?[0-9]{1,15}([.,][0-9]{1,15})?$' THEN "
                          "replace(x, ',', '.')::numeric ELSE %1.pl_num_loose(x) END\n$pl$;\n")
               .arg(s);
    for (const char* type : {"bigint", "integer", "double precision", "numeric"})
        sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_num(x %2) RETURNS numeric\n"
                              "LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $pl$\n"
                              "SELECT x::numeric\n$pl$;\n")
                   .arg(s, QLatin1String(type));
    for (const char* type : {"date", "timestamp"})
        sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_num(x %2) RETURNS numeric\n"
                              "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                              "SELECT NULL::numeric\n$pl$;\n")
                   .arg(s, QLatin1String(type));
    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_num(x boolean) RETURNS numeric\n"
                          "LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $pl$\n"
                          "SELECT CASE WHEN x THEN 1 ELSE 0 END::numeric\n$pl$;\n")
               .arg(s);

    // parseLooseTimestamp: a date (day first or year first, ".", "-" or "/" between the
    // parts) and after a blank, or a "T" right after a ten-character date, H:mm[:ss[.zzz]].
    sql += QStringLiteral(
               "CREATE OR REPLACE FUNCTION %1.pl_date_loose(x text) RETURNS text\n"
               "LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $pl$\n"
               "DECLARE\n"
               "  t text := btrim(x, %2);\n"
               "  blank integer := strpos(t, ' ');\n"
               "  datepart text;\n"
               "  m text[];\n"
               "  y integer;\n"
               "  mo integer;\n"
               "  d integer;\n"
               "BEGIN\n"
               "  IF blank = 0 AND length(t) > 10 AND substr(t, 11, 1) = 'T' THEN\n"
               "    blank := 11;\n"
               "  END IF;\n"
               "  IF blank = 0 THEN\n"
               "    datepart := t;\n"
               "  ELSE\n"
               "    datepart := btrim(substr(t, 1, blank - 1), %2);\n"
               "    IF btrim(substr(t, blank + 1), %2) !~\n"
               "       '^([01]?[0-9]|2[0-3]):[0-5][0-9](:[0-5][0-9](\\.[0-9]{3})?)?$' THEN\n"
               "      RETURN NULL;\n"
               "    END IF;\n"
               "  END IF;\n"
               "  m := regexp_match(datepart, '^([0-9]+)([./-])([0-9]+)\\2([0-9]+)$');\n"
               "  IF m IS NULL THEN\n"
               "    RETURN NULL;\n"
               "  ELSIF length(m[1]) = 4 AND length(m[3]) <= 2 AND length(m[4]) <= 2 THEN\n"
               "    y := m[1]::integer; mo := m[3]::integer; d := m[4]::integer;\n"
               "  ELSIF length(m[4]) = 4 AND length(m[1]) <= 2 AND length(m[3]) <= 2 THEN\n"
               "    y := m[4]::integer; mo := m[3]::integer; d := m[1]::integer;\n"
               "  ELSE\n"
               "    RETURN NULL;\n"
               "  END IF;\n"
               "  IF y < 1 OR mo < 1 OR mo > 12 OR d < 1 OR\n"
               "     d > extract(day FROM make_date(y, mo, 1) + interval '1 month' - "
               "interval '1 day') THEN\n"
               "    RETURN NULL;\n"
               "  END IF;\n"
               "  RETURN lpad(y::text, 4, '0') || '-' || lpad(mo::text, 2, '0') || '-' || "
               "lpad(d::text, 2, '0');\n"
               "END\n$pl$;\n")
               .arg(s, b);
    // The two forms dates are stored and typed in most are read in the calling query itself.
    const QString iso = checkedDate(
        QStringLiteral("substr(x, 1, 4)::integer"), QStringLiteral("substr(x, 6, 2)::integer"),
        QStringLiteral("substr(x, 9, 2)::integer"), QStringLiteral("x"));
    const QString dotted = checkedDate(
        QStringLiteral("split_part(x, '.', 3)::integer"),
        QStringLiteral("split_part(x, '.', 2)::integer"),
        QStringLiteral("split_part(x, '.', 1)::integer"),
        QStringLiteral("split_part(x, '.', 3) || '-' || lpad(split_part(x, '.', 2), 2, '0') || "
                       "'-' || lpad(split_part(x, '.', 1), 2, '0')"));
    sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_date(x text) RETURNS text\n"
                          "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                          "SELECT CASE WHEN x ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}$' THEN %2\n"
                          "WHEN x ~ '^[0-9]{1,2}\\.[0-9]{1,2}\\.[0-9]{4}$' THEN %3\n"
                          "ELSE %1.pl_date_loose(x) END\n$pl$;\n")
               .arg(s, iso, dotted);
    // Values of the server's own date types, should a table hold them, give their day too.
    for (const char* type : {"date", "timestamp"})
        sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_date(x %2) RETURNS text\n"
                              "LANGUAGE sql STABLE STRICT PARALLEL SAFE AS $pl$\n"
                              "SELECT to_char(x, 'YYYY-MM-DD')\n$pl$;\n")
                   .arg(s, QLatin1String(type));
    // A number is no date.
    for (const char* type : {"bigint", "integer", "double precision", "numeric", "boolean"})
        sql += QStringLiteral("CREATE OR REPLACE FUNCTION %1.pl_date(x %2) RETURNS text\n"
                              "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $pl$\n"
                              "SELECT NULL::text\n$pl$;\n")
                   .arg(s, QLatin1String(type));
    return sql;
}

} // namespace engine
