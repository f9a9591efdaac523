#include "items.h"
#include "rowwriter.h"
#include "sample.h"
#include <algorithm>

namespace sample {

namespace {

struct Assembly {
    Group whole;
    double share;             // of the group's items that are assemblies
    std::vector<Group> parts; // groups the parts come from
};

// Valves take repair kits, which are assemblies themselves, so bills of materials go three
// levels deep; bearings and seals go into motors, tools and kits alike.
const Assembly kAssemblies[] = {
    {gKits, 1.0, {gSeals, gBearings, gSprings, gBolts, gNuts, gWashers}},
    {gMotors, 0.7, {gBearings, gSeals, gBolts, gWashers, gCables}},
    {gValves, 0.4, {gSeals, gBolts, gNuts, gSprings, gKits}},
    {gPowerTools, 0.3, {gBearings, gSprings, gCables, gScrews}},
    {gHoses, 0.2, {gFittings, gSeals}},
};

} // namespace

void makeRelations(Context& c) {
    RowWriter& bom = c.session->writer(QStringLiteral("Sklada"),
                                       {"Sklada_Tow_Nr", "Sklada_Nr_Czesci", "Sklada_il_szt"});
    for (const Assembly& a : kAssemblies) {
        for (int whole : c.itemsByGroup[std::size_t(a.whole)]) {
            Rng r = c.rng(kRelations, std::uint64_t(whole));
            if (!r.chance(a.share)) continue;
            std::vector<int> used;
            for (int k = r.range(2, 6); k > 0; --k) {
                const auto& pool = c.itemsByGroup[std::size_t(r.pick(a.parts))];
                if (pool.empty()) continue;
                const int part = r.pick(pool);
                if (part == whole || std::find(used.begin(), used.end(), part) != used.end())
                    continue;
                used.push_back(part);
                const Group pg = Group(c.itemGroup[std::size_t(part)]);
                const double pieces = pg == gCables || pg == gHoses
                                          ? r.range(2, 30) / 2.0
                                          : double(r.pick({1, 1, 2, 2, 4, 6, 8}));
                bom.add({whole, part, pieces});
            }
        }
    }
    reportRows(c, bom);

    RowWriter& substitutes =
        c.session->writer(QStringLiteral("Zamienne"), {"Zam_Tow_Nr", "Zam_Nr_Zam"});
    for (const auto& pool : c.itemsByGroup) {
        if (pool.size() < 2) continue;
        for (int item : pool) {
            Rng r = c.rng(kRelations, std::uint64_t(item) + 0x100000000ull);
            if (!r.chance(0.06)) continue;
            for (int k = r.range(1, 3); k > 0; --k) {
                const int other = r.pick(pool);
                if (other == item) continue;
                substitutes.add({item, other});
                if (r.chance(0.5)) substitutes.add({other, item});
            }
        }
    }
    reportRows(c, substitutes);
}

} // namespace sample
