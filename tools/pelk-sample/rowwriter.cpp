#include "rowwriter.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/serverschema.h"
#include "engine/sqldialect.h"
#include "engine/values.h"

namespace sample {

namespace {

QString quoted(const QString& ident) {
    return u'"' + ident + u'"';
}

} // namespace

BulkSession::BulkSession(engine::Database& db) : db_(db) {
    db_.begin();
    open_ = true;
}

BulkSession::~BulkSession() {
    if (open_) db_.rollback();
}

RowWriter& BulkSession::writer(const QString& table, const QStringList& fields) {
    writers_.push_back(std::make_unique<RowWriter>(*this, table, fields));
    return *writers_.back();
}

void BulkSession::commit() {
    for (const auto& w : writers_)
        w->noteCounter();
    db_.markWritten();
    db_.commit();
    db_.begin();
}

void BulkSession::finish() {
    for (const auto& w : writers_)
        w->noteCounter();
    db_.markWritten();
    db_.commit();
    open_ = false;
}

RowWriter::RowWriter(BulkSession& session, const QString& table, const QStringList& fields)
    : session_(session), def_(session.database().requireTable(table)) {
    QStringList cols, marks;
    for (const auto& f : def_.fields)
        if (f.type == engine::FieldType::AutoInc) {
            autoField_ = f.name;
            cols << quoted(f.name);
            marks << QStringLiteral("?");
        }
    for (const QString& name : fields) {
        const engine::FieldDef* f = def_.field(name);
        if (!f || f->type == engine::FieldType::AutoInc)
            throw engine::EngineError(
                engine::EngineError::Kind::MissingField,
                QStringLiteral("Tabela %1 nie ma pola %2 do zapisu.").arg(def_.name, name),
                def_.name);
        fields_.push_back(*f);
        cols << quoted(f->name);
        marks << QStringLiteral("?");
    }
    // On a server every text goes with its sort key.
    if (session.database().onServer())
        for (const auto& f : fields_)
            if (engine::isTextColumn(f.type)) {
                cols << quoted(engine::sortKeyColumn(f.name));
                marks << QStringLiteral("?");
            }
    sql_ = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
               .arg(quoted(def_.name), cols.join(QStringLiteral(", ")),
                    marks.join(QStringLiteral(", ")));
}

qint64 RowWriter::add(const QVariantList& values) {
    engine::Database& db = session_.database();
    if (next_ == 0 && !autoField_.isEmpty()) next_ = db.takeAutoInc(def_.name, autoField_);
    const qint64 nr = next_;
    engine::Statement st = db.prepare(sql_);
    int i = 1;
    if (!autoField_.isEmpty()) st.bind(i++, nr);
    std::vector<QVariant> stored;
    for (std::size_t k = 0; k < fields_.size(); ++k) {
        stored.push_back(k < std::size_t(values.size())
                             ? engine::toStorage(fields_[k], values[qsizetype(k)], def_.name)
                             : QVariant());
        st.bind(i++, stored.back());
    }
    if (db.onServer())
        for (std::size_t k = 0; k < fields_.size(); ++k)
            if (engine::isTextColumn(fields_[k].type)) st.bind(i++, engine::sortKeyOf(stored[k]));
    st.run();
    if (!autoField_.isEmpty()) ++next_;
    ++count_;
    return nr;
}

void RowWriter::noteCounter() {
    if (next_ > 1) session_.database().noteAutoInc(def_.name, autoField_, next_ - 1);
}

} // namespace sample
