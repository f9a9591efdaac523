#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace engine {

enum class FieldType { AutoInc, Alpha, LongInt, Number, Date, Timestamp, Logical, Memo, Graphic };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Alpha;
    int size = 0; // characters for alpha; bytes kept in the record for memo and graphic; else 0
    bool required = false;
};

struct IndexDef {
    QString name;       // "PrimaryIndex" for the primary index
    QStringList fields; // field names, matched without regard to letter case
    bool primary = false;
};

struct TableDef {
    QString name; // without ".db"
    QList<FieldDef> fields;
    QList<IndexDef> indexes; // the primary index first, then the secondary ones in creation order

    int fieldIndex(const QString& name) const; // -1 when missing; letter case ignored
    const FieldDef* field(const QString& name) const;
    const IndexDef* index(const QString& name) const;
    const IndexDef* primaryIndex() const;
};

// Type words as written in table definitions and schema listings: autoinc, alpha, longint,
// number, date, timestamp, logical, memo, graphic.
QString typeWord(FieldType type);
std::optional<FieldType> parseTypeWord(const QString& word); // any letter case
bool isTextType(FieldType type);                             // alpha, memo
bool isIntegerType(FieldType type);                          // autoinc, longint, logical

// "Towar.db" and "towar" name the same table.
QString bareTableName(const QString& name);

} // namespace engine
