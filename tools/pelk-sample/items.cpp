#include "items.h"
#include <QDir>

namespace sample {

const std::vector<AttributeSpec>& attributeSpecs() {
    static const std::vector<AttributeSpec> v = {
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

const std::vector<GroupSpec>& groupSpecs() {
    static const std::vector<GroupSpec> v = {
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

QString commaNumber(double v) {
    return storedNumber(v).replace(u'.', u',');
}

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Maker {
    const Context& c;
    Rng& r;
    ItemDraft& d;

    void set(Attr a, const QString& v) { d.values.emplace_back(int(a), v); }
    void num(Attr a, double v) { set(a, storedNumber(v)); }
    void yes(Attr a, bool v) { set(a, v ? QStringLiteral("T") : QStringLiteral("N")); }
    void pastDate(Attr a, int maxDays) {
        set(a, storedDate(Context::today().addDays(-r.range(1, maxDays))));
    }
    void futureDate(Attr a, int minDays, int maxDays) {
        set(a, storedDate(Context::today().addDays(r.range(minDays, maxDays))));
    }
    void datasheet() { set(aDatasheet, datasheetPath(c, d.group)); }
    void drawing() {
        if (!c.drawingFiles.isEmpty())
            set(aDrawing, c.drawingFiles[r.range(0, int(c.drawingFiles.size()) - 1)]);
    }
    void certificate() {
        const bool has = r.chance(0.7);
        yes(aCertified, has);
        if (has) {
            pastDate(aCertDate, 700);
            set(aCertificate, certificatePath(c, r.range(0, certificateCount() - 1)));
        }
    }
};

void bolt(Maker& m) {
    static const int threads[] = {3, 4, 5, 6, 8, 8, 10, 10, 12, 12, 14, 16, 16, 20, 24};
    static const int lengths[] = {10, 12, 16, 20, 25, 30,  35,  40, 45,
                                  50, 60, 70, 80, 90, 100, 120, 150};
    struct Kind {
        const char* name;
        const char* en;
        const char* din;
    };
    static const Kind kinds[] = {
        {"sześciokątna", "Hex bolt", "DIN 933"},
        {"sześciokątna DIN 931", "Hex bolt, part thread", "DIN 931"},
        {"imbusowa z łbem walcowym", "Socket head cap screw", "DIN 912"},
        {"zamkowa z łbem grzybkowym", "Carriage bolt", "DIN 603"},
        {"imbusowa z łbem stożkowym", "Countersunk socket screw", "DIN 7991"}};
    const int t = m.r.pick(threads);
    const int l = std::max(m.r.pick(lengths), t * 2);
    const Kind& k = m.r.pick(kinds);
    const bool stainless = m.r.chance(0.2);
    const QString grade = stainless ? (m.r.chance(0.7) ? s("A2-70") : s("A4-80"))
                                    : s(m.r.pick({"4.8", "5.8", "8.8", "8.8", "10.9", "12.9"}));
    const QString coating =
        stainless
            ? s("bez powłoki")
            : s(m.r.pick({"ocynk galwaniczny", "ocynk galwaniczny", "czarna", "ocynk ogniowy"}));
    const QString shortCoating =
        stainless ? (grade.startsWith(u"A4") ? s("nierdzewna A4") : s("nierdzewna A2"))
        : coating == s("czarna")        ? s("czarna")
        : coating == s("ocynk ogniowy") ? s("ocynk ogn.")
                                        : s("ocynk");
    m.d.name = s("Śruba %1 M%2x%3 kl. %4 %5").arg(s(k.name)).arg(t).arg(l).arg(grade, shortCoating);
    if (m.d.name.size() > 50)
        m.d.name = s("Śruba %1 M%2x%3 %4").arg(s(k.name)).arg(t).arg(l).arg(grade);
    m.d.name2 = s("%1 M%2x%3 %4 %5")
                    .arg(s(k.en))
                    .arg(t)
                    .arg(l)
                    .arg(grade, stainless ? s("stainless") : s("zinc"));
    m.d.price = round2(0.05 + 0.0009 * t * t * l * (stainless ? 3.2 : 1.0) *
                                  (grade == s("12.9") ? 1.6 : 1.0));
    m.num(aThread, t);
    m.num(aLength, l);
    m.set(aGrade, grade);
    m.set(aCoating, coating);
    m.set(aStandard, s(k.din));
    m.yes(aStainless, stainless);
    m.datasheet();
    if (m.r.chance(0.3)) m.drawing();
    if (m.r.chance(0.15)) m.d.notes = s("Pakowane po %1 szt.").arg(t <= 8 ? 200 : 50);
}

void nut(Maker& m) {
    static const int threads[] = {3, 4, 5, 6, 8, 8, 10, 10, 12, 12, 14, 16, 20, 24};
    struct Kind {
        const char* name;
        const char* en;
        const char* din;
    };
    static const Kind kinds[] = {{"sześciokątna", "Hex nut", "DIN 934"},
                                 {"samokontrująca z nylonem", "Nylon insert lock nut", "DIN 985"},
                                 {"kołnierzowa ząbkowana", "Serrated flange nut", "DIN 6923"},
                                 {"koronowa", "Castle nut", "DIN 935"}};
    const int t = m.r.pick(threads);
    const Kind& k = m.r.pick(kinds);
    const bool stainless = m.r.chance(0.2);
    const QString grade = stainless ? s("A2-70") : s(m.r.pick({"5", "8", "8", "10"}));
    m.d.name =
        s("Nakrętka %1 M%2 %3").arg(s(k.name)).arg(t).arg(stainless ? s("nierdz. A2") : s("ocynk"));
    m.d.name2 =
        s("%1 M%2 %3").arg(s(k.en)).arg(t).arg(stainless ? s("stainless A2") : s("zinc plated"));
    m.d.price = round2(0.03 + 0.004 * t * t * (stainless ? 3 : 1));
    m.num(aThread, t);
    m.set(aGrade, grade);
    m.set(aCoating, stainless ? s("bez powłoki") : s("ocynk galwaniczny"));
    m.set(aStandard, s(k.din));
    m.yes(aStainless, stainless);
}

void washer(Maker& m) {
    struct Size {
        int thread;
        double inner, outer, thick;
    };
    static const Size sizes[] = {{4, 4.3, 9, 0.8},  {5, 5.3, 10, 1},   {6, 6.4, 12, 1.6},
                                 {8, 8.4, 16, 1.6}, {10, 10.5, 20, 2}, {12, 13, 24, 2.5},
                                 {16, 17, 30, 3},   {20, 21, 37, 3}};
    const Size& z = m.r.pick(sizes);
    const int kind = m.r.range(0, 2);
    const char* names[] = {"płaska", "sprężysta", "poszerzana"};
    const char* en[] = {"Flat washer", "Spring washer", "Large flat washer"};
    const char* din[] = {"DIN 125", "DIN 127", "DIN 9021"};
    const double outer = kind == 2 ? z.outer * 1.5 : z.outer;
    m.d.name = s("Podkładka %1 %2 mm ocynk").arg(s(names[kind]), commaNumber(z.inner));
    m.d.name2 = s("%1 M%2 zinc").arg(s(en[kind])).arg(z.thread);
    m.d.price = round2(0.01 + 0.0004 * outer * outer);
    m.num(aInnerDia, z.inner);
    m.num(aOuterDia, outer);
    m.num(aWidth, z.thick);
    m.set(aCoating, s("ocynk galwaniczny"));
    m.set(aStandard, s(din[kind]));
    if (m.r.chance(0.2)) m.d.unit = s("kg");
}

void screw(Maker& m) {
    struct Kind {
        const char* name;
        const char* en;
        const char* coating;
        const char* material;
    };
    static const Kind kinds[] = {
        {"do drewna stożkowy", "Wood screw, countersunk", "ocynk płatkowy", "stal węglowa"},
        {"samowiercący z EPDM", "Self-drilling screw with EPDM washer", "ocynk galwaniczny",
         "stal węglowa"},
        {"do płyt g-k", "Drywall screw", "czarna", "stal węglowa"},
        {"samogwintujący soczewkowy", "Self-tapping pan head screw", "ocynk galwaniczny",
         "stal nierdzewna"},
        {"do betonu", "Concrete screw", "ocynk galwaniczny", "stal węglowa"}};
    static const double diameters[] = {3, 3.5, 4, 4.5, 4.8, 5, 6, 7.5};
    static const int lengths[] = {16, 19, 25, 30, 35, 40, 50, 60, 70, 80, 100};
    const Kind& k = m.r.pick(kinds);
    const double dia = m.r.pick(diameters);
    const int len = m.r.pick(lengths);
    const bool pack = m.r.chance(0.4);
    m.d.name = s("Wkręt %1 %2x%3").arg(s(k.name), commaNumber(dia)).arg(len);
    if (pack) m.d.name += s(" op.100");
    m.d.name2 = s("%1 %2x%3").arg(s(k.en), storedNumber(dia)).arg(len);
    m.d.unit = pack ? s("op.") : s("szt");
    m.d.price = round2((0.02 + 0.0006 * dia * dia * len) * (pack ? 100 : 1));
    m.num(aThread, dia);
    m.num(aLength, len);
    m.set(aCoating, s(k.coating));
    m.set(aMaterial, s(k.material));
}

void anchor(Maker& m) {
    const int kind = m.r.range(0, 2);
    if (kind == 0) {
        static const int dias[] = {5, 6, 8, 10, 12, 14};
        const int d = m.r.pick(dias);
        const int l = d * m.r.range(4, 8);
        m.d.name = s("Kołek rozporowy %1x%2 nylonowy").arg(d).arg(l);
        m.d.name2 = s("Nylon wall plug %1x%2").arg(d).arg(l);
        m.d.price = round2(0.03 + 0.002 * d * l / 4.0);
        m.num(aInnerDia, d);
        m.num(aLength, l);
        m.set(aMaterial, s("nylon"));
        m.set(aPurpose, s("beton, cegła pełna"));
    } else if (kind == 1) {
        static const double dias[] = {3.2, 4, 4.8, 5};
        const double d = m.r.pick(dias);
        const int l = m.r.range(3, 10) * 2;
        const bool steel = m.r.chance(0.3);
        m.d.name = s("Nit zrywalny %1 %2x%3")
                       .arg(steel ? s("stalowy") : s("aluminiowy"), commaNumber(d))
                       .arg(l);
        m.d.name2 = s("Blind rivet %1 %2x%3")
                        .arg(steel ? s("steel") : s("aluminium"), storedNumber(d))
                        .arg(l);
        m.d.price = round2(0.04 + 0.01 * d);
        m.num(aInnerDia, d);
        m.num(aLength, l);
        m.set(aMaterial, steel ? s("stal węglowa") : s("aluminium"));
        m.set(aPurpose, s("łączenie blach"));
    } else {
        static const int threads[] = {8, 10, 12, 16, 20};
        const int t = m.r.pick(threads);
        const int l = t * 10 + m.r.range(0, 4) * 10;
        m.d.name = s("Kotwa chemiczna M%1x%2 ocynk").arg(t).arg(l);
        m.d.name2 = s("Chemical anchor rod M%1x%2").arg(t).arg(l);
        m.d.price = round2(1.5 + 0.02 * t * l / 10.0);
        m.num(aInnerDia, t);
        m.num(aLength, l);
        m.set(aMaterial, s("stal węglowa"));
        m.set(aPurpose, s("beton, obciążenia ciężkie"));
    }
}

void bearing(Maker& m) {
    struct Size {
        const char* code;
        int inner, outer;
        double width, load;
    };
    static const Size ball[] = {
        {"6000", 10, 26, 8, 4.75},  {"6001", 12, 28, 8, 5.4},   {"6002", 15, 32, 9, 5.85},
        {"6003", 17, 35, 10, 6.37}, {"6004", 20, 42, 12, 9.95}, {"6005", 25, 47, 12, 11.9},
        {"6200", 10, 30, 9, 5.4},   {"6201", 12, 32, 10, 7.28}, {"6202", 15, 35, 11, 8.06},
        {"6203", 17, 40, 12, 9.95}, {"6204", 20, 47, 14, 13.5}, {"6205", 25, 52, 15, 14.8},
        {"6206", 30, 62, 16, 20.3}, {"6207", 35, 72, 17, 27},   {"6208", 40, 80, 18, 32.5},
        {"6300", 10, 35, 11, 8.52}, {"6301", 12, 37, 12, 10.1}, {"6302", 15, 42, 13, 11.9},
        {"6303", 17, 47, 14, 14.3}, {"6304", 20, 52, 15, 16.8}, {"6305", 25, 62, 17, 23.4},
        {"6306", 30, 72, 19, 29.6},
    };
    static const Size taper[] = {{"30203", 17, 40, 13.25, 27.5},
                                 {"30204", 20, 47, 15.25, 33.6},
                                 {"30205", 25, 52, 16.25, 38.3},
                                 {"30206", 30, 62, 17.25, 50.3}};
    const bool isTaper = m.r.chance(0.15);
    const Size& z = isTaper ? m.r.pick(taper) : m.r.pick(ball);
    if (isTaper) {
        m.d.name = s("Łożysko stożkowe %1").arg(s(z.code));
        m.d.name2 = s("Tapered roller bearing %1").arg(s(z.code));
        m.set(aSealing, s("otwarte"));
        m.yes(aSealed, false);
    } else {
        const QString seal = s(m.r.pick({"2RS", "2RS", "ZZ", "ZZ", "otwarte", "2RSH"}));
        const bool c3 = m.r.chance(0.2);
        const QString code = s(z.code) + (seal == s("otwarte") ? QString() : u' ' + seal) +
                             (c3 ? s(" C3") : QString());
        m.d.name = s("Łożysko kulkowe zwykłe %1").arg(code);
        m.d.name2 = s("Deep groove ball bearing %1").arg(code);
        m.set(aSealing, seal);
        m.yes(aSealed, seal != s("otwarte"));
    }
    m.d.price = round2(4.5 + z.outer * z.width * (isTaper ? 0.09 : 0.035));
    m.num(aInnerDia, z.inner);
    m.num(aOuterDia, z.outer);
    m.num(aWidth, z.width);
    m.num(aLoad, z.load);
    m.datasheet();
    if (m.r.chance(0.5)) m.drawing();
}

void seal(Maker& m) {
    const int kind = m.r.range(0, 2);
    const QString material = s(m.r.pick({"NBR", "NBR", "FKM", "EPDM", "PTFE", "silikon"}));
    const int temp = material == s("FKM")       ? 200
                     : material == s("PTFE")    ? 260
                     : material == s("silikon") ? 230
                                                : 100;
    if (kind == 0) {
        const int in = m.r.range(4, 40) * 2;
        const int out = in + m.r.range(6, 14) * 2;
        const int w = m.r.pick({7, 8, 10, 12});
        m.d.name = s("Pierścień uszczelniający %1x%2x%3 %4").arg(in).arg(out).arg(w).arg(material);
        m.d.name2 = s("Radial shaft seal %1x%2x%3 %4")
                        .arg(in)
                        .arg(out)
                        .arg(w)
                        .arg(material == s("silikon") ? s("silicone") : material);
        m.d.price = round2(2.0 + out * 0.08);
        m.num(aInnerDia, in);
        m.num(aOuterDia, out);
        m.num(aWidth, w);
    } else if (kind == 1) {
        const int in = m.r.range(3, 120);
        const double cs = m.r.pick({1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 5.0});
        m.d.name = s("O-ring %1x%2 %3").arg(in).arg(commaNumber(cs), material);
        m.d.name2 = s("O-ring %1x%2 %3")
                        .arg(in)
                        .arg(storedNumber(cs), material == s("silikon") ? s("silicone") : material);
        m.d.price = round2(0.3 + in * cs * 0.01);
        m.num(aInnerDia, in);
        m.num(aOuterDia, in + 2 * cs);
        m.num(aWidth, cs);
    } else {
        static const int dns[] = {15, 20, 25, 32, 40, 50, 65, 80, 100};
        const int dn = m.r.pick(dns);
        m.d.name = s("Uszczelka płaska kołnierzowa DN%1 %2").arg(dn).arg(material);
        m.d.name2 = s("Flange gasket DN%1 %2")
                        .arg(dn)
                        .arg(material == s("silikon") ? s("silicone") : material);
        m.d.price = round2(1.5 + dn * 0.12);
        m.num(aInnerDia, dn);
        m.num(aOuterDia, dn * 2 + 20);
        m.num(aWidth, 2);
    }
    m.set(aMaterial, material);
    m.num(aMaxTemp, temp);
}

struct PipeSize {
    const char* inch;
    int dn;
};
const PipeSize kPipeSizes[] = {{"1/4\"", 8}, {"3/8\"", 10}, {"1/2\"", 15}, {"3/4\"", 20},
                               {"1\"", 25},  {"5/4\"", 32}, {"6/4\"", 40}, {"2\"", 50}};

void valve(Maker& m) {
    const PipeSize& z = m.r.pick(kPipeSizes);
    const int kind = m.r.range(0, 3);
    const QString connection = s(m.r.pick({"GW-GW", "GW-GW", "GW-GZ", "kołnierzowe"}));
    QString material = s(m.r.pick({"mosiądz", "mosiądz", "stal nierdzewna", "żeliwo"}));
    int pn = m.r.pick({10, 16, 25, 40});
    switch (kind) {
    case 0:
        m.d.name = s("Zawór kulowy %1 %2 %3 PN%4")
                       .arg(material == s("mosiądz")  ? s("mosiężny")
                            : material == s("żeliwo") ? s("żeliwny")
                                                      : s("nierdzewny"),
                            s(z.inch), connection)
                       .arg(pn);
        m.d.name2 = s("Ball valve %1 %2 PN%3").arg(s(z.inch), connection).arg(pn);
        break;
    case 1:
        m.d.name = s("Zawór zwrotny grzybkowy %1 %2").arg(s(z.inch), connection);
        m.d.name2 = s("Spring check valve %1").arg(s(z.inch));
        break;
    case 2:
        pn = m.r.pick({3, 6, 8, 10});
        material = s("mosiądz");
        m.d.name = s("Zawór bezpieczeństwa %1 %2 bar").arg(s(z.inch)).arg(pn);
        m.d.name2 = s("Safety valve %1 %2 bar").arg(s(z.inch)).arg(pn);
        break;
    default: {
        const int volts = m.r.pick({12, 24, 230});
        m.d.name = s("Zawór elektromagnetyczny %1 %2V %3")
                       .arg(s(z.inch))
                       .arg(volts)
                       .arg(volts == 230 ? s("AC") : s("DC"));
        m.d.name2 = s("Solenoid valve %1 %2V").arg(s(z.inch)).arg(volts);
        break;
    }
    }
    m.d.price = round2((18 + z.dn * z.dn * 0.05) * (material == s("stal nierdzewna") ? 2.4 : 1.0) *
                       (kind == 3 ? 3 : 1));
    m.num(aNominalDia, z.dn);
    m.num(aPressure, pn);
    m.set(aMaterial, material);
    m.set(aConnection, connection);
    m.num(aMaxTemp, m.r.pick({90, 120, 150, 180}));
    m.certificate();
}

void fitting(Maker& m) {
    const PipeSize& z = m.r.pick(kPipeSizes);
    const int kind = m.r.range(0, 4);
    const QString material = s(m.r.pick({"mosiądz", "stal węglowa", "stal nierdzewna"}));
    const QString adj = material == s("mosiądz")        ? s("mosiężne")
                        : material == s("stal węglowa") ? s("stalowe ocynk")
                                                        : s("nierdzewne");
    const int pn = m.r.pick({10, 16, 25});
    QString connection = s("GW-GZ");
    switch (kind) {
    case 0:
        m.d.name = s("Kolano %1 %2 GW-GZ 90°").arg(adj, s(z.inch));
        m.d.name2 = s("Elbow 90° %1 F-M").arg(s(z.inch));
        break;
    case 1:
        connection = s("GW-GW");
        m.d.name = s("Trójnik %1 %2 GW")
                       .arg(adj == s("mosiężne")     ? s("mosiężny")
                            : adj == s("nierdzewne") ? s("nierdzewny")
                                                     : s("stalowy ocynk"),
                            s(z.inch));
        m.d.name2 = s("Tee %1 F").arg(s(z.inch));
        break;
    case 2:
        connection = s("GZ-GZ");
        m.d.name = s("Nypel %1 %2")
                       .arg(adj == s("mosiężne")     ? s("mosiężny")
                            : adj == s("nierdzewne") ? s("nierdzewny")
                                                     : s("stalowy ocynk"),
                            s(z.inch));
        m.d.name2 = s("Hex nipple %1").arg(s(z.inch));
        break;
    case 3:
        connection = s("wtykowe");
        m.d.name = s("Złączka pneumatyczna prosta %1 mm - %2")
                       .arg(m.r.pick({4, 6, 8, 10, 12}))
                       .arg(s(z.inch));
        m.d.name2 = s("Push-in fitting, straight, %1").arg(s(z.inch));
        break;
    default:
        connection = s("zaciskowe");
        m.d.name = s("Złączka zaciskowa %1 %2 mm").arg(adj, QString::number(z.dn + 2));
        m.d.name2 = s("Compression fitting %1 mm").arg(z.dn + 2);
        break;
    }
    m.d.price = round2((3 + z.dn * 0.4) * (material == s("stal nierdzewna") ? 2.2 : 1.0));
    m.num(aNominalDia, z.dn);
    m.set(aConnection, connection);
    m.set(aMaterial, material);
    m.num(aPressure, pn);
}

void hose(Maker& m) {
    m.d.unit = s("m");
    const int kind = m.r.range(0, 2);
    if (kind == 0) {
        static const int dns[] = {6, 8, 10, 12, 16, 19, 25};
        const int dn = m.r.pick(dns);
        const bool twoWire = m.r.chance(0.6);
        m.d.name = s("Wąż hydrauliczny %1 DN%2").arg(twoWire ? s("2SN") : s("1SN")).arg(dn);
        m.d.name2 = s("Hydraulic hose %1 DN%2").arg(twoWire ? s("2SN") : s("1SN")).arg(dn);
        m.d.price = round2(8 + dn * (twoWire ? 1.9 : 1.2));
        m.num(aInnerDia, dn);
        m.num(aOuterDia, dn + (twoWire ? 9 : 7));
        m.num(aPressure, std::max(80, 400 - dn * 12));
        m.set(aMaterial, s("guma"));
        m.set(aColour, s("czarny"));
        m.num(aMaxTemp, 100);
    } else if (kind == 1) {
        static const int outs[] = {4, 6, 8, 10, 12};
        const int out = m.r.pick(outs);
        const QString colour = s(m.r.pick({"niebieski", "czarny", "przezroczysty", "czerwony"}));
        m.d.name =
            s("Przewód pneumatyczny PU %1x%2 %3").arg(out).arg(commaNumber(out * 0.65), colour);
        m.d.name2 = s("Polyurethane tube %1x%2").arg(out).arg(storedNumber(out * 0.65));
        m.d.price = round2(1.2 + out * 0.35);
        m.num(aInnerDia, out * 0.65);
        m.num(aOuterDia, out);
        m.num(aPressure, 10);
        m.set(aMaterial, s("poliuretan"));
        m.set(aColour, colour);
        m.num(aMaxTemp, 60);
    } else {
        const PipeSize& z = kPipeSizes[m.r.range(2, 4)];
        m.d.name = s("Wąż ogrodowy %1 4-warstwowy").arg(s(z.inch));
        m.d.name2 = s("Garden hose %1, 4 layers").arg(s(z.inch));
        m.d.price = round2(2 + z.dn * 0.2);
        m.num(aInnerDia, z.dn - 2);
        m.num(aOuterDia, z.dn + 5);
        m.num(aPressure, 20);
        m.set(aMaterial, s("PVC"));
        m.set(aColour, s("zielony"));
        m.num(aMaxTemp, 50);
    }
    m.d.stock = round2(m.r.between(0, 600));
}

void cable(Maker& m) {
    m.d.unit = s("m");
    struct Kind {
        const char* name;
        const char* insulation;
        int volts;
    };
    static const Kind kinds[] = {{"YDY", "PVC", 750},      {"YDYp", "PVC", 750},
                                 {"YKY", "PVC", 1000},     {"OWY", "guma", 500},
                                 {"H07RN-F", "guma", 750}, {"LgY", "PVC", 750}};
    static const double sections[] = {0.75, 1, 1.5, 1.5, 2.5, 2.5, 4, 6, 10, 16, 25};
    const Kind& k = m.r.pick(kinds);
    const bool single = QLatin1String(k.name) == QLatin1String("LgY");
    const int cores = single ? 1 : m.r.pick({2, 3, 3, 4, 5});
    const double section = m.r.pick(sections);
    const QString colour = single
                               ? s(m.r.pick({"czarny", "niebieski", "żółto-zielony", "czerwony"}))
                               : s(m.r.pick({"biały", "czarny", "szary"}));
    m.d.name = s("Przewód %1 %2x%3 mm2 %4V")
                   .arg(s(k.name))
                   .arg(cores)
                   .arg(commaNumber(section))
                   .arg(k.volts);
    if (single) m.d.name += u' ' + colour;
    m.d.name2 = s("Cable %1 %2x%3 mm2").arg(s(k.name)).arg(cores).arg(storedNumber(section));
    m.d.price = round2(0.4 + cores * section * 0.55);
    m.num(aSection, section);
    m.num(aCores, cores);
    m.num(aVoltage, k.volts);
    m.set(aInsulation, s(k.insulation));
    m.set(aColour, colour);
    m.d.stock = round2(m.r.range(0, 20) * 50.0);
}

void handTool(Maker& m) {
    struct Kind {
        const char* name;
        const char* en;
        int length;
        double mass, price;
        bool measuring;
    };
    static const Kind kinds[] = {
        {"Klucz płaski %1x%2 mm CrV", "Open-end spanner %1x%2 mm", 180, 0.08, 14, false},
        {"Klucz oczkowo-płaski %1 mm CrV", "Combination spanner %1 mm", 170, 0.1, 16, false},
        {"Wkrętak płaski %1x125 mm", "Flat screwdriver %1x125 mm", 230, 0.07, 12, false},
        {"Wkrętak krzyżakowy PH%1", "Phillips screwdriver PH%1", 200, 0.07, 13, false},
        {"Szczypce uniwersalne 180 mm izolowane 1000V", "Insulated combination pliers 180 mm", 180,
         0.3, 49, false},
        {"Młotek ślusarski %1 g", "Engineer's hammer %1 g", 320, 0.5, 35, false},
        {"Klucz dynamometryczny 1/2\" 40-200 Nm", "Torque wrench 1/2\" 40-200 Nm", 470, 1.6, 289,
         true},
        {"Suwmiarka cyfrowa 150 mm", "Digital caliper 150 mm", 235, 0.17, 119, true},
        {"Zestaw kluczy nasadowych 1/4\" 46 el.", "Socket set 1/4\" 46 pcs", 300, 2.1, 159, false},
        {"Piła do metalu 300 mm", "Hacksaw 300 mm", 420, 0.55, 39, false},
    };
    const Kind& k = m.r.pick(kinds);
    const int a = m.r.pick({6, 8, 10, 12, 13, 14, 17, 19, 22});
    QString name = s(k.name), en = s(k.en);
    if (name.contains(s("%2"))) {
        name = name.arg(a).arg(a + 1);
        en = en.arg(a).arg(a + 1);
    } else if (name.contains(s("PH%1"))) {
        const int ph = m.r.range(0, 3);
        name = name.arg(ph);
        en = en.arg(ph);
    } else if (name.contains(s("%1 g"))) {
        const int g = m.r.pick({200, 300, 500, 800, 1000});
        name = name.arg(g);
        en = en.arg(g);
    } else if (name.contains(s("%1"))) {
        const QString v = name.startsWith(s("Wkrętak"))
                              ? commaNumber(m.r.pick({3.0, 4.0, 5.5, 6.5, 8.0}))
                              : QString::number(a);
        name = name.arg(v);
        en = en.arg(v);
    }
    m.d.name = name;
    m.d.name2 = en;
    m.d.price = round2(k.price * m.r.between(0.85, 1.3));
    m.num(aLength, k.length);
    m.set(aMaterial, name.contains(s("Wkrętak")) ? s("stal S2") : s("stal CrV"));
    m.num(aMass, k.mass);
    m.yes(aCertified, k.measuring);
    if (k.measuring) m.pastDate(aInspection, 365);
}

void powerTool(Maker& m) {
    struct Kind {
        const char* name;
        const char* en;
        int power, volts;
        double mass, price;
    };
    static const Kind kinds[] = {
        {"Wiertarka udarowa %1 W", "Impact drill %1 W", 850, 230, 2.4, 329},
        {"Szlifierka kątowa 125 mm %1 W", "Angle grinder 125 mm %1 W", 1200, 230, 2.3, 289},
        {"Wkrętarka akumulatorowa 18 V 2x2,0 Ah", "Cordless drill driver 18 V", 0, 18, 1.6, 549},
        {"Młot udarowo-obrotowy SDS-Plus %1 W", "SDS-Plus rotary hammer %1 W", 800, 230, 2.8, 499},
        {"Pilarka tarczowa 190 mm %1 W", "Circular saw 190 mm %1 W", 1400, 230, 3.9, 459},
        {"Wyrzynarka %1 W", "Jigsaw %1 W", 650, 230, 2.2, 259},
        {"Opalarka %1 W", "Heat gun %1 W", 2000, 230, 0.7, 149},
    };
    const Kind& k = m.r.pick(kinds);
    int power = k.power ? k.power + m.r.range(-2, 4) * 50 : 0;
    if (k.power == 0) power = 400;
    QString name = s(k.name), en = s(k.en);
    if (name.contains(s("%1"))) {
        name = name.arg(power);
        en = en.arg(power);
    }
    m.d.name = name;
    m.d.name2 = en;
    m.d.price = round2(k.price * m.r.between(0.8, 1.5));
    m.num(aPower, power);
    m.num(aVoltage, k.volts);
    m.num(aMass, k.mass);
    if (m.r.chance(0.6)) m.pastDate(aInspection, 365);
    m.datasheet();
}

void motor(Maker& m) {
    static const double kws[] = {0.18, 0.25, 0.37, 0.55, 0.75, 1.1, 1.5, 2.2, 3, 4, 5.5, 7.5, 11};
    const double kw = m.r.pick(kws);
    const bool three = kw > 2.2 || m.r.chance(0.6);
    const int rpm = m.r.pick({700, 900, 1400, 1400, 2800});
    const QString mount = s(m.r.pick({"B3", "B5", "B14", "B3/B5"}));
    m.d.name = s("Silnik %1 %2 kW %3 obr/min %4")
                   .arg(three ? s("3-fazowy") : s("1-fazowy"), commaNumber(kw))
                   .arg(rpm)
                   .arg(mount);
    m.d.name2 = s("%1 electric motor %2 kW %3 rpm %4")
                    .arg(three ? s("Three-phase") : s("Single-phase"), storedNumber(kw))
                    .arg(rpm)
                    .arg(mount);
    m.d.price = round2(280 + kw * 310 * (rpm < 1000 ? 1.4 : 1.0));
    m.num(aPower, kw * 1000);
    m.num(aVoltage, three ? 400 : 230);
    m.num(aSpeed, rpm);
    m.num(aMass, round2(4 + kw * 9));
    m.pastDate(aIntroduced, 3650);
    m.datasheet();
    if (m.r.chance(0.5)) m.drawing();
}

void belt(Maker& m) {
    const int kind = m.r.range(0, 2);
    if (kind == 0) {
        const QString profile = s(m.r.pick({"SPZ", "SPA", "SPB", "A", "B"}));
        const int len = m.r.range(40, 250) * 10;
        const int w = profile == s("SPZ") ? 10 : profile == s("SPA") || profile == s("A") ? 13 : 17;
        m.d.name = s("Pas klinowy %1 %2").arg(profile).arg(len);
        m.d.name2 = s("V-belt %1 %2").arg(profile).arg(len);
        m.d.price = round2(12 + len * 0.012 * w / 10.0);
        m.num(aLength, len);
        m.num(aWidth, w);
        m.set(aMaterial, s("guma"));
    } else if (kind == 1) {
        const int len = m.r.range(30, 200) * 8;
        const int w = m.r.pick({20, 30, 50, 85});
        m.d.name = s("Pas zębaty HTD 8M-%1-%2").arg(len).arg(w);
        m.d.name2 = s("Timing belt HTD 8M-%1-%2").arg(len).arg(w);
        m.d.price = round2(30 + len * w * 0.0015);
        m.num(aLength, len);
        m.num(aWidth, w);
        m.set(aMaterial, s("guma"));
    } else {
        const QString chain = s(m.r.pick(
            {"06B-1 (3/8\")", "08B-1 (1/2\")", "10B-1 (5/8\")", "12B-1 (3/4\")", "08B-2 (1/2\")"}));
        m.d.unit = s("m");
        m.d.name = s("Łańcuch rolkowy %1").arg(chain);
        m.d.name2 = s("Roller chain %1").arg(chain);
        m.d.price = round2(25 + chain.left(2).toInt() * 4.5);
        m.num(aLength, 1000);
        m.num(aWidth, chain.left(2).toInt() * 1.2);
        m.set(aMaterial, s("stal węglowa"));
    }
}

void spring(Maker& m) {
    const double wire = m.r.pick({0.5, 0.8, 1.0, 1.5, 2.0, 2.5, 3.0});
    const int outer = int(wire * m.r.range(6, 12));
    const int len = outer * m.r.range(2, 6);
    const bool stainless = m.r.chance(0.3);
    const bool tension = m.r.chance(0.35);
    m.d.name = s("Sprężyna %1 %2x%3x%4 mm%5")
                   .arg(tension ? s("naciągowa") : s("naciskowa"), commaNumber(wire))
                   .arg(outer)
                   .arg(len)
                   .arg(stainless ? s(" nierdzewna") : QString());
    m.d.name2 = s("%1 spring %2x%3x%4 mm")
                    .arg(tension ? s("Extension") : s("Compression"), storedNumber(wire))
                    .arg(outer)
                    .arg(len);
    m.d.price = round2(0.8 + wire * len * 0.03 * (stainless ? 2 : 1));
    m.num(aOuterDia, outer);
    m.num(aLength, len);
    m.set(aMaterial, stainless ? s("stal nierdzewna") : s("stal węglowa"));
    m.yes(aStainless, stainless);
}

void lubricant(Maker& m) {
    struct Kind {
        const char* name;
        const char* en;
        double capacity;
        int temp;
        double price;
    };
    static const Kind kinds[] = {
        {"Smar łożyskowy ŁT-43 0,8 kg", "Bearing grease LT-43 0.8 kg", 0.8, 120, 32},
        {"Olej hydrauliczny HL 46 20 l", "Hydraulic oil HL 46 20 l", 20, 90, 239},
        {"Olej przekładniowy 80W-90 5 l", "Gear oil 80W-90 5 l", 5, 110, 129},
        {"Smar miedziany w aerozolu 400 ml", "Copper grease spray 400 ml", 0.4, 1100, 39},
        {"Olej do pił łańcuchowych 1 l", "Chainsaw oil 1 l", 1, 80, 19},
        {"Odrdzewiacz penetrujący 500 ml", "Penetrating oil 500 ml", 0.5, 60, 24},
        {"Smar grafitowy 1 kg", "Graphite grease 1 kg", 1, 90, 28},
    };
    const Kind& k = m.r.pick(kinds);
    m.d.name = s(k.name);
    m.d.name2 = s(k.en);
    m.d.price = round2(k.price * m.r.between(0.9, 1.2));
    m.num(aCapacity, k.capacity);
    m.num(aMaxTemp, k.temp);
    m.futureDate(aExpiry, 180, 1100);
}

void paint(Maker& m) {
    struct Kind {
        const char* name;
        const char* en;
    };
    static const Kind kinds[] = {{"Farba podkładowa antykorozyjna", "Anti-corrosion primer"},
                                 {"Emalia ftalowa", "Alkyd enamel"},
                                 {"Farba do metalu 3w1", "3-in-1 metal paint"},
                                 {"Lakier akrylowy w aerozolu", "Acrylic spray paint"}};
    const Kind& k = m.r.pick(kinds);
    const QString colour = s(m.r.pick(
        {"RAL 7035", "RAL 5010", "RAL 3020", "RAL 9005", "RAL 9010", "RAL 6005", "RAL 1023"}));
    const bool spray = s(k.name).contains(s("aerozolu"));
    const double capacity = spray ? 0.4 : m.r.pick({0.9, 2.5, 5.0, 10.0});
    m.d.name =
        s("%1 %2 %3").arg(s(k.name), colour, spray ? s("400 ml") : commaNumber(capacity) + s(" l"));
    m.d.name2 = s("%1 %2 %3 l").arg(s(k.en), colour, storedNumber(capacity));
    m.d.price = round2((spray ? 24 : 30) * std::max(1.0, capacity * 0.8));
    m.set(aColour, colour);
    m.num(aCapacity, capacity);
    m.futureDate(aExpiry, 200, 1000);
}

void safety(Maker& m) {
    const int kind = m.r.range(0, 4);
    switch (kind) {
    case 0: {
        const QString size = s(m.r.pick({"8", "9", "10", "11"}));
        m.d.unit = s("para");
        m.d.name = s("Rękawice robocze powlekane nitrylem rozm. %1").arg(size);
        m.d.name2 = s("Nitrile coated work gloves size %1").arg(size);
        m.d.price = round2(m.r.between(3.5, 9));
        m.set(aSize, size);
        m.set(aColour, s("niebieski"));
        m.set(aStandard, s("EN 388"));
        break;
    }
    case 1:
        m.d.name = s("Okulary ochronne %1")
                       .arg(s(m.r.pick({"bezbarwne", "przyciemniane", "z osłonami bocznymi"})));
        m.d.name2 = s("Safety glasses");
        m.d.price = round2(m.r.between(8, 35));
        m.set(aSize, s("uniwersalny"));
        m.set(aColour, s("bezbarwny"));
        m.set(aStandard, s("EN 166"));
        break;
    case 2: {
        const QString colour =
            s(m.r.pick({"biały", "żółty", "niebieski", "czerwony", "pomarańczowy"}));
        m.d.name = s("Kask ochronny %1").arg(colour);
        m.d.name2 = s("Safety helmet");
        m.d.price = round2(m.r.between(25, 90));
        m.set(aSize, s("uniwersalny"));
        m.set(aColour, colour);
        m.set(aStandard, s("EN 397"));
        break;
    }
    case 3:
        m.d.name = s("Nauszniki przeciwhałasowe %1 dB").arg(m.r.pick({25, 28, 30, 32}));
        m.d.name2 = s("Ear defenders");
        m.d.price = round2(m.r.between(30, 120));
        m.set(aSize, s("uniwersalny"));
        m.set(aColour, s("żółty"));
        m.set(aStandard, s("EN 352"));
        break;
    default:
        m.d.name = s("Półmaska filtrująca FFP2 z zaworkiem");
        m.d.name2 = s("FFP2 respirator with valve");
        m.d.price = round2(m.r.between(3, 8));
        m.d.vat = 8;
        m.set(aSize, s("uniwersalny"));
        m.set(aColour, s("biały"));
        m.set(aStandard, s("EN 149"));
        break;
    }
    m.certificate();
}

void kit(Maker& m) {
    struct Kind {
        const char* name;
        const char* en;
        const char* purpose;
    };
    static const Kind kinds[] = {
        {"Zestaw naprawczy pompy wodnej PW-%1", "Water pump repair kit PW-%1", "pompy wodne"},
        {"Zestaw uszczelek zaworu kulowego DN%1", "Ball valve seal kit DN%1", "zawory kulowe"},
        {"Komplet łożysk silnika %1 kW", "Motor bearing set %1 kW", "silniki elektryczne"},
        {"Zestaw naprawczy siłownika pneumatycznego fi %1", "Pneumatic cylinder repair kit d%1",
         "siłowniki pneumatyczne"},
        {"Zestaw montażowy zaworu DN%1", "Valve mounting kit DN%1", "armatura"},
    };
    const Kind& k = m.r.pick(kinds);
    const int size = m.r.pick({15, 20, 25, 32, 40, 50, 63, 80});
    m.d.unit = s("kpl.");
    m.d.name = s(k.name).arg(size);
    m.d.name2 = s(k.en).arg(size);
    m.d.price = round2(m.r.between(25, 350));
    m.set(aPurpose, s(k.purpose));
    m.num(aPieces, m.r.range(3, 14));
    m.pastDate(aIntroduced, 2000);
    m.datasheet();
}

using MakerFn = void (*)(Maker&);
const MakerFn kMakers[kGroupCount] = {bolt,  nut,     washer,    screw, anchor,   bearing,   seal,
                                      valve, fitting, hose,      cable, handTool, powerTool, motor,
                                      belt,  spring,  lubricant, paint, safety,   kit};

int pickGroup(Rng& r) {
    static const int total = [] {
        int t = 0;
        for (const auto& g : groupSpecs())
            t += g.weight;
        return t;
    }();
    int x = r.range(0, total - 1);
    for (int g = 0; g < kGroupCount; ++g) {
        x -= groupSpecs()[g].weight;
        if (x < 0) return g;
    }
    return 0;
}

} // namespace

QString datasheetPath(const Context& c, int group) {
    return QDir::toNativeSeparators(
        c.documentsFolder + QStringLiteral("/karta_%1.htm")
                                .arg(QString::fromLatin1(groupSpecs()[group].prefix).toLower()));
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
                   .arg(QLatin1String(groupSpecs()[d.group].prefix))
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
