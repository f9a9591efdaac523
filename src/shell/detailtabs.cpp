#include "shell/detailtabs.h"
#include "engine/table.h"
#include "shell/busycursor.h"
#include "shell/maincontroller.h"
#include "store/mainstate.h"

namespace shell {

namespace {

// The related item's values shown beside a relation row, by the name each table gives them.
struct RelatedNames {
    const char* name1;
    const char* name2;
    const char* symbol;
    const char* producerCode;
    const char* price;
};

void addRelatedItem(engine::Table& t, const QString& key, const RelatedNames& n) {
    const QString towar = QStringLiteral("Towar");
    const QString nr = QStringLiteral("Tow_nr");
    const std::pair<const char*, const char*> fields[] = {{n.name1, "Tow_Nazwa"},
                                                          {n.name2, "Tow_Nazwa2"},
                                                          {n.symbol, "Tow_Symbol"},
                                                          {n.producerCode, "Tow_Kod_Prod"},
                                                          {n.price, "Tow_SRP"},
                                                          {"Pomoc_Tow_Cena_A", "Tow_Cena_A"},
                                                          {"Pomoc_Tow_Cena_B", "Tow_Cena_B"},
                                                          {"Pomoc_Tow_Cena_C", "Tow_Cena_C"}};
    for (const auto& [name, column] : fields)
        t.addLookupField(QLatin1String(name), key, towar, nr, QLatin1String(column));
}

} // namespace

DetailTabs::DetailTabs(store::MainState& state, MainView& view, QObject* parent)
    : QObject(parent), st_(state), view_(view) {
    auto& s = st_;
    const QString itemNr = QStringLiteral("Tow_nr");

    // General data: the group and the producer of the current item, always at hand.
    s.TFGrupa.setMaster(&s.TFTowar, QStringLiteral("Tow_Grupa_nr"), QStringLiteral("Grupa_Nr"));
    s.TFirma_Prod.setMaster(&s.TFTowar, QStringLiteral("Tow_Nr_Producent"),
                            QStringLiteral("Firma_Nr"));

    s.TOpis.addLookupField(QStringLiteral("Nowa_Cecha"), QStringLiteral("Opis_Cecha_Nr"),
                           QStringLiteral("Cecha"), QStringLiteral("Cecha_Nr"),
                           QStringLiteral("Cecha_Opis"));
    s.TOpis.addLookupField(QStringLiteral("Pomoc_Typ"), QStringLiteral("Opis_Cecha_Nr"),
                           QStringLiteral("Cecha"), QStringLiteral("Cecha_Nr"),
                           QStringLiteral("Cecha_Typ"));
    s.TOpis.setIndexFieldNames({});
    s.TOpis.setMaster(&s.TFTowar, itemNr, QStringLiteral("Opis_Tow_Nr"));

    // The wholes this item goes into.
    addRelatedItem(s.TWchodzi, QStringLiteral("Sklada_Tow_Nr"),
                   {"Pomoc_Tow_Nazwa", "Pomoc_Towar_Nazwa2", "Pomoc_Tow_Symbol",
                    "Pomoc_Tow_Symbol_Prod", "Pomoc_SRP"});
    s.TWchodzi.setIndexFieldNames(QStringLiteral("Sklada_Nr_Czesci"));
    s.TWchodzi.setMaster(&s.TFTowar, itemNr, QStringLiteral("Sklada_Nr_Czesci"));

    // The parts of this item.
    addRelatedItem(s.TSklada, QStringLiteral("Sklada_Nr_Czesci"),
                   {"Pomoc_Tow_Nazwa", "Pomoc_Tow_Nazwa2", "Pomoc_Tow_Symbol",
                    "Pomoc_Tow_Symbol_Prod", "Pomoc_Tow_SRP"});
    s.TSklada.setIndexFieldNames(QStringLiteral("Sklada_Tow_Nr"));
    s.TSklada.setMaster(&s.TFTowar, itemNr, QStringLiteral("Sklada_Tow_Nr"));

    addRelatedItem(s.TZamienniki, QStringLiteral("Zam_Nr_Zam"),
                   {"Zam_Tow_Nazwa", "Pomoc_Tow_Nazwa2", "Zam_Tow_Symbol", "Zam_Tow_Kod_Prod",
                    "Pomoc_Tow_SRP"});
    s.TZamienniki.setIndexFieldNames(QStringLiteral("Zam_Tow_Nr"));
    s.TZamienniki.setMaster(&s.TFTowar, itemNr, QStringLiteral("Zam_Tow_Nr"));

    for (auto signal : {&engine::DataSet::afterScroll, &engine::DataSet::afterOpen,
                        &engine::DataSet::afterClose, &engine::DataSet::afterRefresh})
        connect(&s.TOpis, signal, this, &DetailTabs::attributeRowChanged);
    attributeRowChanged();
}

void DetailTabs::closeAll() {
    auto& s = st_;
    for (engine::DataSet* t : std::initializer_list<engine::DataSet*>{
             &s.TCeny, &s.TPomocFirma, &s.TPomocWaluta, &s.TOpis, &s.TCecha, &s.TWchodzi,
             &s.TSklada, &s.TZamienniki, &s.TPomoc_Towar, &s.TGrafika, &s.TRysunek,
             &s.TPodglad_Rys})
        t->close();
}

void DetailTabs::tabChanged(int page) {
    BusyCursor busy;
    page_ = page;
    closeAll();
    openPage(page);
}

void DetailTabs::openPage(int page) {
    auto& s = st_;
    // Without a catalogue bound there is nothing to show yet.
    if (s.TFTowar.databaseName().isEmpty()) return;
    switch (page) {
    case Attributes:
        s.TCecha.open();
        s.TOpis.open();
        break;
    case GoesInto:
        s.TPomoc_Towar.open();
        s.TWchodzi.open();
        break;
    case ConsistsOf:
        s.TPomoc_Towar.open();
        s.TSklada.open();
        break;
    case Substitutes:
        s.TPomoc_Towar.open();
        s.TZamienniki.open();
        break;
    default:
        break; // general data and notes show TFTowar itself; the other pages come later
    }
}

void DetailTabs::attributeRowChanged() {
    const bool address = st_.TOpis.isOpen() && !st_.TOpis.isEmpty() &&
                         st_.TOpis.asString(QStringLiteral("Pomoc_Typ")) == QLatin1String("S");
    view_.setCommandEnabled(QStringLiteral("SB_Zobacz"), address);
}

} // namespace shell
