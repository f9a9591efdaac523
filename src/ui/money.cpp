#include "ui/money.h"
#include "engine/values.h"

namespace ui {

namespace {
// NARROW NO-BREAK SPACE: a thin gap that never breaks a price across lines.
constexpr char16_t kThinSpace = u'\u202F';
} // namespace

QString moneyText(double value) {
    const QString fixed = QString::number(value, 'f', 2);
    const bool negative = fixed.startsWith(u'-');
    const qsizetype point = fixed.indexOf(u'.');
    const QString digits = fixed.mid(negative ? 1 : 0, point - (negative ? 1 : 0));
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3 + 4);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += kThinSpace;
        grouped += digits[i];
    }
    // -0,00 is no amount anyone owes.
    const bool zero = digits.count(u'0') == digits.size() && fixed.endsWith(QStringLiteral(".00"));
    return (negative && !zero ? QStringLiteral("-") : QString()) + grouped + u',' +
           fixed.mid(point + 1);
}

QString moneyText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    bool ok = false;
    const double v = value.toDouble(&ok);
    return ok ? moneyText(v) : value.toString();
}

std::optional<QVariant> moneyFromText(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (const QChar c : text)
        if (!c.isSpace()) plain += c;
    if (plain.isEmpty()) return QVariant();
    const auto n = engine::parseLooseNumber(plain);
    if (!n) return std::nullopt;
    return QVariant(*n);
}

} // namespace ui
