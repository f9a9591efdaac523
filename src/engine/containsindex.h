#pragma once
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <vector>

namespace engine {

class Database;
class Table;

// Finding the rows of a table whose text fields contain every typed word anywhere, inside words
// too, in any order, letter case and Polish marks ignored ("sruba m8" finds "Śruba imbusowa
// M8x20"). The fields' texts are kept folded (foldPolish) in a full-text table of trigrams in the
// same database, kept by triggers on the table: every insert, change and delete of a row, by any
// cursor or tool of the engine, updates it in the same transaction. A catalogue made before it,
// or a table made again (which loses the triggers), has it built on first use. In a folder the
// index is SQLite's full-text table; on a server, a GIN index of the server's pg_trgm over a
// table of the folded texts, giving the same rows.
class ContainsIndex {
public:
    ContainsIndex(std::shared_ptr<Database> db, const QString& table, const QStringList& fields);

    // The index and its triggers are there: searching needs no build.
    bool ready();
    // Makes the index anew from the table's rows, in one transaction. Long on a large table: it
    // runs under the database's cancel check, and a cancelled build leaves nothing behind.
    void build();
    // Removes the index and its triggers; writes to the table cost nothing extra afterwards.
    void drop();

    // The typed text as words to look for: folded, split at blanks, without repeats and without
    // words that another word contains.
    static QStringList words(const QString& text);

    // Which row ids hold every word; `has` answers for any row id.
    struct Matches {
        std::vector<bool> bits;
        int count = 0;
        bool has(qint64 rowid) const {
            return rowid >= 0 && rowid < qint64(bits.size()) && bits[size_t(rowid)];
        }
        void mark(qint64 rowid);
    };
    // The rows holding every word of `words` (as words() gives them; none: every row). Needs
    // ready().
    Matches matching(const QStringList& words);

    // The row ids of `table`'s rows that its filter lets through, in the order of the fields
    // `indexFields` ("A;B"; empty: the primary index) as a cursor in that order shows them: read
    // by one index scan and kept while nobody changes the database. Valid until the next call.
    static const std::vector<qint64>& rowsInOrder(Table& table, const QString& indexFields);
    // The row ids of `table`'s rows holding `values` in the whole-number field `field` (the
    // items of a query's rows by their numbers), order kept. On a server the row id is a column
    // of its own, so the values are looked up (read once per change of the database) and those
    // no row holds are left out; in a folder an autoincrement primary key is the row id itself
    // and the values pass as they are. Valid until the next call.
    static const std::vector<qint64>& rowIdsOf(Table& table, const QString& field,
                                               const std::vector<qint64>& values);
    // `order` narrowed to the rows in `matches`, order kept.
    static std::vector<qint64> narrowed(const std::vector<qint64>& order, const Matches& matches);

    QString indexName() const { return fts_; }

private:
    QString foldedText(const char* row) const; // the SQL of the folded text of `row` ("new")
    QString twoLetterTerms(const QString& word);

    // On a server (containsindexserver.cpp) the folded texts are rows of a table of the
    // catalogue's schema with a trigram index of pg_trgm, kept by a trigger on the table.
    bool readyOnServer();
    void buildOnServer();
    void dropOnServer();
    Matches matchingOnServer(const QStringList& words);

    std::shared_ptr<Database> db_;
    QString table_;
    QStringList fields_;
    const std::vector<quint64>& letterMasks(); // by row id, read once per change of the database

    QString fts_;         // the full-text table
    QString letters_;     // per row, which letters, digits and signs its texts hold
    QString triggers_[3]; // after insert, delete, update
    bool vocab_ = false;  // the term list of the index is reachable on this connection
};

} // namespace engine
