#include "shell/Otw_baze.h"
#include "engine/serverlocation.h"
#include "shell/Serwer.h"
#include "shell/cataloguelists.h"
#include "store/catalogue_schema.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_Otw_baze.h"
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>

namespace shell {

namespace {

const QString kOpen = QStringLiteral("Otwórz");
const QString kNew = QStringLiteral("Nowy");
const QString kOpenNew = QStringLiteral("Otwórz_Nowy");
const QString kImport = QStringLiteral("Importuj");
const QString kCancelled = QStringLiteral("Anuluj");
constexpr int kShortTree = 200; // the tree's height when the name field is shown

// A name for one new folder inside the shown one: no path of its own, no "." or "..".
bool plainFolderName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(u'/') && !name.contains(u'\\');
}

} // namespace

const QString TOtworz_Baze::kPickCatalogue = QStringLiteral("Wybierz_Baze");

TOtworz_Baze::TOtworz_Baze(store::MainState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui_(std::make_unique<Ui::TOtworz_Baze>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 1730);
    ui_->Label3->hide();
    ui_->Edit->hide();

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setReadOnly(true);
    folders_->setRootPath(QString()); // the whole file system: the drives on Windows, "/" here
    auto* tree = ui_->DirectoryListBox1;
    tree->setModel(folders_);
    for (int c = 1; c < folders_->columnCount(); ++c)
        tree->hideColumn(c);
    tree->setSortingEnabled(true);
    tree->sortByColumn(0, Qt::AscendingOrder);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            ui::guardedSlot(this, &TOtworz_Baze::DirectoryListBox1Change));
    // The model reads folders in the background: the shown folder can be scrolled to only once
    // the folders on its way have been read.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (shown_.isEmpty() || !QString(shown_ + u'/').startsWith(QDir::cleanPath(path))) return;
        // After the sorting that follows the reading.
        QTimer::singleShot(50, this, [this] {
            const QModelIndex at = folders_->index(shown_);
            if (at.isValid())
                ui_->DirectoryListBox1->scrollTo(at, QAbstractItemView::PositionAtCenter);
        });
    });

    connect(ui_->BB_Otworz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TOtworz_Baze::BB_OtworzClick));
    connect(ui_->BB_Nowy, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TOtworz_Baze::BB_NowyClick));
    connect(ui_->BB_Wybierz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TOtworz_Baze::BB_WybierzClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TOtworz_Baze::BB_AnulujClick));
    connect(ui_->BB_Serwer, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TOtworz_Baze::BB_SerwerClick));
    shownFolderChanged();
}

TOtworz_Baze::~TOtworz_Baze() = default;

void TOtworz_Baze::showEvent(QShowEvent* event) {
    ui::guarded([this] { FormActivate(); });
    QDialog::showEvent(event);
}

void TOtworz_Baze::FormActivate() {
    state_.PickedFolder.clear();
    // The catalogues' usual home; without it the tree stays where it is.
    if (!showFolder(QDir(state_.MainFolder).filePath(store::kDataFolder)) && shown_.isEmpty() &&
        !showFolder(state_.MainFolder))
        showFolder(QDir::homePath());
    applyMode();
}

void TOtworz_Baze::applyMode() {
    const QString& mode = state_.FolderPickMode;
    ui_->BB_Serwer->setVisible(mode == kOpen || mode == kOpenNew || mode == kPickCatalogue);
    auto shortTree = [this] {
        ui_->DirectoryListBox1->setMinimumHeight(kShortTree);
        ui_->DirectoryListBox1->setMaximumHeight(kShortTree);
        // The height the tree gives up goes below the name field, not into the labels.
        ui_->spacerFoldery->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding);
        ui_->layoutFoldery->invalidate();
    };
    if (mode == kOpen) {
        ui_->BB_Nowy->hide();
        ui_->BB_Wybierz->hide();
        ui_->BB_Otworz->setDefault(true);
    } else if (mode == kNew) {
        ui_->BB_Nowy->setEnabled(state_.fullRights());
        ui_->BB_Otworz->hide();
        ui_->BB_Wybierz->hide();
        setWindowTitle(QStringLiteral("Nowy"));
        shortTree();
        ui_->Label3->show();
        ui_->Edit->show();
        ui_->BB_Nowy->setDefault(true);
        ui_->Edit->setFocus();
    } else if (mode == kImport) {
        // As for a new catalogue; the import fills the folder made.
        ui_->BB_Nowy->setEnabled(state_.fullRights());
        ui_->BB_Otworz->hide();
        ui_->BB_Wybierz->hide();
        setWindowTitle(QStringLiteral("Importuj katalog"));
        shortTree();
        ui_->Label3->show();
        ui_->Edit->show();
        ui_->BB_Nowy->setDefault(true);
        ui_->Edit->setFocus();
    } else if (mode == kOpenNew) {
        ui_->BB_Nowy->setEnabled(true);
        ui_->BB_Otworz->hide();
        ui_->BB_Wybierz->show();
        setWindowTitle(QStringLiteral("Wybieranie foldera"));
        shortTree();
        ui_->Label3->setText(QStringLiteral("Nazwa nowego foldera:"));
        ui_->Label3->show();
        ui_->Edit->show();
    } else if (mode == kPickCatalogue) {
        ui_->BB_Nowy->hide();
        ui_->BB_Otworz->hide();
        ui_->BB_Wybierz->show();
        ui_->BB_Wybierz->setDefault(true);
    }
}

