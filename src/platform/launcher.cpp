#include "platform/launcher.h"
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

bool looksLikeAddress(const QString& text) {
    // A drive letter ("C:") is no scheme; a web address has one of two letters or more.
    static const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("ftp"),  QStringLiteral("mailto"),
                                     QStringLiteral("file"), QStringLiteral("news")};
    const int colon = text.indexOf(u':');
    if (colon < 2) return text.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
    return schemes.contains(text.left(colon).toLower());
}

LaunchResult result(LaunchResult::Status status, const QString& detail = {}) {
    return LaunchResult{status, detail};
}

} // namespace

ShellLauncher& ShellLauncher::system() {
    static SystemShellLauncher instance;
    return instance;
}

QStringList SystemShellLauncher::splitParameters(const QString& parameters) {
    return QProcess::splitCommand(parameters);
}

QString SystemShellLauncher::resolveProgram(const QString& program, const QString& workingFolder) {
    const QString name = program.trimmed();
    if (name.isEmpty()) return {};
    if (name.contains(u'/') || name.contains(u'\\')) {
        QFileInfo fi(QDir::fromNativeSeparators(name));
        if (fi.isRelative() && !workingFolder.isEmpty())
            fi.setFile(QDir(workingFolder).filePath(QDir::fromNativeSeparators(name)));
        return fi.exists() ? fi.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

LaunchResult SystemShellLauncher::startProgram(const QString& program, const QString& parameters,
                                               const QString& workingFolder) {
    const QString path = resolveProgram(program, workingFolder);
    if (path.isEmpty())
        return result(LaunchResult::Status::NotFound,
                      QStringLiteral("Nie znaleziono programu %1.").arg(program.trimmed()));
    const QFileInfo fi(path);
    if (fi.isDir() || !fi.isExecutable())
        return result(LaunchResult::Status::Failed,
                      QStringLiteral("Plik %1 nie jest programem, który można uruchomić.")
                          .arg(QDir::toNativeSeparators(path)));
    QProcess process;
    process.setProgram(path);
    process.setArguments(splitParameters(parameters));
    if (!workingFolder.isEmpty()) process.setWorkingDirectory(workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return result(LaunchResult::Status::Failed,
                      QStringLiteral("Nie można uruchomić programu %1: %2")
                          .arg(QDir::toNativeSeparators(path), process.errorString()));
    return result(LaunchResult::Status::Started);
}

LaunchResult SystemShellLauncher::openDocument(const QString& documentOrUrl) {
    const QString text = documentOrUrl.trimmed();
    if (text.isEmpty())
        return result(LaunchResult::Status::NotFound, QStringLiteral("Nie podano pliku."));
    QUrl url;
    if (looksLikeAddress(text)) {
        url = QUrl::fromUserInput(text);
    } else {
        const QFileInfo fi(QDir::fromNativeSeparators(text));
        if (!fi.exists())
            return result(
                LaunchResult::Status::NotFound,
                QStringLiteral("Nie znaleziono pliku %1.").arg(QDir::toNativeSeparators(text)));
        url = QUrl::fromLocalFile(fi.absoluteFilePath());
    }
    if (!QDesktopServices::openUrl(url))
        return result(LaunchResult::Status::Failed,
                      QStringLiteral("Nie można otworzyć %1.").arg(text));
    return result(LaunchResult::Status::Started);
}

LaunchResult FakeShellLauncher::startProgram(const QString& program, const QString& parameters,
                                             const QString& workingFolder) {
    requests.push_back({program, parameters, workingFolder});
    return result(answer,
                  answer == LaunchResult::Status::Started ? QString() : QStringLiteral("fake"));
}

LaunchResult FakeShellLauncher::openDocument(const QString& documentOrUrl) {
    requests.push_back({QString(), documentOrUrl, QString()});
    return result(answer,
                  answer == LaunchResult::Status::Started ? QString() : QStringLiteral("fake"));
}

} // namespace platform
