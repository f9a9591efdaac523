#include "engine/containsindex.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/filterexpr.h"
#include "engine/serverschema.h"
#include "engine/sqlfunctions.h"
#include "engine/sqlname.h"
#include "engine/table.h"
#include <QHash>
#include <QRegularExpression>

namespace engine {

namespace {

// A word as one phrase of the full-text query: with trigrams, any text that holds it.
QString phrase(const QString& word) {
    QString q = word;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

int letters(const QString& word) {
    return int(word.toUcs4().size());
}

} // namespace

void ContainsIndex::Matches::mark(qint64 rowid) {
    if (rowid < 0) return;
    if (rowid >= qint64(bits.size())) bits.resize(size_t(rowid) + size_t(rowid) / 4 + 1024);
    if (!bits[size_t(rowid)]) {
        bits[size_t(rowid)] = true;
        ++count;
    }
}

ContainsIndex::ContainsIndex(std::shared_ptr<Database> db, const QString& table,
                             const QStringList& fields)
    : db_(std::move(db)), table_(table), fields_(fields) {
    // Under the engine's own prefix, so that its tables never show among the folder's tables.
    fts_ = QStringLiteral("_pelk_zawiera_") + table.toLower();
    letters_ = fts_ + QStringLiteral("_litery");
    triggers_[0] = fts_ + QStringLiteral("_ai");
    triggers_[1] = fts_ + QStringLiteral("_ad");
    triggers_[2] = fts_ + QStringLiteral("_au");
}

// The fields one after another, each closed by a line break: a word never reaches from one field
// into the next, and every letter of a field has a character after it, so that a two-letter
// word is always the beginning of some trigram.
QString ContainsIndex::foldedText(const char* row) const {
    const QString lineBreak =
        db_->onServer() ? QStringLiteral("chr(10)") : QStringLiteral("char(10)");
    QStringList parts;
    for (const QString& f : fields_)
        parts << QStringLiteral("coalesce(pl_fold(%1.%2), '')").arg(QLatin1String(row), quoted(f));
    return parts.join(QStringLiteral(" || ") + lineBreak + QStringLiteral(" || ")) +
           QStringLiteral(" || ") + lineBreak;
}

bool ContainsIndex::ready() {
    if (db_->onServer()) return readyOnServer();
    Statement st = db_->prepare(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN (?1, ?2, ?3, ?4, ?5)"));
    st.bindAll({fts_, letters_, triggers_[0], triggers_[1], triggers_[2]});
    return st.step() && st.columnInt(0) == 5;
}

void ContainsIndex::drop() {
    if (db_->onServer()) return dropOnServer();
    db_->transaction([&] {
        for (const QString& t : triggers_)
            db_->exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoted(t)));
        db_->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted(fts_)));
        db_->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted(letters_)));
        db_->markWritten();
    });
}

