#include "engine/localsql.h"
#include "engine/error.h"
#include "engine/lexing.h"
#include "engine/sqldialect.h"
#include "engine/sqlname.h"
#include "engine/values.h"
#include <algorithm>
#include <vector>

namespace engine {

namespace {

// ---------------------------------------------------------------------------------------------
// Tokens

enum class Tok { End, Word, Number, String, Op, Sign, LParen, RParen, Comma, Dot, Star, Semicolon };

struct Token {
    Tok kind = Tok::End;
    QString text; // as written; a string literal without its quotes, doubled quotes made single
    int line = 1;
    QChar quote; // String: the quote it was written with
};

using lexing::isDigit;
using lexing::isIdentChar;
using lexing::isIdentStart;

// Words that end a clause or carry syntax; none of them can name a field or an alias.
bool isReserved(const QString& w) {
    static const char16_t* const words[] = {
        u"select", u"distinct", u"from", u"where", u"order",  u"by",      u"group",
        u"having", u"and",      u"or",   u"not",   u"like",   u"between", u"is",
        u"null",   u"as",       u"asc",  u"desc",  u"join",   u"inner",   u"left",
        u"right",  u"outer",    u"on",   u"union", u"insert", u"update",  u"delete",
        u"into",   u"values",   u"set",  u"in",    u"escape", u"all"};
    for (auto k : words)
        if (w.compare(QStringView(k), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Operands

// How a literal is read when it meets an operand of known type. Dates must compare as dates
// and numbers as numbers, whatever the literal looks like, so the literal takes the stored form
// of the other side; a literal that cannot be that type binds NULL and matches nothing.
enum class Domain { Any, Text, Number, Date, Timestamp, Logical };

Domain domainOf(FieldType t) {
    switch (t) {
    case FieldType::Alpha:
    case FieldType::Memo:
        return Domain::Text;
    case FieldType::AutoInc:
    case FieldType::LongInt:
    case FieldType::Number:
        return Domain::Number;
    case FieldType::Date:
        return Domain::Date;
    case FieldType::Timestamp:
        return Domain::Timestamp;
    case FieldType::Logical:
        return Domain::Logical;
    case FieldType::Graphic:
        return Domain::Any;
    }
    return Domain::Any;
}

struct Fragment {
    QString sql;
    QVariantList params;

    void add(const Fragment& f) {
        sql += f.sql;
        params += f.params;
    }
};

struct Expr {
    enum class Kind { Column, Computed, String, Number };
    Kind kind = Kind::Column;
    Fragment code; // Column, Computed
    Domain domain = Domain::Any;
    FieldDef field;  // the result column it makes in the select list
    QString literal; // String: the value; Number: as written, sign included
    QVariant number; // Number
    QString keySql;  // a text column on a server: its sort-key companion
    int line = 1;

    bool isLiteral() const { return kind == Kind::String || kind == Kind::Number; }
};

QVariant literalValue(const Expr& e, Domain d) {
    const bool text = e.kind == Expr::Kind::String;
    switch (d) {
    case Domain::Any:
        return text ? QVariant(e.literal) : e.number;
    case Domain::Text:
        return e.literal;
    case Domain::Number:
        if (!text) return e.number;
        if (auto n = parseLooseNumber(e.literal)) return *n;
        return {};
    case Domain::Date:
        if (!text) return {};
        if (auto dt = parseLooseDate(e.literal)) return dateToStorage(*dt);
        return {};
    case Domain::Timestamp:
        if (!text) return {};
        if (auto ts = parseLooseTimestamp(e.literal)) return timestampToStorage(*ts);
        return {};
    case Domain::Logical:
        try {
            return toStorage(FieldDef{QString(), FieldType::Logical},
                             text ? QVariant(e.literal) : e.number);
        } catch (const EngineError&) {
            return {};
        }
    }
    return {};
}

Fragment operand(const Expr& e, Domain d) {
    if (!e.isLiteral()) return e.code;
    return {QStringLiteral("?"), {literalValue(e, d)}};
}

// The domain literals of a comparison are read in: that of its first operand of known type.
Domain commonDomain(std::initializer_list<const Expr*> operands) {
    for (const Expr* e : operands)
        if (!e->isLiteral()) return e->domain;
    return Domain::Any;
}

struct Source {
    TableDef def;
    QString ref; // the name its columns are qualified with: the alias, or else the table's name
};

struct Output {
    Fragment code;
    FieldDef field;
};

struct OrderTerm {
    Fragment code;
    Domain domain = Domain::Any;
    QString keySql; // see Expr
    bool descending = false;
};

// ---------------------------------------------------------------------------------------------

class Translator {
public:
    Translator(const QString& text, const TableLookup& lookup, SqlDialect dialect)
        : text_(text), lookup_(lookup), pg_(dialect == SqlDialect::Postgres) {}

    LocalSqlQuery run() {
        tokenize();
        if (peek().kind == Tok::End) fail(QStringLiteral("zapytanie jest puste"), 1);
        const Token& first = peek();
        if (!isWord(first, u"select"))
            fail(QStringLiteral(
                     "dozwolone jest tylko polecenie SELECT, a zapytanie zaczyna się od ") +
                     shown(first),
                 first.line);
        next();
        const bool distinct = acceptWord(u"distinct");

        // The select list names columns of the tables listed after it, so FROM is read first.
        const size_t listStart = pos_;
        size_t fromPos = listStart;
        while (tokens_[fromPos].kind != Tok::End && !isWord(tokens_[fromPos], u"from"))
            ++fromPos;
        if (tokens_[fromPos].kind == Tok::End)
            fail(QStringLiteral("brak klauzuli FROM"), tokens_[fromPos].line);
        if (fromPos == listStart)
            fail(QStringLiteral("brak listy pól po SELECT"), tokens_[fromPos].line);
        pos_ = fromPos + 1;
        parseFrom();
        const size_t afterFrom = pos_;
        pos_ = listStart;
        parseSelectList(fromPos);
        pos_ = afterFrom;

        Fragment where;
        if (isWord(peek(), u"where")) {
            const Token& w = next();
            if (endsClause(peek())) fail(QStringLiteral("brak warunku po WHERE"), w.line);
            where = parseOr();
        }
        if (isWord(peek(), u"order")) {
            const Token& o = next();
            if (!isWord(peek(), u"by")) fail(QStringLiteral("po ORDER brak słowa BY"), o.line);
            next();
            parseOrderBy();
        }
        if (peek().kind == Tok::Semicolon) {
            next();
            if (peek().kind != Tok::End)
                fail(QStringLiteral("dozwolone jest tylko jedno polecenie"), peek().line);
        }
        if (peek().kind != Tok::End) unexpected(peek());

        // PostgreSQL orders DISTINCT rows only by what they show, while SQLite takes the order
        // from any row of the group: there the rows are grouped and ordered by the least value
        // of each term in the group.
        const bool grouped = pg_ && distinct && !order_.empty();
        const Fragment order = orderBy(grouped);

        LocalSqlQuery q;
        Fragment all;
        all.sql =
            distinct && !grouped ? QStringLiteral("SELECT DISTINCT ") : QStringLiteral("SELECT ");
        for (qsizetype i = 0; i < outputs_.size(); ++i) {
            if (i > 0) all.sql += QStringLiteral(", ");
            all.add(outputs_[i].code);
            q.columns.push_back(outputs_[i].field);
        }
        all.sql += QStringLiteral(" FROM ");
        for (size_t i = 0; i < sources_.size(); ++i) {
            if (i > 0) all.sql += QStringLiteral(", ");
            all.sql += quoted(sources_[i].def.name);
            if (sources_[i].ref != sources_[i].def.name)
                all.sql += QStringLiteral(" AS ") + quoted(sources_[i].ref);
        }
        if (!where.sql.isEmpty()) {
            all.sql += QStringLiteral(" WHERE ");
            all.add(where);
        }
        const qsizetype orderAt = all.sql.size();
        if (grouped) {
            all.sql += QStringLiteral(" GROUP BY ");
            for (qsizetype i = 0; i < outputs_.size(); ++i)
                all.sql += (i > 0 ? QStringLiteral(", ") : QString()) + QString::number(i + 1);
        }
        if (!order.sql.isEmpty()) {
            all.sql += QStringLiteral(" ORDER BY ");
            all.add(order);
            // Rows equal in the order keep a stable order, as in the table objects: by row id.
            all.sql += QStringLiteral(", ") + rowIdTerm(sources_.front(), grouped);
        }
        q.sql = all.sql;
        q.params = all.params;
        if (const Source* rows = wholeRowsOf(distinct, order)) {
            q.rowTable = rows->def.name;
            // Only ids are read, so walking an index in order reads no rows: the order may use
            // one.
            const qsizetype fromAt = all.sql.indexOf(QStringLiteral(" FROM "));
            q.idSql = (distinct && !grouped ? QStringLiteral("SELECT DISTINCT ")
                                            : QStringLiteral("SELECT ")) +
                      quoted(rows->ref) + QStringLiteral(".rowid") +
                      all.sql.mid(fromAt, orderAt - fromAt) +
                      (grouped ? QStringLiteral(" GROUP BY ") + quoted(rows->ref) +
                                     QStringLiteral(".rowid")
                               : QString()) +
                      QStringLiteral(" ORDER BY ") + (pg_ ? order.sql : plainOrder_) +
                      QStringLiteral(", ") + rowIdTerm(*rows, grouped);
        }
        return q;
    }

private:
    [[noreturn]] void fail(const QString& cause, int line, const QString& table = {}) const {
        throw EngineError(EngineError::Kind::BadSql,
                          QStringLiteral("Zapytanie SQL jest niepoprawne: ") + cause +
                              QStringLiteral(" (wiersz ") + QString::number(line) +
                              QStringLiteral(")."),
                          table);
    }

    static QString shown(const Token& t) {
        switch (t.kind) {
        case Tok::End:
            return QStringLiteral("koniec zapytania");
        case Tok::String: {
            QString s = t.text;
            s.replace(t.quote, QString(t.quote) + t.quote);
            if (s.size() > 40) s = s.left(40) + QStringLiteral("...");
            return t.quote + s + t.quote;
        }
        default:
            return u'\u201E' + t.text + u'\u201D';
        }
    }

    [[noreturn]] void unexpected(const Token& t) const {
        if (t.kind == Tok::End) fail(QStringLiteral("zapytanie urywa się"), t.line);
        fail(QStringLiteral("nieoczekiwany element ") + shown(t), t.line);
    }

    // -- tokens -------------------------------------------------------------------------------

    void tokenize() {
        const QString& s = text_;
        const qsizetype n = s.size();
        int line = 1;
        qsizetype i = 0;
        auto push = [&](Tok kind, QString text, int at) {
            tokens_.push_back(Token{kind, std::move(text), at, QChar()});
        };
        while (i < n) {
            const QChar c = s[i];
            if (c == u'\n') {
                ++line;
                ++i;
            } else if (c.isSpace()) {
                ++i;
            } else if (isIdentStart(c)) {
                qsizetype j = i + 1;
                while (j < n && isIdentChar(s[j]))
                    ++j;
                push(Tok::Word, s.mid(i, j - i), line);
                i = j;
            } else if (isDigit(c)) {
                qsizetype j = i + 1;
                while (j < n && isDigit(s[j]))
                    ++j;
                if (j + 1 < n && s[j] == u'.' && isDigit(s[j + 1])) {
                    j += 2;
                    while (j < n && isDigit(s[j]))
                        ++j;
                }
                push(Tok::Number, s.mid(i, j - i), line);
                i = j;
            } else if (c == u'"' || c == u'\'') {
                const int start = line;
                QString value;
                ++i;
                for (;;) {
                    if (i >= n) fail(QStringLiteral("niezamknięty cudzysłów"), start);
                    if (s[i] == c) {
                        if (i + 1 < n && s[i + 1] == c) {
                            value += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (s[i] == u'\n') ++line;
                    value += s[i++];
                }
                tokens_.push_back(Token{Tok::String, value, start, c});
            } else if (c == u'<' || c == u'>' || c == u'=' || c == u'!') {
                QString op(c);
                const QChar d = i + 1 < n ? s[i + 1] : QChar();
                if ((c == u'<' && (d == u'=' || d == u'>')) || (c == u'>' && d == u'=') ||
                    (c == u'!' && d == u'='))
                    op += d;
                if (op == u"!") fail(QStringLiteral("niedozwolony znak „!”"), line);
                push(Tok::Op, op, line);
                i += op.size();
            } else {
                Tok kind = Tok::End;
                switch (c.unicode()) {
                case u'+':
                case u'-':
                    kind = Tok::Sign;
                    break;
                case u'(':
                    kind = Tok::LParen;
                    break;
                case u')':
                    kind = Tok::RParen;
                    break;
                case u',':
                    kind = Tok::Comma;
                    break;
                case u'.':
                    kind = Tok::Dot;
                    break;
                case u'*':
                    kind = Tok::Star;
                    break;
                case u';':
                    kind = Tok::Semicolon;
                    break;
                default:
                    fail(QStringLiteral("niedozwolony znak „") + c + QStringLiteral("”"), line);
                }
                push(kind, QString(c), line);
                ++i;
            }
        }
        push(Tok::End, QString(), tokens_.empty() ? 1 : tokens_.back().line);
    }

    const Token& peek(size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    const Token& next() {
        const Token& t = tokens_[pos_];
        if (pos_ + 1 < tokens_.size()) ++pos_;
        return t;
    }
    static bool isWord(const Token& t, QStringView w) {
        return t.kind == Tok::Word && t.text.compare(w, Qt::CaseInsensitive) == 0;
    }
    bool acceptWord(QStringView w) {
        if (!isWord(peek(), w)) return false;
        next();
        return true;
    }
    const Token& previous() const { return tokens_[pos_ > 0 ? pos_ - 1 : 0]; }

    // Where a condition cannot continue: the end of the WHERE clause.
    static bool endsClause(const Token& t) {
        return t.kind == Tok::End || t.kind == Tok::Semicolon || isWord(t, u"order");
    }

    // -- tables and columns -------------------------------------------------------------------

    // Length of a table qualifier at the current position: `Towar.`, `Towar.db.` or
    // `"Towar.db".`; 0 when there is none.
    size_t qualifierLength() const {
        const Token& a = peek();
        if ((a.kind != Tok::Word && a.kind != Tok::String) || peek(1).kind != Tok::Dot) return 0;
        if (a.kind == Tok::Word && isWord(peek(2), u"db") && peek(3).kind == Tok::Dot) return 4;
        return 2;
    }

    const Source& readQualifier() {
        const size_t len = qualifierLength();
        const Token& t = peek();
        const QString name = bareTableName(t.text);
        for (size_t i = 0; i < len; ++i)
            next();
        const Source* found = nullptr;
        for (const auto& s : sources_)
            if (s.ref.compare(name, Qt::CaseInsensitive) == 0) found = &s;
        if (!found) {
            // An aliased table may still be named by its own name when that is unambiguous.
            int matches = 0;
            for (const auto& s : sources_)
                if (s.def.name.compare(name, Qt::CaseInsensitive) == 0) found = &s, ++matches;
            if (matches > 1)
                fail(QStringLiteral("tabela ") + name +
                         QStringLiteral(" występuje w FROM kilka razy; podaj jej alias"),
                     t.line, name);
        }
        if (!found)
            fail(QStringLiteral("tabela ") + name +
                     QStringLiteral(" nie występuje w klauzuli FROM"),
                 t.line, name);
        return *found;
    }

    Expr columnExpr(const Source& s, const FieldDef& f, int line) const {
        Expr e;
        e.kind = Expr::Kind::Column;
        e.code.sql = quoted(s.ref) + u'.' + quoted(f.name);
        if (isTextType(f.type)) e.keySql = quoted(s.ref) + u'.' + quoted(sortKeyColumn(f.name));
        e.domain = domainOf(f.type);
        e.field = f;
        e.line = line;
        return e;
    }

    Expr parseColumn() {
        if (qualifierLength() > 0) {
            const Source& s = readQualifier();
            const Token& f = next();
            if (f.kind != Tok::Word)
                fail(QStringLiteral("brak nazwy pola po nazwie tabeli ") + s.ref, f.line);
            const FieldDef* field = s.def.field(f.text);
            if (!field)
                fail(QStringLiteral("tabela ") + s.def.name + QStringLiteral(" nie ma pola ") +
                         f.text,
                     f.line, s.def.name);
            return columnExpr(s, *field, f.line);
        }
        const Token& f = next();
        const Source* owner = nullptr;
        QStringList owners;
        for (const auto& s : sources_)
            if (s.def.field(f.text)) {
                owner = &s;
                owners << s.ref;
            }
        if (owners.isEmpty())
            fail(QStringLiteral("żadna z tabel zapytania nie ma pola ") + f.text, f.line);
        if (owners.size() > 1)
            fail(QStringLiteral("pole ") + f.text + QStringLiteral(" występuje w tabelach ") +
                     owners.join(QStringLiteral(", ")) +
                     QStringLiteral("; podaj nazwę tabeli przed nazwą pola"),
                 f.line);
        return columnExpr(*owner, *owner->def.field(f.text), f.line);
    }

    void parseFrom() {
        if (endsClause(peek()) || isWord(peek(), u"where"))
            fail(QStringLiteral("brak nazwy tabeli po FROM"), previous().line);
        for (;;) {
            const Token& t = next();
            if ((t.kind != Tok::Word && t.kind != Tok::String) ||
                (t.kind == Tok::Word && isReserved(t.text)))
                fail(QStringLiteral("oczekiwano nazwy tabeli, a jest ") + shown(t), t.line);
            if (t.kind == Tok::Word && peek().kind == Tok::Dot && isWord(peek(1), u"db")) {
                next();
                next();
            }
            const QString name = bareTableName(t.text);
            if (name.isEmpty()) fail(QStringLiteral("pusta nazwa tabeli"), t.line);
            std::optional<TableDef> def = lookup_(name);
            if (!def) fail(QStringLiteral("nie ma tabeli ") + name, t.line, name);

            QString alias;
            if (acceptWord(u"as")) {
                const Token& a = next();
                if (a.kind != Tok::Word || isReserved(a.text))
                    fail(QStringLiteral("brak nazwy po AS"), a.line);
                alias = a.text;
            } else if (peek().kind == Tok::Word && !isReserved(peek().text)) {
                alias = next().text;
            }
            Source s{std::move(*def), QString()};
            s.ref = alias.isEmpty() ? s.def.name : alias;
            for (const auto& other : sources_)
                if (other.ref.compare(s.ref, Qt::CaseInsensitive) == 0)
                    fail(QStringLiteral("nazwa ") + s.ref +
                             QStringLiteral(" występuje w FROM dwa razy; nadaj tabeli alias"),
                         t.line, s.def.name);
            sources_.push_back(std::move(s));
            if (peek().kind != Tok::Comma) break;
            next();
        }
    }

    // -- select list --------------------------------------------------------------------------

    void addOutput(Fragment code, FieldDef field, bool expression) {
        // Two columns of one name (Towar.Tow_Nr, Opis.Tow_Nr) stay apart as Tow_Nr, Tow_Nr_1.
        const QString base = field.name;
        auto taken = [&](const QString& n) {
            for (const auto& o : outputs_)
                if (o.field.name.compare(n, Qt::CaseInsensitive) == 0) return true;
            return false;
        };
        for (int k = 1; taken(field.name); ++k)
            field.name = base + u'_' + QString::number(k);
        if (expression || field.name != base)
            code.sql += QStringLiteral(" AS ") + quoted(field.name);
        outputs_.push_back(Output{std::move(code), std::move(field)});
    }

    // The source whose whole rows are the result, when a result row is known by its row id:
    // the select list is `T.*` alone, the order is defined and names no other table (so the
    // ids sort as the rows do), and DISTINCT rows are distinct rows (the table has a key).
    const Source* wholeRowsOf(bool distinct, const Fragment& order) const {
        if (starSources_.size() != 1 || order.sql.isEmpty() || orderParams_) return nullptr;
        const Source& s = sources_[starSources_.front()];
        if (outputs_.size() != s.def.fields.size()) return nullptr;
        for (const auto& other : sources_)
            if (&other != &s && order.sql.contains(quoted(other.ref) + u'.')) return nullptr;
        if (distinct && !s.def.primaryIndex() &&
            std::none_of(s.def.fields.cbegin(), s.def.fields.cend(),
                         [](const FieldDef& f) { return f.type == FieldType::AutoInc; }))
            return nullptr;
        return &s;
    }

    void addAllFields(const Source& s) {
        starSources_.push_back(size_t(&s - sources_.data()));
        for (const auto& f : s.def.fields)
            addOutput(Fragment{quoted(s.ref) + u'.' + quoted(f.name), {}}, f, false);
    }

    void parseSelectList(size_t end) {
        for (;;) {
            if (peek().kind == Tok::Star) {
                next();
                for (const auto& s : sources_)
                    addAllFields(s);
            } else if (const size_t q = qualifierLength(); q > 0 && peek(q).kind == Tok::Star) {
                const Source& s = readQualifier();
                next();
                addAllFields(s);
            } else {
                Expr e = parseOperand();
                FieldDef f = e.field;
                bool named = false;
                if (acceptWord(u"as")) {
                    const Token& a = next();
                    if ((a.kind != Tok::Word && a.kind != Tok::String) ||
                        a.text.trimmed().isEmpty() || (a.kind == Tok::Word && isReserved(a.text)))
                        fail(QStringLiteral("brak nazwy kolumny po AS"), a.line);
                    f.name = a.text;
                    named = true;
                } else if (peek().kind == Tok::Word && !isReserved(peek().text)) {
                    f.name = next().text;
                    named = true;
                }
                addOutput(operand(e, Domain::Any), f, e.kind != Expr::Kind::Column || named);
            }
            if (peek().kind != Tok::Comma) break;
            next();
        }
        if (pos_ != end) unexpected(peek());
    }

    // -- conditions ---------------------------------------------------------------------------

    Fragment parseOr() {
        Fragment f = parseAnd();
        while (isWord(peek(), u"or")) {
            next();
            f.sql += QStringLiteral(" OR ");
            f.add(parseAnd());
        }
        return f;
    }

    Fragment parseAnd() {
        Fragment f = parseNot();
        while (isWord(peek(), u"and")) {
            next();
            f.sql += QStringLiteral(" AND ");
            f.add(parseNot());
        }
        return f;
    }

    // Nesting this deep is no query anyone wrote; refuse it before the stack runs out. Every
    // way into a nested condition or operand (parentheses, NOT, Upper, CAST) passes here.
    class Nesting {
    public:
        explicit Nesting(Translator& t) : t_(t) {
            if (++t_.depth_ > kMaxDepth)
                t_.fail(QStringLiteral("zbyt głęboko zagnieżdżone nawiasy"), t_.peek().line);
        }
        ~Nesting() { --t_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Translator& t_;
    };
    static constexpr int kMaxDepth = 200;

    Fragment parseNot() {
        const Nesting nesting(*this);
        if (!isWord(peek(), u"not")) return parsePredicate();
        next();
        if (peek().kind == Tok::LParen)
            return wrap(QStringLiteral("NOT "), parsePredicate(), QString());
        return wrap(QStringLiteral("NOT ("), parseNot());
    }

    Fragment parsePredicate() {
        if (peek().kind == Tok::LParen) {
            const Token& open = next();
            if (peek().kind == Tok::RParen) fail(QStringLiteral("pusty nawias"), open.line);
            Fragment f{QStringLiteral("("), {}};
            f.add(parseOr());
            if (peek().kind != Tok::RParen) {
                if (peek().kind == Tok::End || endsClause(peek()))
                    fail(QStringLiteral("brak nawiasu zamykającego"), open.line);
                unexpected(peek());
            }
            next();
            f.sql += u')';
            return f;
        }
        const Expr left = parseOperand();
        const Token& t = peek();
        if (t.kind == Tok::Op) {
            next();
            const Expr right = parseOperand();
            return compare(left, t.text, right);
        }
        bool negated = false;
        if (isWord(t, u"not") && (isWord(peek(1), u"like") || isWord(peek(1), u"between"))) {
            next();
            negated = true;
        }
        if (acceptWord(u"like")) {
            const Expr pattern = parseOperand();
            Fragment f = asText(left, Domain::Any);
            f.sql += negated ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ");
            f.add(asText(pattern, Domain::Text));
            // As in SQLite, a backslash in the pattern is an ordinary character.
            if (pg_) f.sql += QStringLiteral(" ESCAPE ''");
            return f;
        }
        if (acceptWord(u"between")) {
            const Expr low = parseOperand();
            if (!isWord(peek(), u"and"))
                fail(QStringLiteral("po BETWEEN brak AND i drugiej granicy"), peek().line);
            next();
            const Expr high = parseOperand();
            const Domain d = commonDomain({&left, &low, &high});
            Fragment f = exactText(operand(left, d), d);
            f.sql += negated ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ");
            f.add(operand(low, d));
            f.sql += QStringLiteral(" AND ");
            f.add(operand(high, d));
            return f;
        }
        if (acceptWord(u"is")) {
            const bool isNot = acceptWord(u"not");
            if (!acceptWord(u"null")) fail(QStringLiteral("po IS oczekiwano NULL"), peek().line);
            Fragment f = operand(left, Domain::Any);
            f.sql += isNot ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL");
            return f;
        }
        if (t.kind == Tok::End || endsClause(t) || t.kind == Tok::RParen || isWord(t, u"and") ||
            isWord(t, u"or"))
            fail(QStringLiteral("samo pole lub wartość nie jest warunkiem: brak porównania"),
                 t.line);
        fail(QStringLiteral("oczekiwano operatora porównania, a jest ") + shown(t), t.line);
    }

    Fragment compare(const Expr& left, const QString& op, const Expr& right) const {
        const QString sqlOp = op == u"!=" ? QStringLiteral("<>") : op;
        const Domain d = commonDomain({&left, &right});
        // Empty text is stored as NULL, so "" finds the empty fields rather than nothing.
        if (d == Domain::Text && (sqlOp == u"=" || sqlOp == u"<>")) {
            const Expr* other = nullptr;
            if (right.kind == Expr::Kind::String && right.literal.isEmpty()) other = &left;
            if (left.kind == Expr::Kind::String && left.literal.isEmpty()) other = &right;
            if (other && !other->isLiteral()) {
                Fragment f = other->code;
                f.sql +=
                    sqlOp == u"=" ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL");
                return f;
            }
        }
        Fragment f = exactText(operand(left, d), d);
        f.sql += u' ' + sqlOp + u' ';
        f.add(operand(right, d));
        return f;
    }

    // Texts in conditions compare as SQLite compares them, character by character (the
    // program's order is for ORDER BY): on PostgreSQL whatever the database's collation. Dates
    // and timestamps are such text there too.
    static bool heldAsText(Domain d) {
        return d == Domain::Text || d == Domain::Date || d == Domain::Timestamp;
    }
    Fragment exactText(Fragment f, Domain d) const {
        if (pg_ && heldAsText(d)) f.sql += QStringLiteral(" COLLATE \"C\"");
        return f;
    }

    // An operand where text is wanted: SQLite reads any value as its text, PostgreSQL needs
    // to be told.
    // A logical is 0 or 1 as SQLite holds it, and a number field's whole value, being a REAL
    // there, reads "150.0".
    Fragment asText(const Expr& e, Domain d) const {
        if (pg_ && e.isLiteral()) return operand(e, Domain::Text);
        Fragment f = operand(e, d);
        if (!pg_ || e.isLiteral() || heldAsText(e.domain)) return f;
        if (e.domain == Domain::Logical)
            return wrap(QStringLiteral("CAST(CAST("), f, QStringLiteral(" AS integer) AS text)"));
        if (e.kind == Expr::Kind::Column && e.field.type == FieldType::Number) {
            const QString& x = f.sql; // a column: no parameters to repeat
            return Fragment{QStringLiteral("CASE WHEN %1 = trunc(%1) AND abs(%1) < 1e15 THEN "
                                           "CAST(CAST(%1 AS numeric) AS text) || '.0' ELSE "
                                           "CAST(CAST(%1 AS numeric) AS text) END")
                                .arg(x),
                            {}};
        }
        return wrap(QStringLiteral("CAST("), f, QStringLiteral(" AS text)"));
    }

    [[noreturn]] void missingOperand(const Token& t) const {
        const Token& before = previous();
        if (t.kind == Tok::RParen && before.kind == Tok::LParen)
            fail(QStringLiteral("pusty nawias"), t.line);
        if (isWord(before, u"and") || isWord(before, u"or") || isWord(before, u"not"))
            fail(QStringLiteral("brak warunku po ") + before.text.toUpper(), before.line);
        if (t.kind == Tok::End) fail(QStringLiteral("zapytanie urywa się"), t.line);
        fail(QStringLiteral("oczekiwano pola lub wartości, a jest ") + shown(t), t.line);
    }

    Expr parseOperand() {
        const Nesting nesting(*this);
        const Token& t = peek();
        if (t.kind == Tok::Sign && peek(1).kind == Tok::Number) {
            next();
            Expr e = numberLiteral(next());
            if (t.text == u"-") {
                e.literal.prepend(u'-');
                e.number = e.number.typeId() == QMetaType::LongLong
                               ? QVariant(-e.number.toLongLong())
                               : QVariant(-e.number.toDouble());
            }
            return e;
        }
        if (t.kind == Tok::Number) return numberLiteral(next());
        if (qualifierLength() > 0) return parseColumn();
        if (t.kind == Tok::String) {
            next();
            Expr e;
            e.kind = Expr::Kind::String;
            e.literal = t.text;
            e.line = t.line;
            e.field = FieldDef{QStringLiteral("EXPR"), FieldType::Alpha, int(t.text.size())};
            return e;
        }
        if (t.kind != Tok::Word) missingOperand(t);
        if (peek(1).kind == Tok::LParen) return parseFunction();
        if (isWord(t, u"null"))
            fail(QStringLiteral("NULL można sprawdzać tylko przez IS NULL lub IS NOT NULL"),
                 t.line);
        if (isReserved(t.text)) missingOperand(t);
        return parseColumn();
    }

    static Expr numberLiteral(const Token& t) {
        Expr e;
        e.kind = Expr::Kind::Number;
        e.literal = t.text;
        e.line = t.line;
        bool ok = false;
        const qlonglong whole = t.text.contains(u'.') ? 0 : t.text.toLongLong(&ok);
        e.number = ok ? QVariant(whole) : QVariant(t.text.toDouble());
        e.field = FieldDef{QStringLiteral("EXPR"), FieldType::Number};
        return e;
    }

    void expect(Tok kind, const QString& what) {
        if (peek().kind != kind) {
            if (peek().kind == Tok::End) fail(QStringLiteral("brak ") + what, peek().line);
            fail(QStringLiteral("brak ") + what + QStringLiteral(", a jest ") + shown(peek()),
                 peek().line);
        }
        next();
    }

    Expr parseFunction() {
        const Token& name = next();
        next(); // (
        Expr e;
        e.kind = Expr::Kind::Computed;
        e.line = name.line;
        if (isWord(name, u"upper")) {
            const Expr arg = parseOperand();
            expect(Tok::RParen, QStringLiteral("nawiasu zamykającego po argumencie Upper"));
            e.code.sql = QStringLiteral("pl_upper(");
            e.code.add(asText(arg, Domain::Text));
            e.code.sql += u')';
            e.domain = Domain::Text;
            e.field = FieldDef{QStringLiteral("UPPER"), FieldType::Alpha,
                               isTextType(arg.field.type) ? arg.field.size : 0};
            if (arg.field.type == FieldType::Memo) e.field.type = FieldType::Memo;
            return e;
        }
        if (isWord(name, u"cast")) {
            const Expr arg = parseOperand();
            if (!acceptWord(u"as")) fail(QStringLiteral("w CAST brak słowa AS"), peek().line);
            const Token& type = next();
            expect(Tok::RParen, QStringLiteral("nawiasu zamykającego po CAST"));
            const FieldType from = arg.field.type;
            if (isWord(type, u"numeric")) {
                e.domain = Domain::Number;
                e.field = FieldDef{QStringLiteral("CAST"), FieldType::Number};
                if (!arg.isLiteral() && (from == FieldType::Number || from == FieldType::LongInt ||
                                         from == FieldType::AutoInc))
                    e.code = arg.code;
                else
                    e.code = wrap(QStringLiteral("pl_num("), operand(arg, Domain::Any));
            } else if (isWord(type, u"date")) {
                e.domain = Domain::Date;
                e.field = FieldDef{QStringLiteral("CAST"), FieldType::Date};
                if (!arg.isLiteral() && from == FieldType::Date)
                    e.code = arg.code;
                else if (!arg.isLiteral() && from == FieldType::Timestamp)
                    e.code =
                        wrap(pg_ ? QStringLiteral("pl_date(") : QStringLiteral("date("), arg.code);
                else
                    e.code = wrap(QStringLiteral("pl_date("), operand(arg, Domain::Any));
            } else {
                fail(QStringLiteral("CAST na typ ") + shown(type) +
                         QStringLiteral(" nie jest obsługiwany (tylko NUMERIC i DATE)"),
                     type.line);
            }
            return e;
        }
        fail(QStringLiteral("nieznana funkcja ") + name.text, name.line);
    }

    static Fragment wrap(const QString& open, const Fragment& inner,
                         const QString& close = QStringLiteral(")")) {
        Fragment f{open, {}};
        f.add(inner);
        f.sql += close;
        return f;
    }

    // -- ORDER BY -----------------------------------------------------------------------------

    void parseOrderBy() {
        Fragment f;
        for (;;) {
            const Token& t = peek();
            if (t.kind == Tok::End || t.kind == Tok::Semicolon)
                fail(QStringLiteral("brak pola po ORDER BY"), previous().line);
            const Expr e = parseOperand();
            if (e.isLiteral())
                fail(QStringLiteral("w ORDER BY można podać tylko pola, a nie wartość ") + shown(t),
                     t.line);
            if (!f.sql.isEmpty()) f.sql += QStringLiteral(", ");
            OrderTerm term{e.code, e.domain, e.keySql, false};
            // A query's rows are all read before they are counted and shown, so sorting the
            // rows found beats walking an index in order and fetching every row it names, which
            // on a long table is a random read per row. The unary plus keeps the index out.
            f.sql += QStringLiteral("(+");
            f.add(e.code);
            f.sql += QStringLiteral(")");
            if (!plainOrder_.isEmpty()) plainOrder_ += QStringLiteral(", ");
            plainOrder_ += e.code.sql;
            orderParams_ = orderParams_ || !e.code.params.isEmpty();
            // Text sorts as everywhere in the program: case-insensitive, Polish letters in place.
            if (e.domain == Domain::Text) {
                f.sql += QStringLiteral(" COLLATE PL");
                plainOrder_ += QStringLiteral(" COLLATE PL");
            }
            if (acceptWord(u"desc")) {
                f.sql += QStringLiteral(" DESC");
                plainOrder_ += QStringLiteral(" DESC");
                term.descending = true;
            } else {
                acceptWord(u"asc");
            }
            order_.push_back(std::move(term));
            if (peek().kind != Tok::Comma) break;
            next();
        }
        sqliteOrder_ = f;
    }

    // The ORDER BY terms. On PostgreSQL text sorts by its sort key (the companion column of a
    // plain column, pl_key() of anything else), and empty values come first as in SQLite;
    // `grouped`: by the least value in each group of rows (see run()).
    Fragment orderBy(bool grouped) const {
        if (!pg_) return sqliteOrder_;
        Fragment f;
        for (const OrderTerm& t : order_) {
            if (!f.sql.isEmpty()) f.sql += QStringLiteral(", ");
            Fragment key = t.code;
            if (t.domain == Domain::Text && !t.keySql.isEmpty())
                key = Fragment{t.keySql, {}};
            else if (t.domain == Domain::Text)
                key = wrap(QStringLiteral("pl_key("), t.code);
            else if (heldAsText(t.domain))
                key.sql += QStringLiteral(" COLLATE \"C\"");
            if (grouped) {
                // There is no least bytea; the key's hex digits sort as its bytes do.
                if (t.domain == Domain::Text || t.domain == Domain::Any)
                    key = wrap(QStringLiteral("min(encode("), key,
                               QStringLiteral(", 'hex') COLLATE \"C\")"));
                else if (t.domain == Domain::Logical)
                    key = wrap(QStringLiteral("min(("), key, QStringLiteral(")::integer)"));
                else
                    key = wrap(QStringLiteral("min("), key);
            }
            f.add(key);
            f.sql +=
                t.descending ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" NULLS FIRST");
        }
        return f;
    }

    static QString rowIdTerm(const Source& s, bool grouped) {
        const QString id = quoted(s.ref) + QStringLiteral(".rowid");
        return grouped ? QStringLiteral("min(") + id + u')' : id;
    }

    const QString& text_;
    const TableLookup& lookup_;
    const bool pg_; // PostgreSQL's dialect rather than SQLite's
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    int depth_ = 0;
    std::vector<Source> sources_;
    QList<Output> outputs_;
    std::vector<size_t> starSources_; // sources whose fields the select list takes all of
    std::vector<OrderTerm> order_;
    Fragment sqliteOrder_;     // SQLite's ORDER BY terms
    QString plainOrder_;       // the ORDER BY terms free to use an index
    bool orderParams_ = false; // ... and they bind values
};

} // namespace

LocalSqlQuery translateLocalSql(const QString& text, const TableLookup& lookup,
                                SqlDialect dialect) {
    return Translator(text, lookup, dialect).run();
}

} // namespace engine
