#include "items.h"
#include "rowwriter.h"
#include "sample.h"
#include "words.h"

namespace sample {

namespace {

// Foreign suppliers quote in their own currency, home ones mostly in złoty.
int priceCurrency(const Context& c, int supplierNr, Rng& r) {
    if (!c.companies[std::size_t(supplierNr - 1)].foreign) return r.chance(0.8) ? 0 : r.range(1, 2);
    return r.pick({1, 1, 1, 2, 5, 11}); // EUR, USD, CZK, CNY
}

} // namespace

void makeItems(Context& c) {
    const int n = c.options.items;
    RowWriter& items = c.session->writer(
        QStringLiteral("Towar"),
        {"Tow_Grupa_nr", "Tow_Nazwa", "Tow_Kod_Prod", "Tow_Nr_Producent", "Tow_SRP", "Tow_Symbol",
         "Tow_Uwagi", "Tow_VAT", "Tow_Cena_Zakupu", "Tow_Cena_A", "Tow_Cena_B", "Tow_Cena_C",
         "Tow_Ilosc", "Tow_jm", "Tow_Zak_Waluta_Nr", "Tow_Nazwa2"});
    RowWriter& values =
        c.session->writer(QStringLiteral("Opis"), {"Opis_Tow_Nr", "Opis_Cecha_Nr", "Opis_Opis"});
    RowWriter& prices = c.session->writer(
        QStringLiteral("Cena"), {"Cena_Tow_Nr", "Cena_1", "Cena_Waluta_Nr", "Cena_Firma_Nr",
                                 "Cena_2", "Cena_3", "Cena_Data", "Cena_Uwaga", "Cena_SRP"});
    RowWriter& pictures =
        c.session->writer(QStringLiteral("Grafika"), {"Grafika_Tow_Nr", "Grafika_Rys_Nr"});
    c.itemsByGroup.assign(kGroupCount, {});
    c.itemGroup.assign(std::size_t(n) + 1, 0);
    const QVariant none;

    for (int nr = 1; nr <= n; ++nr) {
        const ItemDraft d = makeItem(c, nr);
        const double price = d.price;
        const qint64 written =
            items.add({c.groupNrs[std::size_t(d.group)], d.name, d.code,
                       d.producer ? QVariant(d.producer) : none, price, d.symbol, d.notes, d.vat,
                       round2(price * 0.62), price, round2(price * 0.95), round2(price * 0.9),
                       d.stock, d.unit, c.currencyNrs[0], d.name2});
        Q_ASSERT(written == nr);
        Q_UNUSED(written);
        c.itemsByGroup[std::size_t(d.group)].push_back(nr);
        c.itemGroup[std::size_t(nr)] = std::uint8_t(d.group);

        for (const auto& [attr, text] : d.values)
            values.add({nr, c.attributeNrs[std::size_t(attr)], text});

        Rng r = c.rng(kItemPrices, std::uint64_t(nr));
        const double roll = r.real();
        const int priceRows = roll < 0.25 ? 0 : roll < 0.7 ? 1 : roll < 0.9 ? 2 : 3;
        for (int k = 0; k < priceRows; ++k) {
            const int supplier = r.pick(c.suppliers);
            const int cur = priceCurrency(c, supplier, r);
            const double rate = c.currencyRates[std::size_t(cur)];
            const double p1 = round2(price * r.between(0.5, 0.75) / rate);
            const bool breaks = r.chance(0.5);
            QString remark;
            if (r.chance(0.3))
                remark = QString::fromUtf8(r.pick({"przy zakupie min. 100 szt.", "cena promocyjna",
                                                   "cennik 2025", "do negocjacji", "franco magazyn",
                                                   "cena z oferty", "termin dostawy 14 dni"}));
            prices.add({nr, p1, c.currencyNrs[std::size_t(cur)], supplier,
                        breaks ? QVariant(round2(p1 * 0.97)) : none,
                        breaks ? QVariant(round2(p1 * 0.94)) : none,
                        Context::today().addDays(-r.range(0, 720)), remark, round2(price / rate)});
        }

        Rng g = c.rng(kItemDrawings, std::uint64_t(nr));
        const auto& pool = c.drawingsByGroup[std::size_t(d.group)];
        if (!pool.empty() && g.chance(0.25)) {
            const int first = g.pick(pool);
            pictures.add({nr, first});
            if (g.chance(0.1)) {
                const int second = g.pick(pool);
                if (second != first) pictures.add({nr, second});
            }
        }
    }
    reportRows(c, items);
    reportRows(c, values);
    reportRows(c, prices);
    reportRows(c, pictures);
}

} // namespace sample
