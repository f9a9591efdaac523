#include "engine/dataset.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/serverschema.h"
#include "engine/values.h"
#include <QMetaMethod>
#include <cmath>
#include <cstdio>

namespace engine {

struct DataSet::Extra {
    bool lookup = false;
    // lookup
    QStringList keyFields;
    QString lookupTable;
    QStringList lookupKeys;
    QString resultField;
    std::vector<int> keyIndex; // resolved own field indices
    FieldDef resultDef;
    QString sql;
    std::vector<bool> keyBySortKey; // on a server: the key is compared by its sort key
    mutable QHash<QString, QVariant> cache;
};

DataSet::DataSet(QObject* parent) : QObject(parent) {}
DataSet::~DataSet() = default;

void DataSet::setDatabaseName(const QString& folder) {
    requireClosed();
    folder_ = folder;
}

void DataSet::requireOpen() const {
    if (!open_)
        fail(int(EngineError::Kind::State),
             QStringLiteral("Tabela %1 nie jest otwarta.").arg(displayName_));
}

void DataSet::requireClosed() const {
    if (open_)
        fail(int(EngineError::Kind::State),
             QStringLiteral(
                 "Tabela %1 jest otwarta; tej zmiany można dokonać tylko na zamkniętej tabeli.")
                 .arg(displayName_));
}

void DataSet::fail(int kind, const QString& message) const {
    throw EngineError(EngineError::Kind(kind), message, displayName_);
}

void DataSet::moveBy(int n) {
    requireOpen();
    if (n == 0) return;
    if (std::abs(n) <= 64) {
        for (int i = 0; i < n; ++i)
            next();
        for (int i = 0; i > n; --i)
            prior();
        return;
    }
    setRecNo(recNo() + n);
}

QStringList DataSet::fieldNames() const {
    QStringList out;
    for (const auto& f : fields_)
        out << f.name;
    return out;
}

int DataSet::fieldIndex(const QString& name) const {
    if (auto it = byName_.constFind(name); it != byName_.constEnd()) return *it;
    return byName_.value(name.toLower(), -1);
}

const FieldDef& DataSet::fieldDef(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0)
        fail(int(EngineError::Kind::MissingField),
             QStringLiteral("Pole %1 nie istnieje w tabeli %2.").arg(name, displayName_));
    return fields_[i];
}

void DataSet::addCalculatedField(const QString& name, FieldType type, int size) {
    requireClosed();
    Extra e;
    e.resultDef = FieldDef{name, type, size, false};
    extras_.push_back(std::move(e));
}

void DataSet::addLookupField(const QString& name, const QString& keyFields,
                             const QString& lookupTable, const QString& lookupKeyFields,
                             const QString& resultField) {
    requireClosed();
    Extra e;
    e.lookup = true;
    e.keyFields = keyFields.split(u';', Qt::SkipEmptyParts);
    e.lookupTable = lookupTable;
    e.lookupKeys = lookupKeyFields.split(u';', Qt::SkipEmptyParts);
    e.resultField = resultField;
    e.resultDef = FieldDef{name, FieldType::Alpha, 0, false};
    if (e.keyFields.size() != e.lookupKeys.size() || e.keyFields.isEmpty())
        fail(int(EngineError::Kind::MissingField),
             QStringLiteral("Pole przeglądowe %1: liczba pól klucza się nie zgadza.").arg(name));
    extras_.push_back(std::move(e));
}

