#include "items/itemrecords.h"
#include "engine/error.h"
#include "engine/table.h"
#include "engine/values.h"
#include "ui/money.h"

namespace items {

const QString kNoName1Message = QStringLiteral("Brak nazwy 1 towaru. Zapis nie jest możliwy !");
const QString kNoGroupMessage = QStringLiteral("Brak nazwy grupy. Zapis nie jest możliwy !");
const QString kBadDataMessage = QStringLiteral(" Dane nie są poprawne ! Zapis nie jest możliwy !");
const QString kNoGroupQuestion = QStringLiteral("Brak danych. Czy wybrać grupę z listy ?");
const QString kNoProducerQuestion = QStringLiteral("Brak danych. Czy wybrać producenta z listy ?");
const QString kGroupChangeWarning =
    QStringLiteral("Zmiana grupy spowoduje wyświetlanie niepoprawnych własności?");
const QString kSaveFirstQuestion =
    QStringLiteral("Przejście do kolejnego ekranu możliwe po zapisaniu bieżącego towaru do bazy "
                   "danych. Dokonać zapisu ?");
const QString kChangedQuestion =
    QStringLiteral("Dane zostały zmienione. Czy zapisać wprowadzone zmiany ?");

namespace {

const QString kItems = QStringLiteral("Towar");
const QString kGroups = QStringLiteral("Grupa");
const QString kCompanies = QStringLiteral("Firmy");

// The stored values of the number fields, in the order they are written.
struct Numbers {
    QVariant quantity, price, priceA, priceB, priceC;
};

std::optional<Numbers> numbersOf(const ItemText& item) {
    Numbers n;
    const std::pair<const QString*, QVariant*> fields[] = {{&item.quantity, &n.quantity},
                                                           {&item.price, &n.price},
                                                           {&item.priceA, &n.priceA},
                                                           {&item.priceB, &n.priceB},
                                                           {&item.priceC, &n.priceC}};
    for (const auto& [text, value] : fields) {
        // Prices may be typed grouped ("1 200,50"); the quantity is a plain number.
        auto v = text == &item.quantity ? numberFromText(*text) : ui::moneyFromText(*text);
        if (!v) return std::nullopt;
        *value = *v;
    }
    return n;
}

std::optional<NamedRow> lookUp(const QString& folder, const QString& table, const QString& index,
                               const QString& nameField, const QString& nrField,
                               const QString& text, bool nearest) {
    engine::Table t(folder, table);
    t.setIndexName(index);
    t.open();
    if (t.isEmpty()) return std::nullopt;
    if (nearest)
        t.findNearest({text});
    else if (!t.findKey({text}))
        return std::nullopt;
    return NamedRow{t.asString(nameField), t.asInteger(nrField)};
}

QString nameByNr(const QString& folder, const QString& table, const QString& nameField, int nr) {
    if (nr == 0) return {};
    engine::Table t(folder, table);
    t.open();
    return t.findKey({nr}) ? t.asString(nameField) : QString();
}

} // namespace

const QStringList& vatEntries() {
    static const QStringList entries{
        QStringLiteral("23"), QStringLiteral("8"),   QStringLiteral("5"),
        QStringLiteral("0"),  QStringLiteral("zw."), QStringLiteral("22"),
        QStringLiteral("17"), QStringLiteral("12"),  QStringLiteral("7")};
    return entries;
}

QString vatShown(const QVariant& storedRate) {
    if (!storedRate.isValid() || storedRate.isNull()) return {};
    return engine::formatNumber(storedRate.toDouble());
}

std::optional<double> vatRate(const QString& shown) {
    if (shown.trimmed().isEmpty()) return std::nullopt;
    return engine::parseLooseNumber(shown);
}

std::optional<QVariant> numberFromText(const QString& text) {
    if (text.trimmed().isEmpty()) return QVariant();
    const auto n = engine::parseLooseNumber(text);
    if (!n) return std::nullopt;
    return QVariant(*n);
}

QString saveRefusal(const ItemText& item) {
    if (item.name1.isEmpty()) return kNoName1Message;
    // A name no group answers to would store an item in no group.
    if (item.group.isEmpty() || item.groupNr == 0) return kNoGroupMessage;
    return {};
}

ItemRecords::ItemRecords(QString folder) : folder_(std::move(folder)) {}

bool ItemRecords::read(int itemNr, ItemText& out) const {
    engine::Table t(folder_, kItems);
    t.open();
    if (itemNr <= 0 || !t.findKey({itemNr})) return false;
    ItemText r;
    r.name1 = t.asString(QStringLiteral("Tow_Nazwa"));
    r.name2 = t.asString(QStringLiteral("Tow_Nazwa2"));
    r.symbol = t.asString(QStringLiteral("Tow_Symbol"));
    r.groupNr = t.asInteger(QStringLiteral("Tow_Grupa_Nr"));
    r.producerNr = t.asInteger(QStringLiteral("Tow_Nr_Producent"));
    r.producerCode = t.asString(QStringLiteral("Tow_Kod_Prod"));
    r.quantity = t.asString(QStringLiteral("Tow_Ilosc"));
    r.unit = t.asString(QStringLiteral("Tow_jm"));
    r.vat = vatShown(t.value(QStringLiteral("Tow_VAT")));
    r.price = ui::moneyText(t.value(QStringLiteral("Tow_SRP")));
    r.priceA = ui::moneyText(t.value(QStringLiteral("Tow_Cena_A")));
    r.priceB = ui::moneyText(t.value(QStringLiteral("Tow_Cena_B")));
    r.priceC = ui::moneyText(t.value(QStringLiteral("Tow_Cena_C")));
    r.group = nameByNr(folder_, kGroups, QStringLiteral("Grupa_Nazwa"), r.groupNr);
    r.producer = nameByNr(folder_, kCompanies, QStringLiteral("Firma_Skrot"), r.producerNr);
    out = r;
    return true;
}

int ItemRecords::write(int itemNr, const ItemText& item) const {
    const auto numbers = numbersOf(item);
    if (!numbers) return 0;
    engine::Table t(folder_, kItems);
    t.open();
    if (itemNr > 0) {
        if (!t.findKey({itemNr}))
            throw engine::EngineError(
                engine::EngineError::Kind::Deleted,
                QStringLiteral("Obiekt nr %1 został usunięty przez innego użytkownika.")
                    .arg(itemNr),
                kItems);
        t.edit();
    } else {
        t.insert();
    }
    try {
        t.setValue(QStringLiteral("Tow_Nazwa"), item.name1);
        t.setValue(QStringLiteral("Tow_Nazwa2"), item.name2);
        t.setValue(QStringLiteral("Tow_Symbol"), item.symbol);
        t.setValue(QStringLiteral("Tow_Grupa_Nr"), item.groupNr);
        t.setValue(QStringLiteral("Tow_Nr_Producent"),
                   item.producer.isEmpty() ? 0 : item.producerNr);
        t.setValue(QStringLiteral("Tow_Kod_Prod"), item.producerCode);
        t.setValue(QStringLiteral("Tow_Ilosc"), numbers->quantity);
        if (const auto rate = vatRate(item.vat)) t.setValue(QStringLiteral("Tow_VAT"), *rate);
        t.setValue(QStringLiteral("Tow_jm"), item.unit);
        t.setValue(QStringLiteral("Tow_SRP"), numbers->price);
        t.setValue(QStringLiteral("Tow_Cena_A"), numbers->priceA);
        t.setValue(QStringLiteral("Tow_Cena_B"), numbers->priceB);
        t.setValue(QStringLiteral("Tow_Cena_C"), numbers->priceC);
        t.post();
    } catch (...) {
        // The row is let go (and its lock given back) before the caller's guard reports.
        t.cancel();
        throw;
    }
    return t.asInteger(QStringLiteral("Tow_nr"));
}

std::optional<NamedRow> ItemRecords::groupByName(const QString& name) const {
    return lookUp(folder_, kGroups, QStringLiteral("wg_Grupa_Nazwa"), QStringLiteral("Grupa_Nazwa"),
                  QStringLiteral("Grupa_Nr"), name, false);
}

std::optional<NamedRow> ItemRecords::groupNearest(const QString& text) const {
    return lookUp(folder_, kGroups, QStringLiteral("wg_Grupa_Nazwa"), QStringLiteral("Grupa_Nazwa"),
                  QStringLiteral("Grupa_Nr"), text, true);
}

std::optional<NamedRow> ItemRecords::companyByName(const QString& name) const {
    return lookUp(folder_, kCompanies, QStringLiteral("wg_Firma_Skrot"),
                  QStringLiteral("Firma_Skrot"), QStringLiteral("Firma_Nr"), name, false);
}

std::optional<NamedRow> ItemRecords::companyNearest(const QString& text) const {
    return lookUp(folder_, kCompanies, QStringLiteral("wg_Firma_Skrot"),
                  QStringLiteral("Firma_Skrot"), QStringLiteral("Firma_Nr"), text, true);
}

} // namespace items
