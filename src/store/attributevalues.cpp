#include "store/attributevalues.h"
#include <QRegularExpression>

namespace store {

const QList<AttributeType>& attributeTypes() {
    static const QList<AttributeType> types{
        {QStringLiteral("A"), QStringLiteral("alfanumeryczny"), QStringLiteral("alfanumer.")},
        {QStringLiteral("N"), QStringLiteral("liczbowy"), QStringLiteral("liczbowy")},
        {QStringLiteral("L"), QStringLiteral("logiczny"), QStringLiteral("logiczny")},
        {QStringLiteral("D"), QStringLiteral("data      "), QStringLiteral("data")},
        {QStringLiteral("S"), QStringLiteral("skojarzenowy"), QStringLiteral("skojarz.")}};
    return types;
}

int attributeTypeIndex(const QString& letter) {
    const auto& types = attributeTypes();
    for (int i = 0; i < types.size(); ++i)
        if (types[i].letter == letter) return i;
    return -1;
}

QString attributeTypeWord(const QString& letter) {
    const int i = attributeTypeIndex(letter);
    return i < 0 ? QString() : attributeTypes()[i].word;
}

QString attributeTypeLetter(const QString& word) {
    for (const AttributeType& t : attributeTypes())
        if (t.word == word) return t.letter;
    return {};
}

QString valueFaultMessage(ValueFault fault) {
    switch (fault) {
    case ValueFault::None:
        return {};
    case ValueFault::NotNumber:
        return QStringLiteral("Wprowadzona dana nie jest liczbą !");
    case ValueFault::NotLogical:
        return QStringLiteral("To nie jest wartość logiczna [\"T\" lub \"N\"] !");
    case ValueFault::NotDate:
        return QStringLiteral("Niepoprawnie wprowadzona data [dd-mm-rrrr]");
    }
    return {};
}

bool isTypedNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+(,\\d*)?|,\\d+)([eE][+-]?\\d+)?\\s*$"));
    return number.match(text).hasMatch();
}

std::optional<QDate> parseTypedDate(const QString& text) {
    static const QRegularExpression date(
        QStringLiteral("^\\s*(\\d{1,2})-(\\d{1,2})-(\\d{1,4})\\s*$"));
    const auto m = date.match(text);
    if (!m.hasMatch()) return std::nullopt;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() <= 2) year += QDate::currentDate().year() / 100 * 100;
    const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid()) return std::nullopt;
    // Written again as dd-mm-yyyy it must read back as the same date (years below 1000 do not).
    const auto again = date.match(d.toString(QStringLiteral("dd-MM-yyyy")));
    if (!again.hasMatch() || again.captured(3).toInt() != d.year()) return std::nullopt;
    return d;
}

ValueFault checkListValue(const QString& typeWord, const QString& text) {
    if (typeWord == QLatin1String("liczbowy"))
        return isTypedNumber(text) ? ValueFault::None : ValueFault::NotNumber;
    if (typeWord == QLatin1String("logiczny"))
        return text == QLatin1String("T") || text == QLatin1String("N") ? ValueFault::None
                                                                        : ValueFault::NotLogical;
    if (typeWord == QLatin1String("data"))
        return parseTypedDate(text) ? ValueFault::None : ValueFault::NotDate;
    return ValueFault::None;
}

CheckedValue checkItemValue(const QString& letter, const QString& typed) {
    if (typed.isEmpty()) return {};
    if (letter == QLatin1String("N")) {
        if (!isTypedNumber(typed)) return {ValueFault::NotNumber, {}};
    } else if (letter == QLatin1String("L")) {
        const QString upper = typed.toUpper();
        if (upper != QLatin1String("T") && upper != QLatin1String("N"))
            return {ValueFault::NotLogical, {}};
        return {ValueFault::None, upper};
    } else if (letter == QLatin1String("D")) {
        const auto d = parseTypedDate(typed);
        if (!d) return {ValueFault::NotDate, {}};
        return {ValueFault::None, d->toString(QStringLiteral("dd-MM-yyyy"))};
    }
    return {ValueFault::None, typed};
}

QString storedValue(const QString& letter, const QString& shown) {
    QString out = shown;
    if (letter == QLatin1String("N")) out.replace(u',', u'.');
    if (letter == QLatin1String("D")) out.replace(u'-', u'.');
    return out;
}

QString shownValue(const QString& letter, const QString& stored) {
    QString out = stored;
    if (letter == QLatin1String("N")) out.replace(u'.', u',');
    if (letter == QLatin1String("D")) out.replace(u'.', u'-');
    return out;
}

namespace {

engine::TableDef templateLayout(bool withValues) {
    using engine::FieldType;
    engine::TableDef def;
    def.fields = {{QStringLiteral("Wlasnosc_ok"), FieldType::LongInt},
                  {QStringLiteral("Wlasnosc_cecha_nazwa"), FieldType::Alpha, 30},
                  {QStringLiteral("Wlasnosc_nr"), FieldType::AutoInc},
                  {QStringLiteral("Wlasnosc_cecha_nr"), FieldType::LongInt},
                  {QStringLiteral("Wlasnosc_znaczenie"), FieldType::LongInt}};
    if (withValues)
        def.fields << engine::FieldDef{QStringLiteral("Wlasnosc_cecha"), FieldType::Alpha,
                                       kAttributeValueLength}
                   << engine::FieldDef{QStringLiteral("Wlasnosc_typ"), FieldType::Alpha, 1};
    def.indexes = {
        {QStringLiteral("PrimaryIndex"),
         {QStringLiteral("Wlasnosc_ok"), QStringLiteral("Wlasnosc_cecha_nazwa"),
          QStringLiteral("Wlasnosc_nr")},
         true},
        {QStringLiteral("wg_Cecha_nazwa"), {QStringLiteral("Wlasnosc_cecha_nazwa")}},
        {QStringLiteral("wg_Cecha_nr"), {QStringLiteral("Wlasnosc_cecha_nr")}},
        {QStringLiteral("wg_Wlasnosc_Znaczenie"), {QStringLiteral("Wlasnosc_Znaczenie")}}};
    return def;
}

} // namespace

engine::TableDef templateWorkLayout() {
    return templateLayout(false);
}

engine::TableDef itemValuesWorkLayout() {
    return templateLayout(true);
}

} // namespace store
