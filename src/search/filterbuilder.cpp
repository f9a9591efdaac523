#include "search/filterbuilder.h"
#include "store/mainstate.h"

namespace search {

const QStringList& filterNameOperators() {
    static const QStringList ops{QStringLiteral("równa się"), QStringLiteral("zaczyna się "),
                                 QStringLiteral("nic")};
    return ops;
}

const QStringList& filterCodeOperators() {
    static const QStringList ops{QStringLiteral("równa się"), QStringLiteral("zaczyna się"),
                                 QStringLiteral("nic")};
    return ops;
}

const QStringList& filterChoiceOperators() {
    static const QStringList ops{QStringLiteral("równa się"), QStringLiteral("nic")};
    return ops;
}

QString filterQuoted(const QString& value) {
    QString s = value;
    s.replace(u'\'', QStringLiteral("''"));
    return u'\'' + s + u'\'';
}

QString filterExpression(const store::FilterState& f) {
    QString e;
    // The group is taken by its number whatever its operator says: a picked group is a choice.
    if (f.groupNr != 0) e = QStringLiteral("tow_grupa_nr=") + QString::number(f.groupNr);
    struct Row {
        const char* field;
        const QString& value;
        int op;
    };
    const Row rows[] = {{" tow_nazwa = ", f.name1, f.name1Op},
                        {" tow_nazwa2 = ", f.name2, f.name2Op},
                        {" tow_symbol = ", f.symbol, f.symbolOp},
                        {" tow_kod_prod = ", f.producerCode, f.producerCodeOp}};
    for (const Row& r : rows) {
        if (r.value.isEmpty() || (r.op != FilterEquals && r.op != FilterStartsWith)) continue;
        if (!e.isEmpty()) e += QStringLiteral(" and");
        e += QLatin1String(r.field);
        e += filterQuoted(r.op == FilterStartsWith ? r.value + u'*' : r.value);
    }
    if (f.producerNr != 0) {
        if (!e.isEmpty()) e += QStringLiteral(" and");
        e += QStringLiteral(" tow_nr_producent=") + QString::number(f.producerNr);
    }
    return e;
}

} // namespace search
