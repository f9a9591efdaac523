#pragma once
#include "engine/fields.h"
#include <QString>

namespace store::detail {

// A table layout written as text, so that every layout reads like the list it comes from:
//   fields:  "Cecha_Nr autoinc, Cecha_Opis alpha 30, Cecha_Typ alpha 1"
//   indexes: "PrimaryIndex(Cecha_Nr) wg_opisu(Cecha_Opis)"; fields of one index joined by ";"
// Type words are the engine's (autoinc, alpha, longint, number, date, timestamp, logical, memo,
// graphic). The index named PrimaryIndex is the primary one; every other is secondary.
engine::TableDef tableFromText(const QString& name, const QString& fields, const QString& indexes);

} // namespace store::detail
