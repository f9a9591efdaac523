#include "preferences/bindings.h"

namespace preferences {

namespace {

Binding bind(const QString& field, const QString& control) {
    return {field, control};
}

const char* const kColumnGroups[] = {"i", "iW", "iS", "iZ"};
const char* const kColumns[] = {"Nazwa1", "Nazwa2", "Symbol", "Kod_Prod", "Cena_SRP",
                                "Cena_A", "Cena_B", "Cena_C", "Ilosc",    "Dopasowany"};

} // namespace

QString orderPrefix(int kind) {
    return kind == 1 ? QStringLiteral("Pelk_Zam_Od") : QStringLiteral("Pelk_Zam_Do");
}

QList<Binding> settingsTexts() {
    QList<Binding> out{
        bind(QStringLiteral("Pelk_Przegladarka"), QStringLiteral("Edit_Przegladarka")),
        bind(QStringLiteral("Pelk_Kopia_Aplikacja"), QStringLiteral("Edit_Program")),
        bind(QStringLiteral("Pelk_Kopia_Polecenie"), QStringLiteral("Edit_Polecenie"))};
    for (int kind : {1, 2}) {
        const QString p = orderPrefix(kind);
        const QString k = QString::number(kind);
        // The payment form is spelt differently in the two kinds' fields.
        out << bind(p + (kind == 1 ? QStringLiteral("_Forma_plat") : QStringLiteral("_Forma_Plat")),
                    QStringLiteral("Edit_Forma") + k)
            << bind(p + QStringLiteral("_Transport"), QStringLiteral("Edit_Transport") + k);
        for (int i = 1; i <= 3; ++i)
            out << bind(p + QStringLiteral("_Naglowek%1").arg(i),
                        QStringLiteral("Edit_Dotyczy%1%2").arg(kind).arg(i))
                << bind(p + QStringLiteral("_Stopka%1").arg(i),
                        QStringLiteral("Edit_Uwagi%1%2").arg(kind).arg(i));
    }
    return out;
}

QList<Binding> settingsFlags() {
    QList<Binding> out{bind(QStringLiteral("Pelk_Haslo_OK"), QStringLiteral("CB_Haslo")),
                       bind(QStringLiteral("Pelk_Podpis"), QStringLiteral("CB_Podpis"))};
    for (int kind : {1, 2}) {
        const QString p = orderPrefix(kind);
        const QString k = QString::number(kind);
        out << bind(p + QStringLiteral("_Autonumer"), QStringLiteral("CB_Autonumer") + k)
            << bind(p + QStringLiteral("_Symb_Wid"), QStringLiteral("CB_Symbol") + k)
            << bind(p + QStringLiteral("_Kod_p_Wid"), QStringLiteral("CB_Kod") + k);
    }
    return out;
}

QList<Binding> settingsNumbers() {
    return {bind(QStringLiteral("Pelk_Kopia_Co_Ile"), QStringLiteral("SE_Co_Ile")),
            bind(QStringLiteral("Pelk_Zam_Od_Nr"), QStringLiteral("SE_Nr1")),
            bind(QStringLiteral("Pelk_Zam_Do_Nr"), QStringLiteral("SE_Nr2"))};
}

QList<Binding> patternParts() {
    QList<Binding> out;
    for (int kind : {1, 2})
        for (int i = 1; i <= 6; ++i)
            out << bind(orderPrefix(kind) + QString::number(i),
                        QStringLiteral("CB_%1%2").arg(kind).arg(i));
    return out;
}

QList<Binding> displayTexts() {
    QList<Binding> out;
    for (const char* f : {"Nazwa1", "Nazwa2", "Symbol", "Producent", "Kod_Prod"})
        out << bind(QStringLiteral("Konfig_I_nagl_") + QLatin1String(f),
                    QStringLiteral("Edit_") + QLatin1String(f));
    return out;
}

QList<Binding> displayFlags() {
    QList<Binding> out;
    for (const char* f : {"Podstawowy", "Producent", "Ilosc", "Ceny", "Widoczne"})
        out << bind(QStringLiteral("Konfig_I_P_") + QLatin1String(f),
                    QStringLiteral("CB_P_") + QLatin1String(f));
    for (const char* f : {"Narzedzia", "Baza", "Zakladki"})
        out << bind(QStringLiteral("Konfig_i_Ekr_") + QLatin1String(f),
                    QStringLiteral("CB_Ekr_") + QLatin1String(f));
    return out + columnFlags();
}

QList<Binding> columnFlags() {
    QList<Binding> out;
    for (const char* g : kColumnGroups)
        for (const char* c : kColumns) {
            const QString group = QLatin1String(g), column = QLatin1String(c);
            // The substitutes grid has no quantity column.
            if (group == u"iZ" && column == u"Ilosc") continue;
            out << bind(QStringLiteral("Konfig_%1_%2").arg(group, column),
                        QStringLiteral("CB_%1_%2").arg(group, column));
        }
    return out;
}

} // namespace preferences