void ContainsIndex::build() {
    if (db_->onServer()) return buildOnServer();
    const QString table = quoted(table_);
    const QString fts = quoted(fts_);
    const QString letters = quoted(letters_);
    QStringList watched;
    for (const QString& f : fields_)
        watched << quoted(f);
    db_->transaction([&] {
        for (const QString& t : triggers_)
            db_->exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(quoted(t)));
        db_->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(fts));
        db_->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(letters));
        // The texts are stored with the index: the short words are checked on them.
        db_->exec(QStringLiteral(
                      "CREATE VIRTUAL TABLE %1 USING fts5(t, tokenize='trigram', columnsize=0)")
                      .arg(fts));
        db_->exec(QStringLiteral("INSERT INTO %1(rowid, t) SELECT rowid, %2 FROM %3")
                      .arg(fts, foldedText(qPrintable(table)), table));
        // Single letters have no lists among the trigrams: a mask per row answers for them.
        db_->exec(QStringLiteral("CREATE TABLE %1(id INTEGER PRIMARY KEY, m INTEGER NOT NULL)")
                      .arg(letters));
        db_->exec(QStringLiteral("INSERT INTO %1(id, m) SELECT id, pl_letters(c0) FROM %2")
                      .arg(letters, quoted(fts_ + QStringLiteral("_content"))));
        db_->exec(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN "
                                 "INSERT OR REPLACE INTO %3(rowid, t) VALUES(new.rowid, %4); "
                                 "INSERT OR REPLACE INTO %5(id, m) VALUES(new.rowid, "
                                 "pl_letters(%4)); END")
                      .arg(quoted(triggers_[0]), table, fts, foldedText("new"), letters));
        db_->exec(QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN "
                                 "DELETE FROM %3 WHERE rowid = old.rowid; "
                                 "DELETE FROM %4 WHERE id = old.rowid; END")
                      .arg(quoted(triggers_[1]), table, fts, letters));
        db_->exec(QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 BEGIN "
                                 "DELETE FROM %4 WHERE rowid = old.rowid; "
                                 "DELETE FROM %6 WHERE id = old.rowid; "
                                 "INSERT OR REPLACE INTO %4(rowid, t) VALUES(new.rowid, %5); "
                                 "INSERT OR REPLACE INTO %6(id, m) VALUES(new.rowid, "
                                 "pl_letters(%5)); END")
                      .arg(quoted(triggers_[2]), watched.join(u','), table, fts, foldedText("new"),
                           letters));
        db_->markWritten();
    });
    vocab_ = false;
}

QStringList ContainsIndex::words(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList all = foldPolish(text).split(blanks, Qt::SkipEmptyParts);
    all.removeDuplicates();
    QStringList out;
    for (const QString& w : std::as_const(all)) {
        bool inOther = false;
        for (const QString& o : std::as_const(all))
            if (o != w && o.contains(w)) inOther = true;
        if (!inOther) out << w;
    }
    return out;
}

// A two-letter word is in a text exactly when some trigram of the text begins with it (the line
// break after each field sees to that): the index's own list of terms names them.
QString ContainsIndex::twoLetterTerms(const QString& word) {
    const QString vocab = quoted(fts_ + QStringLiteral("_terms"));
    if (!vocab_) {
        db_->exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS temp.%1 USING "
                                 "fts5vocab(main, %2, 'row')")
                      .arg(vocab, quoted(fts_)));
        vocab_ = true;
    }
    Statement st = db_->prepare(
        QStringLiteral("SELECT term FROM %1 WHERE term >= ?1 AND term < ?2").arg(vocab));
    st.bindAll({word, prefixUpperBound(word)});
    QStringList terms;
    while (st.step()) {
        const QString term = st.column(0).toString();
        if (term.startsWith(word)) terms << phrase(term);
    }
    return terms.join(QStringLiteral(" OR "));
}

