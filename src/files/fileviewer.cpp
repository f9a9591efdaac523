#include "files/fileviewer.h"
#include "engine/table.h"
#include "platform/launcher.h"
#include "store/mainstate.h"
#include "ui/messages.h"
#include <QDir>
#include <QFileInfo>

namespace files {

namespace {

// Values written on the old desktop use backslashes between folders.
QString asPath(const QString& value) {
    return QDir::fromNativeSeparators(QString(value).replace(u'\\', u'/'));
}

QString fileNamePart(const QString& value) {
    const QString path = asPath(value);
    return path.mid(path.lastIndexOf(u'/') + 1);
}

bool isFile(const QString& path) {
    const QFileInfo fi(path);
    return !path.isEmpty() && fi.exists() && !fi.isDir();
}

// One argument, whatever it holds: the launcher splits its parameter text like a shell, where
// three double quotes stand for one inside a quoted word.
QString oneArgument(const QString& text) {
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"\"")) + u'"';
}

} // namespace

FileViewer::FileViewer(QString mainFolder, QString catalogueFolder)
    : mainFolder_(std::move(mainFolder)), catalogueFolder_(std::move(catalogueFolder)) {}

QString FileViewer::extensionOf(const QString& value) {
    return value.right(3);
}

bool FileViewer::isWebAddress(const QString& value) {
    const QString v = value.trimmed().toUpper();
    for (const char* start : {"WWW.", "HTTP://", "HTTPS://"})
        if (v.startsWith(QLatin1String(start))) return true;
    return false;
}

QString FileViewer::programFor(const QString& extension) const {
    if (mainFolder_.isEmpty()) return {};
    engine::Table skojarz(mainFolder_, QStringLiteral("Skojarz"));
    skojarz.open();
    const QString wanted = extension.toUpper();
    QString program;
    for (skojarz.first(); !skojarz.eof(); skojarz.next()) {
        if (skojarz.asString(QStringLiteral("Skojarzenia_Rozszerzenie")).toUpper() == wanted) {
            program = skojarz.asString(QStringLiteral("Skojarzenia_Aplikacja")).trimmed();
            break;
        }
    }
    skojarz.close();
    return program;
}

QString FileViewer::locate(const QString& value) const {
    const QString name = fileNamePart(value);
    QStringList places{asPath(value)};
    if (!name.isEmpty()) {
        if (!mainFolder_.isEmpty()) places << QDir(mainFolder_).filePath(name);
        if (!catalogueFolder_.isEmpty()) places << QDir(catalogueFolder_).filePath(name);
    }
    for (const QString& p : places)
        if (isFile(p)) return QFileInfo(p).absoluteFilePath();
    return {};
}

FileViewer::Outcome FileViewer::start(const QString& program, const QString& file) {
    // The program named in the table when it can be started here; the rows made at
    // installation name programs of another desktop, so the desktop's own choice follows.
    platform::ShellLauncher& shell = platform::launcher();
    if (!program.isEmpty() && shell.startProgram(program, oneArgument(file)).started())
        return Outcome::Opened;
    const platform::LaunchResult desktop = shell.openDocument(file);
    if (desktop.started()) return Outcome::Opened;
    failure_ = desktop.detail;
    return Outcome::Failed;
}

FileViewer::Outcome FileViewer::open(const QString& value, const QString& typeLetter) {
    failure_.clear();
    if (typeLetter != QLatin1String("S")) return Outcome::WrongType;
    const QString program = programFor(extensionOf(value));
    if (!program.isEmpty()) {
        const QString file = locate(value);
        return file.isEmpty() ? Outcome::NoApplication : start(program, file);
    }
    if (!isWebAddress(value)) return Outcome::NoApplication;
    const platform::LaunchResult browser = platform::launcher().openDocument(value.trimmed());
    if (browser.started()) return Outcome::Opened;
    failure_ = browser.detail;
    return Outcome::Failed;
}

QString viewerMessage(FileViewer::Outcome outcome, const QString& failure) {
    switch (outcome) {
    case FileViewer::Outcome::WrongType:
        return QStringLiteral(
            "Ta własność nie jest typu skojarzeniowego (tzn. plik, strona WWW )  !");
    case FileViewer::Outcome::NoApplication:
        return QStringLiteral("Nie mogę skojarzyć tej własności z żadną aplikacją !");
    case FileViewer::Outcome::Failed:
        return failure.isEmpty() ? QStringLiteral("Nie można otworzyć tej własności !") : failure;
    case FileViewer::Outcome::Opened:
        break;
    }
    return {};
}

void SB_ZobaczClick(store::MainState& state) {
    engine::Table& opis = state.TOpis;
    if (!opis.isOpen() || opis.isEmpty()) return;
    FileViewer viewer(state.MainFolder, state.CurrentCatalogueFolder);
    const FileViewer::Outcome outcome = viewer.open(opis.asString(QStringLiteral("Opis_Opis")),
                                                    opis.asString(QStringLiteral("Pomoc_Typ")));
    const QString message = viewerMessage(outcome, viewer.failure());
    if (!message.isEmpty()) ui::messages().information(message);
}

} // namespace files
