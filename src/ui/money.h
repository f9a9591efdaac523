#pragma once
#include <QString>
#include <QVariant>
#include <optional>

namespace ui {

// Money as the screens show it: two decimals after a decimal comma, thousands grouped by a thin
// space ("1 200,50"); an empty value is an empty text, not "0". Composed documents and exported
// files keep the plain number form and do not use this.
QString moneyText(const QVariant& value);
QString moneyText(double value);

// Money as a user types it: "1 200,50", "1200,50" and "1200.50" alike (blanks of any kind between
// the digits are grouping). An empty text is an empty value; none when the text is no number.
std::optional<QVariant> moneyFromText(const QString& text);

} // namespace ui
