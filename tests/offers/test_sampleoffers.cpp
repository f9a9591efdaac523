// The sample main folder's offers: rows with documents that open with their Polish text, bold
// headings and bullets, and the header and footer files naming the owner.
#include "engine/table.h"
#include "offers/offerfiles.h"
#include "store/mainfolder_schema.h"
#include "support/application.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

namespace {

TEST(SampleOffers, OpenWithTheirFormatting) {
    testsupport::application<QGuiApplication>();
    TempFolder tmp;
    const QString main = QDir(tmp.path()).filePath(QStringLiteral("pelk"));
    QProcess p;
    p.start(QStringLiteral(PELK_SAMPLE_PATH),
            {main, QStringLiteral("--items"), QStringLiteral("50")});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    engine::Table offersTable(QDir(main).filePath(store::kOffersFolder), QStringLiteral("Oferty"));
    offersTable.open();
    ASSERT_GE(offersTable.recordCount(), 3);
    for (offersTable.first(); !offersTable.eof(); offersTable.next()) {
        const int nr = offersTable.asInteger(QStringLiteral("Oferty_Nr"));
        QTextDocument doc;
        QString error;
        ASSERT_TRUE(offers::loadDocument(offers::offerFilePath(main, nr), doc, &error))
            << error.toStdString();
        const QTextBlock heading = doc.firstBlock();
        EXPECT_EQ(heading.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(heading.begin().fragment().charFormat().fontWeight(), QFont::Bold)
            << heading.text().toStdString();
        int bullets = 0;
        for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next())
            bullets += b.textList() != nullptr;
        EXPECT_EQ(bullets, 3);
        EXPECT_TRUE(doc.toPlainText().contains(u"Szanowni Państwo"));
    }
    for (const QString& file : {store::kHeaderFile, store::kFooterFile}) {
        QTextDocument doc;
        ASSERT_TRUE(offers::loadDocument(QDir(main).filePath(file), doc, nullptr));
        EXPECT_TRUE(doc.toPlainText().contains(u"„Łożysko”")) << file.toStdString();
    }
}

} // namespace
