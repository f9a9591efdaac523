#pragma once
// What the tests of a catalogue's dialogs share: a catalogue made in a temporary folder and
// named current in the main window state, and the message and modal-dialog seams replaced by
// stand-ins that record what the dialog asked.
#include "store/catalogue_schema.h"
#include "store/mainstate.h"
#include "support/tempfolder.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include <QDir>

class CatalogueDialogTest : public UiTest {
protected:
    // `subfolder`: the catalogue in a folder below the temporary one, to leave room beside it.
    explicit CatalogueDialogTest(const QString& subfolder = {})
        : messagesGuard_(messages), runnerGuard_(runner) {
        folder = subfolder.isEmpty() ? tmp.path() : tmp.path() + u'/' + subfolder;
        QDir().mkpath(folder);
        store::createCatalogue(folder);
        state.CurrentCatalogueFolder = folder;
        state.TempFolder = tmp.path() + QStringLiteral("/TMP");
    }

    TempFolder tmp;
    QString folder;
    store::MainState state;
    ui::FakeMessages messages;
    ui::ScriptedModalRunner runner;

private:
    ui::ScopedMessages messagesGuard_;
    ui::ScopedModalRunner runnerGuard_;
};
