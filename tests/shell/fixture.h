#pragma once
// What the main window's tests share: one application object, a main folder with its default
// catalogue made as the first-run setup makes them, and the seams replaced by stand-ins that
// record what the program asked for.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/printers.h"
#include "shell/E_Glowny.h"
#include "store/catalogue_schema.h"
#include "store/mainfolder_schema.h"
#include "store/settings.h"
#include "support/application.h"
#include "support/printing.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "support/widgets.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include "ui_E_Glowny.h"
#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace shelltest {

// The users the main folder holds.
inline int userCount(const QString& main) {
    engine::Table users(main, QStringLiteral("Users"));
    users.open();
    return users.recordCount();
}

using testsupport::child;
using testsupport::click;
using testsupport::trigger;

inline ui::Application& application() {
    return testsupport::application<ui::Application>();
}

// The rows the item grid shows, first column (name 1), top to bottom.
inline QStringList gridNames(ui::DbGrid* grid) {
    auto* model = grid->gridModel();
    QStringList names;
    if (model->rowCount() == 0) return names;
    model->ensureRows(0, model->rowCount() - 1);
    for (int r = 0; r < model->rowCount(); ++r)
        names << model->data(model->index(r, 0)).toString();
    return names;
}

// Another installation writing to a catalogue: its own SQLite connection to the folder's file,
// outside this process's engine.
inline void insertItemElsewhere(const QString& folder, int number, const QString& name) {
    sqlite3* db = nullptr;
    const QByteArray path = QDir(folder).filePath(engine::Database::fileName()).toUtf8();
    ASSERT_EQ(sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    engine::registerSqlFunctions(db);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO Towar(Tow_nr, Tow_Nazwa) VALUES(?1, ?2)", -1, &st,
                                 nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_int(st, 1, number);
    sqlite3_bind_text(st, 2, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

class ShellTest : public ::testing::Test {
protected:
    ShellTest()
        : messagesGuard_(messages), runnerGuard_(runner), launcherGuard_(launcher),
          clockGuard_(clock), printersGuard_(printers) {
        application();
        ui::setScriptFailureHandler([](const QString& m) { ADD_FAILURE() << m.toStdString(); });
        main = QDir(tmp.path()).absolutePath();
        catalogue = main + QStringLiteral("/Dane/Glowna");
    }

    // A catalogue that cannot be opened: its item table is missing.
    QString brokenCatalogue() {
        const QString broken = tmp.sub(QStringLiteral("Dane/Uszkodzona"));
        store::createCatalogue(broken);
        engine::Database::open(broken)->dropTable(QStringLiteral("Towar"));
        return broken;
    }

    // The main folder as the first-run setup leaves it, with the default catalogue created and
    // `items` in it.
    void makeMainFolder(const QStringList& items = {}, bool login = false) {
        store::MainFolderSetup setup;
        setup.catalogueShown = catalogue;
        setup.catalogueExpanded = catalogue;
        setup.makeDefaultCatalogueFolder = true;
        setup.passwordProtection = login;
        setup.adminName = QStringLiteral("admin");
        setup.adminPassword = QStringLiteral("tajne");
        store::createMainFolder(main, setup);
        store::createCatalogue(catalogue);
        addItems(catalogue, items);
    }

    static void addItems(const QString& folder, const QStringList& names) {
        for (const QString& n : names)
            testsupport::addRow(folder, "Towar", {{QStringLiteral("Tow_Nazwa"), n}});
    }

    void setSetting(const QString& field, const QVariant& value) {
        store::Settings s(main);
        s.setValue(field, value);
        s.save();
    }
    QVariant setting(const QString& field) { return store::Settings(main).value(field); }

    std::unique_ptr<shell::TForm_Pelk> startWindow() {
        auto w = std::make_unique<shell::TForm_Pelk>();
        outcome = w->start(main);
        return w;
    }

    // The item list on the item of this name.
    static void goTo(shell::TForm_Pelk& w, const QString& name) {
        auto& items = w.state().TFTowar;
        for (items.first(); !items.eof(); items.next())
            if (items.asString(QStringLiteral("Tow_Nazwa")) == name) return;
        ADD_FAILURE() << "no item " << name.toStdString();
    }

    QStringList errorTexts() const {
        QStringList out;
        for (const auto& s : messages.shown())
            if (s.message.kind == ui::Message::Kind::Error) out << s.message.text;
        return out;
    }

    TempFolder tmp;
    QString main, catalogue;
    shell::MainController::StartOutcome outcome = shell::MainController::StartOutcome::Abandoned;
    ui::FakeMessages messages;
    ui::ScriptedModalRunner runner;
    platform::FakeShellLauncher launcher;
    platform::FakeClock clock{QDate(2024, 5, 17)};
    platform::FakePrinterList printers;

private:
    ui::ScopedMessages messagesGuard_;
    ui::ScopedModalRunner runnerGuard_;
    platform::ScopedLauncher launcherGuard_;
    platform::ScopedClock clockGuard_;
    platform::ScopedPrinters printersGuard_;
};

} // namespace shelltest
