// Tools and motors.
#include "maker.h"
#include <algorithm>

namespace sample::makers {

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

} // namespace sample::makers
