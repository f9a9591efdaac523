#include "drawings/Kart_Gr.h"
#include "drawings/Akt_rys.h"
#include "drawings/picturebox.h"
#include "engine/table.h"
#include "platform/worktable.h"
#include "store/mainstate.h"
#include "store/schema_text.h"
#include "ui/busycursor.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/searchkeys.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace drawings {

namespace {

const QString kEntry = QStringLiteral("Grafika_Nr");
const QString kDrawing = QStringLiteral("Grafika_Rys_Nr");
const QString kItem = QStringLiteral("Grafika_Tow_Nr");
const QString kRysNr = QStringLiteral("Rys_Nr");
const QString kOpis = QStringLiteral("Rys_Opis");
const QString kBlob = QStringLiteral("Rys_Blob");

engine::TableDef workLayout() {
    return store::detail::tableFromText(
        QStringLiteral("grafika_TMP"), QStringLiteral("Grafika_Nr autoinc, Grafika_Rys_Nr longint"),
        QStringLiteral("PrimaryIndex(Grafika_Nr) wg_Grafika_Rys_Nr(Grafika_Rys_Nr)"));
}

QCheckBox* fitBox(QWidget* parent, const char* name, PictureBox* picture) {
    auto* box = new QCheckBox(QStringLiteral("Dopasowany"), parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(true);
    picture->setStretched(true);
    QObject::connect(box, &QCheckBox::toggled, picture, &PictureBox::setStretched);
    return box;
}

} // namespace

TEkr_Kartoteki_Rysunki::TEkr_Kartoteki_Rysunki(store::MainState& state, QWidget* parent)
    : ui::WorkDialog(QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany!"), parent),
      st_(state), work_(std::make_unique<platform::WorkTable>(
                      state.TempFolder, QStringLiteral("grafika_TMP"), workLayout())),
      libraryTable_(
          std::make_unique<engine::Table>(state.CurrentCatalogueFolder, QStringLiteral("Rysunek"))),
      pictures_(std::make_unique<engine::Table>(state.CurrentCatalogueFolder,
                                                QStringLiteral("Rysunek"))) {
    setObjectName(QStringLiteral("TEkr_Kartoteki_Rysunki"));
    ui::setHelpContext(this, 1250);
    setWindowTitle(QStringLiteral("Obiekt / Rysunki"));
    resize(760, 480);

    // The item is the one handed over, never the item list's current row: the list may stand
    // elsewhere (a filter or a query the item does not pass) or on nothing at all.
    itemNr_ = st_.CurrentItemNr;
    itemName_ = st_.CurrentItemName;

    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Obiekt:"), this));
    Label_Obiekt = new QLabel(itemName_, this);
    Label_Obiekt->setObjectName(QStringLiteral("Label_Obiekt"));
    head->addWidget(Label_Obiekt, 1);

    auto* left = buildChosenSide();
    auto* right = buildLibrarySide();
    auto* buttons = buildButtonRow();

    auto* sides = new QHBoxLayout;
    sides->addWidget(left, 1);
    sides->addWidget(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(head);
    all->addLayout(sides, 1);
    all->addLayout(buttons);
    updateButtons();
}

QGroupBox* TEkr_Kartoteki_Rysunki::buildChosenSide() {
    // Left: the item's drawings.
    auto* left = new QGroupBox(this);
    auto* leftLayout = new QVBoxLayout(left);
    chosenGrid_ = new QTableWidget(0, 1, left);
    chosenGrid_->setObjectName(QStringLiteral("DBGrid_Grafika"));
    chosenGrid_->setHorizontalHeaderLabels({QStringLiteral("Opis")});
    chosenGrid_->horizontalHeader()->setStretchLastSection(true);
    chosenGrid_->verticalHeader()->hide();
    chosenGrid_->verticalHeader()->setDefaultSectionSize(chosenGrid_->fontMetrics().height() + 6);
    chosenGrid_->horizontalHeader()->setHighlightSections(false);
    chosenGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    chosenGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    chosenGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chosenGrid_->setTabKeyNavigation(false);
    connect(chosenGrid_, &QTableWidget::currentCellChanged, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::showChosenPicture));
    chosenPicture_ = new PictureBox(left);
    chosenPicture_->setObjectName(QStringLiteral("DBImage_Grafika"));
    chosenFit_ = fitBox(left, "CBox_Dopasowany_Grafika", chosenPicture_);
    leftLayout->addWidget(chosenGrid_, 1);
    leftLayout->addWidget(chosenPicture_, 1);
    leftLayout->addWidget(chosenFit_);
    return left;
}

QGroupBox* TEkr_Kartoteki_Rysunki::buildLibrarySide() {
    // Right: the library.
    auto* right = new QGroupBox(this);
    auto* rightLayout = new QVBoxLayout(right);
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel(QStringLiteral("Szukaj:"), right);
    search_ = new QLineEdit(right);
    search_->setObjectName(QStringLiteral("Edit_Szukaj"));
    searchLabel->setBuddy(search_);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);
    search_->installEventFilter(this);
    connect(search_, &QLineEdit::textChanged, this, ui::guardedSlot([this](const QString& text) {
                if (suppressSearch_ || !libraryTable_->isOpen()) return;
                libraryTable_->findNearest({text});
                library_->followCursor();
            }));
    library_ = new ui::DbGrid(right);
    library_->setObjectName(QStringLiteral("DBGrid_Rysunki"));
    library_->addColumn(kOpis, QStringLiteral("Opis"));
    library_->horizontalHeader()->setStretchLastSection(true);
    connect(library_, &ui::DbGrid::rowDoubleClicked, this, ui::guardedSlot([this] {
                if (BB_Dodaj->isEnabled()) BB_DodajClick();
            }));
    libraryPicture_ = new PictureBox(right);
    libraryPicture_->setObjectName(QStringLiteral("DBImage_Rysunek"));
    libraryFit_ = fitBox(right, "CBox_Dopasowany_Rysunek", libraryPicture_);
    rightLayout->addLayout(searchRow);
    rightLayout->addWidget(library_, 1);
    rightLayout->addWidget(libraryPicture_, 1);
    rightLayout->addWidget(libraryFit_);
    for (auto signal : {&engine::DataSet::afterOpen, &engine::DataSet::afterScroll,
                        &engine::DataSet::afterRefresh})
        connect(libraryTable_.get(), signal, this, &TEkr_Kartoteki_Rysunki::showLibraryPicture);
    return right;
}

QHBoxLayout* TEkr_Kartoteki_Rysunki::buildButtonRow() {
    auto* powrot = ui::dialogButton(this, "BB_Powrot", QStringLiteral("Powrót"));
    BB_Dodaj = ui::dialogButton(this, "BB_Dodaj", QStringLiteral("Dodaj"),
                                QStringLiteral("Dołączenie rysunku do obiektu"));
    BB_Usun = ui::dialogButton(this, "BB_Usun", QStringLiteral("Usuń"),
                               QStringLiteral("Odłączenie zaznaczonego rysunku od obiektu"));
    BB_Wyczysc = ui::dialogButton(this, "BB_Wyczysc", QStringLiteral("Wyczyść"),
                                  QStringLiteral("Odłączenie wszystkich rysunków od obiektu"));
    BB_Zapisz = ui::dialogButton(this, "BB_Zapisz", QStringLiteral("Zapisz"),
                                 QStringLiteral("Zapamiętanie edytowanych danych"));
    BB_Anuluj = ui::dialogButton(this, "BB_Anuluj", QStringLiteral("Anuluj"),
                                 QStringLiteral("Rezygnacja z aktualnie wykonywanej operacji"));
    BB_Rysunki = ui::dialogButton(this, "BB_Rysunki", QStringLiteral("Rysunki ..."),
                                  QStringLiteral("Kartoteka rysunków"));
    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_PowrotClick));
    connect(BB_Dodaj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_DodajClick));
    connect(BB_Usun, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_UsunClick));
    connect(BB_Wyczysc, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_WyczyscClick));
    connect(BB_Zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_ZapiszClick));
    connect(BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_AnulujClick));
    connect(BB_Rysunki, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Kartoteki_Rysunki::BB_RysunkiClick));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {powrot, BB_Zapisz, BB_Anuluj, BB_Usun, BB_Wyczysc})
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton* b : {BB_Dodaj, BB_Rysunki})
        buttons->addWidget(b);
    return buttons;
}

