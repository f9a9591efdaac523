#pragma once
// Order documents below the widgets: the two kinds, numbering, the document number, and the
// header and lines as they are created, written and deleted. Every order of the installation
// lives in the default catalogue's Dok_Head (one row per order) and Dok_Dane (its lines,
// Dane_Dok_Nr = Dok_Nr), whatever catalogue is open.
//
// Errors of the engine (a lock held by another installation, a full disk) come out as
// engine::EngineError with nothing written; refusals the user can mend come back as values.
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace engine {
class Database;
class DataSet;
class Table;
} // namespace engine

namespace store {
class MainState;
}

namespace orders {

// --- Kinds (Dok_Typ) --------------------------------------------------------------------------
inline constexpr int kFromClient = 1; // an order received from a client
inline constexpr int kToSupplier = 2; // an order placed with a supplier

QString kindWord(int kind);         // OrderKindText: "Od klienta", "Do dostawcy"
QString editorCaption(int kind);    // "Zamówienie od klienta", "Zamówienie do dostawcy"
QString addresseeCaption(int kind); // " Klient : ", " Dostawca : "
QString listCaption(int kind);      // "Zamówienia od klientów", "Zamówienia do dostawców"

// Dok_Firma_Skrot of an order created but not saved yet.
QString editingMarker();
// The refusal of a number another order of the kind already has (typing slip kept: it is the
// program's own text).
QString numberTakenMessage();

// OrderEditMode words.
enum class WriteMode { New, Edit };
QString modeWord(WriteMode mode); // "Nowy", "Edycja"

// --- Numbering ----------------------------------------------------------------------------
// The settings of one kind from the settings record (Pelk_Zam_Od_... for kind 1,
// Pelk_Zam_Do_... for kind 2).
struct Numbering {
    qint64 start = 1;     // Pelk_Zam_.._Nr
    bool fillGaps = true; // Pelk_Zam_.._Autonumer
    QStringList pattern;  // Pelk_Zam_..1 .. 6, always six parts
};
Numbering readNumbering(const engine::DataSet& settingsRecord, int kind);

// The number a new order of the kind gets: with gap filling the smallest number not below the
// start that no order of the kind has; without it one more than the highest number (1 when the
// kind has none). Found from the Dok_Numer index, not by visiting every order.
qint64 nextOrderNumber(engine::Database& db, int kind, const Numbering& n);

// No order of the kind has `number`; the order `exceptDokNr` (the one being saved) is not
// counted.
bool numberIsFree(engine::Database& db, int kind, qint64 number, qint64 exceptDokNr = 0);

// The text printed as the order's number: the six pattern parts joined, the parts "ROK"/"rok",
// "MIESIĄC"/"miesiąc" and "NUMER"/"numer" replaced by the year and month of `savingDate` and
// the number. Not cut: Dok_Numer_Dok keeps the first kDocumentNumberLength characters.
QString documentNumber(const QStringList& pattern, qint64 number, const QDate& savingDate);
inline constexpr int kDocumentNumberLength = 20;

// --- Header and lines ---------------------------------------------------------------------
// The header fields the editor edits (Dok_Head); the kind, Dok_Nr and the completed flag are
// not among them.
struct OrderHeader {
    qint64 number = 0;               // Dok_Numer
    QDate issueDate;                 // Dok_Data_Wyst ("Z dnia")
    QDate completionDate;            // Dok_Data_Realiz ("Termin realizacji")
    qint64 addresseeNr = 0;          // Dok_Firma_Nr; 0 none
    QString addresseeName;           // Dok_Firma_Skrot
    QString addresseeContact;        // Dok_Firma_Kontakt
    qint64 recipientNr = 0;          // Dok_Odbiorca_Nr; 0 none
    QString recipientName;           // Dok_Odbiorca_Skrot (picked since the editor opened)
    QString recipientContact;        // Dok_Odbiorca_Kontakt
    QString paymentForm;             // Dok_Forma_Platnosci
    QString transport;               // Dok_Transport
    std::array<QString, 3> headings; // Dok_Naglowek1..3 ("Dotyczy")
    std::array<QString, 3> footers;  // Dok_Stopka1..3 ("Uwagi")
};

// One line (Dok_Dane), in the order the lines are written.
struct OrderLine {
    qint64 itemNr = 0;    // Dane_Tow_Nr; 0 for a line typed by hand (stored empty)
    QString name;         // Dane_Tow_Nazwa
    QString symbol;       // Dane_Tow_Symbol
    QString producerCode; // Dane_Tow_Kod_Prod
    QString remark;       // Dane_Uwagi
    double quantity = 0;  // Dane_Ilosc
    QString unit;         // Dane_jm
};

// The header of the current row of a Dok_Head data set.
OrderHeader readHeader(const engine::DataSet& heads);
// The lines of order `dokNr` in the order they were written.
std::vector<OrderLine> readLines(engine::Database& db, qint64 dokNr);

// --- Commands -----------------------------------------------------------------------------
// A new order's completed flag, from the order list's "Pokaż" choice: "niezrealizowane",
// "zrealizowane" or "wszystkie" (left empty).
enum class CompletedAtCreation { No, Yes, Unset };

struct CreatedOrder {
    qint64 dokNr = 0;
    qint64 number = 0;
};
// Inserts the header of a new order of `kind` into the default catalogue's Dok_Head: the next
// number, the kind, the editing marker as its company, the flag, `today` as issue date. Number
// and insert are one write transaction, so two installations never get the same number. The
// row is not left in editing: the editor locks it when it opens the order.
CreatedOrder createOrder(store::MainState& st, int kind, CompletedAtCreation completed,
                         const QDate& today);
CreatedOrder createOrder(const QString& defaultFolder, const Numbering& numbering, int kind,
                         CompletedAtCreation completed, const QDate& today);

enum class WriteResult {
    Written,
    NumberTaken, // another order of the kind has the number: nothing written; tell the user
                 // numberTakenMessage()
};
// Writes the order on the current row of `heads` (a Dok_Head table of the default catalogue,
// browsing or already editing that row): the header values, Dok_Numer_Dok from the kind's
// pattern and `savingDate`, an empty Dok_Operator and a cleared completed flag, and, for
// WriteMode::Edit, the replacement of every stored line by `lines` (WriteMode::New only adds
// them). All in one transaction with the number tested again inside it: it commits whole or
// not at all. A row that was editing on entry is editing again afterwards (the editor keeps
// its lock); on an error it is left as it was found where the engine allows.
WriteResult writeOrder(engine::Table& heads, const OrderHeader& header,
                       const std::vector<OrderLine>& lines, WriteMode mode,
                       const QStringList& pattern, const QDate& savingDate);

// Deletes the order on the current row of `heads` with all its lines in one transaction. The
// header is locked first: an order open in another installation is refused (EngineError
// Locked) with nothing deleted.
void deleteOrder(engine::Table& heads);

// Turns the completed flag (Dok_Zaplacono) of the current order over in one post; an empty
// flag counts as not completed. Returns the new value.
bool toggleCompleted(engine::Table& heads);

namespace testing {
// Called inside the writing transaction after the header is written and before the lines:
// lets a test make the write fail half-way.
void setWriteFault(std::function<void()> fault);
} // namespace testing

} // namespace orders
