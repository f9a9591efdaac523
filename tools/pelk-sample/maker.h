#pragma once
#include "items.h"

// What the makers of items of one group share: the generator, the item being made and short
// ways to set its attribute values.
namespace sample::makers {

inline QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}
// Numbers as names show them: with a decimal comma.
inline QString commaNumber(double v) {
    return storedNumber(v).replace(u'.', u',');
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

// One maker per group (Group order), each in the file of its trade.
void bolt(Maker& m);
void nut(Maker& m);
void washer(Maker& m);
void screw(Maker& m);
void anchor(Maker& m);
void bearing(Maker& m);
void seal(Maker& m);
void valve(Maker& m);
void fitting(Maker& m);
void hose(Maker& m);
void cable(Maker& m);
void handTool(Maker& m);
void powerTool(Maker& m);
void motor(Maker& m);
void belt(Maker& m);
void spring(Maker& m);
void lubricant(Maker& m);
void paint(Maker& m);
void safety(Maker& m);
void kit(Maker& m);

} // namespace sample::makers