TEkr_Kartoteki_Rysunki::~TEkr_Kartoteki_Rysunki() {
    library_->setDataSet(nullptr);
}

QString TEkr_Kartoteki_Rysunki::workTableName() const {
    return work_->name();
}

QList<int> TEkr_Kartoteki_Rysunki::chosenDrawings() const {
    QList<int> out;
    for (const Chosen& c : chosen_)
        out << c.drawing;
    return out;
}

QStringList TEkr_Kartoteki_Rysunki::chosenDescriptions() const {
    QStringList out;
    for (const Chosen& c : chosen_)
        out << c.description;
    return out;
}

bool TEkr_Kartoteki_Rysunki::filled() const {
    return work_->exists();
}

// The item's drawings copied into a new working table; the library opened in description order.
void TEkr_Kartoteki_Rysunki::opening() {
    ui::BusyCursor busy;
    work_->create();
    {
        engine::Table grafika(st_.CurrentCatalogueFolder, QStringLiteral("Grafika"));
        grafika.setIndexName(QStringLiteral("wg_Grafika_Tow_Nr"));
        grafika.open();
        grafika.setRange({itemNr_});
        engine::Table& t = work_->table();
        for (grafika.first(); !grafika.eof(); grafika.next()) {
            t.append();
            t.setValue(kDrawing, grafika.asInteger(kDrawing));
            t.post();
        }
    }
    pictures_->open();
    libraryTable_->setIndexFieldNames(kOpis);
    libraryTable_->open();
    libraryTable_->first();
    library_->setDataSet(libraryTable_.get());
    markChanged(false);
    reloadChosen();
    search_->setFocus();
}

