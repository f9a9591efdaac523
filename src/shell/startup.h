#pragma once
#include <QString>
#include <QStringList>

class QApplication;

namespace shell {

// The command line: pelk [--main-folder DIR]. The main folder is the program's own folder unless
// the command line names another (the program's folder is often read-only).
struct StartArguments {
    QString mainFolder;
    QString error; // Polish, with the usage; empty when the line was understood
    bool ok() const { return error.isEmpty(); }
};
StartArguments parseArguments(const QStringList& arguments, const QString& programFolder);

// Dates as dd-mm-yyyy and numbers with a decimal comma, in every screen.
void applyConventions();

// The whole run after the application object exists: splash, main window, event loop. Returns the
// process's exit code.
int runProgram(QApplication& app);

} // namespace shell