static QString quotedIdent(const QString& s) {
    QString q = s;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

void DataSet::setOwnFields(const QList<FieldDef>& own) {
    fields_ = own;
    ownFieldCount_ = int(own.size());
    // Cursors on one table share its field list: the names are looked up the same way.
    static QHash<const FieldDef*, std::pair<QList<FieldDef>, QHash<QString, int>>> names;
    if (auto it = names.constFind(own.constData());
        it != names.constEnd() && it->first.size() == own.size()) {
        byName_ = it->second;
    } else {
        byName_.clear();
        for (int i = 0; i < own.size(); ++i) {
            byName_.insert(own[i].name.toLower(), i);
            byName_.insert(own[i].name, i); // found without folding when asked as defined
        }
        if (names.size() >= 64) names.clear();
        names.insert(own.constData(), {own, byName_}); // the list kept: its address stays its own
    }
    for (auto& e : extras_) {
        if (e.lookup) {
            e.keyIndex.clear();
            for (const auto& k : e.keyFields) {
                int i = byName_.value(k.toLower(), -1);
                if (i < 0)
                    fail(int(EngineError::Kind::MissingField),
                         QStringLiteral("Pole %1 nie istnieje w tabeli %2.").arg(k, displayName_));
                e.keyIndex.push_back(i);
            }
            const TableDef lt = db_->requireTable(e.lookupTable);
            const FieldDef* rf = lt.field(e.resultField);
            if (!rf)
                fail(int(EngineError::Kind::MissingField),
                     QStringLiteral("Pole %1 nie istnieje w tabeli %2.")
                         .arg(e.resultField, lt.name));
            QStringList conds;
            e.keyBySortKey.assign(size_t(e.lookupKeys.size()), false);
            for (int i = 0; i < e.lookupKeys.size(); ++i) {
                const FieldDef* kf = lt.field(e.lookupKeys[i]);
                if (!kf)
                    fail(int(EngineError::Kind::MissingField),
                         QStringLiteral("Pole %1 nie istnieje w tabeli %2.")
                             .arg(e.lookupKeys[i], lt.name));
                if (db_->onServer() && isTextColumn(kf->type)) {
                    e.keyBySortKey[size_t(i)] = true;
                    conds << quotedIdent(sortKeyColumn(kf->name)) +
                                 QStringLiteral(" = ?%1").arg(i + 1);
                    continue;
                }
                conds << quotedIdent(kf->name) +
                             (isTextType(kf->type) ? QStringLiteral(" COLLATE PL") : QString()) +
                             QStringLiteral(" = ?%1").arg(i + 1);
            }
            e.sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIMIT 1")
                        .arg(quotedIdent(rf->name), quotedIdent(lt.name),
                             conds.join(QStringLiteral(" AND ")));
            const QString name = e.resultDef.name;
            e.resultDef = *rf;
            e.resultDef.name = name;
        }
        byName_.insert(e.resultDef.name.toLower(), int(fields_.size()));
        byName_.insert(e.resultDef.name, int(fields_.size()));
        fields_ << e.resultDef;
    }
    calcValues_.assign(extras_.size(), QVariant());
    calcValid_ = false;
    clearExtraCaches();
}

void DataSet::clearExtraCaches() {
    for (auto& e : extras_)
        e.cache.clear();
    calcValid_ = false;
}

void DataSet::connectNotify(const QMetaMethod& signal) {
    if (signal == QMetaMethod::fromSignal(&DataSet::afterScroll))
        scrollWatched_.store(true, std::memory_order_relaxed);
}

void DataSet::setCalculated(const QString& name, const QVariant& v) {
    int i = fieldIndex(name);
    if (i < ownFieldCount_ || extras_[i - ownFieldCount_].lookup)
        fail(
            int(EngineError::Kind::MissingField),
            QStringLiteral("Pole %1 nie jest polem obliczanym tabeli %2.").arg(name, displayName_));
    const FieldDef& f = fields_[i];
    calcValues_[i - ownFieldCount_] = fromStorage(f, toStorage(f, v, displayName_));
}

void DataSet::computeCalculated() const {
    if (calcValid_ || inCalc_) return;
    for (auto& v : calcValues_)
        v = QVariant();
    calcValid_ = true;
    if (!rowPresent()) return;
    bool anyCalc = false;
    for (const auto& e : extras_)
        anyCalc = anyCalc || !e.lookup;
    if (!anyCalc) return;
    inCalc_ = true;
    try {
        Q_EMIT const_cast<DataSet*>(this)->calcFields(const_cast<DataSet*>(this));
    } catch (...) {
        inCalc_ = false;
        throw;
    }
    inCalc_ = false;
}

QVariant DataSet::lookupValue(int x) const {
    const Extra& e = extras_[x];
    QVariantList keyVals;
    QString cacheKey;
    for (int i : e.keyIndex) {
        QVariant v = ownValue(i);
        if (v.isNull()) return {};
        keyVals << v;
        cacheKey += v.toString() + QChar(0x1f);
    }
    auto it = e.cache.find(cacheKey);
    if (it != e.cache.end()) return *it;
    Statement st = db_->prepare(e.sql);
    for (int i = 0; i < keyVals.size(); ++i)
        st.bind(i + 1, i < int(e.keyBySortKey.size()) && e.keyBySortKey[size_t(i)]
                           ? sortKeyOf(keyVals[i])
                           : keyVals[i]);
    QVariant result = st.step() ? fromStorage(e.resultDef, st.column(0)) : QVariant();
    if (e.cache.size() > 4096) e.cache.clear();
    e.cache.insert(cacheKey, result);
    return result;
}

QVariant DataSet::ownValue(int index) const {
    if (override_) return (*override_)[size_t(index)];
    return storedValue(index);
}

std::vector<DataSet::WindowRow> DataSet::rowsAt(int recNo, int count) {
    requireOpen();
    std::vector<WindowRow> out;
    if (recNo < 1 || count <= 0) return out;
    const auto rows = storedRowsAt(recNo - 1, count);
    const bool savedValid = calcValid_;
    const auto savedCalc = calcValues_;
    for (const auto& [rowid, stored] : rows) {
        override_ = &stored;
        calcValid_ = false;
        WindowRow w;
        w.rowid = rowid;
        try {
            for (int i = 0; i < fields_.size(); ++i)
                w.values << value(i);
        } catch (...) {
            override_ = nullptr;
            calcValues_ = savedCalc;
            calcValid_ = savedValid;
            throw;
        }
        out.push_back(std::move(w));
    }
    override_ = nullptr;
    calcValues_ = savedCalc;
    calcValid_ = savedValid;
    return out;
}

QVariant DataSet::extraValue(int index) const {
    const int x = index - ownFieldCount_;
    if (!rowPresent()) return {};
    if (extras_[x].lookup) return lookupValue(x);
    computeCalculated();
    return calcValues_[x];
}

QVariant DataSet::value(int index) const {
    if (index < 0 || index >= fields_.size())
        fail(
            int(EngineError::Kind::MissingField),
            QStringLiteral("Pole numer %1 nie istnieje w tabeli %2.").arg(index).arg(displayName_));
    if (index >= ownFieldCount_) return extraValue(index);
    if (!rowPresent()) return {};
    return fromStorage(fields_[index], ownValue(index));
}

QVariant DataSet::value(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) (void)fieldDef(name); // throws with the field's name
    return value(i);
}

