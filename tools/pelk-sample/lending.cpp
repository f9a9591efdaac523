#include "items.h"
#include "rowwriter.h"
#include "sample.h"
#include "words.h"
#include <algorithm>

namespace sample {

void makeLending(Context& c) {
    const int people = std::clamp(c.options.items / 500, 12, 80);
    RowWriter& persons =
        c.session->writer(QStringLiteral("Osoby"), {"Osoba_Nazwa", "Osoba_Identyfikator",
                                                    "Osoba_Informacje", "Osoba_Uwagi"});
    std::vector<int> personNrs;
    for (int k = 0; k < people; ++k) {
        Rng r = c.rng(kLending, std::uint64_t(k));
        const QString surname = QString::fromUtf8(r.pick(words::surnames()));
        const QString name =
            r.chance(0.25)
                ? QString::fromUtf8(r.pick(words::femaleNames())) + u' ' + words::feminine(surname)
                : QString::fromUtf8(r.pick(words::maleNames())) + u' ' + surname;
        const QString info =
            QStringLiteral("Dział: %1, tel. wewn. %2")
                .arg(QString::fromUtf8(
                    r.pick({"Utrzymanie ruchu", "Produkcja", "Narzędziownia", "Magazyn",
                            "Dział techniczny", "Kontrola jakości", "Serwis zewnętrzny"})))
                .arg(r.range(100, 399));
        const QString remark =
            r.chance(0.25) ? QString::fromUtf8(r.pick({"Uprawnienia SEP do 1 kV",
                                                       "Uprawnienia UDT - wózki widłowe",
                                                       "Pracownik sezonowy", "Kierownik zmiany"}))
                           : QString();
        personNrs.push_back(int(
            persons.add({name, QStringLiteral("Karta nr %1").arg(k + 1, 4, 10, QLatin1Char('0')),
                         info, remark})));
    }
    reportRows(c, persons);

    // Tools are what gets lent.
    std::vector<int> tools = c.itemsByGroup[gHandTools];
    tools.insert(tools.end(), c.itemsByGroup[gPowerTools].begin(),
                 c.itemsByGroup[gPowerTools].end());
    if (tools.empty())
        for (int nr = 1; nr <= c.options.items; ++nr)
            tools.push_back(nr);
    RowWriter& loans = c.session->writer(
        QStringLiteral("Wypozycz"), {"Wypozycz_Towar_Nr", "Wypozycz_Osoba_Nr", "Wypozycz_Pobrano",
                                     "Wypozycz_Zwrocono", "Wypozycz_Ilosc", "Wypozycz_Oddano"});
    const int count = std::clamp(c.options.items / 100, 20, 5000);
    for (int k = 0; k < count; ++k) {
        Rng r = c.rng(kLending, std::uint64_t(k) + 0x100000000ull);
        const QDate taken = Context::today().addDays(-r.range(0, 365));
        const bool returned = r.chance(0.75);
        const QDate back = std::min(taken.addDays(r.range(0, 21)), Context::today());
        loans.add({r.pick(tools), r.pick(personNrs), taken, returned ? QVariant(back) : QVariant(),
                   r.chance(0.1) ? 2 : 1, returned});
    }
    reportRows(c, loans);
}

} // namespace sample
