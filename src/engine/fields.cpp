#include "engine/fields.h"

namespace engine {

int TableDef::fieldIndex(const QString& n) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(n, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

const FieldDef* TableDef::field(const QString& n) const {
    int i = fieldIndex(n);
    return i < 0 ? nullptr : &fields[i];
}

const IndexDef* TableDef::index(const QString& n) const {
    for (const auto& ix : indexes)
        if (ix.name.compare(n, Qt::CaseInsensitive) == 0) return &ix;
    return nullptr;
}

const IndexDef* TableDef::primaryIndex() const {
    for (const auto& ix : indexes)
        if (ix.primary) return &ix;
    return nullptr;
}

static const char* const kTypeWords[] = {"autoinc",   "alpha",   "longint", "number", "date",
                                         "timestamp", "logical", "memo",    "graphic"};

QString typeWord(FieldType type) {
    return QString::fromLatin1(kTypeWords[int(type)]);
}

std::optional<FieldType> parseTypeWord(const QString& word) {
    for (int i = 0; i < int(std::size(kTypeWords)); ++i)
        if (word.compare(QLatin1String(kTypeWords[i]), Qt::CaseInsensitive) == 0)
            return FieldType(i);
    return std::nullopt;
}

bool isTextType(FieldType t) {
    return t == FieldType::Alpha || t == FieldType::Memo;
}

bool isIntegerType(FieldType t) {
    return t == FieldType::AutoInc || t == FieldType::LongInt || t == FieldType::Logical;
}

QString bareTableName(const QString& name) {
    QString n = name.trimmed();
    if (n.endsWith(QLatin1String(".db"), Qt::CaseInsensitive)) n.chop(3);
    return n;
}

} // namespace engine
