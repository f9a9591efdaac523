#pragma once
#include "platform/seam.h"
#include <QDate>
#include <QString>

namespace platform {

// Today's date, as the program stamps it on backups, offers and orders.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;

    static Clock& system();
};

using ClockSeam = Seam<Clock>;
using ScopedClock = ClockSeam::Override;
inline Clock& clock() {
    return ClockSeam::get();
}
inline QDate today() {
    return clock().today();
}

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FakeClock : public Clock {
public:
    explicit FakeClock(QDate date) : date(date) {}
    QDate today() const override { return date; }
    QDate date;
};

// The program's date text: dd-mm-yyyy, the form dates travel in between screens.
QString dateText(const QDate& date);
// Reads that form back; an invalid date when the text is none.
QDate parseDateText(const QString& text);

} // namespace platform
