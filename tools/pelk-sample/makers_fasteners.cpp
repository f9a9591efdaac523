// Fasteners, bearings and seals.
#include "maker.h"
#include <algorithm>

namespace sample::makers {

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

} // namespace sample::makers
