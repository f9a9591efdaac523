#pragma once
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace platform {
class WorkTable;
struct RowReplacement;
} // namespace platform

namespace relations {

// The three ways items are related: an item consists of parts (Sklada seen from the whole), goes
// into wholes (Sklada seen from the part), and has substitutes (Zamienne).
enum class Relation { ConsistsOf, GoesInto, Substitutes };

// The kinds of a substitute: an equivalent is stored both ways, a plain substitute one way.
QString equivalentKind();               // "równoważnik"
QString substituteKind();               // "zamiennik"
bool isEquivalent(const QString& kind); // begins with "R" or "r"

// What differs between the three editors.
struct RelationDesign {
    QString caption;    // window caption
    QString itemLabel;  // before the item's name
    QString listLabel;  // above the working list
    QString prefix;     // working table name prefix
    QString valueTitle; // title of the editable column
    QString duplicate;  // an item added twice
    QString newItemQuestion;
    QString closeQuestion;
    // Working table fields.
    QString entryField, otherField, symbolField, codeField, nameField, valueField;
};
const RelationDesign& designOf(Relation relation);

// One entry of the working list.
struct RelationEntry {
    int entry = 0;   // the working row's own number
    int otherNr = 0; // the related item's Tow_nr
    QString symbol, producerCode, name;
    QVariant value; // pieces (a number, possibly with a fraction, or empty) or the kind's text
};

// The relations of one item of one kind, copied into a working table in TMP, edited there and
// written back to the catalogue as a whole. The item is fixed when the list is made; nothing
// reaches the catalogue before save().
class RelationList {
public:
    enum class Added { Yes, Duplicate, Refused };

    RelationList(Relation relation, QString catalogueFolder, const QString& tempFolder, int itemNr);
    ~RelationList();
    RelationList(const RelationList&) = delete;
    RelationList& operator=(const RelationList&) = delete;

    Relation relation() const { return relation_; }
    const RelationDesign& design() const { return designOf(relation_); }
    int itemNr() const { return itemNr_; }

    // A new working table (the one before is deleted) filled from the stored relations. Throws
    // engine::EngineError.
    void open();
    // Deletes the working table; never throws.
    void close();
    bool isOpen() const;
    QString workTableName() const;

    // In the order they were entered.
    const QList<RelationEntry>& entries() const { return entries_; }
    bool isEmpty() const { return entries_.isEmpty(); }
    int indexOfItem(int otherNr) const; // -1 when not in the list

    // Adds the catalogue's item `otherNr` with pieces 1 or kind "zamiennik". The item itself and
    // items not in the catalogue are refused.
    Added add(int otherNr);
    void remove(int row);
    void clear();
    // Pieces as typed, "2,5" or "2.5"; false when the text is no number above 0.
    bool setPieces(int row, const QString& typed);
    // One of the two kinds; false for anything else.
    bool setKind(int row, const QString& kind);

    // What save() writes, for the catalogue's tables.
    QList<platform::RowReplacement> replacements();
    // Writes the working list in place of the stored relations, in one transaction; false (and
    // nothing written) when the item is no longer in the catalogue. Throws engine::EngineError.
    bool save();

private:
    void readStored();
    void reload();
    QList<int> storedSubstitutes();
    bool pointsBack(int otherNr);

    Relation relation_;
    QString folder_;
    int itemNr_;
    std::unique_ptr<platform::WorkTable> work_;
    QList<RelationEntry> entries_;
};

} // namespace relations
