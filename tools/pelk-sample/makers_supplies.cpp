// Drives, springs, lubricants, paints, safety wear and repair kits.
#include "maker.h"
#include <algorithm>

namespace sample::makers {

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

} // namespace sample::makers