QByteArray TEkr_Kartoteki_Rysunki::pictureOf(int drawing) {
    if (!pictures_->isOpen() || !pictures_->findKey({drawing})) return {};
    return pictures_->asBytes(kBlob);
}

void TEkr_Kartoteki_Rysunki::reloadChosen(int entry) {
    chosen_.clear();
    if (work_->exists()) {
        for (const QVariantMap& row : work_->rows()) {
            Chosen c{row.value(kEntry).toInt(), row.value(kDrawing).toInt(), {}};
            if (pictures_->isOpen() && pictures_->findKey({c.drawing}))
                c.description = pictures_->asString(kOpis);
            chosen_ << c;
        }
    }
    chosenGrid_->setRowCount(int(chosen_.size()));
    int current = chosen_.isEmpty() ? -1 : 0;
    for (int i = 0; i < chosen_.size(); ++i) {
        chosenGrid_->setItem(i, 0, new QTableWidgetItem(chosen_[i].description));
        if (chosen_[i].entry == entry) current = i;
    }
    chosenGrid_->setCurrentCell(current, 0);
    showChosenPicture();
    updateButtons();
}

void TEkr_Kartoteki_Rysunki::showChosenPicture() {
    const int row = chosenGrid_->currentRow();
    chosenPicture_->setPicture(row >= 0 && row < chosen_.size() ? pictureOf(chosen_[row].drawing)
                                                                : QByteArray());
}

void TEkr_Kartoteki_Rysunki::showLibraryPicture() {
    const bool row = libraryTable_->isOpen() && !libraryTable_->isEmpty();
    libraryPicture_->setPicture(row ? libraryTable_->asBytes(kBlob) : QByteArray());
}

void TEkr_Kartoteki_Rysunki::updateButtons() {
    const bool open = work_->exists();
    const bool any = !chosen_.isEmpty();
    BB_Dodaj->setEnabled(open && libraryTable_->isOpen() && !libraryTable_->isEmpty());
    BB_Usun->setEnabled(open && any);
    BB_Wyczysc->setEnabled(open && any);
    BB_Zapisz->setEnabled(changed());
    BB_Anuluj->setEnabled(changed());
    BB_Rysunki->setEnabled(st_.fullRights());
}

