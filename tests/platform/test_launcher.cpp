// Starting programs for the backup at exit and documents for the viewer: the caller must be able
// to tell "not found" from other failures, and the parameters must arrive whole and split as a
// shell splits them.
#include "platform/clock.h"
#include "platform/launcher.h"
#include "support/printing.h"
#include "support/tempfolder.h"
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QString writeFile(const QString& path, const QByteArray& text, bool executable) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

QStringList waitForLines(const QString& path) {
    // The launcher does not wait for the program; the test does.
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QFile f(path + QStringLiteral(".done"));
        if (f.exists()) {
            QFile out(path);
            if (out.open(QIODevice::ReadOnly))
                return QString::fromUtf8(out.readAll()).split(u'\n', Qt::SkipEmptyParts);
        }
        QThread::msleep(20);
    }
    return {};
}

} // namespace

TEST(ShellLauncher, MissingProgramIsToldApartFromOtherFailures) {
    TempFolder tmp;
    SystemShellLauncher shell;

    EXPECT_TRUE(shell.startProgram(QStringLiteral("pelk-no-such-backup-program"), {}).notFound());
    EXPECT_TRUE(shell.startProgram(tmp.path() + QStringLiteral("/kopia.sh"), {}).notFound());
    EXPECT_TRUE(shell.startProgram(QString(), QStringLiteral("x")).notFound());

    // Present but not a program: a failure, and not "not found".
    const QString plain = writeFile(tmp.path() + QStringLiteral("/notatki.txt"), "tekst\n", false);
    const LaunchResult r = shell.startProgram(plain, {});
    EXPECT_EQ(r.status, LaunchResult::Status::Failed);
    EXPECT_FALSE(r.detail.isEmpty());
    EXPECT_EQ(shell.startProgram(tmp.path(), {}).status, LaunchResult::Status::Failed);

    EXPECT_TRUE(shell.openDocument(tmp.path() + QStringLiteral("/brak.doc")).notFound());
}

TEST(ShellLauncher, ParametersArriveWholeAndSplitLikeAShell) {
    TempFolder tmp;
    const QString script = writeFile(tmp.path() + QStringLiteral("/kopia.sh"),
                                     "#!/bin/sh\nout=\"$1\"; shift\n"
                                     "printf '%s\\n' \"$@\" > \"$out\"\n: > \"$out.done\"\n",
                                     true);
    const QString out = tmp.path() + QStringLiteral("/wynik z spacja.txt");
    const QString longArg =
        QStringLiteral("/archiwum/") + QString(120, u'k') + QStringLiteral(".zip");
    const QString parameters = u'"' + out + QStringLiteral("\" -r \"Dane katalogu\" ") + longArg;
    ASSERT_GT(parameters.size(), 79);

    SystemShellLauncher shell;
    // By a relative name in a working folder, as the settings may hold it.
    const LaunchResult r = shell.startProgram(QStringLiteral("./kopia.sh"), parameters, tmp.path());
    ASSERT_TRUE(r.started()) << r.detail.toStdString();
    EXPECT_EQ(waitForLines(out),
              (QStringList{QStringLiteral("-r"), QStringLiteral("Dane katalogu"), longArg}));
}

TEST(ShellLauncher, StandInsNestAndRecordRequests) {
    EXPECT_EQ(&launcher(), &ShellLauncher::system());
    FakeShellLauncher outer, inner;
    inner.answer = LaunchResult::Status::NotFound;
    {
        ScopedLauncher a(outer);
        {
            ScopedLauncher b(inner);
            EXPECT_TRUE(
                launcher().startProgram(QStringLiteral("kopia"), QStringLiteral("-a")).notFound());
        }
        EXPECT_TRUE(launcher().openDocument(QStringLiteral("http://www.example.pl")).started());
    }
    EXPECT_EQ(&launcher(), &ShellLauncher::system());
    ASSERT_EQ(inner.requests.size(), 1u);
    EXPECT_EQ(inner.requests[0].parameters, QStringLiteral("-a"));
    ASSERT_EQ(outer.requests.size(), 1u);
    EXPECT_TRUE(outer.requests[0].program.isEmpty());

    FakeClock day(QDate(2024, 3, 9));
    ScopedClock c(day);
    EXPECT_EQ(dateText(today()), QStringLiteral("09-03-2024"));
    EXPECT_EQ(parseDateText(QStringLiteral("09-03-2024")), QDate(2024, 3, 9));
    EXPECT_FALSE(parseDateText(QStringLiteral("31-02-2024")).isValid());
}
