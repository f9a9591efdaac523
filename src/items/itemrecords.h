#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace items {

// The VAT list of the item editor, in its order: today's rates first, then the old ones that
// stored catalogues still hold. Every entry but "zw." stores the number it shows.
const QStringList& vatEntries();
// A stored rate as the editor shows it ("23", "7,5"); empty for an empty rate. A rate that is
// not in the list is shown as it is, so that saving the item keeps it.
QString vatShown(const QVariant& storedRate);
// The rate a shown entry stores; none for "zw." and for no entry (the column is then not written).
std::optional<double> vatRate(const QString& shown);

// A number field's text in its stored form: an empty text is an empty value, "1,5" and "1.5"
// are 1.5. None when the text is no number.
std::optional<QVariant> numberFromText(const QString& text);

// The item editor's thirteen fields as shown, with the chosen group and producer.
struct ItemText {
    QString group;
    int groupNr = 0;
    QString name1, name2, symbol;
    QString producer;
    int producerNr = 0; // 0: none
    QString producerCode;
    QString quantity, unit;
    QString vat; // as shown (see vatShown); empty when none is chosen
    QString price, priceA, priceB, priceC;
};

// The editor's messages.
extern const QString kNoName1Message;  // "Brak nazwy 1 towaru. Zapis nie jest możliwy !"
extern const QString kNoGroupMessage;  // "Brak nazwy grupy. Zapis nie jest możliwy !"
extern const QString kBadDataMessage;  // " Dane nie są poprawne ! Zapis nie jest możliwy !"
extern const QString kNoGroupQuestion; // "Brak danych. Czy wybrać grupę z listy ?"
extern const QString kNoProducerQuestion;
extern const QString kGroupChangeWarning;
extern const QString kSaveFirstQuestion; // before a following screen
extern const QString kChangedQuestion;   // on closing

// The check that stops a save before anything is written: its message, or empty.
QString saveRefusal(const ItemText& item);

// A group or company found by its name.
struct NamedRow {
    QString name;
    int nr = 0;
};

// The items of one catalogue as the item editor reads and writes them, through table objects of
// its own, so that the main window's item list is never left half-edited.
class ItemRecords {
public:
    explicit ItemRecords(QString folder);

    // The item's fields with its group's and producer's names; false when there is no such item.
    bool read(int itemNr, ItemText& out) const;

    // Writes the thirteen columns into item `itemNr`, or into a new row when it is 0, and returns
    // the item's number. Nothing else of the row is touched. A number field that holds no number
    // is found before the table is touched: 0 is returned and nothing written. Engine errors are
    // thrown after the row has been abandoned, so a failed write leaves nothing behind either.
    int write(int itemNr, const ItemText& item) const;

    // Groups by `Grupa_Nazwa`, companies by `Firma_Skrot`: the row of that name, or the first
    // one whose name is equal or greater (the last one when none is).
    std::optional<NamedRow> groupByName(const QString& name) const;
    std::optional<NamedRow> groupNearest(const QString& text) const;
    std::optional<NamedRow> companyByName(const QString& name) const;
    std::optional<NamedRow> companyNearest(const QString& text) const;

private:
    QString folder_;
};

} // namespace items
