#pragma once
// Rows put straight into a table, for tests that set up a catalogue by hand.
#include "engine/table.h"
#include <QAnyStringView>
#include <QVariantMap>

namespace testsupport {

// The row's autoinc number when `numberField` names it, else 0.
inline int addRow(const QString& folder, QAnyStringView table, const QVariantMap& values,
                  QAnyStringView numberField = {}) {
    engine::Table t(folder, table.toString());
    t.open();
    t.append();
    for (auto it = values.begin(); it != values.end(); ++it)
        t.setValue(it.key(), it.value());
    t.post();
    return numberField.isEmpty() ? 0 : t.asInteger(numberField.toString());
}

} // namespace testsupport
