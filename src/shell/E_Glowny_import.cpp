// The catalogue menu's import of a catalogue kept as Paradox tables: the source folder, the new
// catalogue's folder as the folder picker makes one, the import under a progress dialog that can
// be cancelled, its report, and the new catalogue listed and opened.
#include "engine/error.h"
#include "paradox/import.h"
#include "shell/E_Glowny.h"
#include "shell/Otw_baze.h"
#include "shell/Raport_importu.h"
#include "shell/cataloguelists.h"
#include "shell/maincontroller.h"
#include "ui/cancellable.h"
#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"
#include <QAction>
#include <QDir>

namespace shell {

void TForm_Pelk::connectImportCommand() {
    auto* action = new QAction(QStringLiteral("Importuj katalog..."), this);
    action->setObjectName(QStringLiteral("Importujkatalog1"));
    action->setStatusTip(QStringLiteral("Importuje katalog zapisany w tabelach programu Paradox"));
    ui_->Baza1->insertAction(ui_->Usubaz1, action);
    commands_.insert(action->objectName(), action);
    command(action, &TForm_Pelk::Importujkatalog1Click);
}

void TForm_Pelk::Importujkatalog1Click() {
    // The import makes a catalogue: not for a user who may only browse.
    if (!controller_->mayCreateCatalogues()) return;
    const QString source = ui::fileDialogs().existingFolder(
        QStringLiteral("Folder z tabelami katalogu (Paradox)"), QDir::homePath());
    if (source.isEmpty()) return;
    if (!paradox::holdsTables(source, false)) {
        ui::messages().information(QStringLiteral("W folderze %1 nie ma tabel katalogu !")
                                       .arg(QDir::toNativeSeparators(source)));
        return;
    }

    state_.FolderPickMode = QStringLiteral("Importuj");
    {
        TOtworz_Baze picker(state_, this);
        ui::modalRunner().run(picker);
    }
    const QString shown = state_.PickedFolder;
    state_.PickedFolder.clear();
    if (state_.FolderPickMode == QLatin1String("Anuluj") || shown.isEmpty()) {
        focusItemGrid();
        return;
    }
    const QString folder = expandedFolder(shown, state_.MainFolder);

    paradox::ImportOptions options;
    options.source = source;
    options.destination = folder;
    paradox::ImportReport report;
    bool finished = false;
    try {
        finished = ui::runWithProgress(
            this, QStringLiteral("Importowanie katalogu..."), [&](const ui::StepReport& step) {
                report = paradox::importParadox(
                    options, [&](const QString& table, qint64 done, qint64 total) {
                        return step(
                            QStringLiteral("%1: %2 z %3 wierszy").arg(table).arg(done).arg(total),
                            done, total);
                    });
            });
    } catch (const engine::EngineError&) {
        QDir().rmdir(folder); // the folder the picker made, left empty by the failed import
        throw;
    }
    if (!finished) {
        QDir().rmdir(folder);
        ui::messages().information(paradox::kImportCancelledMessage);
        focusItemGrid();
        return;
    }

    {
        TEkr_Raport_Importu shownReport(folder, report.lines(), this);
        ui::modalRunner().run(shownReport);
    }
    addToCatalogueList(state_.MainFolder, folder);
    state_.CurrentCatalogueFolder = folder;
    state_.CurrentCatalogueName = shown;
    state_.DefaultSupplierNr = 0;
    state_.resetFilterState();
    if (state_.TFTowar.isOpen()) state_.TFTowar.setFiltered(false);
    catalogueChosen();
    focusItemGrid();
}

} // namespace shell
