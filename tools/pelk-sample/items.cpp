#include "maker.h"
#include <QDir>

namespace sample {

const std::vector<AttributeKind>& attributeKinds() {
    static const std::vector<AttributeKind> v = {
        {"Średnica gwintu [mm]", "N", {}},
        {"Długość [mm]", "N", {}},
        {"Klasa wytrzymałości", "A", {"4.8", "5.8", "8.8", "10.9", "12.9", "A2-70", "A4-80"}},
        {"Powłoka",
         "A",
         {"ocynk galwaniczny", "ocynk ogniowy", "czarna", "ocynk płatkowy", "bez powłoki"}},
        {"Norma",
         "A",
         {"DIN 933", "DIN 931", "DIN 912", "DIN 603", "DIN 934", "DIN 985", "DIN 125", "DIN 127",
          "DIN 7991", "ISO 4017", "ISO 4762", "EN 388", "EN 166", "EN 397", "EN 352"}},
        {"Nierdzewny", "L", {}},
        {"Karta katalogowa", "S", {}},
        {"Średnica wewnętrzna [mm]", "N", {}},
        {"Średnica zewnętrzna [mm]", "N", {}},
        {"Szerokość [mm]", "N", {}},
        {"Typ uszczelnienia", "A", {"2RS", "ZZ", "otwarte", "2RSH", "Z"}},
        {"Nośność dynamiczna [kN]", "N", {}},
        {"Uszczelniony", "L", {}},
        {"Materiał",
         "A",
         {"stal węglowa", "stal nierdzewna", "mosiądz", "żeliwo", "aluminium", "NBR", "FKM", "EPDM",
          "PTFE", "silikon", "poliuretan", "nylon", "stal CrV", "stal S2", "guma"}},
        {"Temperatura maks. [°C]", "N", {}},
        {"Średnica nominalna DN", "N", {}},
        {"Ciśnienie nominalne [bar]", "N", {}},
        {"Przyłącze", "A", {"GW-GW", "GW-GZ", "GZ-GZ", "kołnierzowe", "wtykowe", "zaciskowe"}},
        {"Z atestem", "L", {}},
        {"Data atestu", "D", {}},
        {"Atest", "S", {}},
        {"Kolor",
         "A",
         {"czarny", "biały", "szary", "niebieski", "czerwony", "żółty", "zielony", "pomarańczowy",
          "żółto-zielony", "bezbarwny", "przezroczysty", "RAL 7035", "RAL 5010", "RAL 3020",
          "RAL 9005", "RAL 9010", "RAL 6005", "RAL 1023"}},
        {"Przekrój [mm2]", "N", {}},
        {"Liczba żył", "N", {}},
        {"Napięcie [V]", "N", {}},
        {"Izolacja", "A", {"PVC", "guma", "silikon", "polietylen"}},
        {"Masa [kg]", "N", {}},
        {"Data przeglądu", "D", {}},
        {"Moc [W]", "N", {}},
        {"Prędkość obrotowa [obr/min]", "N", {}},
        {"Data wprowadzenia", "D", {}},
        {"Pojemność [l]", "N", {}},
        {"Data ważności", "D", {}},
        {"Rozmiar", "A", {"7", "8", "9", "10", "11", "S", "M", "L", "XL", "uniwersalny"}},
        {"Zastosowanie", "A", {}},
        {"Liczba elementów", "N", {}},
        {"Rysunek techniczny", "S", {}},
    };
    return v;
}

const std::vector<GroupKind>& groupKinds() {
    static const std::vector<GroupKind> v = {
        {"Śruby",
         "SRB",
         14,
         {aThread, aLength, aGrade, aCoating, aStandard, aStainless, aDatasheet, aDrawing}},
        {"Nakrętki", "NAK", 7, {aThread, aGrade, aCoating, aStandard, aStainless}},
        {"Podkładki", "POD", 5, {aInnerDia, aOuterDia, aWidth, aCoating, aStandard}},
        {"Wkręty", "WKR", 8, {aThread, aLength, aCoating, aMaterial}},
        {"Kołki i nity", "KOL", 4, {aInnerDia, aLength, aMaterial, aPurpose}},
        {"Łożyska",
         "LOZ",
         8,
         {aInnerDia, aOuterDia, aWidth, aSealing, aLoad, aSealed, aDatasheet, aDrawing}},
        {"Uszczelnienia", "USZ", 7, {aInnerDia, aOuterDia, aWidth, aMaterial, aMaxTemp}},
        {"Zawory",
         "ZAW",
         5,
         {aNominalDia, aPressure, aMaterial, aConnection, aMaxTemp, aCertified, aCertDate,
          aCertificate}},
        {"Złączki", "ZLA", 6, {aNominalDia, aConnection, aMaterial, aPressure}},
        {"Przewody", "PRZ", 4, {aInnerDia, aOuterDia, aPressure, aMaterial, aColour, aMaxTemp}},
        {"Kable elektryczne", "KAB", 5, {aSection, aCores, aVoltage, aInsulation, aColour}},
        {"Narzędzia ręczne", "NRZ", 6, {aLength, aMaterial, aMass, aCertified, aInspection}},
        {"Elektronarzędzia", "ELN", 3, {aPower, aVoltage, aMass, aInspection, aDatasheet}},
        {"Silniki elektryczne",
         "SIL",
         2,
         {aPower, aVoltage, aSpeed, aMass, aIntroduced, aDatasheet, aDrawing}},
        {"Pasy i łańcuchy", "PAS", 3, {aLength, aWidth, aMaterial}},
        {"Sprężyny", "SPR", 3, {aOuterDia, aLength, aMaterial, aStainless}},
        {"Smary i oleje", "SMA", 2, {aCapacity, aMaxTemp, aExpiry}},
        {"Farby i lakiery", "FAR", 2, {aColour, aCapacity, aExpiry}},
        {"Środki ochrony",
         "BHP",
         3,
         {aSize, aColour, aStandard, aCertified, aCertDate, aCertificate}},
        {"Zestawy naprawcze", "ZES", 3, {aPurpose, aPieces, aIntroduced, aDatasheet}},
    };
    return v;
}

QString storedNumber(double v) {
    return QString::number(v, 'g', 12);
}
QString storedDate(const QDate& d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

namespace {

using namespace makers;

using MakerFn = void (*)(Maker&);
const MakerFn kMakers[kGroupCount] = {bolt,  nut,     washer,    screw, anchor,   bearing,   seal,
                                      valve, fitting, hose,      cable, handTool, powerTool, motor,
                                      belt,  spring,  lubricant, paint, safety,   kit};

int pickGroup(Rng& r) {
    static const int total = [] {
        int t = 0;
        for (const auto& g : groupKinds())
            t += g.weight;
        return t;
    }();
    int x = r.range(0, total - 1);
    for (int g = 0; g < kGroupCount; ++g) {
        x -= groupKinds()[g].weight;
        if (x < 0) return g;
    }
    return 0;
}

} // namespace

QString datasheetPath(const Context& c, int group) {
    return QDir::toNativeSeparators(
        c.documentsFolder + QStringLiteral("/karta_%1.htm")
                                .arg(QString::fromLatin1(groupKinds()[group].prefix).toLower()));
}

int certificateCount() {
    return 12;
}

QString certificatePath(const Context& c, int k) {
    return QDir::toNativeSeparators(
        c.documentsFolder +
        QStringLiteral("/atest_%1_2024.txt").arg(k + 1, 3, 10, QLatin1Char('0')));
}

ItemDraft makeItem(const Context& c, int nr) {
    Rng r = c.rng(kItem, std::uint64_t(nr));
    ItemDraft d;
    d.group = pickGroup(r);
    d.unit = s("szt");
    d.stock = r.range(0, 40) * 5;
    Maker m{c, r, d};
    kMakers[d.group](m);
    // Not every value has been entered: a catalogue in use has gaps.
    Rng gaps = c.rng(kItemValues, std::uint64_t(nr));
    std::vector<std::pair<int, QString>> kept;
    for (auto& v : d.values)
        if (!gaps.chance(0.08)) kept.push_back(std::move(v));
    d.values = std::move(kept);

    d.symbol = QStringLiteral("%1-%2")
                   .arg(QLatin1String(groupKinds()[d.group].prefix))
                   .arg(nr, 7, 10, QLatin1Char('0'));
    const auto& producers = c.groupProducers[std::size_t(d.group)];
    if (!producers.empty()) {
        d.producer = gaps.pick(producers);
        QString prefix;
        for (QChar ch : c.companies[std::size_t(d.producer - 1)].shortName)
            if (ch.isLetter() && prefix.size() < 3) prefix += ch;
        d.code = QStringLiteral("%1 %2-%3").arg(prefix, gaps.digits(4), gaps.digits(2));
    }
    return d;
}

} // namespace sample
