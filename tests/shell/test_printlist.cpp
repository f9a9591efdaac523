// The item list's printout from the main window: the visible columns under their captions, the
// rows in the list's order, the question before a very long list, the PDF file.
#include "shell/fixture.h"
#include "shell/itemlistprintout.h"
#include "support/pdftext.h"
#include "ui/dbgrid.h"
#include "ui/filedialogs.h"

#include <QFile>
#include <QPrintPreviewWidget>

using namespace shelltest;

namespace {

// Many items at once, in one transaction of another connection.
void addManyItems(const QString& folder, int count) {
    sqlite3* db = nullptr;
    const QByteArray path = QDir(folder).filePath(engine::Database::fileName()).toUtf8();
    ASSERT_EQ(sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    engine::registerSqlFunctions(db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO Towar(Tow_Nazwa) VALUES(?1)", -1, &st, nullptr),
              SQLITE_OK);
    for (int i = 0; i < count; ++i) {
        const QByteArray name = QStringLiteral("Pozycja %1").arg(i, 5, 10, QChar(u'0')).toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

class PrintListTest : public ShellTest {
protected:
    PrintListTest() : dialogsGuard_(dialogs) {}

    ui::DbGrid* grid(shell::TForm_Pelk& w) {
        return w.findChild<ui::DbGrid*>(QStringLiteral("DBGrid_Towary"));
    }
    QString pdf() const { return QDir(tmp.path()).filePath(QStringLiteral("lista.pdf")); }

    ui::FakeFileDialogs dialogs;

private:
    ui::ScopedFileDialogs dialogsGuard_;
};

} // namespace

TEST_F(PrintListTest, PrintsTheVisibleColumnsAndTheRowsInTheListsOrder) {
    makeMainFolder({QStringLiteral("Żuraw"), QStringLiteral("Ćwiek"), QStringLiteral("Atlas")});
    testsupport::addRow(catalogue, "Towar",
                        {{QStringLiteral("Tow_Nazwa"), QStringLiteral("Łańcuch")},
                         {QStringLiteral("Tow_Symbol"), QStringLiteral("ŁAN-7")},
                         {QStringLiteral("Tow_Nazwa2"), QStringLiteral("ukryta nazwa")}});
    auto w = startWindow();
    ASSERT_TRUE(grid(*w)->setColumnVisible(QStringLiteral("Tow_Nazwa2"), false));

    const auto report =
        shell::itemListReport(*grid(*w), QStringLiteral("Główny"), QDate(2024, 5, 17));
    const documents::Page page = report.page(0);
    QStringList titles;
    for (const auto* e : page.findAll(QStringLiteral("Tytul")))
        titles << e->text;
    // The captions as the grid shows them (the catalogue's own names for its fields).
    QStringList shown;
    auto* model = grid(*w)->gridModel();
    for (int c = 0; c < model->columnCount(); ++c)
        if (!grid(*w)->isColumnHidden(c) && grid(*w)->columnWidth(c) > 0)
            shown << model->headerData(c, Qt::Horizontal).toString().trimmed();
    EXPECT_EQ(titles, shown);
    EXPECT_TRUE(titles.contains(QStringLiteral("Pole 1")));
    EXPECT_FALSE(titles.contains(QStringLiteral("Pole 2"))) << "the hidden column was printed";
    QStringList names;
    const auto cells = page.findAll(QStringLiteral("Pole"));
    for (int i = 0; i < cells.size(); i += int(titles.size()))
        names << cells[i]->text;
    EXPECT_EQ(names, (QStringList{QStringLiteral("Atlas"), QStringLiteral("Ćwiek"),
                                  QStringLiteral("Łańcuch"), QStringLiteral("Żuraw")}));

    dialogs.answers << pdf();
    testsupport::trigger(*w, "ZapiszPDF1");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'|').toStdString();
    const QString text = testsupport::pdfText(pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Lista obiektów"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("17-05-2024")));
    EXPECT_TRUE(text.contains(QStringLiteral("ŁAN-7")));
    EXPECT_TRUE(text.contains(QStringLiteral("Żuraw")));
    EXPECT_FALSE(text.contains(QStringLiteral("ukryta nazwa")));
    EXPECT_TRUE(text.contains(QStringLiteral("Str. 1")));
}

TEST_F(PrintListTest, PrintAndPreviewNeedAPrinterAndTheSaveBesideThemDoesNot) {
    makeMainFolder({QStringLiteral("Atlas")});
    auto w = startWindow();
    // Wide enough for the whole toolbar: a narrower one keeps the preview behind its extension.
    w->setWindowState(Qt::WindowNoState);
    w->resize(1280, 800);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    testsupport::trigger(*w, "Drukuj2");
    testsupport::click(*w, "SpeedButton2");
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("Brak zainstalowasnej drukarki"),
                                             QStringLiteral("Brak zainstalowasnej drukarki")}));
    EXPECT_TRUE(runner.opened().isEmpty());

    printers.printerNames = {QStringLiteral("Biuro")};
    int pages = 0;
    runner.on(QStringLiteral("PrintPreview"), [&](QDialog& d) {
        auto* preview = d.findChild<QPrintPreviewWidget*>();
        preview->updatePreview();
        pages = preview->pageCount();
    });
    testsupport::click(*w, "SpeedButton2");
    EXPECT_EQ(pages, 1);
}

TEST_F(PrintListTest, AVeryLongListAsksFirstNamingThePageCount) {
    makeMainFolder();
    addManyItems(catalogue, 6000);
    auto w = startWindow();
    const int expected = shell::itemListReport(*grid(*w), {}, {}).pageCount();
    ASSERT_GT(expected, shell::kAskAboveListPages);

    messages.answerNo();
    dialogs.answers << pdf();
    testsupport::trigger(*w, "ZapiszPDF1");
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(messages.last().text.contains(QString::number(expected)))
        << messages.last().text.toStdString();
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_TRUE(dialogs.captionsAsked.isEmpty());

    messages.clear();
    messages.answerYes();
    testsupport::trigger(*w, "ZapiszPDF1");
    EXPECT_EQ(testsupport::pdfPages(pdf()), expected);
}