bool DataSet::isNull(const QString& name) const {
    return value(name).isNull();
}

QString DataSet::asString(const QString& name) const {
    int i = fieldIndex(name);
    if (i < 0) (void)fieldDef(name);
    return displayText(fields_[i].type, value(i));
}

int DataSet::asInteger(const QString& name) const {
    QVariant v = value(name);
    if (v.isNull()) return 0;
    if (v.typeId() == QMetaType::Double) return int(std::llround(v.toDouble()));
    if (v.typeId() == QMetaType::QString) return v.toString().trimmed().toInt();
    return v.toInt();
}

double DataSet::asFloat(const QString& name) const {
    QVariant v = value(name);
    if (v.isNull()) return 0;
    if (v.typeId() == QMetaType::QString) return parseLooseNumber(v.toString()).value_or(0);
    return v.toDouble();
}

QDate DataSet::asDate(const QString& name) const {
    QVariant v = value(name);
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().date();
    if (v.typeId() == QMetaType::QString) return parseLooseDate(v.toString()).value_or(QDate());
    return v.toDate();
}

QDateTime DataSet::asDateTime(const QString& name) const {
    QVariant v = value(name);
    if (v.typeId() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

bool DataSet::asBoolean(const QString& name) const {
    QVariant v = value(name);
    if (v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0 ||
               s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
               s == QLatin1String("1");
    }
    return v.toBool();
}

QByteArray DataSet::asBytes(const QString& name) const {
    QVariant v = value(name);
    if (v.typeId() == QMetaType::QString) return v.toString().toUtf8();
    return v.toByteArray();
}

QString formatNumber(double v) {
    if (!std::isfinite(v)) return {};
    if (v == 0) return QStringLiteral("0");
    if (v == std::trunc(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    // 15 significant digits, then written out without an exponent.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    QString s = QString::fromLatin1(buf);
    const int e = s.indexOf(u'e');
    const int exp = s.mid(e + 1).toInt();
    QString digits = s.left(1) + s.mid(2, e - 2);
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    QString out;
    if (exp >= 0) {
        if (digits.size() <= exp + 1) {
            out = digits + QString(exp + 1 - digits.size(), u'0');
        } else {
            out = digits.left(exp + 1) + u',' + digits.mid(exp + 1);
        }
    } else {
        out = QStringLiteral("0,") + QString(-exp - 1, u'0') + digits;
    }
    return v < 0 ? u'-' + out : out;
}

QString displayText(FieldType type, const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    switch (type) {
    case FieldType::Number:
        return formatNumber(v.toDouble());
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd-MM-yyyy"));
    case FieldType::Timestamp:
        return v.toDateTime().toString(QStringLiteral("dd-MM-yyyy HH:mm:ss"));
    case FieldType::Logical:
        return v.toBool() ? QStringLiteral("T") : QStringLiteral("N");
    case FieldType::Graphic:
        return QStringLiteral("[%1 B]").arg(v.toByteArray().size());
    default:
        return v.toString();
    }
}

} // namespace engine
