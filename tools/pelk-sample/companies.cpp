#include "rowwriter.h"
#include "sample.h"
#include "words.h"
#include <QSet>
#include <algorithm>

namespace sample {

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

// Tax number with its check digit, written as 123-456-78-90.
QString taxNumber(Rng& r) {
    static const int weights[] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    for (;;) {
        int d[10];
        d[0] = r.range(1, 9);
        for (int i = 1; i < 9; ++i)
            d[i] = r.range(0, 9);
        int sum = 0;
        for (int i = 0; i < 9; ++i)
            sum += d[i] * weights[i];
        if (sum % 11 == 10) continue;
        d[9] = sum % 11;
        QString s;
        for (int i = 0; i < 10; ++i) {
            if (i == 3 || i == 6 || i == 8) s += u'-';
            s += QChar(u'0' + d[i]);
        }
        return s;
    }
}

QString statisticalNumber(Rng& r) {
    static const int weights[] = {8, 9, 2, 3, 4, 5, 6, 7};
    QString s;
    int sum = 0;
    for (int i = 0; i < 8; ++i) {
        const int d = i == 0 ? r.range(1, 9) : r.range(0, 9);
        sum += d * weights[i];
        s += QChar(u'0' + d);
    }
    return s + QChar(u'0' + (sum % 11 == 10 ? 0 : sum % 11));
}

// A Polish account number (NRB) whose check digits are right, in groups of four.
QString accountNumber(Rng& r, const char* bankCode) {
    const QString rest = QString::fromLatin1(bankCode) + r.digits(4) + r.digits(16);
    // IBAN check: the 24 digits, "PL" as 2521, "00", modulo 97.
    const QString check = rest + QStringLiteral("252100");
    int mod = 0;
    for (QChar ch : check)
        mod = (mod * 10 + (ch.unicode() - u'0')) % 97;
    const QString all = QStringLiteral("%1").arg(98 - mod, 2, 10, QLatin1Char('0')) + rest;
    QString out = all.left(2);
    for (int i = 2; i < all.size(); i += 4)
        out += u' ' + all.mid(i, 4);
    return out;
}

QString polishPhone(Rng& r, const QString& area) {
    if (r.chance(0.25))
        return QStringLiteral("+48 %1 %2 %3")
            .arg(r.pick({"501", "601", "602", "603", "691", "721", "885", "512"}), r.digits(3),
                 r.digits(3));
    QString n = QStringLiteral("+48 %1 %2 %3 %4").arg(area, r.digits(3), r.digits(2), r.digits(2));
    if (r.chance(0.2)) n += QStringLiteral(" wewn. %1").arg(r.range(100, 399));
    return n;
}

QString uniqueShortName(QSet<QString>& used, QString name, const QString& city) {
    name = name.toUpper().left(30);
    if (!used.contains(name)) {
        used.insert(name);
        return name;
    }
    QString withCity = QString(name + u'-' + city.section(u' ', 0, 0).toUpper()).left(30);
    for (int k = 2; used.contains(withCity); ++k)
        withCity = (name.left(24) + QStringLiteral(" %1").arg(k));
    used.insert(withCity);
    return withCity;
}

} // namespace

