// The server dialog of the folder picker against a real server: what the user sees listed is
// what the server holds, and the location handed back reaches the catalogue chosen.
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "shell/Serwer.h"
#include "support/application.h"
#include "support/pgcluster.h"
#include "support/widgets.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include <QListWidget>
#include <QPushButton>

using testsupport::child;
using testsupport::click;

TEST(ServerPicker, ListsTheServersCatalogueSchemasAndHandsBackTheOneChosen) {
    testsupport::application<ui::Application>();
    PgCluster cluster;
    if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
    ASSERT_TRUE(cluster.running());
    {
        const auto at = engine::parseServerLocation(cluster.location(QStringLiteral("x")));
        engine::pq::Connection conn(PQconnectdb(at.connectionString().constData()));
        ASSERT_EQ(PQstatus(conn.get()), CONNECTION_OK) << PQerrorMessage(conn.get());
        engine::pq::Result made(PQexec(conn.get(), "CREATE SCHEMA glowny; CREATE TABLE "
                                                   "glowny.towar (nr integer); CREATE SCHEMA "
                                                   "archiwum; CREATE TABLE archiwum.towar (nr "
                                                   "integer); CREATE SCHEMA pusty"));
        ASSERT_EQ(PQresultStatus(made.get()), PGRES_COMMAND_OK) << PQerrorMessage(conn.get());
    }
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);

    shell::TEkr_Serwer dialog;
    dialog.setAddress(cluster.location(QStringLiteral("glowny")));
    dialog.show();
    click(dialog, "BB_Szukaj");
    auto* list = child<QListWidget>(dialog, "ListBox_Katalogi");
    ASSERT_EQ(list->count(), 2) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("archiwum"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("glowny"));
    list->setCurrentRow(1);
    click(dialog, "BB_Wybierz");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.location(), cluster.location(QStringLiteral("glowny")));
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
}
