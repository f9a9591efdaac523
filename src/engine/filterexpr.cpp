#include "engine/filterexpr.h"
#include "engine/error.h"
#include "engine/lexing.h"
#include "engine/sortkey.h"
#include "engine/sqlfunctions.h"
#include "engine/sqlname.h"
#include "engine/values.h"
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace engine {

namespace {

// ---------------------------------------------------------------------------------------------
// Tokens

enum class Tok { End, Ident, String, Bare, Op, LParen, RParen };

struct Token {
    Tok kind = Tok::End;
    QString text; // identifier, operator, bare value as written; a quoted string without quotes
};

enum class CmpOp { Eq, Ne, Lt, Gt, Le, Ge };

CmpOp inverted(CmpOp op) {
    switch (op) {
    case CmpOp::Eq:
        return CmpOp::Ne;
    case CmpOp::Ne:
        return CmpOp::Eq;
    case CmpOp::Lt:
        return CmpOp::Ge;
    case CmpOp::Gt:
        return CmpOp::Le;
    case CmpOp::Le:
        return CmpOp::Gt;
    case CmpOp::Ge:
        return CmpOp::Lt;
    }
    return op;
}

QString sqlOperator(CmpOp op) {
    switch (op) {
    case CmpOp::Eq:
        return QStringLiteral("=");
    case CmpOp::Ne:
        return QStringLiteral("<>");
    case CmpOp::Lt:
        return QStringLiteral("<");
    case CmpOp::Gt:
        return QStringLiteral(">");
    case CmpOp::Le:
        return QStringLiteral("<=");
    case CmpOp::Ge:
        return QStringLiteral(">=");
    }
    return {};
}

// Whether `a op b` holds when comparing a with b gives `cmp` (<0, 0, >0).
bool holds(CmpOp op, int cmp) {
    switch (op) {
    case CmpOp::Eq:
        return cmp == 0;
    case CmpOp::Ne:
        return cmp != 0;
    case CmpOp::Lt:
        return cmp < 0;
    case CmpOp::Gt:
        return cmp > 0;
    case CmpOp::Le:
        return cmp <= 0;
    case CmpOp::Ge:
        return cmp >= 0;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Syntax tree. `not` is kept as a node and pushed down to the comparisons when the SQL is
// written, so every comparison can decide for itself whether empty fields match.

struct Node {
    enum class Kind { And, Or, Not, Compare, Prefix } kind;
    std::vector<std::unique_ptr<Node>> children;

    // Compare and Prefix
    FilterColumn column;
    CmpOp op = CmpOp::Eq; // Prefix: Eq "begins with", Ne "does not begin with"
    QVariant value;       // stored form; Prefix: the prefix
    int blankCmp = 0;     // an empty field compared with the value: <0, 0, >0
    bool text = false;    // compared in the PL order
};

using NodePtr = std::unique_ptr<Node>;

using lexing::isDigit;
using lexing::isIdentChar;
using lexing::isIdentStart;
bool isBareChar(QChar c) {
    return isDigit(c) || c == u'.' || c == u',' || c == u'-' || c == u'/';
}
bool isOpChar(QChar c) {
    return c == u'<' || c == u'>' || c == u'=' || c == u'!';
}

bool isKeyword(const QString& word) {
    for (auto k : {u"and", u"or", u"not"})
        if (word.compare(QStringView(k), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// A number as the filters write it: digits with at most one "." or "," before further digits.
// "1,234.5" is refused rather than guessed at.
std::optional<double> strictNumber(const QString& s) {
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) ++i;
    qsizetype digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == u'.' || s[i] == u',')) {
        ++i;
        qsizetype fraction = 0;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++fraction;
        if (fraction == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    return parseLooseNumber(s);
}

std::optional<bool> logicalWord(const QString& s) {
    const QString t = s.trimmed();
    for (auto w : {u"true", u"T", u"tak", u"1"})
        if (t.compare(QStringView(w), Qt::CaseInsensitive) == 0) return true;
    for (auto w : {u"false", u"N", u"F", u"nie", u"0"})
        if (t.compare(QStringView(w), Qt::CaseInsensitive) == 0) return false;
    return std::nullopt;
}

int sign(double d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------

class Translator {
public:
    Translator(const QString& expression, const QString& table, const FilterResolver& resolve,
               SqlDialect dialect)
        : expression_(expression), table_(table), resolve_(resolve), dialect_(dialect) {}

    SqlFragment run() {
        tokenize();
        if (tokens_.size() == 1) fail(QStringLiteral("wyrażenie jest puste"));
        NodePtr root = parseOr();
        if (peek().kind == Tok::RParen) fail(QStringLiteral("nadmiarowy nawias zamykający"));
        if (peek().kind != Tok::End)
            fail(QStringLiteral("nieoczekiwany element %1").arg(shown(peek())));
        SqlFragment out;
        out.sql = emit(*root, false, out.params);
        return out;
    }

private:
    [[noreturn]] void fail(const QString& cause) const {
        QString where = table_.isEmpty() ? QString() : QStringLiteral(" w tabeli ") + table_;
        throw EngineError(EngineError::Kind::BadFilter,
                          QStringLiteral("Niepoprawne wyrażenie filtru \"%1\"%2: %3.")
                              .arg(expression_.trimmed(), where, cause),
                          table_);
    }

    static QString shown(const Token& t) {
        if (t.kind == Tok::String) return u'\'' + t.text + u'\'';
        return u'"' + t.text + u'"';
    }

    // -- tokenizer ------------------------------------------------------------------------------

    void tokenize() {
        const QString& s = expression_;
        qsizetype i = 0;
        while (i < s.size()) {
            const QChar c = s[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == u'(') {
                tokens_.push_back({Tok::LParen, QStringLiteral("(")});
                ++i;
            } else if (c == u')') {
                tokens_.push_back({Tok::RParen, QStringLiteral(")")});
                ++i;
            } else if (c == u'\'' || c == u'"') {
                QString value;
                ++i;
                for (;;) {
                    if (i >= s.size()) fail(QStringLiteral("niezamknięty cudzysłów"));
                    if (s[i] == c) {
                        if (i + 1 < s.size() && s[i + 1] == c) {
                            value += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value += s[i++];
                }
                tokens_.push_back({Tok::String, value});
            } else if (isOpChar(c)) {
                const qsizetype start = i;
                while (i < s.size() && isOpChar(s[i]))
                    ++i;
                tokens_.push_back({Tok::Op, s.mid(start, i - start)});
            } else if (isDigit(c) ||
                       ((c == u'-' || c == u'+') && i + 1 < s.size() && isDigit(s[i + 1]))) {
                const qsizetype start = i++;
                while (i < s.size() && isBareChar(s[i]))
                    ++i;
                tokens_.push_back({Tok::Bare, s.mid(start, i - start)});
            } else if (isIdentStart(c)) {
                const qsizetype start = i;
                while (i < s.size() && isIdentChar(s[i]))
                    ++i;
                tokens_.push_back({Tok::Ident, s.mid(start, i - start)});
            } else {
                fail(QStringLiteral("niedozwolony znak \"%1\"").arg(c));
            }
        }
        tokens_.push_back({Tok::End, {}});
    }

    const Token& peek() const { return tokens_[pos_]; }
    Token take() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
    bool atKeyword(const char16_t* word) const {
        return peek().kind == Tok::Ident &&
               peek().text.compare(QStringView(word), Qt::CaseInsensitive) == 0;
    }

    // -- parser ---------------------------------------------------------------------------------
    // or-expr  := and-expr { "or" and-expr }
    // and-expr := unary { "and" unary }
    // unary    := "not" unary | "(" or-expr ")" | field [ operator value ]

    NodePtr parseOr() {
        NodePtr first = parseAnd();
        if (!atKeyword(u"or")) return first;
        auto node = std::make_unique<Node>(Node{Node::Kind::Or, {}, {}});
        node->children.push_back(std::move(first));
        while (atKeyword(u"or")) {
            take();
            node->children.push_back(parseAnd());
        }
        return node;
    }

    NodePtr parseAnd() {
        NodePtr first = parseUnary();
        if (!atKeyword(u"and")) return first;
        auto node = std::make_unique<Node>(Node{Node::Kind::And, {}, {}});
        node->children.push_back(std::move(first));
        while (atKeyword(u"and")) {
            take();
            node->children.push_back(parseUnary());
        }
        return node;
    }

    NodePtr parseUnary() {
        // Nesting this deep is no filter anyone wrote; refuse it before the stack runs out.
        if (++depth_ > 200) fail(QStringLiteral("zbyt głęboko zagnieżdżone nawiasy"));
        struct Leave {
            int& d;
            ~Leave() { --d; }
        } leave{depth_};
        if (atKeyword(u"not")) {
            take();
            auto node = std::make_unique<Node>(Node{Node::Kind::Not, {}, {}});
            node->children.push_back(parseUnary());
            return node;
        }
        const Token t = peek();
        switch (t.kind) {
        case Tok::LParen: {
            take();
            NodePtr inner = parseOr();
            if (peek().kind != Tok::RParen) {
                if (peek().kind == Tok::End) fail(QStringLiteral("brak nawiasu zamykającego"));
                fail(QStringLiteral("nieoczekiwany element %1").arg(shown(peek())));
            }
            take();
            return inner;
        }
        case Tok::Ident:
            if (isKeyword(t.text)) fail(QStringLiteral("brak warunku przed \"%1\"").arg(t.text));
            take();
            return parseCondition(t.text);
        case Tok::End:
            fail(QStringLiteral("wyrażenie urywa się, brak warunku"));
        case Tok::RParen:
            fail(QStringLiteral("brak warunku przed nawiasem zamykającym"));
        case Tok::Op:
            fail(QStringLiteral("brak nazwy pola przed operatorem %1").arg(t.text));
        case Tok::String:
        case Tok::Bare:
            fail(QStringLiteral("oczekiwano nazwy pola, a jest %1").arg(shown(t)));
        }
        fail(QStringLiteral("nieoczekiwany element %1").arg(shown(t)));
    }

    NodePtr parseCondition(const QString& fieldName) {
        std::optional<FilterColumn> col = resolve_(fieldName);
        if (!col) fail(QStringLiteral("nieznane pole %1").arg(fieldName));
        if (col->field.type == FieldType::Graphic)
            fail(QStringLiteral("pole %1 (graphic) nie może być porównywane").arg(col->field.name));

        if (peek().kind != Tok::Op) {
            // A logical field alone is the condition "field is true".
            if (col->field.type != FieldType::Logical)
                fail(QStringLiteral("po polu %1 brak operatora i wartości").arg(fieldName));
            return comparison(*col, CmpOp::Eq, qint64(1), -1);
        }
        const Token opTok = take();
        const CmpOp op = parseOperator(opTok.text);
        const Token v = peek();
        if (v.kind == Tok::End || v.kind == Tok::RParen || v.kind == Tok::Op ||
            v.kind == Tok::LParen || (v.kind == Tok::Ident && isKeyword(v.text)))
            fail(QStringLiteral("brak wartości po operatorze %1").arg(opTok.text));
        take();
        return valueComparison(*col, op, v);
    }

    CmpOp parseOperator(const QString& s) const {
        if (s == u"=") return CmpOp::Eq;
        if (s == u"<>") return CmpOp::Ne;
        if (s == u"<") return CmpOp::Lt;
        if (s == u">") return CmpOp::Gt;
        if (s == u"<=") return CmpOp::Le;
        if (s == u">=") return CmpOp::Ge;
        fail(QStringLiteral("nieznany operator \"%1\"").arg(s));
    }

    static NodePtr comparison(const FilterColumn& col, CmpOp op, QVariant value, int blankCmp,
                              bool text = false) {
        auto node = std::make_unique<Node>(Node{Node::Kind::Compare, {}, col});
        node->op = op;
        node->value = std::move(value);
        node->blankCmp = blankCmp;
        node->text = text;
        return node;
    }

    [[noreturn]] void badValue(const Token& v, const FieldDef& f, const QString& what) const {
        fail(QStringLiteral("wartość %1 dla pola %2 nie jest %3").arg(shown(v), f.name, what));
    }

    NodePtr valueComparison(const FilterColumn& col, CmpOp op, const Token& v) {
        const FieldDef& f = col.field;
        switch (f.type) {
        case FieldType::Alpha:
        case FieldType::Memo: {
            if (v.kind == Tok::Ident)
                fail(QStringLiteral("tekst %1 musi być w cudzysłowie").arg(v.text));
            // A number written for a text field is compared as written, leading zeros and all.
            const QString s = v.text;
            if (v.kind == Tok::String && (op == CmpOp::Eq || op == CmpOp::Ne) && s.endsWith(u'*')) {
                auto node = std::make_unique<Node>(Node{Node::Kind::Prefix, {}, col});
                node->op = op;
                node->value = s.left(s.size() - 1);
                node->text = true;
                return node;
            }
            // In the PL order "" comes before every other text.
            return comparison(col, op, s, s.isEmpty() ? 0 : -1, true);
        }
        case FieldType::AutoInc:
        case FieldType::LongInt:
        case FieldType::Number: {
            std::optional<double> n;
            if (v.kind == Tok::Bare)
                n = strictNumber(v.text);
            else if (v.kind == Tok::String)
                n = parseLooseNumber(v.text);
            if (!n) badValue(v, f, QStringLiteral("liczbą"));
            QVariant stored = *n;
            if (f.type != FieldType::Number && *n == std::floor(*n) && std::fabs(*n) < 9.0e15)
                stored = qint64(*n);
            return comparison(col, op, stored, sign(0.0 - *n));
        }
        case FieldType::Logical: {
            std::optional<bool> b;
            if (v.kind != Tok::Bare || strictNumber(v.text)) b = logicalWord(v.text);
            if (!b) badValue(v, f, QStringLiteral("wartością logiczną (true, false, T, N)"));
            const int n = *b ? 1 : 0;
            return comparison(col, op, qint64(n), sign(0.0 - n));
        }
        case FieldType::Date: {
            std::optional<QDate> d;
            if (v.kind != Tok::Ident) d = parseLooseDate(v.text);
            if (!d) badValue(v, f, QStringLiteral("datą"));
            // An empty date comes before every date.
            return comparison(col, op, dateToStorage(*d), -1);
        }
        case FieldType::Timestamp: {
            std::optional<QDateTime> t;
            if (v.kind != Tok::Ident) t = parseLooseTimestamp(v.text);
            if (!t) badValue(v, f, QStringLiteral("datą"));
            return comparison(col, op, timestampToStorage(*t), -1);
        }
        case FieldType::Graphic:
            break;
        }
        fail(QStringLiteral("pole %1 nie może być porównywane").arg(f.name));
    }

    // -- SQL ------------------------------------------------------------------------------------

    // The sort key of a text column on the server.
    static QString keyOf(const FilterColumn& c) {
        if (!c.keySql.isEmpty()) return c.keySql;
        const QString name = quoted(c.field.name);
        if (c.sql == name || c.sql.endsWith(u'.' + name))
            return c.sql.left(c.sql.size() - name.size()) + quoted(sortKeyColumn(c.field.name));
        return QStringLiteral("pl_key(") + c.sql + u')';
    }

    // On the server dates and timestamps are kept as text as well, with sort keys beside them
    // that order as the text does: comparing keys lets the index on the key serve.
    static bool byKey(const Node& n) {
        const FieldType t = n.column.field.type;
        return n.text || t == FieldType::Date || t == FieldType::Timestamp;
    }

    QString emitPostgres(const Node& n, bool negated, QVariantList& params) const {
        if (n.kind == Node::Kind::Compare) {
            const CmpOp op = negated ? inverted(n.op) : n.op;
            QString sql = u'(' + keyOf(n.column) + u' ' + sqlOperator(op) + QStringLiteral(" ?");
            if (holds(op, n.blankCmp))
                sql += QStringLiteral(" OR ") + n.column.sql + QStringLiteral(" IS NULL");
            params << polishSortKey(n.value.toString());
            return sql + u')';
        }
        // The texts beginning with the prefix are exactly those whose keys lie in one range.
        const bool begins = (n.op == CmpOp::Eq) != negated;
        const QString prefix = n.value.toString();
        if (prefix.isEmpty()) return begins ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        const QString key = keyOf(n.column);
        params << polishSortKey(prefix) << polishSortKeyUpperBound(prefix);
        if (begins)
            return u'(' + key + QStringLiteral(" >= ? AND ") + key + QStringLiteral(" < ?)");
        return u'(' + key + QStringLiteral(" IS NULL OR ") + key + QStringLiteral(" < ? OR ") +
               key + QStringLiteral(" >= ?)");
    }

    QString emit(const Node& n, bool negated, QVariantList& params) const {
        if (dialect_ == SqlDialect::Postgres &&
            (n.kind == Node::Kind::Prefix || (n.kind == Node::Kind::Compare && byKey(n))))
            return emitPostgres(n, negated, params);
        switch (n.kind) {
        case Node::Kind::Not:
            return emit(*n.children.front(), !negated, params);
        case Node::Kind::And:
        case Node::Kind::Or: {
            const bool conj = (n.kind == Node::Kind::And) != negated;
            QStringList parts;
            for (const auto& c : n.children)
                parts << emit(*c, negated, params);
            return u'(' + parts.join(conj ? QStringLiteral(" AND ") : QStringLiteral(" OR ")) +
                   u')';
        }
        case Node::Kind::Compare: {
            const CmpOp op = negated ? inverted(n.op) : n.op;
            QString sql = u'(' + n.column.sql;
            if (n.text) sql += QStringLiteral(" COLLATE PL");
            sql += u' ' + sqlOperator(op) + QStringLiteral(" ?");
            // Decided here rather than with coalesce() so that the plain form can use an index.
            if (holds(op, n.blankCmp))
                sql += QStringLiteral(" OR ") + n.column.sql + QStringLiteral(" IS NULL");
            params << n.value;
            return sql + u')';
        }
        case Node::Kind::Prefix: {
            const bool begins = (n.op == CmpOp::Eq) != negated;
            const QString prefix = n.value.toString();
            if (prefix.isEmpty()) return begins ? QStringLiteral("1") : QStringLiteral("0");
            const QString& c = n.column.sql;
            if (begins) {
                // Weights go character by character, so the texts from the prefix up to the
                // prefix followed by the heaviest character are exactly those that begin with
                // it: a range SQLite walks on an index on `col COLLATE PL`, with no function
                // called per row.
                params << prefix << prefixUpperBound(prefix);
                return u'(' + c + QStringLiteral(" COLLATE PL >= ? AND ") + c +
                       QStringLiteral(" COLLATE PL <= ?)");
            }
            params << prefix;
            return u'(' + c + QStringLiteral(" IS NULL OR NOT pl_prefix(") + c +
                   QStringLiteral(", ?))");
        }
        }
        return {};
    }

    const QString& expression_;
    const QString& table_;
    const FilterResolver& resolve_;
    const SqlDialect dialect_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    int depth_ = 0;
};

} // namespace

SqlFragment translateFilter(const QString& expression, const QString& tableName,
                            const FilterResolver& resolve, SqlDialect dialect) {
    return Translator(expression, tableName, resolve, dialect).run();
}

} // namespace engine
