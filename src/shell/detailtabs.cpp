#include "shell/detailtabs.h"
#include "engine/table.h"
#include "shell/maincontroller.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"

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

// The prices of a price row and the names of their values in the home currency.
const std::pair<const char*, const char*> kComputedPrices[] = {{"Cena_1", "Obl_Cena_1"},
                                                               {"Cena_2", "Obl_Cena_2"},
                                                               {"Cena_3", "Obl_Cena_3"},
                                                               {"Cena_SRP", "Obl_Cena_SRP"}};

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

    // The item's drawings, and the picture of the one chosen among them.
    s.TGrafika.addLookupField(QStringLiteral("Grafika_Opis"), QStringLiteral("Grafika_Rys_Nr"),
                              QStringLiteral("Rysunek"), QStringLiteral("Rys_Nr"),
                              QStringLiteral("Rys_Opis"));
    s.TGrafika.setIndexFieldNames(QStringLiteral("Grafika_Tow_Nr"));
    s.TGrafika.setMaster(&s.TFTowar, itemNr, QStringLiteral("Grafika_Tow_Nr"));
    s.TPodglad_Rys.setIndexFieldNames({});
    s.TPodglad_Rys.setMaster(&s.TGrafika, QStringLiteral("Grafika_Rys_Nr"),
                             QStringLiteral("Rys_Nr"));

    linkPricesAndLoans();

    for (auto signal : {&engine::DataSet::afterScroll, &engine::DataSet::afterOpen,
                        &engine::DataSet::afterClose, &engine::DataSet::afterRefresh}) {
        connect(&s.TOpis, signal, this, &DetailTabs::attributeRowChanged);
        connect(&s.TPodglad_Rys, signal, this, &DetailTabs::pictureChanged);
    }
    attributeRowChanged();
}

void DetailTabs::linkPricesAndLoans() {
    auto& s = st_;
    const QString itemNr = QStringLiteral("Tow_nr");
    // Purchase prices, with the supplier, the rate and the prices in the home currency.
    s.TCeny.addLookupField(QStringLiteral("Pomoc_Firma_Nazwa"), QStringLiteral("Cena_Firma_Nr"),
                           QStringLiteral("Firmy"), QStringLiteral("Firma_Nr"),
                           QStringLiteral("Firma_Skrot"));
    s.TCeny.addLookupField(QStringLiteral("Pomoc_Waluta_kurs"), QStringLiteral("Cena_Waluta_Nr"),
                           QStringLiteral("Waluta"), QStringLiteral("Waluta_Nr"),
                           QStringLiteral("Waluta_Kurs"));
    s.TCeny.addLookupField(QStringLiteral("Pomoc_Waluta_Nazwa"), QStringLiteral("Cena_Waluta_Nr"),
                           QStringLiteral("Waluta"), QStringLiteral("Waluta_Nr"),
                           QStringLiteral("Waluta_Nazwa"));
    for (const auto& [price, computed] : kComputedPrices)
        s.TCeny.addCalculatedField(QLatin1String(computed), engine::FieldType::Number);
    connect(&s.TCeny, &engine::DataSet::calcFields, this, &DetailTabs::computePrices);
    s.TCeny.setIndexFieldNames(QStringLiteral("Cena_Tow_Nr"));
    s.TCeny.setMaster(&s.TFTowar, itemNr, QStringLiteral("Cena_Tow_Nr"));

    // Loans of the item, with the borrower's name.
    s.TWypozycz.addLookupField(QStringLiteral("Osoba_Nazwa"), QStringLiteral("Wypozycz_Osoba_Nr"),
                               QStringLiteral("Osoby"), QStringLiteral("Osoba_Nr"),
                               QStringLiteral("Osoba_Nazwa"));
    s.TWypozycz.setIndexFieldNames(QStringLiteral("Wypozycz_Towar_Nr"));
    s.TWypozycz.setMaster(&s.TFTowar, itemNr, QStringLiteral("Wypozycz_Towar_Nr"));
}

void DetailTabs::closeAll() {
    auto& s = st_;
    for (engine::DataSet* t : std::initializer_list<engine::DataSet*>{
             &s.TCeny, &s.TPomocFirma, &s.TPomocWaluta, &s.TOpis, &s.TCecha, &s.TWchodzi,
             &s.TSklada, &s.TZamienniki, &s.TPomoc_Towar, &s.TGrafika, &s.TRysunek, &s.TPodglad_Rys,
             &s.TWypozycz})
        t->close();
}

