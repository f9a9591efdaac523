#include "engine/database.h"
#include "orders/orderprinting.h"
#include "orders/printfixture.h"
#include "platform/printers.h"
#include "store/mainstate.h"
#include "support/application.h"
#include "support/pdftext.h"
#include "support/printing.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"

#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <gtest/gtest.h>

using orders::PrintTarget;

namespace {

const QString kNoPrinter = QStringLiteral("Brak zainstalowasnej drukarki");

class PrintCommandsTest : public ::testing::Test {
protected:
    PrintCommandsTest()
        : messagesGuard_(messages), runnerGuard_(runner), dialogsGuard_(dialogs),
          printersGuard_(printers) {
        testsupport::application<ui::Application>();
        ui::setScriptFailureHandler([](const QString& m) { ADD_FAILURE() << m.toStdString(); });
        st.MainFolder = f.main + QStringLiteral("/");
        st.DefaultCatalogueFolder = f.catalogue;
        st.CurrentUserNr = 1;
    }

    bool print(qint64 nr, PrintTarget target) {
        return orders::printOrder(nullptr, st, nr, target);
    }
    QString pdfPath(const char* name = "zamowienie.pdf") const {
        return QDir(f.tmp.path()).filePath(QString::fromLatin1(name));
    }

    printtest::PrintFolder f;
    store::MainState st;
    ui::FakeMessages messages;
    ui::ScriptedModalRunner runner;
    ui::FakeFileDialogs dialogs;
    platform::FakePrinterList printers;

private:
    ui::ScopedMessages messagesGuard_;
    ui::ScopedModalRunner runnerGuard_;
    ui::ScopedFileDialogs dialogsGuard_;
    platform::ScopedPrinters printersGuard_;
};

} // namespace

TEST_F(PrintCommandsTest, WithoutAPrinterPrintAndPreviewRefuseButThePdfIsWritten) {
    const qint64 nr = f.order(1, 21, 2);
    EXPECT_FALSE(print(nr, PrintTarget::Printer));
    EXPECT_FALSE(print(nr, PrintTarget::Preview));
    EXPECT_EQ(messages.texts(), (QStringList{kNoPrinter, kNoPrinter}));
    EXPECT_EQ(messages.shown().at(0).message.caption, QStringLiteral("Uwaga !"));
    EXPECT_TRUE(runner.opened().isEmpty());

    messages.clear();
    dialogs.answers << pdfPath("zam"); // the extension is added
    EXPECT_TRUE(print(nr, PrintTarget::Pdf));
    EXPECT_TRUE(messages.texts().isEmpty());
    const QString text = testsupport::pdfText(pdfPath("zam.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("21/2024"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Zamawiający :")));
}

TEST_F(PrintCommandsTest, PreviewShowsThePagesOfTheOrder) {
    printers.printerNames = {QStringLiteral("Biuro")};
    const qint64 nr = f.order(2, 22, 30); // two pages of the supplier layout
    int pages = -1;
    runner.on(QStringLiteral("PrintPreview"), [&](QDialog& d) {
        auto* preview = d.findChild<QPrintPreviewWidget*>();
        ASSERT_TRUE(preview);
        preview->updatePreview();
        pages = preview->pageCount();
    });
    EXPECT_TRUE(print(nr, PrintTarget::Preview));
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'|').toStdString();
}

TEST_F(PrintCommandsTest, AnOrderWithoutLinesPrintsAndWritesNothing) {
    printers.printerNames = {QStringLiteral("Biuro")};
    const qint64 nr = f.order(1, 23, 0);
    EXPECT_FALSE(print(nr, PrintTarget::Preview));
    EXPECT_TRUE(runner.opened().isEmpty());
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_FALSE(print(nr, PrintTarget::Pdf));
    EXPECT_TRUE(dialogs.captionsAsked.isEmpty()) << "a file was asked for with nothing to write";
    EXPECT_EQ(messages.count(), 1);
}

TEST_F(PrintCommandsTest, PdfCancelledOrUnwritableLeavesNoFile) {
    const qint64 nr = f.order(1, 24, 1);
    dialogs.answers << QString();
    EXPECT_FALSE(print(nr, PrintTarget::Pdf));
    EXPECT_TRUE(messages.texts().isEmpty());

    const QString missing = QDir(f.tmp.path()).filePath(QStringLiteral("brak/z.pdf"));
    dialogs.answers << missing;
    EXPECT_FALSE(print(nr, PrintTarget::Pdf));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().kind, ui::Message::Kind::Error);
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("z.pdf")));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(PrintCommandsTest, AnUnreadableCatalogueIsReportedAndNothingIsWritten) {
    const qint64 nr = f.order(1, 25, 1);
    engine::Database::open(f.catalogue)->dropTable(QStringLiteral("Dok_Dane"));
    dialogs.answers << pdfPath();
    EXPECT_FALSE(print(nr, PrintTarget::Pdf));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("Dok_Dane")))
        << messages.last().text.toStdString();
    EXPECT_FALSE(QFile::exists(pdfPath()));
    EXPECT_EQ(dialogs.answers.size(), 1) << "the file was asked for before the order was read";
}