ContainsIndex::Matches ContainsIndex::matching(const QStringList& words) {
    if (db_->onServer()) return matchingOnServer(words);
    QStringList match;
    QStringList single;
    for (const QString& w : words) {
        const int n = letters(w);
        if (n >= 3) {
            match << phrase(w);
        } else if (n == 2) {
            const QString terms = twoLetterTerms(w);
            if (terms.isEmpty()) return {}; // no text holds it
            match << u'(' + terms + u')';
        } else if (n == 1) {
            single << w;
        }
    }
    Matches m;
    const QString content = quoted(fts_ + QStringLiteral("_content"));
    Database::ReadScope reading(*db_);
    std::vector<qint64> candidates;
    if (!match.isEmpty()) {
        Statement st =
            db_->prepare(QStringLiteral("SELECT rowid FROM %1 WHERE %1 MATCH ?").arg(quoted(fts_)));
        st.bind(1, match.join(QStringLiteral(" AND ")));
        while (st.step())
            candidates.push_back(st.columnInt(0));
        if (single.isEmpty() || candidates.empty()) {
            for (qint64 id : candidates)
                m.mark(id);
            return m;
        }
    }
    // Single letters have no lists in the index: the rows' masks answer for those that have a
    // bit, at memory speed.
    quint64 want = 0;
    bool allHaveBits = true;
    for (const QString& s : std::as_const(single)) {
        const int bit = searchLetterBit(s.at(0).unicode());
        if (bit < 0)
            allHaveBits = false;
        else
            want |= quint64(1) << bit;
    }
    if (allHaveBits) {
        const std::vector<quint64>& masks = letterMasks();
        auto holds = [&](qint64 id) {
            return id >= 0 && id < qint64(masks.size()) && (masks[size_t(id)] & want) == want;
        };
        if (match.isEmpty()) {
            for (qint64 id = 0; id < qint64(masks.size()); ++id)
                if (holds(id)) m.mark(id);
        } else {
            for (qint64 id : candidates)
                if (holds(id)) m.mark(id);
        }
        return m;
    }
    // Other characters: few candidates are read one by one; otherwise one pass over all stored
    // texts costs less than reading many of them by id.
    constexpr size_t kReadOneByOne = 20000;
    if (!match.isEmpty() && candidates.size() <= kReadOneByOne) {
        const QString sql = QStringLiteral("SELECT c0 FROM %1 WHERE id = ?").arg(content);
        for (qint64 id : candidates) {
            Statement st = db_->prepare(sql);
            st.bind(1, id);
            if (!st.step()) continue;
            const QString text = st.column(0).toString();
            bool all = true;
            for (const QString& s : std::as_const(single))
                all = all && text.contains(s);
            if (all) m.mark(id);
        }
        return m;
    }
    QStringList conds;
    for (qsizetype i = 0; i < single.size(); ++i)
        conds << QStringLiteral("instr(c0, ?) > 0");
    Statement st = db_->prepare(QStringLiteral("SELECT id FROM %1 WHERE %2")
                                    .arg(content, conds.join(QStringLiteral(" AND "))));
    st.bindAll(QVariantList(single.begin(), single.end()));
    Matches scanned;
    while (st.step())
        scanned.mark(st.columnInt(0));
    if (match.isEmpty()) return scanned;
    for (qint64 id : candidates)
        if (scanned.has(id)) m.mark(id);
    return m;
}

const std::vector<quint64>& ContainsIndex::letterMasks() {
    struct Kept {
        quint64 stamp = 0;
        std::vector<quint64> masks;
    };
    static QHash<QString, Kept> kept;
    const QString key = db_->ownerId() + QChar(0x1f) + letters_;
    const quint64 stamp = db_->changeStamp();
    if (auto it = kept.find(key); it != kept.end() && it->stamp == stamp) return it->masks;
    if (kept.size() >= 2) kept.clear();
    Kept k;
    k.stamp = stamp;
    Statement st = db_->prepare(QStringLiteral("SELECT id, m FROM %1").arg(quoted(letters_)));
    while (st.step()) {
        const qint64 id = st.columnInt(0);
        if (id < 0) continue;
        if (id >= qint64(k.masks.size())) k.masks.resize(size_t(id) + size_t(id) / 4 + 1024);
        k.masks[size_t(id)] = quint64(st.columnInt(1));
    }
    return kept.insert(key, std::move(k))->masks;
}

