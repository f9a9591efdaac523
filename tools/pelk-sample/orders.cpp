#include "items.h"
#include "rowwriter.h"
#include "sample.h"
#include <QDateTime>
#include <algorithm>
#include <optional>
#include <vector>

namespace sample {

namespace {

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

const Context::Contact* someContact(const Context& c, int companyNr, Rng& r) {
    const auto& contacts = c.companies[std::size_t(companyNr - 1)].contacts;
    return contacts.empty() ? nullptr
                            : &contacts[std::size_t(r.range(0, int(contacts.size()) - 1))];
}

// What a line copies from its item. Drafts are made once per item: a benchmark sample writes
// millions of lines over the same items.
struct LineItem {
    QString name, symbol, code, unit;
};

class LineItems {
public:
    explicit LineItems(const Context& c)
        : c_(c), cache_(c.options.items <= kMaxCached ? c.options.items : 0) {}
    LineItem get(int nr) {
        if (cache_.empty()) return make(nr);
        auto& slot = cache_[std::size_t(nr - 1)];
        if (!slot) slot = make(nr);
        return *slot;
    }

private:
    static constexpr int kMaxCached = 200000;
    LineItem make(int nr) const {
        const ItemDraft d = makeItem(c_, nr);
        return LineItem{d.name, d.symbol, d.code, d.unit};
    }
    const Context& c_;
    std::vector<std::optional<LineItem>> cache_;
};

// The issue date of order `number` (1 = oldest) of `perKind`: the newer half in the current
// year up to `day`, the others over the year and a half before it.
QDate issueDate(int number, int perKind, const QDate& day, Rng& r) {
    const double age = double(perKind - number) / perKind; // 0 newest .. <1 oldest
    const int thisYear = day.dayOfYear() - 1;              // days back to 1 January
    if (age < 0.5) return day.addDays(-qint64(age / 0.5 * thisYear));
    return day.addDays(-thisYear - 1 - qint64((age - 0.5) / 0.5 * 540) - r.range(0, 2));
}

double quantity(const QString& unit, Rng& r) {
    if (unit == QLatin1String("m")) return r.range(1, 60) * 5.0;
    if (unit == QLatin1String("kg")) return r.range(1, 40) / 2.0;
    return r.pick({1, 2, 4, 5, 10, 10, 20, 25, 50, 100, 200});
}

} // namespace

void makeOrders(Context& c) {
    const int perKind =
        c.options.orders > 0 ? c.options.orders : std::clamp(c.options.items / 100, 20, 300);
    const int maxLines = c.options.orders > 0 ? 20 : 12;
    const QDate day = c.options.day.isValid() ? c.options.day : QDate::currentDate();
    LineItems items(c);
    RowWriter& heads = c.session->writer(
        QStringLiteral("Dok_Head"),
        {"Dok_Typ",           "Dok_Data_Wyst",      "Dok_Firma_Nr",         "Dok_Zaplacono",
         "Dok_Operator",      "Dok_Numer_Dok",      "Dok_Firma_Skrot",      "Dok_Data_Realiz",
         "Dok_Firma_Kontakt", "Dok_Odbiorca_Nr",    "Dok_Odbiorca_Kontakt", "Dok_Forma_Platnosci",
         "Dok_Transport",     "Dok_Odbiorca_Skrot", "Dok_Naglowek1",        "Dok_Naglowek2",
         "Dok_Naglowek3",     "Dok_Stopka1",        "Dok_Stopka2",          "Dok_Stopka3",
         "Dok_Numer"});
    RowWriter& lines =
        c.session->writer(QStringLiteral("Dok_Dane"),
                          {"Dane_Dok_Nr", "Dane_Tow_Nr", "Dane_Tow_Nazwa", "Dane_Tow_Symbol",
                           "Dane_Tow_Kod_Prod", "Dane_Uwagi", "Dane_Ilosc", "Dane_jm"});
    const QVariant none;
    const int n = c.options.items;

    // Orders of both kinds, oldest first, numbered within their kind as the settings' pattern
    // NUMER / ROK builds them.
    for (int k = 0; k < 2 * perKind; ++k) {
        Rng r = c.rng(kOrders, std::uint64_t(k));
        const int kind = k % 2 + 1;
        const int number = k / 2 + 1;
        const QDate issued = issueDate(number, perKind, day, r);
        const bool client = kind == 1;
        const int addressee = client ? r.pick(c.customers) : r.pick(c.suppliers);
        const Context::Contact* contact = someContact(c, addressee, r);
        int recipient = 0;
        if (client)
            recipient = r.chance(0.6) ? addressee : r.chance(0.5) ? r.pick(c.customers) : 0;
        else
            recipient = 1; // the owner receives what is ordered from suppliers
        const Context::Contact* recipientContact = recipient == 1 ? &c.companies[0].contacts.front()
                                                   : recipient    ? someContact(c, recipient, r)
                                                                  : nullptr;
        const QString head1 =
            client
                ? u8("Dotyczy: zapytania ofertowego nr %1/%2")
                      .arg(r.range(1, 300))
                      .arg(issued.year())
                : u8("Dotyczy: oferty nr %1 z dnia %2")
                      .arg(r.digits(4),
                           issued.addDays(-r.range(2, 20)).toString(QStringLiteral("dd-MM-yyyy")));
        const QString head2 = r.chance(0.3) ? u8("Zamówienie w ramach umowy ramowej nr UR/%1/%2")
                                                  .arg(r.range(1, 40))
                                                  .arg(issued.year())
                                            : QString();
        const QString foot1 = client ? u8("Dziękujemy za zamówienie.")
                                     : u8("Prosimy o potwierdzenie przyjęcia zamówienia.");
        const QString foot2 =
            r.chance(0.5) ? u8(r.pick({"Termin płatności: 14 dni.", "Termin płatności: 30 dni.",
                                       "Płatność przy odbiorze."}))
                          : QString();
        const QString foot3 = !client && r.chance(0.4)
                                  ? u8("Dostawa do magazynu przy ul. Przemysłowej 12.")
                                  : QString();
        const qint64 dok =
            heads.add({kind,
                       issued,
                       addressee,
                       issued.daysTo(day) > 30 && r.chance(0.5),
                       none,
                       QStringLiteral("%1/%2").arg(number).arg(issued.year()),
                       c.companies[std::size_t(addressee - 1)].shortName,
                       issued.addDays(r.range(3, 30)),
                       contact ? contact->text : QString(),
                       recipient,
                       recipientContact ? recipientContact->text : QString(),
                       u8(r.pick({"przelew", "przelew", "przelew", "gotówka", "czek"})),
                       u8(r.pick({"transport własny", "transport dostawcy", "transport odbiorcy",
                                  "przesyłka kurierska"})),
                       recipient ? c.companies[std::size_t(recipient - 1)].shortName : QString(),
                       head1,
                       head2,
                       QString(),
                       foot1,
                       foot2,
                       foot3,
                       number});

        for (int line = r.range(1, maxLines); line > 0; --line) {
            if (r.chance(0.03)) {
                lines.add({dok, none,
                           u8(r.pick({"Usługa transportowa", "Opakowanie zwrotne - paleta",
                                      "Cięcie na wymiar"})),
                           QString(), QString(), QString(), 1, u8("usł.")});
                continue;
            }
            const int item = r.range(1, n);
            const LineItem d = items.get(item);
            const QString remark =
                r.chance(0.15)
                    ? u8(r.pick({"pilne", "dostawa częściowa", "wg rysunku", "z atestem"}))
                    : QString();
            lines.add({dok, item, d.name, d.symbol, d.code, remark, quantity(d.unit, r), d.unit});
        }
    }
    reportRows(c, heads);
    reportRows(c, lines);
}

} // namespace sample
