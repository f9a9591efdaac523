#pragma once
#include <QString>
#include <QStringList>

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

} // namespace pelkdb
