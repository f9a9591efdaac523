#include "rowwriter.h"
#include "sample.h"
#include "words.h"

namespace sample {

void makeDictionaries(Context& c) {
    Rng r = c.rng(kDictionaries);
    RowWriter& countries =
        c.session->writer(QStringLiteral("Panstwa"),
                          {QStringLiteral("Panstwo_Panstwo"), QStringLiteral("Panstwo_Kierunek")});
    for (const auto& k : words::countries())
        c.countryNrs.push_back(
            int(countries.add({QString::fromUtf8(k.name), QString::fromUtf8(k.dialling)})));
    reportRows(c, countries);

    RowWriter& cities =
        c.session->writer(QStringLiteral("Miasta"), {QStringLiteral("Miasto_Tel_Kierunkowy"),
                                                     QStringLiteral("Miasto_Nazwa")});
    for (const auto& k : words::cities())
        c.cityNrs.push_back(
            int(cities.add({QString::fromUtf8(k.dialling), QString::fromUtf8(k.name)})));
    reportRows(c, cities);

    // The home currency first, at rate 1: the settings record names currency 1.
    RowWriter& currencies = c.session->writer(
        QStringLiteral("Waluta"), {QStringLiteral("Waluta_Nazwa"), QStringLiteral("Waluta_Kurs"),
                                   QStringLiteral("Waluta_Data")});
    bool home = true;
    for (const auto& k : words::currencies()) {
        // Four decimals as banks quote them, six for currencies worth a few grosze.
        const double scale = k.rate < 0.1 ? 1e6 : 1e4;
        const double rate =
            home ? 1.0 : std::round(k.rate * r.between(0.985, 1.015) * scale) / scale;
        const QDate date = home ? Context::today().addDays(-r.range(200, 900))
                                : Context::today().addDays(-r.range(0, 6));
        c.currencyNrs.push_back(int(currencies.add({QString::fromUtf8(k.name), rate, date})));
        c.currencyRates.push_back(rate);
        home = false;
    }
    reportRows(c, currencies);

    RowWriter& version = c.session->writer(QStringLiteral("Dane"),
                                           {QStringLiteral("Wersja"), QStringLiteral("Data")});
    version.add({QStringLiteral("2.0"), Context::today()});
    reportRows(c, version);
}

} // namespace sample