void DetailTabs::tabChanged(int page) {
    ui::BusyCursor busy;
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
    case Drawings:
        s.TRysunek.open();
        s.TGrafika.open();
        if (picturesShown_) s.TPodglad_Rys.open();
        break;
    case Prices:
        // Without the price right nothing of the prices is read, the remark included.
        if (!s.PriceRight) break;
        s.TPomocFirma.open();
        s.TPomocWaluta.open();
        s.TCeny.open();
        break;
    case Lending:
        s.TWypozycz.open();
        break;
    default:
        break; // general data and notes show TFTowar itself; orders and offers their own
    }
}

bool DetailTabs::runEditor(int page, const std::function<void()>& open) {
    auto& s = st_;
    if (s.CatalogueEmpty || !s.fullRights() || !s.TFTowar.isOpen() || s.TFTowar.isEmpty())
        return false;
    // Purchase prices are for the users who may see them.
    if (page == Prices && !s.PriceRight) return false;
    s.CurrentItemName = s.TFTowar.asString(QStringLiteral("Tow_nazwa"));
    s.CurrentItemNr = s.TFTowar.asInteger(QStringLiteral("Tow_nr"));
    open();
    rereadPage(page);
    return true;
}

void DetailTabs::rereadPage(int page) {
    if (page != page_) return; // a hidden page's tables are closed and read when shown
    closeAll();
    openPage(page);
}

void DetailTabs::attributeRowChanged() {
    const bool address = st_.TOpis.isOpen() && !st_.TOpis.isEmpty() &&
                         st_.TOpis.asString(QStringLiteral("Pomoc_Typ")) == QLatin1String("S");
    view_.setCommandEnabled(QStringLiteral("SB_Zobacz"), address);
}

} // namespace shell

namespace shell {

int DetailTabs::relatedItem(int page) const {
    const auto related = [](const engine::Table& t, const char* field) {
        return t.isOpen() && !t.isEmpty() ? t.asInteger(QLatin1String(field)) : 0;
    };
    switch (page) {
    case GoesInto:
        return related(st_.TWchodzi, "Sklada_Tow_Nr");
    case ConsistsOf:
        return related(st_.TSklada, "Sklada_Nr_Czesci");
    case Substitutes:
        return related(st_.TZamienniki, "Zam_Nr_Zam");
    default:
        return 0;
    }
}

void DetailTabs::setPicturesShown(bool shown) {
    if (shown == picturesShown_) return;
    picturesShown_ = shown;
    auto& pictures = st_.TPodglad_Rys;
    if (!shown)
        pictures.close();
    else if (page_ == Drawings && st_.TGrafika.isOpen())
        pictures.open();
    Q_EMIT pictureChanged();
}

QByteArray DetailTabs::picture() const {
    const auto& t = st_.TPodglad_Rys;
    if (!picturesShown_ || !t.isOpen() || t.isEmpty()) return {};
    return t.asBytes(QStringLiteral("Rys_Blob"));
}

bool DetailTabs::mayEditNotes() const {
    const auto& items = st_.TFTowar;
    return st_.fullRights() && !st_.CatalogueEmpty && items.isOpen() && !items.isEmpty();
}

bool DetailTabs::beginNotes() {
    if (!mayEditNotes()) return false;
    auto& items = st_.TFTowar;
    if (items.state() != engine::Table::State::Browse) return true;
    return ui::guarded([&] { items.edit(); });
}

void DetailTabs::endNotes(const QString& text) {
    auto& items = st_.TFTowar;
    if (items.state() != engine::Table::State::Edit) return;
    const QString notes = QStringLiteral("Tow_Uwagi");
    const bool written = ui::guarded([&] {
        if (text == items.asString(notes)) {
            items.cancel();
            return;
        }
        items.setValue(notes, text.isEmpty() ? QVariant() : QVariant(text));
        items.post();
    });
    // The notes the user typed are lost only after he has been told so.
    if (!written) ui::guarded([&] { items.cancel(); });
}

void DetailTabs::computePrices(engine::DataSet* prices) {
    // No rate, no price in the home currency: a row whose currency was deleted shows 0.
    const double rate = prices->asFloat(QStringLiteral("Pomoc_Waluta_kurs"));
    // A price not given has no counterpart either (not a price of 0).
    for (const auto& [price, computed] : kComputedPrices)
        prices->setCalculated(QLatin1String(computed),
                              prices->isNull(QLatin1String(price))
                                  ? QVariant()
                                  : QVariant(prices->asFloat(QLatin1String(price)) * rate));
}

} // namespace shell
