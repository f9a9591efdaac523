#pragma once
#include "platform/seam.h"
#include <QString>
#include <QStringList>
#include <vector>

namespace platform {

// What became of a request to start a program or open a document. Callers that report a failure
// tell "not found" apart from the rest, as the old shell's answer did.
struct LaunchResult {
    enum class Status { Started, NotFound, Failed };
    Status status = Status::Failed;
    QString detail; // why it failed, for messages; empty when started

    bool started() const { return status == Status::Started; }
    bool notFound() const { return status == Status::NotFound; }
};

// Starts programs and opens documents or web addresses without waiting for them.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;

    // `parameters` is one text, split into arguments as a shell splits a command line (double
    // quotes group words); it is handed over whole, however long. An empty working folder keeps
    // the program's own.
    virtual LaunchResult startProgram(const QString& program, const QString& parameters,
                                      const QString& workingFolder = {}) = 0;
    // A file path or a web address ("http://...", "mailto:..."), opened with the program the
    // desktop associates with it.
    virtual LaunchResult openDocument(const QString& documentOrUrl) = 0;

    static ShellLauncher& system();
};

using LauncherSeam = Seam<ShellLauncher>;
using ScopedLauncher = LauncherSeam::Override;
inline ShellLauncher& launcher() {
    return LauncherSeam::get();
}

// The real launcher: programs are looked up on the search path unless the name holds a folder.
class SystemShellLauncher : public ShellLauncher {
public:
    LaunchResult startProgram(const QString& program, const QString& parameters,
                              const QString& workingFolder = {}) override;
    LaunchResult openDocument(const QString& documentOrUrl) override;

    // The arguments a parameters text becomes.
    static QStringList splitParameters(const QString& parameters);
    // The file that would be started for `program`; empty when there is none.
    static QString resolveProgram(const QString& program, const QString& workingFolder = {});
};

// Records every request and answers with a preset result.
class FakeShellLauncher : public ShellLauncher {
public:
    struct Request {
        QString program;    // empty for openDocument
        QString parameters; // or the document
        QString workingFolder;
    };

    LaunchResult startProgram(const QString& program, const QString& parameters,
                              const QString& workingFolder = {}) override;
    LaunchResult openDocument(const QString& documentOrUrl) override;

    LaunchResult::Status answer = LaunchResult::Status::Started;
    std::vector<Request> requests;
};

} // namespace platform
