#include "engine/backend.h"
#include "engine/error.h"
#include "engine/pgfunctions.h"
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "engine/sqlname.h"
#include <QHash>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtEndian>
#include <cstring>
#include <deque>
#include <poll.h>
#include <vector>

namespace engine {

namespace {

using K = EngineError::Kind;

// Type OIDs of the server's built-in types (pg_type.dat); stable across versions.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26,
              kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

// The catalogue's own counters: data changes and schema changes, one row. A write transaction
// locks the row first, so that writers of one catalogue take turns as they do on a folder's file.
// The schema of the support functions, and their version: raised whenever pgfunctions.cpp
// changes what they answer, so that servers get the new ones.
const QString kFunctionsSchema = pgFunctionsSchema();
const QByteArray kFunctionsVersion = "SELECT 1";

const char* const kStateTable =
    "CREATE TABLE IF NOT EXISTS _pelk_state(id integer PRIMARY KEY, changes bigint NOT NULL,"
    " schema bigint NOT NULL);"
    "INSERT INTO _pelk_state VALUES (1, 0, 0) ON CONFLICT (id) DO NOTHING;"
    // Every table's statement trigger: a write by any program, the engine or not, moves the
    // change counter, once per transaction.
    "CREATE OR REPLACE FUNCTION _pelk_touch() RETURNS trigger LANGUAGE plpgsql"
    " SET search_path FROM CURRENT AS $$ BEGIN"
    " IF current_setting('pelk.touched', true) IS DISTINCT FROM txid_current()::text THEN"
    " UPDATE _pelk_state SET changes = changes + 1 WHERE id = 1;"
    " PERFORM set_config('pelk.touched', txid_current()::text, true);"
    " END IF; RETURN NULL; END $$";

// The engine writes SQLite's placeholders (?, ?N); the server's are $N. Quoted text, quoted
// names and comments are left alone. `count` gets the highest parameter number.
QByteArray serverPlaceholders(const QString& sql, int& count) {
    const QByteArray in = sql.toUtf8();
    QByteArray out;
    out.reserve(in.size() + 16);
    count = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c == '\'' || c == '"') {
            qsizetype j = i + 1;
            while (j < in.size()) {
                if (in[j] == c) {
                    if (j + 1 < in.size() && in[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.append(in.mid(i, j - i + 1));
            i = j;
        } else if (c == '-' && i + 1 < in.size() && in[i + 1] == '-') {
            const qsizetype end = in.indexOf('\n', i);
            const qsizetype stop = end < 0 ? in.size() : end;
            out.append(in.mid(i, stop - i));
            i = stop - 1;
        } else if (c == '?') {
            qsizetype j = i + 1;
            int n = 0;
            while (j < in.size() && in[j] >= '0' && in[j] <= '9')
                n = n * 10 + (in[j++] - '0');
            if (j == i + 1) n = count + 1;
            count = std::max(count, n);
            out.append('$').append(QByteArray::number(n));
            i = j - 1;
        } else {
            out.append(c);
        }
    }
    return out;
}

QString serverMessage(PGconn* conn, const PGresult* result) {
    const char* m = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return QString::fromUtf8(m ? m : PQerrorMessage(conn)).trimmed();
}

class PgBackend;

// COPY ... FROM STDIN in the binary format: every value goes as the server stores it, so texts
// with tabs, newlines or backslashes and pictures need no escaping, and numbers no parsing.
class PgCopy final : public BackendCopy {
public:
    PgCopy(PgBackend* backend, QByteArray sql, std::vector<Column> columns);
    ~PgCopy() override;
    void add(const QVariantList& row) override;
    void finish() override;

private:
    void flush();
    template <class T> void put(T v) {
        const T big = qToBigEndian(v);
        buffer_.append(reinterpret_cast<const char*>(&big), sizeof big);
    }
    void put16(quint16 v) { put(v); }
    void put32(quint32 v) { put(v); }
    void put64(quint64 v) { put(v); }
    void putBytes(const QByteArray& bytes) {
        put32(quint32(bytes.size()));
        buffer_.append(bytes);
    }

    PgBackend* backend_;
    QByteArray sql_;
    std::vector<Column> columns_;
    QByteArray buffer_;
    bool open_ = false;
};

// Rows come from the server one at a time as they arrive (single-row mode), so that a result of
// any size never sits whole in memory. Until the last has come the connection is the
// statement's: anything else run on it first takes the rest of the rows into the statement
// (PgBackend::conn), to be read from there.
class PgStatement final : public BackendStatement {
public:
    PgStatement(PgBackend* backend, QByteArray sql, int params)
        : backend_(backend), sql_(std::move(sql)), values_(size_t(params)),
          types_(size_t(params), 0), null_(size_t(params), true) {}
    ~PgStatement() override { reset(); }

    void bind(int index, const QVariant& v) override;
    bool step() override;
    void reset() override;
    void clearBindings() override {
        std::fill(null_.begin(), null_.end(), true);
        std::fill(types_.begin(), types_.end(), Oid(0));
    }
    int columnCount() const override { return result_ ? PQnfields(result_.get()) : 0; }
    QVariant column(int i) const override;
    qint64 columnInt(int i) const override;
    bool columnIsNull(int i) const override {
        return !result_ || row_ < 0 || PQgetisnull(result_.get(), row_, i);
    }

    // The rows not read yet, taken from the connection so that it may run something else.
    void holdRest();

private:
    enum class State { Idle, Streaming, Held, Done };
    void start();
    bool take(pq::Result r);

    PgBackend* backend_;
    QByteArray sql_;
    std::vector<QByteArray> values_;
    std::vector<Oid> types_;
    std::vector<bool> null_;
    // A server-side statement per set of parameter types: the server plans with the types the
    // values have, never guessing them from the text.
    QHash<QByteArray, QByteArray> names_;
    pq::Result result_; // the current row, alone; after the last one, the end's (no rows)
    int row_ = -1;
    State state_ = State::Idle;
    std::deque<pq::Result> held_;
};

class PgBackend final : public ServerBackend {
public:
    PgBackend(const QString& location, bool create);
    ~PgBackend() override = default;

    SqlDialect dialect() const override { return SqlDialect::Postgres; }
    QString location() const override { return location_; }

    std::unique_ptr<BackendStatement> prepare(const QString& sql) override {
        int count = 0;
        QByteArray text = serverPlaceholders(sql, count);
        return std::make_unique<PgStatement>(this, std::move(text), count);
    }

    void exec(const QString& sql) override { run(sql.toUtf8()); }

    std::unique_ptr<BackendCopy>
    copyIn(const QString& table,
           const QList<std::pair<QString, BackendCopy::Column>>& columns) override {
        QStringList names;
        std::vector<BackendCopy::Column> kinds;
        for (const auto& [name, kind] : columns) {
            names << quoted(name);
            kinds.push_back(kind);
        }
        const QByteArray sql = QStringLiteral("COPY %1 (%2) FROM STDIN (FORMAT binary)")
                                   .arg(quoted(table), names.join(QStringLiteral(", ")))
                                   .toUtf8();
        return std::make_unique<PgCopy>(this, sql, std::move(kinds));
    }

    void beginWrite() override {
        // The lock on the counters' row makes writers take turns; one waiting too long gets the
        // same answer as a busy folder.
        run("BEGIN; SET LOCAL lock_timeout = '10s'; "
            "SELECT 1 FROM _pelk_state WHERE id = 1 FOR UPDATE");
    }
    void commitWrite(bool wrote) override {
        if (PQtransactionStatus(conn()) == PQTRANS_INERROR) {
            rollbackWrite();
            throw EngineError(K::State,
                              QStringLiteral("Zapis do katalogu %1 przerwał błąd; zmiany nie "
                                             "zostały zapisane.")
                                  .arg(location_));
        }
        run(wrote ? "UPDATE _pelk_state SET changes = changes + 1 WHERE id = 1; COMMIT" : "COMMIT");
    }
    void rollbackWrite() override { pq::Result r(PQexec(conn(), "ROLLBACK")); }
    void noteSchemaChange() override {
        run("UPDATE _pelk_state SET schema = schema + 1 WHERE id = 1");
    }

    quint64 changeCounter() override {
        pq::Result r = query("SELECT changes, schema FROM _pelk_state WHERE id = 1", {});
        if (PQntuples(r.get()) != 1) return 0;
        schema_ = QByteArray(PQgetvalue(r.get(), 0, 1)).toLongLong();
        // Both only grow: their sum moves with either, so a new table is a change too.
        return QByteArray(PQgetvalue(r.get(), 0, 0)).toULongLong() + quint64(schema_);
    }
    qint64 schemaVersion() const override { return schema_; }

    QStringList tableNames() override {
        pq::Result r = query("SELECT c.relname FROM pg_class c JOIN pg_namespace n ON "
                             "n.oid = c.relnamespace WHERE n.nspname = $1 AND c.relkind IN "
                             "('r', 'p')",
                             {schema_name_});
        QStringList out;
        for (int i = 0; i < PQntuples(r.get()); ++i)
            out << QString::fromUtf8(PQgetvalue(r.get(), i, 0));
        return out;
    }

    QList<std::pair<QString, QString>> columnsOf(const QString& table) override {
        pq::Result r =
            query("SELECT column_name, data_type FROM information_schema.columns "
                  "WHERE table_schema = $1 AND table_name = $2 ORDER BY ordinal_position",
                  {schema_name_, table.toUtf8()});
        QList<std::pair<QString, QString>> out;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            const QString name = QString::fromUtf8(PQgetvalue(r.get(), i, 0));
            QString type = QString::fromUtf8(PQgetvalue(r.get(), i, 1));
            if (name == QLatin1String("rowid") || name.endsWith(QLatin1String("__k"))) continue;
            if (type == QLatin1String("bytea")) type = QStringLiteral("BLOB");
            if (type.startsWith(QLatin1String("double")) || type == QLatin1String("real") ||
                type == QLatin1String("numeric"))
                type = QStringLiteral("REAL");
            out.append({name, type});
        }
        return out;
    }

    qint64 sessionToken() const override { return token_; }

    void setCancelCheck(std::function<bool()> check) override { cancelCheck_ = std::move(check); }

    // The next result of the statement streaming its rows. With a cancel check it is waited
    // for in short slices, asking the check between them; a cancel asks the server to stop the
    // statement, which then answers with the cancelled statement's error.
    pq::Result nextResult() {
        PGconn* c = conn_.get();
        bool cancelled = false;
        waiting_ = true;
        const auto waited = qScopeGuard([this] { waiting_ = false; });
        while (cancelCheck_ && PQisBusy(c)) {
            pollfd wait{PQsocket(c), POLLIN, 0};
            ::poll(&wait, 1, 5);
            if (!PQconsumeInput(c)) break;
            bool stop = false;
            try {
                stop = !cancelled && cancelCheck_();
            } catch (...) {
                stop = true;
            }
            if (stop) {
                cancelled = true;
                interrupt();
            }
        }
        return pq::Result(PQgetResult(c));
    }

    // The statement whose rows are coming; ends (its last result read) or hands the connection
    // over by holding its rest.
    void stream(PgStatement* st) { streaming_ = st; }
    void endStream(PgStatement* st) {
        if (streaming_ != st) return;
        streaming_ = nullptr;
        while (PGresult* r = PQgetResult(conn_.get()))
            PQclear(r);
    }
    bool streaming(const PgStatement* st) const { return streaming_ == st; }
    PGconn* rawConn() const { return conn_.get(); }

    void interrupt() override {
        if (PGcancel* c = PQgetCancel(conn_.get())) {
            char err[256];
            PQcancel(c, err, sizeof err);
            PQfreeCancel(c);
        }
    }

    // The connection, free for a command: a statement still streaming its rows takes the rest
    // of them first.
    PGconn* conn() {
        // A statement asked for while another one's answer is awaited (from the cancel check,
        // which may let the program's events run) would take that answer for its own.
        if (waiting_)
            throw EngineError(K::State, QStringLiteral("Serwer katalogu %1 jeszcze odpowiada na "
                                                       "poprzednie zapytanie. Spróbuj ponownie.")
                                            .arg(location_));
        if (PgStatement* st = streaming_) {
            streaming_ = nullptr;
            st->holdRest();
        }
        return conn_.get();
    }
    QByteArray nextName() { return "pelk_" + QByteArray::number(++statements_); }

    // Throws the engine's error for a failed command or query.
    [[noreturn]] void fail(const PGresult* result, const QByteArray& sql) const {
        const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
        const QByteArray code = state ? QByteArray(state) : QByteArray();
        const QString detail = serverMessage(conn_.get(), result);
        if (PQstatus(conn_.get()) != CONNECTION_OK)
            throw EngineError(K::Io, QStringLiteral("Utracono połączenie z serwerem katalogu %1 "
                                                    "(%2).")
                                         .arg(location_, detail));
        if (code == "23505")
            throw EngineError(K::KeyViolation,
                              QStringLiteral("Naruszenie klucza: taki klucz już istnieje."));
        if (code == "55P03" || code == "40P01" || code == "40001" || code == "55006")
            throw EngineError(K::Locked, QStringLiteral("Katalog %1 jest zajęty przez innego "
                                                        "użytkownika. Spróbuj ponownie.")
                                             .arg(location_));
        if (code == "57014")
            throw EngineError(K::State, QStringLiteral("Zapytanie zostało przerwane."));
        if (code == "25P02")
            throw EngineError(K::State,
                              QStringLiteral("Zapis do katalogu %1 przerwał wcześniejszy błąd; "
                                             "zmiany nie zostaną zapisane.")
                                  .arg(location_));
        if (code.startsWith("42501"))
            throw EngineError(K::Io, QStringLiteral("Brak uprawnień do katalogu %1 na serwerze "
                                                    "(%2).")
                                         .arg(location_, detail));
        throw EngineError(K::Io, QStringLiteral("Błąd bazy danych w katalogu %1: %2 (%3).")
                                     .arg(location_, detail, QString::fromUtf8(sql)));
    }

private:
    void ensureSupportFunctions();
    // A command without rows (several may be separated by ";").
    void run(const QByteArray& sql) {
        pq::Result r(PQexec(conn(), sql.constData()));
        const auto status = PQresultStatus(r.get());
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return;
        // A failed "BEGIN; ..." leaves a transaction that only a rollback ends.
        if (sql.startsWith("BEGIN")) rollbackWrite();
        fail(r.get(), sql);
    }

    pq::Result query(const char* sql, const QList<QByteArray>& params) {
        std::vector<const char*> values;
        for (const auto& p : params)
            values.push_back(p.constData());
        pq::Result r(PQexecParams(conn(), sql, int(values.size()), nullptr, values.data(), nullptr,
                                  nullptr, 0));
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) fail(r.get(), sql);
        return r;
    }

    QString location_;
    QByteArray schema_name_;
    pq::Connection conn_;
    qint64 token_ = 0;
    qint64 schema_ = 0;
    int statements_ = 0;
    std::function<bool()> cancelCheck_;
    PgStatement* streaming_ = nullptr;
    bool waiting_ = false; // in nextResult, asking the cancel check
};

PgBackend::PgBackend(const QString& location, bool create) : location_(location) {
    const ServerLocation where = parseServerLocation(location);
    schema_name_ = where.schema.toUtf8();
    const QByteArray options =
        where.connectionString() + " client_encoding='UTF8' application_name='pelk'";
    conn_.reset(PQconnectdb(options.constData()));
    if (PQstatus(conn()) != CONNECTION_OK)
        throw EngineError(K::NoDatabase,
                          QStringLiteral("Nie można połączyć się z serwerem katalogu %1 (%2).")
                              .arg(location_, QString::fromUtf8(PQerrorMessage(conn())).trimmed()));
    // Notices (an index name cut short, a table that already exists) are no user's business.
    PQsetNoticeProcessor(
        conn(), [](void*, const char*) {}, nullptr);
    const QByteArray schema = quoted(where.schema).toUtf8();
    if (create) run("CREATE SCHEMA IF NOT EXISTS " + schema);
    ensureSupportFunctions();
    run("SET search_path TO " + schema + ", " + quoted(kFunctionsSchema).toUtf8());
    {
        pq::Result r = query("SELECT 1 FROM pg_class c JOIN pg_namespace n ON n.oid = "
                             "c.relnamespace WHERE n.nspname = $1 AND c.relname = '_pelk_state'",
                             {schema_name_});
        if (PQntuples(r.get()) == 0) {
            if (!create)
                throw EngineError(
                    K::NoDatabase,
                    QStringLiteral("Katalog %1 nie istnieje na serwerze.").arg(location_));
            run(kStateTable);
        }
    }
    // The token stands for this connection in the lock tables: the server holds it as an
    // advisory lock, so other installations see it end with the connection, however that ends.
    token_ = qint64(QRandomGenerator::system()->generate64() >> 2) + 1;
    query("SELECT pg_advisory_lock($1::bigint)", {QByteArray::number(token_)});
}

// The functions local SQL and filters call (pl_upper, pl_num, pl_key...) live in one schema of
// their own per database, made by the first installation that finds them missing or older than
// itself, so that a new catalogue costs no second and a half of making them again.
void PgBackend::ensureSupportFunctions() {
    const auto current = [&] {
        pq::Result r = query(
            "SELECT 1 FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
            "WHERE n.nspname = $1 AND p.proname = $2 AND p.prosrc = $3",
            {kFunctionsSchema.toUtf8(), pgFunctionsVersionFunction().toUtf8(), kFunctionsVersion});
        return PQntuples(r.get()) > 0;
    };
    if (current()) return;
    const QByteArray schema = quoted(kFunctionsSchema).toUtf8();
    run("BEGIN");
    try {
        // Two installations starting at once make them one after the other.
        run("SELECT pg_advisory_xact_lock(7369011)");
        if (!current()) {
            run("CREATE SCHEMA IF NOT EXISTS " + schema);
            run(pgSupportFunctionsSql(kFunctionsSchema).toUtf8());
            run("CREATE OR REPLACE FUNCTION " + schema + '.' +
                quoted(pgFunctionsVersionFunction()).toUtf8() +
                "() RETURNS integer LANGUAGE sql IMMUTABLE AS '" + kFunctionsVersion + "'");
        }
        run("COMMIT");
    } catch (...) {
        PQclear(PQexec(conn(), "ROLLBACK"));
        throw;
    }
}

// Chunks of this size go to the server as they fill: the load holds little in memory.
constexpr qsizetype kCopyChunk = 1 << 18;

PgCopy::PgCopy(PgBackend* backend, QByteArray sql, std::vector<Column> columns)
    : backend_(backend), sql_(std::move(sql)), columns_(std::move(columns)) {
    pq::Result r(PQexec(backend_->conn(), sql_.constData()));
    if (PQresultStatus(r.get()) != PGRES_COPY_IN) backend_->fail(r.get(), sql_);
    open_ = true;
    buffer_.reserve(kCopyChunk + (1 << 16));
    buffer_.append("PGCOPY\n\xff\r\n\0", 11);
    put32(0); // flags
    put32(0); // no header extension
}

PgCopy::~PgCopy() {
    if (!open_) return;
    // Abandoned (an error elsewhere): the server ends the COPY with an error, which leaves the
    // transaction to be rolled back.
    PGconn* conn = backend_->conn();
    PQputCopyEnd(conn, "przerwano");
    while (PGresult* r = PQgetResult(conn))
        PQclear(r);
}

void PgCopy::add(const QVariantList& row) {
    put16(quint16(columns_.size()));
    for (size_t i = 0; i < columns_.size(); ++i) {
        const QVariant& v = row[qsizetype(i)];
        if (!v.isValid() || v.isNull()) {
            put32(0xffffffffu);
            continue;
        }
        switch (columns_[i]) {
        case Column::Integer:
            put32(8);
            put64(quint64(v.toLongLong()));
            break;
        case Column::Real: {
            const double d = v.toDouble();
            quint64 bits = 0;
            std::memcpy(&bits, &d, sizeof bits);
            put32(8);
            put64(bits);
            break;
        }
        case Column::Text:
            putBytes(v.toString().toUtf8());
            break;
        case Column::Bytes:
            putBytes(v.toByteArray());
            break;
        }
    }
    if (buffer_.size() >= kCopyChunk) flush();
}

void PgCopy::flush() {
    if (buffer_.isEmpty()) return;
    PGconn* conn = backend_->conn();
    if (PQputCopyData(conn, buffer_.constData(), int(buffer_.size())) != 1) {
        // The server has refused the load already: its error comes with the end.
        open_ = false;
        PQputCopyEnd(conn, nullptr);
        pq::Result last;
        while (PGresult* r = PQgetResult(conn))
            last.reset(r);
        backend_->fail(last.get(), sql_);
    }
    buffer_.clear();
}

void PgCopy::finish() {
    put16(0xffff); // the end of the rows
    flush();
    open_ = false;
    PGconn* conn = backend_->conn();
    if (PQputCopyEnd(conn, nullptr) != 1) backend_->fail(nullptr, sql_);
    pq::Result error;
    while (PGresult* r = PQgetResult(conn)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && !error)
            error.reset(r);
        else
            PQclear(r);
    }
    if (error) backend_->fail(error.get(), sql_);
}

void PgStatement::bind(int index, const QVariant& v) {
    if (index < 1 || index > int(values_.size()))
        throw EngineError(K::Io, QStringLiteral("Błąd bazy danych: parametr %1 poza zakresem "
                                                "(%2).")
                                     .arg(index)
                                     .arg(QString::fromUtf8(sql_)));
    const size_t i = size_t(index - 1);
    null_[i] = !v.isValid() || v.isNull();
    if (null_[i]) {
        types_[i] = 0; // the server takes the type from where the value stands
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        types_[i] = kInt8;
        values_[i] = v.toBool() ? "1" : "0";
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        types_[i] = kInt8;
        values_[i] = QByteArray::number(v.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        types_[i] = kFloat8;
        values_[i] = QByteArray::number(v.toDouble(), 'g', 17);
        break;
    case QMetaType::QByteArray:
        types_[i] = kBytea;
        values_[i] = v.toByteArray();
        break;
    default:
        types_[i] = kText;
        values_[i] = v.toString().toUtf8();
        // The server keeps no NUL in a text, and libpq would end the value there unseen.
        if (values_[i].contains('\0'))
            throw EngineError(K::BadValue,
                              QStringLiteral("Tekst zawiera znak o kodzie 0, którego serwer nie "
                                             "przechowuje; usuń go i zapisz ponownie."));
    }
}

void PgStatement::start() {
    const int n = int(values_.size());
    QByteArray typeKey(reinterpret_cast<const char*>(types_.data()),
                       qsizetype(types_.size() * sizeof(Oid)));
    PGconn* conn = backend_->conn();
    auto named = names_.find(typeKey);
    if (named == names_.end()) {
        const QByteArray name = backend_->nextName();
        pq::Result prepared(PQprepare(conn, name.constData(), sql_.constData(), n, types_.data()));
        if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
            backend_->fail(prepared.get(), sql_);
        named = names_.insert(typeKey, name);
    }
    std::vector<const char*> values(size_t(n), nullptr);
    std::vector<int> lengths(size_t(n), 0), formats(size_t(n), 0);
    for (size_t i = 0; i < size_t(n); ++i) {
        if (null_[i]) continue;
        values[i] = values_[i].constData();
        lengths[i] = int(values_[i].size());
        formats[i] = types_[i] == kBytea ? 1 : 0; // bytes as they are, the rest as text
    }
    if (!PQsendQueryPrepared(conn, named->constData(), n, values.data(), lengths.data(),
                             formats.data(), 0))
        backend_->fail(nullptr, sql_);
    PQsetSingleRowMode(conn);
    state_ = State::Streaming;
    backend_->stream(this);
}

bool PgStatement::step() {
    if (state_ == State::Idle) start();
    if (state_ == State::Done) {
        row_ = -1;
        return false;
    }
    pq::Result r;
    if (!held_.empty()) {
        r = std::move(held_.front());
        held_.pop_front();
    } else if (state_ == State::Streaming) {
        r = backend_->nextResult();
    }
    return take(std::move(r));
}

// A row, or the end: the statement's final result (no rows) or its error.
bool PgStatement::take(pq::Result r) {
    const auto status = PQresultStatus(r.get());
    if (status == PGRES_SINGLE_TUPLE) {
        result_ = std::move(r);
        row_ = 0;
        return true;
    }
    backend_->endStream(this);
    state_ = State::Done;
    held_.clear();
    row_ = -1;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        result_.reset();
        backend_->fail(r.get(), sql_);
    }
    result_ = std::move(r);
    return false;
}

void PgStatement::holdRest() {
    state_ = State::Held;
    for (;;) {
        pq::Result r = backend_->nextResult();
        if (!r) break;
        const bool row = PQresultStatus(r.get()) == PGRES_SINGLE_TUPLE;
        held_.push_back(std::move(r));
        if (!row) break;
    }
    while (PGresult* r = PQgetResult(backend_->rawConn()))
        PQclear(r);
}

void PgStatement::reset() {
    // Rows nobody will read still have to come off the connection.
    if (state_ == State::Streaming && backend_->streaming(this)) {
        while (pq::Result r = backend_->nextResult())
            if (PQresultStatus(r.get()) != PGRES_SINGLE_TUPLE) break;
        backend_->endStream(this);
    }
    held_.clear();
    result_.reset();
    row_ = -1;
    state_ = State::Idle;
}

QVariant PgStatement::column(int i) const {
    if (columnIsNull(i)) return {};
    const char* text = PQgetvalue(result_.get(), row_, i);
    const int size = PQgetlength(result_.get(), row_, i);
    switch (PQftype(result_.get(), i)) {
    case kInt8:
    case kInt4:
    case kInt2:
    case kOid:
        return QVariant(QByteArray::fromRawData(text, size).toLongLong());
    case kBool:
        return QVariant(qint64(text[0] == 't' ? 1 : 0));
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return QVariant(QByteArray::fromRawData(text, size).toDouble());
    case kBytea: {
        // Text results give bytes as "\x" and hex digits.
        if (size >= 2 && text[0] == '\\' && text[1] == 'x')
            return QVariant(QByteArray::fromHex(QByteArray::fromRawData(text + 2, size - 2)));
        size_t n = 0;
        unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &n);
        QByteArray out(reinterpret_cast<const char*>(raw), qsizetype(n));
        PQfreemem(raw);
        return QVariant(out);
    }
    default:
        return QVariant(QString::fromUtf8(text, size));
    }
}

qint64 PgStatement::columnInt(int i) const {
    if (columnIsNull(i)) return 0;
    const QVariant v = column(i);
    return v.typeId() == QMetaType::Double ? qint64(v.toDouble()) : v.toLongLong();
}

} // namespace

std::unique_ptr<ServerBackend> openServerBackend(const QString& location, bool create) {
    return std::make_unique<PgBackend>(location, create);
}

bool serverCatalogueExists(const QString& location) {
    try {
        PgBackend probe(location, false);
        return true;
    } catch (const EngineError&) {
        return false;
    }
}

} // namespace engine
