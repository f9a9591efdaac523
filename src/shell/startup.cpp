#include "shell/startup.h"
#include "shell/E_Glowny.h"
#include "shell/E_Wineta.h"
#include "ui/messages.h"
#include <QApplication>
#include <QLocale>
#include <cstdio>

namespace shell {

namespace {

const QString kUsage = QStringLiteral("Użycie: pelk [--main-folder FOLDER]");
const QString kOption = QStringLiteral("--main-folder");

} // namespace

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
        } else if (arg.startsWith(kOption + u'=')) {
            a.mainFolder = arg.mid(kOption.size() + 1);
            if (a.mainFolder.isEmpty()) {
                a.error = QStringLiteral("Po %1 brak nazwy foldera.\n%2").arg(kOption, kUsage);
                return a;
            }
        } else {
            a.error = QStringLiteral("Nieznany parametr: %1\n%2").arg(arg, kUsage);
            return a;
        }
    }
    return a;
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

    const StartArguments args =
        parseArguments(app.arguments(), QCoreApplication::applicationDirPath());
    if (!args.ok()) {
        std::fprintf(stderr, "%s\n", args.error.toLocal8Bit().constData());
        ui::messages().information(args.error);
        return 2;
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
