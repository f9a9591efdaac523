#include "platform/clock.h"

namespace platform {

Clock& Clock::system() {
    static SystemClock instance;
    return instance;
}

QString dateText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd-MM-yyyy")) : QString();
}

QDate parseDateText(const QString& text) {
    return QDate::fromString(text.trimmed(), QStringLiteral("dd-MM-yyyy"));
}

} // namespace platform
