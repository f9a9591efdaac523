#include "offers/composelines.h"
#include "engine/dataset.h"
#include "engine/query.h"
#include "engine/table.h"
#include <QRegularExpression>
#include <cmath>

namespace offers {

const QString kPriceSuffix = QStringLiteral(" zł");
const QString kQuantitySuffix = QStringLiteral(" szt.");

namespace {

constexpr int kAmountWidth = 10;

const QString kTowar = QStringLiteral("Towar");
const QString kTowNr = QStringLiteral("Tow_nr");

// The Towar fields of an item line, in the order they are written, with their widths (0 for a
// price).
struct ItemColumn {
    const char* field;
    int width;
    bool ColumnSwitches::*on;
};
const ItemColumn kItemColumns[] = {
    {"Tow_Nazwa", kNameColumn, &ColumnSwitches::name1},
    {"Tow_Nazwa2", kNameColumn, &ColumnSwitches::name2},
    {"Tow_Symbol", kSymbolColumn, &ColumnSwitches::symbol},
    {"Tow_Kod_Prod", kSymbolColumn, &ColumnSwitches::producerCode},
    {"Tow_SRP", 0, &ColumnSwitches::price},
    {"Tow_Cena_A", 0, &ColumnSwitches::priceA},
    {"Tow_Cena_B", 0, &ColumnSwitches::priceB},
    {"Tow_Cena_C", 0, &ColumnSwitches::priceC},
};

QString spaces(int n) {
    return n > 0 ? QString(n, u' ') : QString();
}

// A relation list: the table, the index whose first field is the current item, and the field
// naming the related item whose values the line shows.
struct RelationList {
    const char* title;
    const char* table;
    const char* index;
    const char* relatedKey;
    const char* quantity; // nullptr: no quantity column
};

QStringList relationLines(const QString& folder, int itemNr, const ColumnSwitches& on,
                          const RelationList& list) {
    QStringList lines{QString::fromUtf8(list.title)};
    engine::Table t(folder, QLatin1String(list.table));
    // The related item's values looked up under their own Towar names.
    for (const ItemColumn& c : kItemColumns)
        t.addLookupField(QLatin1String(c.field), QLatin1String(list.relatedKey), kTowar, kTowNr,
                         QLatin1String(c.field));
    t.setIndexFieldNames(QLatin1String(list.index));
    t.open();
    t.setRange({itemNr});
    const QString quantity = list.quantity ? QLatin1String(list.quantity) : QString();
    for (t.first(); !t.eof(); t.next()) {
        QString line = itemLine(t, on);
        if (list.quantity && on.quantity) line += amountCell(t.asString(quantity), kQuantitySuffix);
        lines << line;
    }
    return lines;
}

} // namespace

QString textCell(const QString& value, int width) {
    return value + spaces(width - int(value.size()) + 1);
}

QString amountCell(const QString& value, const QString& suffix) {
    return u' ' + spaces(kAmountWidth - int(value.size()) + 1) + value + suffix;
}

ColumnSwitches readColumnSwitches(const engine::Table& konfig, const QString& group) {
    auto flag = [&](const char* column) {
        const QString name = QStringLiteral("Konfig_%1_%2").arg(group, QLatin1String(column));
        return konfig.hasField(name) && konfig.asBoolean(name);
    };
    ColumnSwitches s;
    s.name1 = flag("Nazwa1");
    s.name2 = flag("Nazwa2");
    s.symbol = flag("Symbol");
    s.producerCode = flag("Kod_Prod");
    s.price = flag("Cena_SRP");
    s.priceA = flag("Cena_A");
    s.priceB = flag("Cena_B");
    s.priceC = flag("Cena_C");
    s.quantity = flag("Ilosc");
    return s;
}

ComposeSwitches readComposeSwitches(const QString& catalogueFolder) {
    engine::Table konfig(catalogueFolder, QStringLiteral("Konfig_i"));
    konfig.open();
    ComposeSwitches s;
    if (konfig.isEmpty()) return s;
    s.items = readColumnSwitches(konfig, QStringLiteral("i"));
    s.goesInto = readColumnSwitches(konfig, QStringLiteral("iW"));
    s.consistsOf = readColumnSwitches(konfig, QStringLiteral("iS"));
    s.substitutes = readColumnSwitches(konfig, QStringLiteral("iZ"));
    return s;
}

QString itemLine(const FieldText& field, const ColumnSwitches& on) {
    QString line;
    for (const ItemColumn& c : kItemColumns) {
        if (!(on.*c.on)) continue;
        const QString value = field(QLatin1String(c.field));
        line += c.width ? textCell(value, c.width) : amountCell(value, kPriceSuffix);
    }
    return line;
}

QString itemLine(const engine::DataSet& item, const ColumnSwitches& on) {
    return itemLine([&](const QString& f) { return item.asString(f); }, on);
}

QStringList companyLines(const QStringList& block) {
    QStringList lines;
    // The town line is the postal code and the town joined by a space: blank when both are.
    for (const QString& text : block)
        if (!text.trimmed().isEmpty()) lines << text;
    return lines;
}

QStringList noteLines(const QString& notes) {
    QStringList lines{QStringLiteral("Notatki :")};
    if (notes.isEmpty()) return lines;
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r|\u2029"));
    lines << notes.split(breaks);
    return lines;
}

QStringList attributeLines(const QString& folder, int itemNr) {
    QStringList lines{QStringLiteral("Własności :")};
    engine::Table values(folder, QStringLiteral("Opis"));
    values.addLookupField(QStringLiteral("Nowa_Cecha"), QStringLiteral("Opis_Cecha_Nr"),
                          QStringLiteral("Cecha"), QStringLiteral("Cecha_Nr"),
                          QStringLiteral("Cecha_Opis"));
    values.open();
    values.setRange({itemNr});
    for (values.first(); !values.eof(); values.next())
        lines << textCell(values.asString(QStringLiteral("Nowa_Cecha")), kLabelColumn) +
                     values.asString(QStringLiteral("Opis_Opis"));
    return lines;
}

QStringList goesIntoLines(const QString& folder, int itemNr, const ColumnSwitches& on) {
    return relationLines(
        folder, itemNr, on,
        {"Wchodzi do :", "Sklada", "Sklada_Nr_Czesci", "Sklada_Tow_Nr", "Sklada_il_szt"});
}

QStringList consistsOfLines(const QString& folder, int itemNr, const ColumnSwitches& on) {
    return relationLines(
        folder, itemNr, on,
        {"Składa się z :", "Sklada", "Sklada_Tow_Nr", "Sklada_Nr_Czesci", "Sklada_il_szt"});
}

QStringList substituteLines(const QString& folder, int itemNr, const ColumnSwitches& on) {
    return relationLines(folder, itemNr, on,
                         {"Zamienniki :", "Zamienne", "Zam_Tow_Nr", "Zam_Nr_Zam", nullptr});
}

QStringList purchasePriceLines(const QString& folder, int itemNr, bool priceRight) {
    QStringList lines{QStringLiteral("Ceny zakupu :")};
    if (!priceRight) return lines;
    engine::Table prices(folder, QStringLiteral("Cena"));
    prices.addLookupField(QStringLiteral("Pomoc_Firma_Nazwa"), QStringLiteral("Cena_Firma_Nr"),
                          QStringLiteral("Firmy"), QStringLiteral("Firma_Nr"),
                          QStringLiteral("Firma_Skrot"));
    prices.addLookupField(QStringLiteral("Pomoc_Waluta_kurs"), QStringLiteral("Cena_Waluta_Nr"),
                          QStringLiteral("Waluta"), QStringLiteral("Waluta_Nr"),
                          QStringLiteral("Waluta_Kurs"));
    prices.setIndexFieldNames(QStringLiteral("Cena_Tow_Nr"));
    prices.open();
    prices.setRange({itemNr});
    // The prices in the home currency, as the prices page shows them: no rate gives 0, a price
    // not given stays empty. A converted price is an amount in złoty, so it is rounded to the
    // grosz; the rate's own decimals would otherwise run on for six places.
    const char* const columns[] = {"Cena_1", "Cena_2", "Cena_3", "Cena_SRP"};
    for (prices.first(); !prices.eof(); prices.next()) {
        const double rate = prices.asFloat(QStringLiteral("Pomoc_Waluta_kurs"));
        QString line = textCell(prices.asString(QStringLiteral("Pomoc_Firma_Nazwa")), kLabelColumn);
        for (const char* c : columns) {
            const QString field = QLatin1String(c);
            const QString value =
                prices.isNull(field)
                    ? QString()
                    : engine::formatNumber(std::round(prices.asFloat(field) * rate * 100) / 100);
            line += amountCell(value, kPriceSuffix);
        }
        line += amountCell(prices.asString(QStringLiteral("Cena_Data")), QString());
        lines << line;
    }
    return lines;
}

ItemListSource itemListSource(const engine::DataSet& list) {
    ItemListSource s;
    s.folder = list.databaseName();
    if (const auto* query = qobject_cast<const engine::Query*>(&list)) {
        s.sql = query->sql();
    } else if (const auto* table = qobject_cast<const engine::Table*>(&list)) {
        s.indexName = table->indexName();
        s.indexFieldNames = s.indexName.isEmpty() ? table->indexFieldNames() : QString();
        if (table->filtered()) s.filter = table->filter();
    }
    return s;
}

void listedItemLines(const ItemListSource& source, const ColumnSwitches& on,
                     const std::function<bool(const QStringList&)>& take, int batch) {
    QStringList lines;
    lines.reserve(batch);
    bool stopped = false;
    auto add = [&](const engine::DataSet& row) {
        if (stopped) return;
        lines << itemLine(row, on);
        if (lines.size() < batch) return;
        stopped = !take(lines);
        lines.clear();
    };
    if (!source.sql.isEmpty()) {
        engine::Query q;
        q.setDatabaseName(source.folder);
        q.setSql(source.sql);
        q.setUnidirectional(true);
        q.open();
        for (q.first(); !q.eof() && !stopped; q.next())
            add(q);
    } else {
        engine::Table t(source.folder, kTowar);
        if (!source.indexName.isEmpty())
            t.setIndexName(source.indexName);
        else
            t.setIndexFieldNames(source.indexFieldNames);
        if (!source.filter.isEmpty()) {
            t.setFilter(source.filter);
            t.setFiltered(true);
        }
        t.open();
        // One ordered statement from the first row to the last; a stop leaves the rest unread.
        struct Stop {};
        try {
            t.forEachRow([&] {
                add(t);
                if (stopped) throw Stop{};
            });
        } catch (const Stop&) {
        }
    }
    if (!stopped && !lines.isEmpty()) take(lines);
}

} // namespace offers
