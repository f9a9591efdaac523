#include "engine/values.h"
#include "engine/error.h"
#include <cmath>
#include <limits>

namespace engine {

namespace {

bool allDigits(QStringView s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

} // namespace

std::optional<QDate> parseLooseDate(QStringView text) {
    QStringView t = text.trimmed();
    QChar sep;
    for (QChar c : t)
        if (c == u'.' || c == u'-' || c == u'/') {
            sep = c;
            break;
        }
    if (sep.isNull()) return std::nullopt;
    auto parts = t.split(sep);
    if (parts.size() != 3) return std::nullopt;
    for (auto p : parts)
        if (!allDigits(p)) return std::nullopt;
    int y, m, d;
    if (parts[0].size() == 4 && parts[1].size() <= 2 && parts[2].size() <= 2) {
        y = parts[0].toInt(), m = parts[1].toInt(), d = parts[2].toInt();
    } else if (parts[2].size() == 4 && parts[0].size() <= 2 && parts[1].size() <= 2) {
        d = parts[0].toInt(), m = parts[1].toInt(), y = parts[2].toInt();
    } else {
        return std::nullopt;
    }
    QDate date(y, m, d);
    if (!date.isValid()) return std::nullopt;
    return date;
}

std::optional<QDateTime> parseLooseTimestamp(QStringView text) {
    QStringView t = text.trimmed();
    qsizetype blank = t.indexOf(u' ');
    if (blank < 0 && t.size() > 10 && t[10] == u'T') blank = 10;
    auto date = parseLooseDate(blank < 0 ? t : t.left(blank));
    if (!date) return std::nullopt;
    if (blank < 0) return QDateTime(*date, QTime(0, 0));
    QStringView tp = t.mid(blank + 1).trimmed();
    QTime time = QTime::fromString(tp.toString(), QStringLiteral("H:mm:ss.zzz"));
    if (!time.isValid()) time = QTime::fromString(tp.toString(), QStringLiteral("H:mm:ss"));
    if (!time.isValid()) time = QTime::fromString(tp.toString(), QStringLiteral("H:mm"));
    if (!time.isValid()) return std::nullopt;
    return QDateTime(*date, time);
}

QString dateToStorage(const QDate& d) {
    return d.toString(Qt::ISODate);
}

QDate dateFromStorage(QStringView s) {
    if (s.size() < 10) return {};
    return QDate(s.left(4).toInt(), s.mid(5, 2).toInt(), s.mid(8, 2).toInt());
}

QString timestampToStorage(const QDateTime& t) {
    QString s =
        t.date().toString(Qt::ISODate) + u' ' + t.time().toString(QStringLiteral("HH:mm:ss"));
    if (t.time().msec() != 0) s += u'.' + QString::number(t.time().msec()).rightJustified(3, u'0');
    return s;
}

QDateTime timestampFromStorage(QStringView s) {
    QDate d = dateFromStorage(s);
    if (!d.isValid()) return {};
    QTime tm(0, 0);
    if (s.size() >= 19) {
        tm = QTime(s.mid(11, 2).toInt(), s.mid(14, 2).toInt(), s.mid(17, 2).toInt(),
                   s.size() >= 23 ? s.mid(20, 3).toInt() : 0);
    }
    return QDateTime(d, tm);
}

std::optional<double> parseLooseNumber(QStringView text) {
    QString t = text.trimmed().toString();
    if (t.isEmpty()) return std::nullopt;
    t.replace(u',', u'.');
    bool ok = false;
    double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

namespace {

[[noreturn]] void badValue(const FieldDef& f, const QVariant& v, const QString& table) {
    QString shown = v.toString();
    if (shown.size() > 40) shown = shown.left(40) + QStringLiteral("...");
    throw EngineError(EngineError::Kind::BadValue,
                      QStringLiteral("Wartość \"%1\" nie pasuje do pola %2 (%3)%4.")
                          .arg(shown, f.name, typeWord(f.type),
                               table.isEmpty() ? QString() : QStringLiteral(" w tabeli ") + table),
                      table);
}

QString cutToSize(QString s, int size) {
    if (size <= 0 || s.size() <= size) return s;
    // Never split a surrogate pair.
    int n = size;
    if (s[n - 1].isHighSurrogate()) --n;
    s.truncate(n);
    return s;
}

bool isNumericVariant(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::Short:
        return true;
    default:
        return false;
    }
}

} // namespace

QVariant toStorage(const FieldDef& f, const QVariant& v, const QString& table) {
    if (!v.isValid() || v.isNull()) return {};
    const int type = v.typeId();
    // The commonest by far: a whole number for a whole-number field (keys, ranges, links).
    if ((f.type == FieldType::LongInt || f.type == FieldType::AutoInc) &&
        (type == QMetaType::LongLong || type == QMetaType::Int)) {
        const qint64 n = type == QMetaType::Int ? *static_cast<const int*>(v.constData())
                                                : *static_cast<const qlonglong*>(v.constData());
        if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
            badValue(f, v, table);
        return n;
    }
    // And a text for a text field that fits (searches, ranges on names).
    if (f.type == FieldType::Alpha && type == QMetaType::QString) {
        const QString& text = *static_cast<const QString*>(v.constData());
        if (text.isEmpty()) return {};
        return f.size <= 0 || text.size() <= f.size ? v : QVariant(cutToSize(text, f.size));
    }
    const bool isText = type == QMetaType::QString;
    if (isText && v.toString().isEmpty() && f.type != FieldType::Memo) return {};
    switch (f.type) {
    case FieldType::Alpha:
        if (v.typeId() == QMetaType::QDate)
            return cutToSize(v.toDate().toString(QStringLiteral("dd-MM-yyyy")), f.size);
        return cutToSize(v.toString(), f.size);
    case FieldType::Memo: {
        QString s = v.toString();
        if (s.isEmpty()) return {};
        return s;
    }
    case FieldType::AutoInc:
    case FieldType::LongInt: {
        double d;
        if (isNumericVariant(v)) {
            d = v.toDouble();
        } else if (v.typeId() == QMetaType::Bool) {
            d = v.toBool() ? 1 : 0;
        } else if (isText) {
            auto n = parseLooseNumber(v.toString());
            if (!n) badValue(f, v, table);
            d = *n;
        } else {
            badValue(f, v, table);
        }
        if (d != std::floor(d) || d < std::numeric_limits<qint32>::min() ||
            d > std::numeric_limits<qint32>::max())
            badValue(f, v, table);
        return qint64(d);
    }
    case FieldType::Number: {
        if (isNumericVariant(v)) {
            double d = v.toDouble();
            if (!std::isfinite(d)) badValue(f, v, table);
            return d;
        }
        if (isText) {
            auto n = parseLooseNumber(v.toString());
            if (!n) badValue(f, v, table);
            return *n;
        }
        badValue(f, v, table);
    }
    case FieldType::Date: {
        if (v.typeId() == QMetaType::QDate) {
            if (!v.toDate().isValid()) return {};
            return dateToStorage(v.toDate());
        }
        if (v.typeId() == QMetaType::QDateTime) return dateToStorage(v.toDateTime().date());
        if (isText) {
            auto d = parseLooseDate(v.toString());
            if (!d) badValue(f, v, table);
            return dateToStorage(*d);
        }
        badValue(f, v, table);
    }
    case FieldType::Timestamp: {
        if (v.typeId() == QMetaType::QDateTime) {
            if (!v.toDateTime().isValid()) return {};
            return timestampToStorage(v.toDateTime());
        }
        if (v.typeId() == QMetaType::QDate)
            return timestampToStorage(QDateTime(v.toDate(), QTime(0, 0)));
        if (isText) {
            auto t = parseLooseTimestamp(v.toString());
            if (!t) badValue(f, v, table);
            return timestampToStorage(*t);
        }
        badValue(f, v, table);
    }
    case FieldType::Logical: {
        if (v.typeId() == QMetaType::Bool) return qint64(v.toBool() ? 1 : 0);
        if (isNumericVariant(v)) return qint64(v.toDouble() != 0 ? 1 : 0);
        if (isText) {
            const QString s = v.toString().trimmed();
            for (auto w : {u"T", u"true", u"1", u"tak"})
                if (s.compare(QStringView(w), Qt::CaseInsensitive) == 0) return qint64(1);
            for (auto w : {u"N", u"false", u"0", u"nie", u"F"})
                if (s.compare(QStringView(w), Qt::CaseInsensitive) == 0) return qint64(0);
        }
        badValue(f, v, table);
    }
    case FieldType::Graphic:
        if (v.typeId() == QMetaType::QByteArray) {
            if (v.toByteArray().isEmpty()) return {};
            return v.toByteArray();
        }
        badValue(f, v, table);
    }
    return {};
}

QVariant fromStorage(const FieldDef& f, const QVariant& s) {
    if (s.isNull()) return {};
    switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Memo:
        return s.toString();
    case FieldType::AutoInc:
    case FieldType::LongInt:
        return int(s.toLongLong());
    case FieldType::Number:
        return s.toDouble();
    case FieldType::Date:
        return dateFromStorage(s.toString());
    case FieldType::Timestamp:
        return timestampFromStorage(s.toString());
    case FieldType::Logical:
        return s.toLongLong() != 0;
    case FieldType::Graphic:
        return s.toByteArray();
    }
    return {};
}

} // namespace engine
