#include "orders/orderlistlogic.h"

#include "store/mainstate.h"

namespace orders {

QString orderListFilter(int kindIndex, ShowChoice show, const QDate& from, const QDate& to) {
    QString f = QStringLiteral("Dok_Typ=%1").arg(kindOfIndex(kindIndex));
    if (show == ShowChoice::NotCompleted)
        f += QStringLiteral(" and (not Dok_Zaplacono)");
    else if (show == ShowChoice::Completed)
        f += QStringLiteral(" and Dok_Zaplacono");
    const QString format = QStringLiteral("dd-MM-yyyy");
    f += QStringLiteral(" and Dok_Data_Wyst>=") + from.toString(format);
    f += QStringLiteral(" and Dok_Data_Wyst<=") + to.toString(format);
    return f;
}

QString sortIndexName(SortChoice sort) {
    switch (sort) {
    case SortChoice::Addressee:
        return QStringLiteral("wg_Dok_Firma_Skrot");
    case SortChoice::Number:
        return QStringLiteral("wg_Dok_Numer");
    case SortChoice::CompletionDate:
        return QStringLiteral("wg_Dok_Data_Realiz");
    case SortChoice::Creation:
        break;
    }
    return QStringLiteral("PrimaryIndex");
}

bool sortSearches(SortChoice sort) {
    return sort == SortChoice::Addressee || sort == SortChoice::Number;
}

void openOrderTables(store::MainState& st) {
    if (!st.TDokumenty.isOpen()) {
        st.TDokumenty.setDatabaseName(st.DefaultCatalogueFolder);
        st.TDokumenty.open();
    }
    if (!st.TDok_Dane.isOpen()) {
        st.TDok_Dane.setDatabaseName(st.DefaultCatalogueFolder);
        st.TDok_Dane.setIndexName(QStringLiteral("wg_Dane_Dok_Nr"));
        st.TDok_Dane.setMaster(&st.TDokumenty, QStringLiteral("Dok_Nr"),
                               QStringLiteral("Dane_Dok_Nr"));
        st.TDok_Dane.open();
    }
}

} // namespace orders
