#include "store/mainstate.h"

namespace store {

MainState::MainState(QObject* parent) : QObject(parent) {
    TPelk.setTableName(QStringLiteral("Pelk"));
    TUsers.setTableName(QStringLiteral("Users"));
    TBazy.setTableName(QStringLiteral("Bazy"));
    Tskojarz.setTableName(QStringLiteral("Skojarz"));
    TOferty.setTableName(QStringLiteral("Oferty"));
    TDokumenty.setTableName(QStringLiteral("Dok_Head"));
    TDok_Dane.setTableName(QStringLiteral("Dok_Dane"));
    TFTowar.setTableName(QStringLiteral("Towar"));
    TFGrupa.setTableName(QStringLiteral("Grupa"));
    TFirma_Prod.setTableName(QStringLiteral("Firmy"));
    TOpis.setTableName(QStringLiteral("Opis"));
    TCecha.setTableName(QStringLiteral("Cecha"));
    TWchodzi.setTableName(QStringLiteral("Sklada"));
    TPomoc_Towar.setTableName(QStringLiteral("Towar"));
    TSklada.setTableName(QStringLiteral("Sklada"));
    TZamienniki.setTableName(QStringLiteral("Zamienne"));
    TRysunek.setTableName(QStringLiteral("Rysunek"));
    TGrafika.setTableName(QStringLiteral("Grafika"));
    TPodglad_Rys.setTableName(QStringLiteral("Rysunek"));
    TCeny.setTableName(QStringLiteral("Cena"));
    TPomocFirma.setTableName(QStringLiteral("Firmy"));
    TPomocWaluta.setTableName(QStringLiteral("Waluta"));
    TKonfig_i.setTableName(QStringLiteral("Konfig_i"));
    TOsoby.setTableName(QStringLiteral("Osoby"));
    TWypozycz.setTableName(QStringLiteral("Wypozycz"));
    TTowarPomoc.setTableName(QStringLiteral("Towar"));
    TWypozycz2.setTableName(QStringLiteral("Wypozycz"));
    TOsobyPomoc.setTableName(QStringLiteral("Osoby"));
}

MainState::~MainState() = default;

QList<engine::DataSet*> MainState::catalogueTables() {
    return {&TFGrupa,      &TFTowar,      &QTowar,      &TFirma_Prod,  &TOpis,      &TCecha,
            &TWchodzi,     &TPomoc_Towar, &TSklada,     &TZamienniki,  &TRysunek,   &TGrafika,
            &TPodglad_Rys, &TCeny,        &TPomocFirma, &TPomocWaluta, &TWypozycz2, &TOsobyPomoc};
}

} // namespace store