void makeCompanies(Context& c) {
    const int count = std::clamp(c.options.items / 125, 40, 8000);
    RowWriter& firms = c.session->writer(
        QStringLiteral("Firmy"),
        {"Firma_Nazwa1", "Firma_Nazwa2", "Firma_Nazwa3", "Firma_Ulica", "Firma_Uwagi",
         "Firma_Miasto_Nr", "Firma_Kod_Poczt", "Firma_Panstwo_Nr", "Firma_Regon", "Firma_NIP",
         "Firma_Bank", "Firma_Konto", "Firma_Zaleglosci", "Firma_Naleznosci", "Firma_Skrot",
         "Firma_Platnik_VAT", "Firma_Miejscowosc", "Firma_Panstwo"});
    RowWriter& phones = c.session->writer(
        QStringLiteral("Telefon"), {"Telefon_Firma_nr", "Telefon_Kontakt", "Telefon_Nr_Tel"});
    const auto& cities = words::cities();
    const auto& countries = words::countries();
    QSet<QString> shortNames;

    for (int i = 0; i < count; ++i) {
        Rng r = c.rng(kCompanies, std::uint64_t(i));
        const bool owner = i == 0;
        const double role = r.real();
        const bool producer = !owner && (role < 0.3 || (role >= 0.5 && role < 0.6));
        const bool supplier = !owner && role >= 0.3 && role < 0.6;
        const bool foreign = producer && r.chance(0.35);
        int cityIdx =
            owner     ? 1
            : foreign ? r.range(words::polishCityCount(), int(cities.size()) - 1)
                      : (r.chance(0.5) ? r.range(0, 11) : r.range(0, words::polishCityCount() - 1));
        const auto& city = cities[std::size_t(cityIdx)];
        const auto& country = countries[std::size_t(city.country)];
        const QString cityName = u8(city.name);

        QString name1, name2, name3, shortBase;
        if (owner) {
            name1 = u8("Technimet Sp. z o.o.");
            name2 = u8("Hurtownia Techniczna");
            shortBase = QStringLiteral("TECHNIMET");
        } else if (foreign) {
            const QString who = u8(r.pick(words::foreignSurnames(city.country)));
            name1 = u8(r.pick(words::foreignPatterns(city.country))).arg(who);
            shortBase = who + u' ' + name1.section(u' ', -1).remove(u'.').remove(u',');
        } else if (r.chance(0.2)) {
            const bool woman = r.chance(0.3);
            const QString surname = u8(r.pick(words::surnames()));
            const QString person =
                woman ? u8(r.pick(words::femaleNames())) + u' ' + words::feminine(surname)
                      : u8(r.pick(words::maleNames())) + u' ' + surname;
            static const std::pair<const char*, const char*> kinds[] = {{"P.H.U.", "PHU"},
                                                                        {"F.H.U.", "FHU"},
                                                                        {"Zakład Usługowy", "ZU"},
                                                                        {"P.P.H.U.", "PPHU"}};
            const auto& kind = r.pick(kinds);
            name1 = u8(kind.first) + u' ' + person;
            name2 = u8(r.pick(words::companyTrades()));
            shortBase = u8(kind.second) + u' ' + (woman ? words::feminine(surname) : surname);
        } else {
            const QString base =
                u8(r.pick(words::companyStems())) + u8(r.pick(words::companySuffixes()));
            name1 = base + u' ' + u8(r.pick(words::companyForms()));
            name2 = u8(r.pick(words::companyTrades()));
            if (r.chance(0.15)) name3 = u8("Oddział ") + cityName;
            shortBase = base;
        }
        const QString shortName = uniqueShortName(shortNames, shortBase, cityName);

        QString postal = u8(city.postal);
        if (city.country == 0) {
            postal += u'-' + r.digits(3);
        }
        QString street = u8(r.pick(words::streets())) + u' ' + QString::number(r.range(1, 180));
        if (r.chance(0.2)) street += QChar(u'A' + r.range(0, 3));
        if (r.chance(0.15)) street += u'/' + QString::number(r.range(1, 40));
        if (owner) street = u8("ul. Przemysłowa 12");

        const auto& bank = r.pick(words::banks());
        QString remarks;
        if (!owner && r.chance(0.2))
            remarks =
                u8(r.pick({"Stały klient - rabat 5%", "Płatność tylko przelewem",
                           "Dostawy we wtorki i piątki", "Wymaga potwierdzenia zamówień faksem",
                           "Odbiór osobisty", "Zaległości - wstrzymać wysyłki"}));
        const double payables = r.chance(0.3) ? round2(r.between(100, 25000)) : 0.0;
        const double receivables = r.chance(0.3) ? round2(r.between(100, 40000)) : 0.0;
        const QString vatNumber = city.country == 0 ? taxNumber(r)
                                  : city.country <= 6
                                      ? QString::fromLatin1("DE CZ SK IT FR GB")
                                                .section(u' ', city.country - 1, city.country - 1) +
                                            r.digits(9)
                                      : QString();

        const int nr =
            int(firms.add({name1, name2, name3, street, remarks, c.cityNrs[std::size_t(cityIdx)],
                           postal, c.countryNrs[std::size_t(city.country)],
                           city.country == 0 ? statisticalNumber(r) : QString(), vatNumber,
                           city.country == 0 ? u8(bank.name) : QString(),
                           city.country == 0 ? accountNumber(r, bank.code) : QString(),
                           payables ? QVariant(payables) : QVariant(),
                           receivables ? QVariant(receivables) : QVariant(), shortName,
                           city.country == 0, cityName, u8(country.name)}));

        Context::Company company{nr, shortName, foreign, {}};
        Rng pr = c.rng(kContacts, std::uint64_t(i));
        std::vector<QString> contactNames;
        if (owner)
            contactNames = {u8("Dział handlowy"), u8("Sekretariat"), u8("Magazyn"),
                            u8("Tomasz Wiśniewski")};
        else
            for (int k = pr.range(1, 4); k > 0; --k) {
                QString who;
                if (pr.chance(0.5)) {
                    who = u8(pr.pick(words::departments()));
                } else {
                    const QString surname = u8(pr.pick(words::surnames()));
                    who = pr.chance(0.4)
                              ? u8(pr.pick(words::femaleNames())) + u' ' + words::feminine(surname)
                              : u8(pr.pick(words::maleNames())) + u' ' + surname;
                }
                if (std::find(contactNames.begin(), contactNames.end(), who) == contactNames.end())
                    contactNames.push_back(who);
            }
        for (const QString& who : contactNames) {
            const QString phone = city.country == 0 ? polishPhone(pr, u8(city.dialling))
                                                    : u8(country.dialling) + u' ' +
                                                          u8(city.dialling) + u' ' + pr.digits(7);
            const int contactNr = int(phones.add({nr, who, phone}));
            company.contacts.push_back({contactNr, who + u' ' + phone});
        }
        if (owner) c.ownerContactNr = company.contacts.front().nr;
        c.companies.push_back(std::move(company));
        if (producer) c.producers.push_back(nr);
        if (supplier) c.suppliers.push_back(nr);
        if (!owner && !producer && !supplier) c.customers.push_back(nr);
    }
    // Small samples still need every role.
    if (c.producers.empty()) c.producers.push_back(2);
    if (c.suppliers.empty()) c.suppliers.push_back(2);
    if (c.customers.empty()) c.customers.push_back(2);
    reportRows(c, firms);
    reportRows(c, phones);
}

} // namespace sample
