#include "engine/database.h"
#include "engine/query.h"
#include "support/tempfolder.h"
#include "ui/cancellable.h"
#include "uitest.h"
#include <QAbstractButton>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

using namespace engine;

namespace {

// A folder whose triple join never ends by itself.
QString longReadFolder(const TempFolder& dir) {
    const QString folder = dir.sub(QStringLiteral("Dane"));
    auto db = Database::open(folder, Database::Mode::Create);
    db->createTable(TableDef{QStringLiteral("Lista"),
                             {{QStringLiteral("Nr"), FieldType::AutoInc},
                              {QStringLiteral("Nazwa"), FieldType::Alpha, 20}},
                             {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true}}});
    db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                            "i<3000) INSERT INTO Lista(Nr, Nazwa) SELECT i, 'w' || i FROM n"));
    return folder;
}

// Presses "Anuluj" as soon as the progress dialog shows, as a user would.
class PressCancelOnShow : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show && !pressed) {
            pressed = true;
            label = dialog->labelText();
            for (auto* b : dialog->findChildren<QAbstractButton*>())
                if (b->text() == u"Anuluj")
                    QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
        }
        return false;
    }

public:
    bool pressed = false;
    QString label;
};

} // namespace

TEST_F(UiTest, ALongQueryShowsAProgressDialogWhoseAnulujStopsIt) {
    TempFolder dir;
    const QString folder = longReadFolder(dir);
    auto db = Database::open(folder);
    Query q;
    q.setDatabaseName(folder);
    q.setSql({QStringLiteral("SELECT a.Nr FROM Lista a, Lista b, Lista c WHERE Upper(a.Nazwa) > "
                             "Upper(b.Nazwa) AND Upper(b.Nazwa) > Upper(c.Nazwa) AND "
                             "Upper(c.Nazwa) > Upper(a.Nazwa)")});
    // A timer of the main window must not run in the middle of the statement; it runs after.
    int ticksDuring = 0, ticksAfter = 0;
    bool running = false;
    QTimer refresh;
    refresh.setInterval(10);
    QObject::connect(&refresh, &QTimer::timeout, [&] { running ? ++ticksDuring : ++ticksAfter; });
    refresh.start();

    PressCancelOnShow user;
    qApp->installEventFilter(&user);
    running = true;
    const bool done = ui::runCancellable(
        *db, nullptr, QStringLiteral("Trwa wykonywanie zapytania..."), [&] { q.open(); });
    running = false;
    qApp->removeEventFilter(&user);
    EXPECT_TRUE(user.pressed);
    EXPECT_EQ(user.label, u"Trwa wykonywanie zapytania...");
    EXPECT_FALSE(done);
    EXPECT_FALSE(q.isOpen()); // nothing half-read stays open
    EXPECT_EQ(ticksDuring, 0);
    QCoreApplication::processEvents();
    QTest::qWait(50);
    EXPECT_GT(ticksAfter, 0);

    // A short query never sees the dialog, and the connection takes no check with it.
    q.setSql({QStringLiteral("SELECT Nr FROM Lista WHERE Nr < 3")});
    user.pressed = false;
    EXPECT_TRUE(ui::runCancellable(*db, nullptr, QStringLiteral("x"), [&] { q.open(); }));
    EXPECT_FALSE(user.pressed);
    EXPECT_EQ(q.recordCount(), 2);
}
