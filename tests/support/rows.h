#pragma once
// Rows put straight into a table, for tests that set up a catalogue by hand.
#include "engine/table.h"
#include <initializer_list>
#include <utility>

namespace testsupport {

using Values = std::initializer_list<std::pair<const char*, QVariant>>;

inline void addRow(const QString& folder, const char* table, Values values) {
    engine::Table t(folder, QLatin1String(table));
    t.open();
    t.append();
    for (const auto& [field, value] : values)
        t.setValue(QLatin1String(field), value);
    t.post();
}

} // namespace testsupport
