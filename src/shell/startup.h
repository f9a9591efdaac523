#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class QApplication;

namespace shell {

// The command line: pelk [--main-folder DIR] [--help] [--version]. Without --main-folder the
// main folder is programFolder here and defaultMainFolder() decides at the start. Qt's own options
// (-platform, -style...) pass through to Qt.
struct StartArguments {
    enum class Request { Run, Help, Version };
    Request request = Request::Run;
    QString mainFolder;
    bool mainFolderGiven = false;
    QString error; // Polish, with the usage; empty when the line was understood
    bool ok() const { return error.isEmpty(); }
};
StartArguments parseArguments(const QStringList& arguments, const QString& programFolder);

// What --help prints.
QString helpText();

// Answers --help, --version and a wrong command line before any window system is touched, so
// they work without a display. The exit code when the program ends here, nothing when it runs.
std::optional<int> answerBeforeStart(int argc, char** argv);

// The main folder when the command line names none. A copy of the program kept in a folder of its
// own (not installed under /usr) keeps its data beside it, as does an installed one whose folder
// already holds a main folder; otherwise the data goes to the user's data folder, where the
// first-run wizard makes it.
QString defaultMainFolder(const QString& programFolder, bool programFolderIsMainFolder,
                          const QString& userDataFolder);

// The program's icon, set once on the application so that the main window and every dialog
// carry it.
void applyWindowIcon();

// Dates as dd-mm-yyyy and numbers with a decimal comma, in every screen.
void applyConventions();

// The whole run after the application object exists: splash, main window, event loop. Returns the
// process's exit code.
int runProgram(QApplication& app);

} // namespace shell