bool TOtworz_Baze::showFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) return false;
    shown_ = QDir::cleanPath(info.absoluteFilePath());
    const QModelIndex at = folders_->index(shown_);
    if (at.isValid()) {
        moving_ = true;
        ui_->DirectoryListBox1->setCurrentIndex(at);
        ui_->DirectoryListBox1->scrollTo(at);
        moving_ = false;
    }
    shownFolderChanged();
    return true;
}

void TOtworz_Baze::DirectoryListBox1Change(const QModelIndex& current) {
    if (moving_ || !current.isValid()) return;
    showFolder(folders_->filePath(current));
}

void TOtworz_Baze::shownFolderChanged() {
    ui_->Label2->setText(shownText());
    ui_->FileListBox1->clear();
    ui_->FileListBox1->addItems(catalogueTableNames(shown_));
    const bool catalogue = holdsCatalogue();
    ui_->BB_Otworz->setEnabled(catalogue);
    ui_->BB_Wybierz->setEnabled(catalogue);
}

bool TOtworz_Baze::holdsCatalogue() const {
    return ui_->FileListBox1->count() > 0;
}

QString TOtworz_Baze::shownText() const {
    return QDir::toNativeSeparators(shown_);
}

void TOtworz_Baze::BB_OtworzClick() {
    if (!holdsCatalogue()) return;
    chooseCatalogue(shownText(), true);
}

void TOtworz_Baze::chooseCatalogue(const QString& shown, bool open) {
    if (open) {
        state_.CurrentCatalogueFolder = expandedFolder(shown, state_.MainFolder);
        state_.CurrentCatalogueName = shown;
        state_.resetFilterState();
        if (state_.TFTowar.isOpen()) state_.TFTowar.setFiltered(false);
        addToCatalogueList(state_.MainFolder, state_.CurrentCatalogueFolder);
    } else {
        state_.PickedFolder = shown;
        if (state_.FolderPickMode != kPickCatalogue) {
            state_.CreateInPickedFolder = false;
            state_.DefaultSupplierNr = 0;
        }
    }
    accept();
}

void TOtworz_Baze::BB_SerwerClick() {
    TEkr_Serwer server(this);
    // The server of the catalogue open now is the likeliest one.
    if (engine::isServerLocation(state_.CurrentCatalogueFolder))
        server.setAddress(state_.CurrentCatalogueFolder);
    if (ui::modalRunner().run(server) != QDialog::Accepted || server.location().isEmpty()) return;
    chooseCatalogue(server.location(), state_.FolderPickMode == kOpen);
}

void TOtworz_Baze::BB_NowyClick() {
    // A new catalogue is a change to the data; the wizard's new folder is only a choice.
    if (state_.FolderPickMode != kOpenNew && !state_.fullRights()) return;
    const QString name = ui_->Edit->text().trimmed();
    const QDir parent(shown_);
    // An existing folder is refused too: a catalogue made there would replace its tables.
    if (shown_.isEmpty() || !plainFolderName(name) || parent.exists(name) || !parent.mkdir(name)) {
        ui::messages().information(QStringLiteral("Nie mogę utworzyć folderu o takiej nazwie !"));
        return;
    }
    const QString folder = parent.filePath(name);
    const QString folderText = QDir::toNativeSeparators(folder);
    if (state_.FolderPickMode == kOpenNew || state_.FolderPickMode == kImport) {
        // The wizard makes the catalogue itself when it finishes; the import fills the folder.
        state_.CreateInPickedFolder = true;
        state_.PickedFolder = folderText;
        accept();
        return;
    }
    if (!ui::guarded([&] {
            ui::BusyCursor busy;
            store::createCatalogue(folder);
        })) {
        // No half-made catalogue is left behind to be opened or listed later.
        QDir(folder).removeRecursively();
        return;
    }
    ui::messages().information(store::kCatalogueCreatedMessage);
    state_.CurrentCatalogueFolder = expandedFolder(folder, state_.MainFolder);
    state_.CurrentCatalogueName = folderText;
    state_.DefaultSupplierNr = 0;
    addToCatalogueList(state_.MainFolder, state_.CurrentCatalogueFolder);
    accept();
}

void TOtworz_Baze::BB_WybierzClick() {
    if (!holdsCatalogue()) return;
    chooseCatalogue(shownText(), false);
}

void TOtworz_Baze::BB_AnulujClick() {
    reject();
}

// Esc and the window's close button cancel as "Anuluj" does.
void TOtworz_Baze::reject() {
    state_.FolderPickMode = kCancelled;
    state_.PickedFolder.clear();
    QDialog::reject();
}

} // namespace shell