void TEkr_Kartoteki_Rysunki::BB_DodajClick() {
    if (!work_->exists() || !libraryTable_->isOpen() || libraryTable_->isEmpty()) return;
    const int drawing = libraryTable_->asInteger(kRysNr);
    for (const Chosen& c : chosen_)
        if (c.drawing == drawing) return; // an item shows each drawing once
    engine::Table& t = work_->table();
    t.append();
    t.setValue(kDrawing, drawing);
    t.post();
    const int entry = t.asInteger(kEntry);
    markChanged();
    reloadChosen(entry);
}

void TEkr_Kartoteki_Rysunki::BB_UsunClick() {
    const int row = chosenGrid_->currentRow();
    if (!work_->exists() || row < 0 || row >= chosen_.size()) return;
    engine::Table& t = work_->table();
    if (t.findKey({chosen_[row].entry})) t.remove();
    const int next = row + 1 < chosen_.size() ? chosen_[row + 1].entry
                     : row > 0                ? chosen_[row - 1].entry
                                              : 0;
    markChanged();
    reloadChosen(next);
}

void TEkr_Kartoteki_Rysunki::BB_WyczyscClick() {
    if (!work_->exists() || chosen_.isEmpty()) return;
    engine::Table& t = work_->table();
    for (t.first(); !t.isEmpty(); t.first())
        t.remove();
    markChanged();
    reloadChosen();
}

void TEkr_Kartoteki_Rysunki::BB_RysunkiClick() {
    if (!st_.fullRights()) return;
    {
        TEkr_Rysunki library(st_, this);
        ui::modalRunner().run(library);
    }
    // Descriptions and pictures may have changed, drawings come and go.
    if (libraryTable_->isOpen()) {
        libraryTable_->refresh();
        library_->followCursor();
    }
    if (pictures_->isOpen()) pictures_->refresh();
    const int row = chosenGrid_->currentRow();
    reloadChosen(row >= 0 && row < chosen_.size() ? chosen_[row].entry : 0);
}

bool TEkr_Kartoteki_Rysunki::save() {
    if (!work_->exists()) return false;
    {
        const QString folder = st_.CurrentCatalogueFolder;
        engine::Table towar(folder, QStringLiteral("Towar"));
        towar.open();
        if (!towar.findKey({itemNr_})) {
            ui::messages().information(QStringLiteral(
                "Obiekt został usunięty przez innego użytkownika. Zapis nie jest możliwy !"));
            return false;
        }
        towar.close();
        engine::Table library(folder, QStringLiteral("Rysunek"));
        library.open();
        platform::RowReplacement r;
        r.table = QStringLiteral("Grafika");
        r.matchFields = {kItem};
        r.matchValues = {itemNr_};
        for (const QVariantMap& row : work_->rows()) {
            const int drawing = row.value(kDrawing).toInt();
            // A drawing another installation removed from the library meanwhile is not
            // attached: the item would point at nothing.
            if (!library.findKey({drawing})) continue;
            r.rows << QVariantMap{{kItem, itemNr_}, {kDrawing, drawing}};
        }
        library.close();
        platform::replaceRows(folder, {r});
    }
    return true;
}

void TEkr_Kartoteki_Rysunki::release() {
    library_->setDataSet(nullptr);
    libraryTable_->close();
    pictures_->close();
    work_->remove();
    chosen_.clear();
    chosenGrid_->setRowCount(0);
    updateButtons();
}

void TEkr_Kartoteki_Rysunki::emptySearch() {
    const bool was = suppressSearch_;
    suppressSearch_ = true;
    search_->clear();
    suppressSearch_ = was;
}

bool TEkr_Kartoteki_Rysunki::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_) {
        if (event->type() == QEvent::FocusOut) emptySearch();
        if (event->type() == QEvent::KeyPress) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            // Keys move the library: a failure is shown and eats the key.
            bool handled = true;
            ui::guarded([&] {
                handled = ui::searchFieldMovesList(key, *library_, *libraryTable_,
                                                   [this] { emptySearch(); });
                if (!handled && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
                    BB_DodajClick();
                    handled = true;
                }
            });
            if (handled) return true;
        }
    }
    return ui::WorkDialog::eventFilter(watched, event);
}

void TEkr_Kartoteki_Rysunki::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the search field (Dodaj); elsewhere no button answers it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

} // namespace drawings
