#pragma once
#include "engine/fields.h"
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace store {

// --- Attribute types (Cecha_Typ) ---------------------------------------------------------------

struct AttributeType {
    QString letter; // Cecha_Typ: "A", "N", "L", "D", "S"
    QString entry;  // the entry of the type list in the attributes dialog
    QString word;   // the short display word of lists ("alfanumer.", "liczbowy" ...)
};

// The five types in the order of the type list.
const QList<AttributeType>& attributeTypes();
// Display word of a type letter; empty for a letter that is none of the five.
QString attributeTypeWord(const QString& letter);
// Type letter of a display word; empty for a word that is none of the five.
QString attributeTypeLetter(const QString& word);
// Position of a letter in the type list; -1 for a letter that is none of the five.
int attributeTypeIndex(const QString& letter);

// --- Values -------------------------------------------------------------------------------------

// Room for a value: Opis_Opis and Wartosci_Wartosc are text 100.
constexpr int kAttributeValueLength = 100;

// What is wrong with a value typed for an attribute of a given type.
enum class ValueFault { None, NotNumber, NotLogical, NotDate };

// The message that names the fault (caption "Uwaga !"); empty for None.
QString valueFaultMessage(ValueFault fault);

// A number as the program reads typed numbers: optional sign, digits, "," as the only decimal
// separator, optional exponent; blanks around it are allowed. "12,5" is one, "12.5" is not.
bool isTypedNumber(const QString& text);
// A date as the program reads typed dates: day-month-year with "-" (day and month of one or two
// digits; a year of one or two digits is taken in the current century). Nothing else.
std::optional<QDate> parseTypedDate(const QString& text);

// Check of an entry of an attribute's value list, by the type's display word as the value list
// receives it: numbers with a decimal comma, exactly "T" or "N", dates as above; other words get
// no check. The entry is kept as typed.
ValueFault checkListValue(const QString& typeWord, const QString& text);

// Check of an item's value as typed in its shown form, by the type letter. An empty value is
// always accepted (the attribute then has no value). On success `shown` is the form to keep:
// yes/no in upper case, dates as dd-mm-yyyy.
struct CheckedValue {
    ValueFault fault = ValueFault::None;
    QString shown;
};
CheckedValue checkItemValue(const QString& letter, const QString& typed);

// Opis_Opis from the shown form and back: numbers keep "." in Opis_Opis and show ",", dates keep
// dd.mm.yyyy and show dd-mm-yyyy; other types are the same in both.
QString storedValue(const QString& letter, const QString& shown);
QString shownValue(const QString& letter, const QString& stored);

// --- Working tables of the attribute dialogs -----------------------------------------------------

// A group template being edited ("WWG"): Wlasnosc_ok (unused), Wlasnosc_cecha_nazwa,
// Wlasnosc_nr, Wlasnosc_cecha_nr, Wlasnosc_znaczenie (the position).
engine::TableDef templateWorkLayout();
// An item's values being edited ("WWGiOpis"): the template's fields and Wlasnosc_cecha (the value
// in its shown form) and Wlasnosc_typ (the type letter).
engine::TableDef itemValuesWorkLayout();

} // namespace store
