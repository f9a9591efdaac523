#include "shell/startup.h"
#include "pelk_version.h"
#include "shell/E_Glowny.h"
#include "shell/E_Wineta.h"
#include "store/mainfolder_schema.h"
#include "ui/messages.h"
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLocale>
#include <QStandardPaths>
#include <cstdio>

// The icons are compiled into this library; a static library must register its resources itself.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace shell {

namespace {

const QString kUsage = QStringLiteral("Użycie: pelk [--main-folder FOLDER] [--help] [--version]");
const QString kOption = QStringLiteral("--main-folder");

// Qt's own options, read by QApplication: those followed by a value, and the switches.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("style"),           QStringLiteral("stylesheet"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowtitle"),
    QStringLiteral("qwindowicon"),     QStringLiteral("display"),
    QStringLiteral("geometry"),        QStringLiteral("session")};
const QStringList kQtSwitches = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                 QStringLiteral("nograb"), QStringLiteral("dograb"),
                                 QStringLiteral("sync")};

// The option's name without its one or two dashes; empty for anything else.
QString qtOptionName(const QString& arg) {
    if (arg.startsWith(QStringLiteral("--"))) return arg.mid(2);
    if (arg.startsWith(u'-')) return arg.mid(1);
    return {};
}

// The user's own data folder for a program called PELK (~/.local/share/PELK), whatever the
// application's displayed name.
QString userDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/PELK");
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/pelk/icons/%1/pelk.png").arg(size), QSize(size, size));
    return icon;
}

void print(std::FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

QString helpText() {
    const QStringList lines = {
        kUsage,
        QString(),
        QStringLiteral("System Informacji PELK! - katalog wyrobów i części."),
        QString(),
        QStringLiteral(
            "  --main-folder FOLDER  folder główny z ustawieniami i katalogami; bez niego:"),
        QStringLiteral(
            "                        folder programu, gdy już jest folderem głównym albo"),
        QStringLiteral("                        program nie jest zainstalowany w /usr, a inaczej"),
        QStringLiteral("                        folder danych użytkownika (~/.local/share/PELK)"),
        QStringLiteral("  --help                ten opis"),
        QStringLiteral("  --version             wersja programu")};
    return lines.join(u'\n');
}

StartArguments parseArguments(const QStringList& arguments, const QString& programFolder) {
    StartArguments a;
    a.mainFolder = programFolder;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == kOption) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                a.error = QStringLiteral("Po %1 brak nazwy foldera.\n%2").arg(kOption, kUsage);
                return a;
            }
            a.mainFolder = arguments[++i];
            a.mainFolderGiven = true;
        } else if (arg.startsWith(kOption + u'=')) {
            a.mainFolder = arg.mid(kOption.size() + 1);
            if (a.mainFolder.isEmpty()) {
                a.error = QStringLiteral("Po %1 brak nazwy foldera.\n%2").arg(kOption, kUsage);
                return a;
            }
            a.mainFolderGiven = true;
        } else if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            a.request = StartArguments::Request::Help;
        } else if (arg == QStringLiteral("--version") || arg == QStringLiteral("-v")) {
            a.request = StartArguments::Request::Version;
        } else if (kQtOptionsWithValue.contains(qtOptionName(arg))) {
            ++i;
        } else if (!kQtSwitches.contains(qtOptionName(arg))) {
            a.error = QStringLiteral("Nieznany parametr: %1\n%2").arg(arg, kUsage);
            return a;
        }
    }
    return a;
}

std::optional<int> answerBeforeStart(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartArguments a = parseArguments(arguments, QString());
    if (!a.ok()) {
        print(stderr, a.error);
        return 2;
    }
    switch (a.request) {
    case StartArguments::Request::Help:
        print(stdout, helpText());
        return 0;
    case StartArguments::Request::Version:
        print(stdout, QStringLiteral("pelk " PELK_VERSION));
        return 0;
    case StartArguments::Request::Run:
        break;
    }
    return std::nullopt;
}

QString defaultMainFolder(const QString& programFolder, bool programFolderIsMainFolder,
                          const QString& userDataFolder) {
    const QString folder = QDir::cleanPath(programFolder);
    const bool installed =
        folder == QStringLiteral("/usr") || folder.startsWith(QStringLiteral("/usr/"));
    if (programFolderIsMainFolder || !installed) return programFolder;
    return userDataFolder;
}

void applyWindowIcon() {
    initIconResources();
    QApplication::setWindowIcon(programIcon());
    // Lets the desktop match the windows to the menu entry pelk.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("pelk"));
}

void applyConventions() {
    // Polish number forms (decimal comma) everywhere; dates are written dd-mm-yyyy by the
    // program's own date texts.
    QLocale polish(QLocale::Polish, QLocale::Poland);
    polish.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(polish);
}

int runProgram(QApplication& app) {
    // The application's name is its title; window titles stay exactly as the program sets them.
    QApplication::setApplicationName(QStringLiteral("System Informacji PELK!"));
    applyConventions();

    applyWindowIcon();

    const QString programFolder = QCoreApplication::applicationDirPath();
    StartArguments args = parseArguments(app.arguments(), programFolder);
    if (!args.ok()) {
        print(stderr, args.error);
        ui::messages().information(args.error);
        return 2;
    }
    if (!args.mainFolderGiven) {
        args.mainFolder =
            defaultMainFolder(programFolder, store::isMainFolder(programFolder), userDataFolder());
        // The wizard writes into it.
        QDir().mkpath(args.mainFolder);
    }

    auto* splash = new TEWineta;
    splash->centre();
    splash->show();
    splash->step();
    TForm_Pelk window;
    // The wizard and the login are not to be hidden behind it.
    window.controller().beforeStartDialog = [splash] { splash->hide(); };
    splash->step();
    const MainController::StartOutcome outcome = window.start(args.mainFolder);
    splash->step();
    delete splash;
    if (outcome != MainController::StartOutcome::Running)
        return outcome == MainController::StartOutcome::NoSettings ? 1 : 0;
    window.show();
    return app.exec();
}

} // namespace shell
