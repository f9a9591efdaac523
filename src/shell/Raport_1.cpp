#include "shell/Raport_1.h"
#include "shell/cataloguelists.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui_Raport_1.h"
#include <QDir>

namespace shell {

TEkr_Otworz_z_listy::TEkr_Otworz_z_listy(store::MainState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui_(std::make_unique<Ui::TEkr_Otworz_z_listy>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 1740);
    connect(ui_->BB_Otworz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Otworz_z_listy::BB_OtworzClick));
    connect(ui_->SpeedButton9, &QToolButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Otworz_z_listy::SpeedButton9Click));
    connect(ui_->BB_Powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Otworz_z_listy::BB_PowrotClick));
    connect(ui_->ListBox1, &QListWidget::itemDoubleClicked, this,
            ui::guardedSlot(this, &TEkr_Otworz_z_listy::BB_OtworzClick));
    connect(ui_->ListBox1, &QListWidget::currentRowChanged, this,
            ui::guardedSlot(this, &TEkr_Otworz_z_listy::selectionChanged));
    selectionChanged();
}

TEkr_Otworz_z_listy::~TEkr_Otworz_z_listy() = default;

void TEkr_Otworz_z_listy::showEvent(QShowEvent* event) {
    ui::guarded([this] { FormActivate(); });
    QDialog::showEvent(event);
}

void TEkr_Otworz_z_listy::FormActivate() {
    fill(readCatalogueList(state_.MainFolder), 0);
}

void TEkr_Otworz_z_listy::fill(const QStringList& lines, int row) {
    ui_->ListBox1->clear();
    ui_->ListBox1->addItems(lines);
    if (!lines.isEmpty()) ui_->ListBox1->setCurrentRow(std::clamp(row, 0, int(lines.size()) - 1));
    selectionChanged();
}

// Opening and striking off work on the selected line; without one there is nothing to do.
void TEkr_Otworz_z_listy::selectionChanged() {
    const bool selected = ui_->ListBox1->currentRow() >= 0;
    ui_->BB_Otworz->setEnabled(selected);
    ui_->SpeedButton9->setEnabled(selected);
}

void TEkr_Otworz_z_listy::BB_OtworzClick() {
    const QListWidgetItem* item = ui_->ListBox1->currentItem();
    if (!item) return;
    const QString line = item->text();
    if (sameFolder(line, state_.CurrentCatalogueFolder, state_.MainFolder)) {
        ui::messages().information(QStringLiteral("Wybrana baza jest aktualnie otwarta ?"));
        return;
    }
    const QString folder = expandedFolder(line, state_.MainFolder);
    // A line may outlive its folder; opening it would leave no catalogue open at all.
    if (catalogueTableNames(folder).isEmpty()) {
        ui::messages().information(
            QStringLiteral("W folderze %1 nie ma bazy danych. Otwarcie nie jest możliwe !")
                .arg(shownFolder(folder)));
        return;
    }
    state_.CurrentCatalogueFolder = folder;
    state_.CurrentCatalogueName = line;
    accept();
}

void TEkr_Otworz_z_listy::SpeedButton9Click() {
    const int row = ui_->ListBox1->currentRow();
    if (row < 0) return;
    const QString line = ui_->ListBox1->item(row)->text();
    // The file as it is now: lines another installation added meanwhile stay.
    bool readable = true;
    QStringList lines = readCatalogueList(state_.MainFolder, &readable);
    if (!readable) {
        ui::messages().information(
            QStringLiteral("Nie można odczytać pliku %1.")
                .arg(QDir::toNativeSeparators(
                    QDir(state_.MainFolder).filePath(store::kCatalogueListFile))));
        return;
    }
    const qsizetype at = lines.indexOf(line);
    if (at >= 0) {
        lines.removeAt(at);
        if (!writeCatalogueList(state_.MainFolder, lines)) return;
    }
    fill(lines, row);
}

void TEkr_Otworz_z_listy::BB_PowrotClick() {
    reject();
}

} // namespace shell
