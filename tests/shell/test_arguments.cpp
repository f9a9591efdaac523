// The command line and the choice of the main folder: what an installed program does before any
// window opens. The program itself is run without a display, as from a terminal or a script.
#include "pelk_version.h"
#include "shell/E_About.h"
#include "shell/startup.h"
#include "support/application.h"
#include "support/widgets.h"
#include "ui/errorbox.h"
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Finished {
    int code = -1;
    QString out;
    QString err;
};

// The program as started from a terminal without any display.
Finished pelk(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PELK_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000)) << "pelk " << args.join(u' ').toStdString();
    Finished r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

shell::StartArguments parse(const QStringList& args) {
    return shell::parseArguments(QStringList{QStringLiteral("pelk")} + args,
                                 QStringLiteral("/opt/pelk"));
}

} // namespace

TEST(ProgramWithoutDisplay, VersionAndHelpPrintAndUnknownOptionsEndWithTheUsage) {
    const Finished version = pelk({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, QStringLiteral("pelk " PELK_VERSION "\n"));
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();

    const Finished help = pelk({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(
        QStringLiteral("Użycie: pelk [--main-folder FOLDER] [--help] [--version]\n")))
        << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("~/.local/share/PELK")));

    // Qt's own options still reach Qt; the answer comes before Qt needs the display.
    EXPECT_EQ(
        pelk({QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("--version")})
            .code,
        0);

    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("--main-folder")},
          QStringList{QStringLiteral("--main-folder="), QStringLiteral("--version")},
          QStringList{QStringLiteral("--version"), QStringLiteral("nadmiar")}}) {
        const Finished r = pelk(wrong);
        EXPECT_EQ(r.code, 2) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Użycie: pelk"))) << r.err.toStdString();
    }
    EXPECT_TRUE(pelk({QStringLiteral("--bogus")})
                    .err.startsWith(QStringLiteral("Nieznany parametr: --bogus\n")));
}

TEST(StartArguments, RequestsAndQtOptions) {
    EXPECT_EQ(parse({QStringLiteral("--help")}).request, shell::StartArguments::Request::Help);
    EXPECT_EQ(parse({QStringLiteral("-h")}).request, shell::StartArguments::Request::Help);
    EXPECT_EQ(parse({QStringLiteral("--version")}).request,
              shell::StartArguments::Request::Version);
    EXPECT_EQ(parse({}).request, shell::StartArguments::Request::Run);
    EXPECT_FALSE(parse({}).mainFolderGiven);

    // A Qt option's value is not taken for the program's own argument.
    const auto a = parse({QStringLiteral("-style"), QStringLiteral("fusion"),
                          QStringLiteral("--main-folder=/dane"), QStringLiteral("-reverse")});
    ASSERT_TRUE(a.ok()) << a.error.toStdString();
    EXPECT_TRUE(a.mainFolderGiven);
    EXPECT_EQ(a.mainFolder, QStringLiteral("/dane"));
    EXPECT_EQ(a.request, shell::StartArguments::Request::Run);
    EXPECT_FALSE(parse({QStringLiteral("-stylex")}).ok());
}

TEST(DefaultMainFolder, InstalledProgramKeepsItsDataInTheUsersFolder) {
    const QString data = QStringLiteral("/home/jan/.local/share/PELK");
    // Installed by the package: the program's folder is not the user's to write.
    EXPECT_EQ(shell::defaultMainFolder(QStringLiteral("/usr/bin"), false, data), data);
    EXPECT_EQ(shell::defaultMainFolder(QStringLiteral("/usr/local/bin"), false, data), data);
    // ...unless a main folder was put there on purpose.
    EXPECT_EQ(shell::defaultMainFolder(QStringLiteral("/usr/bin"), true, data),
              QStringLiteral("/usr/bin"));
    // A portable copy keeps everything beside itself, main folder or not yet.
    for (const QString& own : {QStringLiteral("/opt/pelk"), QStringLiteral("/home/jan/pelk"),
                               QStringLiteral("/usrdata/pelk"), QStringLiteral("/mnt/usb/usr")}) {
        EXPECT_EQ(shell::defaultMainFolder(own, false, data), own) << own.toStdString();
        EXPECT_EQ(shell::defaultMainFolder(own, true, data), own) << own.toStdString();
    }
}

TEST(ProgramIdentity, EveryWindowCarriesTheIconAndTheAboutBoxTheVersion) {
    testsupport::application<ui::Application>();
    shell::applyWindowIcon();
    for (int size : {16, 32, 48, 256}) {
        const QPixmap pixmap = QApplication::windowIcon().pixmap(size, size);
        EXPECT_FALSE(pixmap.isNull()) << size;
        EXPECT_EQ(pixmap.width(), size);
    }
    QDialog dialog;
    EXPECT_FALSE(dialog.windowIcon().isNull());

    shell::TEkr_About about;
    EXPECT_EQ(testsupport::child<QLabel>(about, "Version")->text(),
              QStringLiteral("wersja " PELK_VERSION));
}
