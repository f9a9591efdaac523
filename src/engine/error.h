#pragma once
#include <QString>
#include <exception>

namespace engine {

// The one exception type of the engine. The message is Polish and meant for the user: it names
// the table (where there is one) and the cause.
class EngineError : public std::exception {
public:
    enum class Kind {
        MissingTable, // no such table in the folder
        MissingField, // no such field or index in the table
        NoDatabase,   // the folder holds no database, or cannot be opened
        Locked,       // record or table locked by another user
        Changed,      // record changed by another user since it was read
        Deleted,      // record deleted by another user since it was read
        KeyViolation, // a second row with the same primary key
        BadFilter,    // filter expression rejected
        BadSql,       // local SQL text rejected
        BadValue,     // a value that does not fit its field
        State,        // operation not possible in the table's state (not open, not editing...)
        Io,           // the database itself failed (disk, permissions, corruption)
    };

    EngineError(Kind kind, QString message, QString table = {});

    Kind kind() const { return kind_; }
    const QString& message() const { return message_; }
    const QString& table() const { return table_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    Kind kind_;
    QString message_;
    QString table_;
    QByteArray utf8_;
};

} // namespace engine
