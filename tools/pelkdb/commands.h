#pragma once
#include <QString>
#include <QStringList>
#include <memory>

namespace engine {
class Database;
class DataSet;
} // namespace engine

namespace pelkdb {

class CsvWriter;

struct Context {
    QString folder;
    QStringList args; // the words after the command
    CsvWriter& out;
};

// Each returns the exit status; engine errors leave as engine::EngineError, command line
// errors as UsageError.
int tablesCommand(const Context& c);
int createCommand(const Context& c);
int schemaCommand(const Context& c);
int loadCommand(const Context& c);
int dumpCommand(const Context& c);
int nearestCommand(const Context& c);
int sqlCommand(const Context& c);
int dropCommand(const Context& c);
int emptyCommand(const Context& c);
int setCommand(const Context& c);
int createCatalogueCommand(const Context& c);
int checkCommand(const Context& c);
int journalCommand(const Context& c);
int importParadoxCommand(const Context& c);
int copyCommand(const Context& c);

// The database of a folder that must already hold `table`; fails with the engine's "no such
// table" message, without creating a database file, when it does not.
std::shared_ptr<engine::Database> openExisting(const QString& folder, const QString& table);
// The current row as written out, one text per field.
QStringList rowTexts(const engine::DataSet& data);

} // namespace pelkdb
