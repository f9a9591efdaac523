#include "search/querybuilder.h"
#include "engine/sqlfunctions.h"
#include "store/mainstate.h"
#include <QRegularExpression>

namespace search {

namespace {

const QString kAnd = QStringLiteral("and");

// The text lists of attribute values say "zaczyna się" without the blank of the item rows.
const QString kValueEquals = QStringLiteral("równa się");
const QString kValueContains = QStringLiteral("zawiera tekst");
const QString kValueStartsWith = QStringLiteral("zaczyna się");
const QString kValueRange = QStringLiteral("w przedziale");

bool isComparison(const QString& op) {
    static const QStringList ops{QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"),
                                 QStringLiteral(">="), QStringLiteral("<=")};
    return ops.contains(op);
}

// One text row: "równa się", "zawiera tekst" or "zaczyna się " on Upper(column).
QString textCondition(const QString& column, int op, const QString& value) {
    const QString upper = QStringLiteral("Upper(") + column + u')';
    const QString v = sqlUpper(value);
    switch (op) {
    case ItemEquals:
        return upper + u'=' + sqlQuoted(v);
    case ItemContains:
        return upper + QStringLiteral(" LIKE ") + sqlQuoted(u'%' + v + u'%');
    case ItemStartsWith:
        return upper + QStringLiteral(" LIKE ") + sqlQuoted(v + u'%');
    default:
        return {};
    }
}

QString dateText(const QString& value) {
    QString s = value;
    return sqlQuoted(s.replace(u'-', u'.'));
}

// The line inside the attribute block; empty when the operator gives none. False when a numeric
// value is not a number.
bool attributeCondition(const store::QueryState& q, QString& line) {
    const QString op = valueOperators(q.attributeType).value(q.valueOp);
    const QString& t = q.attributeType;
    if (t == u"N" && isComparison(op)) {
        const std::optional<QString> n = sqlNumber(q.value1);
        if (!n) return false;
        line = QStringLiteral("CAST(Opis.Opis_Opis AS NUMERIC)") + op + *n;
    } else if (t == u"A" || t == u"S") {
        const QString column = QStringLiteral("Opis.Opis_Opis");
        if (op == kValueEquals)
            line = textCondition(column, ItemEquals, q.value1);
        else if (op == kValueContains)
            line = textCondition(column, ItemContains, q.value1);
        else if (op == kValueStartsWith)
            line = textCondition(column, ItemStartsWith, q.value1);
    } else if (t == u"L" && op == u"=") {
        line = QStringLiteral("Opis.Opis_Opis=") + sqlQuoted(q.value1);
    } else if (t == u"D" && isComparison(op)) {
        line = QStringLiteral("CAST(Opis.Opis_Opis AS DATE)") + op + dateText(q.value1);
    } else if (t == u"D" && op == kValueRange) {
        line = QStringLiteral("CAST(Opis.Opis_Opis AS DATE) BETWEEN ") + dateText(q.value1) +
               QStringLiteral(" and ") + dateText(q.value2);
    }
    return true;
}

} // namespace

const QStringList& queryItemOperators() {
    static const QStringList ops{kValueEquals, kValueContains, QStringLiteral("zaczyna się "),
                                 QStringLiteral("nic")};
    return ops;
}

const QStringList& queryPriceOperators() {
    static const QStringList ops{QStringLiteral("="),  QStringLiteral(">"),  QStringLiteral("<"),
                                 QStringLiteral(">="), QStringLiteral("<="), QStringLiteral("nic")};
    return ops;
}

QStringList valueOperators(const QString& typeLetter) {
    const QString nothing = QStringLiteral("nic");
    if (typeLetter == u"A" || typeLetter == u"S")
        return {kValueEquals, kValueContains, kValueStartsWith, nothing};
    if (typeLetter == u"N")
        return {QStringLiteral("="),  QStringLiteral(">"),  QStringLiteral("<"),
                QStringLiteral(">="), QStringLiteral("<="), nothing};
    if (typeLetter == u"L") return {QStringLiteral("="), nothing};
    if (typeLetter == u"D")
        return {QStringLiteral("="),
                QStringLiteral(">"),
                QStringLiteral("<"),
                QStringLiteral(">="),
                QStringLiteral("<="),
                kValueRange,
                nothing};
    return {};
}

QString attributeTypeLabel(const QString& typeLetter) {
    if (typeLetter == u"A") return QStringLiteral("typ alfanumer.");
    if (typeLetter == u"S") return QStringLiteral("typ skojarz.");
    if (typeLetter == u"N") return QStringLiteral("typ liczbowy");
    if (typeLetter == u"L") return QStringLiteral("typ logiczny");
    if (typeLetter == u"D") return QStringLiteral("data");
    return {};
}

QString sqlQuoted(const QString& value) {
    QString s = value;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString sqlUpper(const QString& value) {
    return engine::upperPolish(value);
}

std::optional<QString> sqlNumber(const QString& typed) {
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+([.,][0-9]+)?$"));
    QString s = typed.trimmed();
    if (!number.match(s).hasMatch()) return std::nullopt;
    return s.replace(u',', u'.');
}

void setJoinFlags(store::QueryState& q) {
    auto chosen = [](int op) { return op >= ItemEquals && op <= ItemNothing; };
    if (chosen(q.groupOp) && !q.groupText.isEmpty()) q.groupJoin = true;
    if (chosen(q.producerOp) && !q.producer.isEmpty()) q.companyJoin = true;
}

std::optional<QStringList> queryLines(const store::QueryState& q) {
    QStringList lines{QStringLiteral("SELECT DISTINCT Towar.*")};
    QString from = QStringLiteral("FROM Towar ");
    if (q.groupJoin) from += QStringLiteral(", Grupa");
    if (q.attributeFlag) from += QStringLiteral(" , Cecha , Opis");
    if (q.companyJoin) from += QStringLiteral(" , Firmy ");
    lines << from << QStringLiteral("WHERE");
    const qsizetype where = lines.size();
    auto add = [&](const QString& line) {
        if (lines.size() > where) lines << kAnd;
        lines << line;
    };

    if (q.groupJoin) add(QStringLiteral("Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr"));
    if (q.companyJoin) add(QStringLiteral("Towar.Tow_Nr_Producent=Firmy.Firma_Nr"));
    if (q.attributeFlag) {
        add(QStringLiteral("Towar.Tow_Nr=Opis.Opis_Tow_Nr"));
        add(QStringLiteral("Opis.Opis_Cecha_Nr=Cecha.Cecha_Nr"));
    }

    if (!q.groupText.isEmpty()) {
        if (q.groupOp == ItemEquals)
            add(QStringLiteral("Grupa.Grupa_Nr=") + QString::number(q.queryGroupNr));
        else if (q.groupOp == ItemContains || q.groupOp == ItemStartsWith)
            add(textCondition(QStringLiteral("Grupa.Grupa_Nazwa"), q.groupOp, q.groupText));
    }
    struct Row {
        const char* column;
        const QString& text;
        int op;
    };
    const Row rows[] = {{"Towar.Tow_Nazwa", q.name1, q.name1Op},
                        {"Towar.Tow_Nazwa2", q.name2, q.name2Op},
                        {"Towar.Tow_Symbol", q.symbol, q.symbolOp},
                        {"Firmy.Firma_Skrot", q.producer, q.producerOp},
                        {"Towar.Tow_Kod_Prod", q.producerSymbol, q.producerSymbolOp}};
    for (const Row& r : rows)
        if (!r.text.isEmpty() && r.op >= ItemEquals && r.op <= ItemStartsWith)
            add(textCondition(QLatin1String(r.column), r.op, r.text));
    if (!q.priceText.isEmpty() && q.priceOp >= 0 && q.priceOp < kPriceNothing) {
        const std::optional<QString> price = sqlNumber(q.priceText);
        if (!price) return std::nullopt;
        add(QStringLiteral("Towar.Tow_SRP") + queryPriceOperators()[q.priceOp] + *price);
    }

    if (q.attributeFlag) {
        QString condition;
        if (!attributeCondition(q, condition)) return std::nullopt;
        add(QStringLiteral("(Opis.Opis_Cecha_Nr=") + QString::number(q.attributeNr) +
            QStringLiteral(" and "));
        if (!condition.isEmpty()) lines << condition;
        lines << QStringLiteral(")");
    }
    lines << QStringLiteral("ORDER BY Towar.Tow_Nazwa");
    return lines;
}

} // namespace search
