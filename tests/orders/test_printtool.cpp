#include "orders/printfixture.h"
#include "support/application.h"
#include "support/pdftext.h"
#include "support/printing.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString err;
};

class PrintToolTest : public ::testing::Test {
protected:
    PrintToolTest() { testsupport::application(); }

    ToolRun run(QStringList args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tool picks its platform itself
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PELK_PDF_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QStringList order(const QString& number, const QString& kind, const QString& out) {
        return {f.main, QStringLiteral("order"), number, QStringLiteral("--kind"),
                kind,   QStringLiteral("--out"), out};
    }
    QString out(const char* name = "z.pdf") const {
        return QDir(f.tmp.path()).filePath(QString::fromLatin1(name));
    }

    printtest::PrintFolder f;
};

} // namespace

TEST_F(PrintToolTest, WritesTheOrderOfTheKindAndNumberInTheLanguageAsked) {
    f.order(1, 31, 2);
    f.order(2, 31, 3); // the same number, the other kind
    ToolRun r = run(order(QStringLiteral("31"), QStringLiteral("2"), out())
                    << QStringLiteral("--lang") << QStringLiteral("ANG"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QString text = testsupport::pdfText(out());
    EXPECT_TRUE(text.contains(QStringLiteral("Purchaser :"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Addressee :")));
    EXPECT_TRUE(text.contains(QStringLiteral("31/2024")));
    EXPECT_TRUE(text.contains(QStringLiteral("Ążęcik łożyska 3")));

    // Without --lang the settings' language.
    r = run(order(QStringLiteral("31"), QStringLiteral("1"), out("pl.pdf")));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    text = testsupport::pdfText(out("pl.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Zamawiający :")));
    EXPECT_FALSE(text.contains(QStringLiteral("Ążęcik łożyska 3")));
}

TEST_F(PrintToolTest, FailuresLeaveNoFileAndSayWhyOnOneLine) {
    f.order(1, 32, 0);
    f.order(1, 33, 1);
    const std::pair<QStringList, QString> failures[] = {
        {order(QStringLiteral("99"), QStringLiteral("1"), out()), QStringLiteral("missing order")},
        {order(QStringLiteral("33"), QStringLiteral("2"), out()), QStringLiteral("other kind")},
        {order(QStringLiteral("32"), QStringLiteral("1"), out()), QStringLiteral("no lines")},
        {order(QStringLiteral("33"), QStringLiteral("1"), out("brak/z.pdf")),
         QStringLiteral("unwritable")},
    };
    for (const auto& [args, what] : failures) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.exitCode, 1) << what.toStdString();
        EXPECT_EQ(r.err.trimmed().count(u'\n'), 0) << r.err.toStdString();
        EXPECT_FALSE(r.err.trimmed().isEmpty()) << what.toStdString();
    }
    // Nor a temporary file beside it.
    EXPECT_EQ(QDir(f.tmp.path()).entryList({QStringLiteral("z.pdf*")}, QDir::Files), QStringList{});
}

TEST_F(PrintToolTest, BadArgumentsShowTheUsage) {
    f.order(1, 34, 1);
    const QStringList bad[] = {
        {},
        {f.main},
        {f.main, QStringLiteral("invoice"), QStringLiteral("34")},
        {f.main, QStringLiteral("order"), QStringLiteral("34"), QStringLiteral("--out"), out()},
        order(QStringLiteral("34"), QStringLiteral("3"), out()),
        order(QStringLiteral("x"), QStringLiteral("1"), out()),
        order(QStringLiteral("34"), QStringLiteral("1"), out())
            << QStringLiteral("--lang") << QStringLiteral("DE"),
        order(QStringLiteral("34"), QStringLiteral("1"), out()) << QStringLiteral("--lang"),
    };
    for (const QStringList& args : bad) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("pelk-pdf MAINDIR order NUMBER")));
    }
    EXPECT_FALSE(QFile::exists(out()));
    EXPECT_EQ(run({QStringLiteral("--help")}).exitCode, 0); // asked for, the usage is no failure
}
