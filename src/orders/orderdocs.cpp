#include "orders/orderdocs.h"

#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/mainstate.h"
#include <algorithm>

namespace orders {

namespace {

using K = engine::EngineError::Kind;

std::function<void()>& writeFault() {
    static std::function<void()> fault;
    return fault;
}

bool clientKind(int kind) {
    return kind != kToSupplier;
}

QString S(const char* latin) {
    return QLatin1String(latin);
}

// The header fields the editor writes, in the order of OrderHeader.
void setHeaderValues(engine::Table& t, const OrderHeader& h) {
    t.setValue(S("Dok_Numer"), h.number);
    t.setValue(S("Dok_Data_Wyst"), h.issueDate.isValid() ? QVariant(h.issueDate) : QVariant());
    t.setValue(S("Dok_Data_Realiz"),
               h.completionDate.isValid() ? QVariant(h.completionDate) : QVariant());
    t.setValue(S("Dok_Firma_Nr"), h.addresseeNr);
    t.setValue(S("Dok_Firma_Skrot"), h.addresseeName);
    t.setValue(S("Dok_Firma_Kontakt"), h.addresseeContact);
    t.setValue(S("Dok_Odbiorca_Nr"), h.recipientNr);
    t.setValue(S("Dok_Odbiorca_Skrot"), h.recipientName);
    t.setValue(S("Dok_Odbiorca_Kontakt"), h.recipientContact);
    t.setValue(S("Dok_Forma_Platnosci"), h.paymentForm);
    t.setValue(S("Dok_Transport"), h.transport);
    for (int i = 0; i < 3; ++i) {
        t.setValue(QStringLiteral("Dok_Naglowek%1").arg(i + 1), h.headings[size_t(i)]);
        t.setValue(QStringLiteral("Dok_Stopka%1").arg(i + 1), h.footers[size_t(i)]);
    }
}

void appendLines(engine::Table& t, qint64 dokNr, const std::vector<OrderLine>& lines) {
    for (const OrderLine& l : lines) {
        t.append();
        t.setValue(S("Dane_Dok_Nr"), dokNr);
        t.setValue(S("Dane_Tow_Nr"), l.itemNr ? QVariant(l.itemNr) : QVariant());
        t.setValue(S("Dane_Tow_Nazwa"), l.name);
        t.setValue(S("Dane_Tow_Symbol"), l.symbol);
        t.setValue(S("Dane_Tow_Kod_Prod"), l.producerCode);
        t.setValue(S("Dane_Uwagi"), l.remark);
        t.setValue(S("Dane_Ilosc"), l.quantity);
        t.setValue(S("Dane_jm"), l.unit);
        t.post();
    }
}

void deleteLines(engine::Database& db, qint64 dokNr) {
    // Lines are never record-locked on their own: the order's header lock guards them.
    db.prepare(QStringLiteral("DELETE FROM \"Dok_Dane\" WHERE \"Dane_Dok_Nr\" = ?1"))
        .bind(1, dokNr)
        .run();
    db.markWritten();
}

void requireRow(engine::Table& heads, const QString& what) {
    if (!heads.isOpen() || heads.isEmpty())
        throw engine::EngineError(K::State, QStringLiteral("Nie wskazano zamówienia %1.").arg(what),
                                  heads.tableName());
}

// After a refused or failed transaction the cursor may hold what never reached the disk: read
// again what is there, and take the editor's lock back when it had one.
void recover(engine::Table& heads, bool wasEditing) {
    try {
        if (heads.state() == engine::Table::State::Edit) heads.cancel();
        heads.refresh();
        if (wasEditing) heads.edit();
    } catch (const engine::EngineError&) {
    }
}

} // namespace

QString kindWord(int kind) {
    return clientKind(kind) ? QStringLiteral("Od klienta") : QStringLiteral("Do dostawcy");
}

QString editorCaption(int kind) {
    return clientKind(kind) ? QStringLiteral("Zamówienie od klienta")
                            : QStringLiteral("Zamówienie do dostawcy");
}

QString addresseeCaption(int kind) {
    return clientKind(kind) ? QStringLiteral(" Klient : ") : QStringLiteral(" Dostawca : ");
}

QString listCaption(int kind) {
    return clientKind(kind) ? QStringLiteral("Zamówienia od klientów")
                            : QStringLiteral("Zamówienia do dostawców");
}

QString editingMarker() {
    return QStringLiteral("*ZAMÓWIENIE JEST EDYTOWANE*");
}

QString numberTakenMessage() {
    return QStringLiteral("Zamówienie o takim numerze już istnieje! Proszę podać wolny mumer.");
}

QString modeWord(WriteMode mode) {
    return mode == WriteMode::New ? QStringLiteral("Nowy") : QStringLiteral("Edycja");
}

Numbering readNumbering(const engine::DataSet& settingsRecord, int kind) {
    const QString prefix =
        clientKind(kind) ? QStringLiteral("Pelk_Zam_Od") : QStringLiteral("Pelk_Zam_Do");
    Numbering n;
    n.start = settingsRecord.asInteger(prefix + QStringLiteral("_Nr"));
    n.fillGaps = settingsRecord.asBoolean(prefix + QStringLiteral("_Autonumer"));
    for (int i = 1; i <= 6; ++i)
        n.pattern << settingsRecord.asString(prefix + QString::number(i));
    return n;
}

qint64 nextOrderNumber(engine::Database& db, int kind, const Numbering& n) {
    if (!n.fillGaps) {
        // MAX walks the Dok_Numer index from its end to the first order of the kind.
        engine::Statement st = db.prepare(
            QStringLiteral("SELECT MAX(\"Dok_Numer\") FROM \"Dok_Head\" WHERE \"Dok_Typ\" = ?1"));
        st.bind(1, kind);
        return st.step() && !st.columnIsNull(0) ? st.columnInt(0) + 1 : 1;
    }
    if (numberIsFree(db, kind, n.start)) return n.start;
    engine::Database::ReadScope scope(db);
    // Halving by counts over the Dok_Numer index: while the numbers the kind's orders have in
    // [lo, mid] are as many as the numbers there, the first free number lies above mid. Together
    // the counts cover the range about once, where a key search per number would cost one search
    // each.
    auto ask = [&](const QString& sql, const QVariantList& values) {
        engine::Statement st = db.prepare(sql);
        st.bindAll(values);
        return st.step() && !st.columnIsNull(0) ? st.columnInt(0) : qint64(0);
    };
    const qint64 top =
        ask(QStringLiteral("SELECT MAX(\"Dok_Numer\") FROM \"Dok_Head\" WHERE \"Dok_Typ\" = ?1"),
            {kind});
    // Every number in [start, lo) is taken; [lo, hi] holds a free one (above top all are).
    qint64 lo = n.start, hi = std::max(top + 1, n.start);
    while (lo < hi) {
        const qint64 mid = lo + (hi - lo) / 2;
        const qint64 taken = ask(
            QStringLiteral(
                "SELECT COUNT(DISTINCT \"Dok_Numer\") FROM \"Dok_Head\" WHERE \"Dok_Typ\" = ?1 AND "
                "\"Dok_Numer\" BETWEEN ?2 AND ?3"),
            {kind, lo, mid});
        if (taken >= mid - lo + 1)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool numberIsFree(engine::Database& db, int kind, qint64 number, qint64 exceptDokNr) {
    engine::Statement st = db.prepare(
        QStringLiteral("SELECT 1 FROM \"Dok_Head\" WHERE \"Dok_Numer\" = ?1 AND \"Dok_Typ\" = ?2 "
                       "AND \"Dok_Nr\" <> ?3 LIMIT 1"));
    st.bind(1, number).bind(2, kind).bind(3, exceptDokNr);
    return !st.step();
}

QString documentNumber(const QStringList& pattern, qint64 number, const QDate& savingDate) {
    QString out;
    for (const QString& part : pattern) {
        if (part == u"ROK" || part == u"rok")
            out += QString::number(savingDate.year());
        else if (part == QStringLiteral("MIESIĄC") || part == QStringLiteral("miesiąc"))
            out += QString::number(savingDate.month());
        else if (part == u"NUMER" || part == u"numer")
            out += QString::number(number);
        else
            out += part;
    }
    return out;
}

OrderHeader readHeader(const engine::DataSet& t) {
    OrderHeader h;
    h.number = t.value(S("Dok_Numer")).toLongLong();
    h.issueDate = t.asDate(S("Dok_Data_Wyst"));
    h.completionDate = t.asDate(S("Dok_Data_Realiz"));
    h.addresseeNr = t.value(S("Dok_Firma_Nr")).toLongLong();
    h.addresseeName = t.asString(S("Dok_Firma_Skrot"));
    h.addresseeContact = t.asString(S("Dok_Firma_Kontakt"));
    h.recipientNr = t.value(S("Dok_Odbiorca_Nr")).toLongLong();
    h.recipientName = t.asString(S("Dok_Odbiorca_Skrot"));
    h.recipientContact = t.asString(S("Dok_Odbiorca_Kontakt"));
    h.paymentForm = t.asString(S("Dok_Forma_Platnosci"));
    h.transport = t.asString(S("Dok_Transport"));
    for (int i = 0; i < 3; ++i) {
        h.headings[size_t(i)] = t.asString(QStringLiteral("Dok_Naglowek%1").arg(i + 1));
        h.footers[size_t(i)] = t.asString(QStringLiteral("Dok_Stopka%1").arg(i + 1));
    }
    return h;
}

std::vector<OrderLine> readLines(engine::Database& db, qint64 dokNr) {
    engine::Database::ReadScope scope(db);
    // Line numbers grow as lines are written, so Dane_Nr is the written order.
    engine::Statement st = db.prepare(QStringLiteral(
        "SELECT \"Dane_Tow_Nr\", \"Dane_Tow_Nazwa\", \"Dane_Tow_Symbol\", \"Dane_Tow_Kod_Prod\", "
        "\"Dane_Uwagi\", \"Dane_Ilosc\", \"Dane_jm\" FROM \"Dok_Dane\" WHERE \"Dane_Dok_Nr\" = ?1 "
        "ORDER BY \"Dane_Nr\""));
    st.bind(1, dokNr);
    std::vector<OrderLine> lines;
    while (st.step()) {
        OrderLine l;
        l.itemNr = st.columnInt(0);
        l.name = st.column(1).toString();
        l.symbol = st.column(2).toString();
        l.producerCode = st.column(3).toString();
        l.remark = st.column(4).toString();
        l.quantity = st.column(5).toDouble();
        l.unit = st.column(6).toString();
        lines.push_back(std::move(l));
    }
    return lines;
}

CreatedOrder createOrder(store::MainState& st, int kind, CompletedAtCreation completed,
                         const QDate& today) {
    // Another installation may have changed the numbering settings since they were read.
    if (st.TPelk.isOpen()) st.TPelk.refreshIfChanged();
    const CreatedOrder made = createOrder(st.DefaultCatalogueFolder, readNumbering(st.TPelk, kind),
                                          kind, completed, today);
    if (st.TDokumenty.isOpen() && st.TDokumenty.state() == engine::Table::State::Browse) {
        st.TDokumenty.refreshIfChanged();
        st.TDokumenty.gotoRowId(made.dokNr);
    }
    return made;
}

CreatedOrder createOrder(const QString& defaultFolder, const Numbering& numbering, int kind,
                         CompletedAtCreation completed, const QDate& today) {
    engine::Table heads(defaultFolder, S("Dok_Head"));
    heads.open();
    auto db = heads.database();
    CreatedOrder made;
    db->transaction([&] {
        made.number = nextOrderNumber(*db, kind, numbering);
        heads.append();
        heads.setValue(S("Dok_Numer"), made.number);
        heads.setValue(S("Dok_Typ"), kind);
        heads.setValue(S("Dok_Firma_Skrot"), editingMarker());
        if (completed != CompletedAtCreation::Unset)
            heads.setValue(S("Dok_Zaplacono"), completed == CompletedAtCreation::Yes);
        heads.setValue(S("Dok_Data_Wyst"), today);
        heads.post();
        made.dokNr = heads.value(S("Dok_Nr")).toLongLong();
    });
    return made;
}

WriteResult writeOrder(engine::Table& heads, const OrderHeader& header,
                       const std::vector<OrderLine>& lines, WriteMode mode,
                       const QStringList& pattern, const QDate& savingDate) {
    requireRow(heads, QStringLiteral("do zapisania"));
    const bool wasEditing = heads.state() == engine::Table::State::Edit;
    auto db = heads.database();
    const qint64 dokNr = heads.value(S("Dok_Nr")).toLongLong();
    const int kind = heads.asInteger(S("Dok_Typ"));
    bool taken = false;
    try {
        db->transaction([&] {
            // Tested under the write lock: another installation may have saved this number
            // since the editor's field was left.
            if (!numberIsFree(*db, kind, header.number, dokNr)) {
                taken = true;
                return;
            }
            heads.edit();
            setHeaderValues(heads, header);
            heads.setValue(S("Dok_Operator"), QString());
            heads.setValue(S("Dok_Zaplacono"), false);
            heads.setValue(S("Dok_Numer_Dok"), documentNumber(pattern, header.number, savingDate));
            heads.post();
            if (writeFault()) writeFault()();
            if (mode == WriteMode::Edit) deleteLines(*db, dokNr);
            engine::Table out(heads.databaseName(), S("Dok_Dane"));
            out.open();
            appendLines(out, dokNr, lines);
        });
    } catch (...) {
        recover(heads, wasEditing);
        throw;
    }
    if (taken) return WriteResult::NumberTaken;
    if (wasEditing) heads.edit();
    return WriteResult::Written;
}

void deleteOrder(engine::Table& heads) {
    requireRow(heads, QStringLiteral("do usunięcia"));
    const bool wasEditing = heads.state() == engine::Table::State::Edit;
    auto db = heads.database();
    const qint64 dokNr = heads.value(S("Dok_Nr")).toLongLong();
    try {
        db->transaction([&] {
            // The lock first: an order open in another installation stops here, before any
            // line is gone.
            heads.edit();
            deleteLines(*db, dokNr);
            heads.remove();
        });
    } catch (...) {
        recover(heads, wasEditing);
        throw;
    }
}

bool toggleCompleted(engine::Table& heads) {
    requireRow(heads, QStringLiteral("do oznaczenia"));
    heads.edit();
    try {
        const bool now = !heads.asBoolean(S("Dok_Zaplacono"));
        heads.setValue(S("Dok_Zaplacono"), now);
        heads.post();
        return now;
    } catch (...) {
        recover(heads, false);
        throw;
    }
}

namespace testing {
void setWriteFault(std::function<void()> fault) {
    writeFault() = std::move(fault);
}
} // namespace testing

} // namespace orders
