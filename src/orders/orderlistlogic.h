#pragma once
// What the order list decides without widgets: its filter text, its orders and the opening of
// the main window's order tables.
#include <QDate>
#include <QString>

namespace store {
class MainState;
}

namespace orders {

// "Pokaż :" choices, in the list's order.
enum class ShowChoice { NotCompleted = 0, Completed = 1, All = 2 };
// "Wyświetlaj wg :" choices, in the list's order.
enum class SortChoice { Addressee = 0, Number = 1, CompletionDate = 2, Creation = 3 };

// The filter of the order table for the kind choice (0 client orders, 1 supplier orders), the
// "Pokaż" choice and the period of issue dates, both ends included, e.g.
// "Dok_Typ=1 and (not Dok_Zaplacono) and Dok_Data_Wyst>=01-01-2024 and Dok_Data_Wyst<=31-12-2024".
// An empty completed flag reads as false, so such orders count as not completed.
QString orderListFilter(int kindIndex, ShowChoice show, const QDate& from, const QDate& to);

// The index the order table is ordered by under a sort choice.
QString sortIndexName(SortChoice sort);
// Whether the search field is shown under a sort choice.
bool sortSearches(SortChoice sort);

// Opens the main window's order table (Dok_Head) and line table (Dok_Dane, following the
// current order through Dane_Dok_Nr) on the default catalogue, unless they are open already.
void openOrderTables(store::MainState& st);

// The kind (Dok_Typ) of a kind choice index and back.
inline int kindOfIndex(int kindIndex) {
    return kindIndex == 1 ? 2 : 1;
}

} // namespace orders
