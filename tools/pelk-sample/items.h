#pragma once
#include "sample.h"
#include <QString>
#include <utility>
#include <vector>

// The kinds of items the sample catalogue holds: groups, the attributes their templates carry,
// and one maker per group that invents an item with a name that agrees with its values.
namespace sample {

enum Attr : int {
    aThread,
    aLength,
    aGrade,
    aCoating,
    aStandard,
    aStainless,
    aDatasheet,
    aInnerDia,
    aOuterDia,
    aWidth,
    aSealing,
    aLoad,
    aSealed,
    aMaterial,
    aMaxTemp,
    aNominalDia,
    aPressure,
    aConnection,
    aCertified,
    aCertDate,
    aCertificate,
    aColour,
    aSection,
    aCores,
    aVoltage,
    aInsulation,
    aMass,
    aInspection,
    aPower,
    aSpeed,
    aIntroduced,
    aCapacity,
    aExpiry,
    aSize,
    aPurpose,
    aPieces,
    aDrawing,
    kAttrCount
};

struct AttributeKind {
    const char* name;
    const char* type;                // Cecha_Typ: "A", "N", "L", "D", "S"
    std::vector<const char*> values; // the value list (Wartosci), for some text attributes
};
const std::vector<AttributeKind>& attributeKinds(); // by Attr

enum Group : int {
    gBolts,
    gNuts,
    gWashers,
    gScrews,
    gAnchors,
    gBearings,
    gSeals,
    gValves,
    gFittings,
    gHoses,
    gCables,
    gHandTools,
    gPowerTools,
    gMotors,
    gBelts,
    gSprings,
    gLubricants,
    gPaints,
    gSafety,
    gKits,
    kGroupCount
};

struct GroupKind {
    const char* name;
    const char* prefix;      // of item symbols
    int weight;              // share of the items
    std::vector<Attr> templ; // the group template, in position order
};
const std::vector<GroupKind>& groupKinds(); // by Group

struct ItemDraft {
    int group = 0;
    int producer = 0; // Firma_Nr
    QString name, name2, unit, notes, symbol, code;
    double price = 0; // selling price, net, złoty
    double vat = 23;
    double stock = 0;
    std::vector<std::pair<int, QString>> values; // attribute -> value as stored in Opis
};

// The item with this number; the same number always gives the same item.
ItemDraft makeItem(const Context& c, int nr);

// Stored text forms of attribute values.
QString storedNumber(double v);     // "." as decimal separator
QString storedDate(const QDate& d); // dd.mm.yyyy
QString datasheetPath(const Context& c, int group);
QString certificatePath(const Context& c, int k);
int certificateCount();

} // namespace sample