const std::vector<qint64>& ContainsIndex::rowsInOrder(Table& table, const QString& indexFields) {
    const TableDef& def = table.definition();
    QStringList names = indexFields.split(u';', Qt::SkipEmptyParts);
    if (names.isEmpty()) {
        if (const IndexDef* ix = def.primaryIndex()) names = ix->fields;
    }
    Database& db = *table.database();
    const bool server = db.onServer();
    QStringList order;
    for (const QString& n : std::as_const(names)) {
        const FieldDef* f = def.field(n);
        if (!f)
            throw EngineError(EngineError::Kind::MissingField,
                              QStringLiteral("Pole %1 nie istnieje w tabeli %2.").arg(n, def.name),
                              def.name);
        // As the table's cursors order: a server by the texts' sort keys, empty values first.
        if (server)
            order << quoted(isTextColumn(f->type) ? sortKeyColumn(f->name) : f->name) +
                         QStringLiteral(" NULLS FIRST");
        else
            order << quoted(f->name) +
                         (isTextType(f->type) ? QStringLiteral(" COLLATE PL") : QString());
    }
    order << QStringLiteral("rowid");
    QString sql = QStringLiteral("SELECT rowid FROM ") + quoted(def.name);
    QVariantList params;
    if (table.filtered() && !table.filter().trimmed().isEmpty()) {
        FilterResolver resolve = [&def](const QString& name) -> std::optional<FilterColumn> {
            const FieldDef* f = def.field(name);
            if (!f) return std::nullopt;
            return FilterColumn{quoted(f->name), *f};
        };
        const SqlFragment filter = translateFilter(table.filter(), def.name, resolve, db.dialect());
        sql += QStringLiteral(" WHERE (") + filter.sql + u')';
        params = filter.params;
    }
    sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));

    QString key = db.ownerId() + QChar(0x1f) + sql;
    for (const QVariant& p : std::as_const(params))
        key += QChar(0x1f) + p.toString();
    struct Kept {
        quint64 stamp = 0;
        std::vector<qint64> rows;
    };
    // Two orders are kept: going back and forth between two sort choices reads nothing.
    static QHash<QString, Kept> kept;
    const quint64 stamp = db.changeStamp();
    if (auto it = kept.find(key); it != kept.end() && it->stamp == stamp) return it->rows;
    if (kept.size() >= 2) kept.clear();
    Kept k;
    k.stamp = stamp;
    {
        Database::ReadScope reading(db);
        Statement st = db.prepare(sql);
        st.bindAll(params);
        while (st.step())
            k.rows.push_back(st.columnInt(0));
    }
    return kept.insert(key, std::move(k))->rows;
}

const std::vector<qint64>& ContainsIndex::rowIdsOf(Table& table, const QString& field,
                                                   const std::vector<qint64>& values) {
    static std::vector<qint64> out;
    out.clear();
    const TableDef& def = table.definition();
    const FieldDef* f = def.field(field);
    if (!f)
        throw EngineError(EngineError::Kind::MissingField,
                          QStringLiteral("Pole %1 nie istnieje w tabeli %2.").arg(field, def.name),
                          def.name);
    Database& db = *table.database();
    const IndexDef* primary = def.primaryIndex();
    if (!db.onServer() && f->type == FieldType::AutoInc && primary && primary->fields.size() == 1 &&
        def.field(primary->fields.first()) == f) {
        out = values;
        return out;
    }
    struct Kept {
        quint64 stamp = 0;
        QHash<qint64, qint64> ids; // by the field's value
    };
    static QHash<QString, Kept> kept;
    const QString key = db.ownerId() + QChar(0x1f) + def.name + QChar(0x1f) + f->name;
    const quint64 stamp = db.changeStamp();
    auto it = kept.find(key);
    if (it == kept.end() || it->stamp != stamp) {
        if (kept.size() >= 2) kept.clear();
        Kept k;
        k.stamp = stamp;
        Database::ReadScope reading(db);
        Statement st = db.prepare(QStringLiteral("SELECT %1, rowid FROM %2 WHERE %1 IS NOT NULL")
                                      .arg(quoted(f->name), quoted(def.name)));
        while (st.step())
            k.ids.insert(st.columnInt(0), st.columnInt(1));
        it = kept.insert(key, std::move(k));
    }
    out.reserve(values.size());
    for (qint64 v : values)
        if (auto id = it->ids.constFind(v); id != it->ids.constEnd()) out.push_back(*id);
    return out;
}

std::vector<qint64> ContainsIndex::narrowed(const std::vector<qint64>& order,
                                            const Matches& matches) {
    std::vector<qint64> out;
    out.reserve(size_t(matches.count));
    for (qint64 id : order)
        if (matches.has(id)) out.push_back(id);
    return out;
}

} // namespace engine
