// Valves, fittings, hoses and cables.
#include "maker.h"
#include <algorithm>

namespace sample::makers {

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

} // namespace sample::makers
