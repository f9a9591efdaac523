#include "items/Ak_WWG.h"
#include "engine/table.h"
#include "items/Ak_grupa.h"
#include "items/Ak_wlasn.h"
#include "platform/worktable.h"
#include "store/attributevalues.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/searchkeys.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace items {

namespace {

const QString kName = QStringLiteral("Wlasnosc_cecha_nazwa");
const QString kEntry = QStringLiteral("Wlasnosc_nr");
const QString kAttribute = QStringLiteral("Wlasnosc_cecha_nr");
const QString kPosition = QStringLiteral("Wlasnosc_znaczenie");

} // namespace

// Far right: the dialog's end.
QVBoxLayout* TAktualizacja_WWG::buildEndColumn() {
    auto* far = new QVBoxLayout;
    auto* powrot = ui::dialogButton(this, "BB_Powrot", QStringLiteral("Powrót"));
    auto* zapisz = ui::dialogButton(this, "BB_Zapisz", QStringLiteral("Zapisz"));
    auto* anuluj = ui::dialogButton(this, "BB_Anuluj", QStringLiteral("Anuluj"));
    far->addWidget(powrot);
    far->addWidget(zapisz);
    far->addWidget(anuluj);
    far->addStretch();

    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_PowrotClick));
    connect(zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_ZapiszClick));
    connect(anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_AnulujClick));
    return far;
}

TAktualizacja_WWG::TAktualizacja_WWG(store::MainState& state, QWidget* parent)
    : ui::WorkDialog(QStringLiteral("Dane zostały zmienione. Zapamiętać!"), parent), st_(state),
      groupNr_(state.TemplateGroupNr), groupName_(state.TemplateGroupName),
      attributes_(std::make_unique<engine::Table>()),
      work_(std::make_unique<platform::WorkTable>(state.TempFolder, QStringLiteral("WWG"),
                                                  store::templateWorkLayout())) {
    setObjectName(QStringLiteral("TAktualizacja_WWG"));
    ui::setHelpContext(this, 1000);
    setWindowTitle(QStringLiteral("Własności w grupach"));
    resize(760, 420);

    auto* left = buildAttributeColumn();
    auto* middle = buildMoveColumn();
    auto* right = buildTemplateColumn();

    auto* far = buildEndColumn();

    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 3);
    all->addLayout(middle);
    all->addLayout(right, 3);
    all->addLayout(far);

    connect(Szukaj_Cecha, &QLineEdit::textChanged, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::Szukaj_CechaChange));
    connect(BB_Dodaj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_DodajClick));
    connect(BB_Usun, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_UsunClick));
    connect(BB_Wyczysc, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_WyczyscClick));
    connect(SB_Gora, &QToolButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::SB_GoraClick));
    connect(SB_Dol, &QToolButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::SB_DolClick));
    connect(BB_Kopiuj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_KopiujClick));
    connect(BB_Modyfikacja, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_ModyfikacjaClick));
    connect(DBGrid_Cechy, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_DodajClick));
    connect(DBGrid_Cechy, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_DodajClick));
    connect(DBGrid_Wlasnosci, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &TAktualizacja_WWG::BB_ZapiszClick));
    Szukaj_Cecha->installEventFilter(this);
    DBGrid_Cechy->installEventFilter(this);
    DBGrid_Wlasnosci->installEventFilter(this);

    attributes_->setDatabaseName(st_.CurrentCatalogueFolder);
    attributes_->setTableName(QStringLiteral("Cecha"));
    attributes_->setIndexName(QStringLiteral("wg_opisu"));
    DBGrid_Cechy->setDataSet(attributes_.get());
}

QVBoxLayout* TAktualizacja_WWG::buildAttributeColumn() {
    // Left: every attribute, searchable.
    auto* left = new QVBoxLayout;
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel(QStringLiteral("Szukaj:"), this);
    Szukaj_Cecha = new QLineEdit(this);
    Szukaj_Cecha->setObjectName(QStringLiteral("Szukaj_Cecha"));
    searchLabel->setBuddy(Szukaj_Cecha);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(Szukaj_Cecha);
    left->addLayout(searchRow);
    DBGrid_Cechy = new ui::DbGrid(this);
    DBGrid_Cechy->setObjectName(QStringLiteral("DBGrid_Cechy"));
    DBGrid_Cechy->addColumn(QStringLiteral("Cecha_opis"), QStringLiteral("Własności"), 220);
    left->addWidget(DBGrid_Cechy);
    BB_Modyfikacja =
        ui::dialogButton(this, "BB_Modyfikacja", QStringLiteral("Modyfikacja bazy Własności ..."),
                         QStringLiteral("Przejście do okienka aktualizacji właściwości"));
    left->addWidget(BB_Modyfikacja);
    return left;
}

QVBoxLayout* TAktualizacja_WWG::buildTemplateColumn() {
    // Right: the group's template.
    auto* box = new QGroupBox(QStringLiteral(" Grupa : "), this);
    box->setObjectName(QStringLiteral("GroupBox_Grupa"));
    auto* boxLayout = new QVBoxLayout(box);
    Label_Grupa = new QLabel(groupName_, box);
    Label_Grupa->setObjectName(QStringLiteral("Label_Grupa"));
    boxLayout->addWidget(Label_Grupa);
    auto* right = new QVBoxLayout;
    right->addWidget(box);
    DBGrid_Wlasnosci = new ui::DbGrid(this);
    DBGrid_Wlasnosci->setObjectName(QStringLiteral("DBGrid_Wlasnosci"));
    DBGrid_Wlasnosci->addColumn(kName, QStringLiteral("Własności w grupie"), 220);
    right->addWidget(DBGrid_Wlasnosci);
    BB_Kopiuj =
        ui::dialogButton(this, "BB_Kopiuj", QStringLiteral("Kopiuj strukturę z innej grupy ..."));
    right->addWidget(BB_Kopiuj);
    return right;
}

QVBoxLayout* TAktualizacja_WWG::buildMoveColumn() {
    // Middle: what moves attributes between the lists and within the template.
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    BB_Dodaj = ui::dialogButton(this, "BB_Dodaj", QStringLiteral("Dodaj"));
    BB_Usun = ui::dialogButton(this, "BB_Usun", QStringLiteral("Usuń"));
    BB_Wyczysc = ui::dialogButton(this, "BB_Wyczysc", QStringLiteral("Wyczyść"));
    SB_Gora = new QToolButton(this);
    SB_Gora->setObjectName(QStringLiteral("SB_Gora"));
    SB_Gora->setArrowType(Qt::UpArrow);
    SB_Gora->setToolTip(QStringLiteral("Przesuwanie pozycji w górę"));
    SB_Dol = new QToolButton(this);
    SB_Dol->setObjectName(QStringLiteral("SB_Dol"));
    SB_Dol->setArrowType(Qt::DownArrow);
    SB_Dol->setToolTip(QStringLiteral("Przesuwanie pozycji na dół"));
    for (QWidget* w : {static_cast<QWidget*>(BB_Dodaj), static_cast<QWidget*>(BB_Usun),
                       static_cast<QWidget*>(BB_Wyczysc)})
        middle->addWidget(w);
    auto* arrows = new QHBoxLayout;
    arrows->addWidget(SB_Gora);
    arrows->addWidget(SB_Dol);
    middle->addLayout(arrows);
    middle->addStretch();
    return middle;
}

TAktualizacja_WWG::~TAktualizacja_WWG() {
    // The grids let go of the table objects before these go.
    DBGrid_Cechy->setDataSet(nullptr);
    DBGrid_Wlasnosci->setDataSet(nullptr);
}

QString TAktualizacja_WWG::workTableName() const {
    return work_->name();
}

bool TAktualizacja_WWG::ready() const {
    return work_->exists() && attributes_->isOpen();
}

void TAktualizacja_WWG::showEvent(QShowEvent* event) {
    ui::WorkDialog::showEvent(event);
    Szukaj_Cecha->setFocus();
}

bool TAktualizacja_WWG::filled() const {
    return work_->exists();
}

// The attribute list from Cecha and the working list from the group's stored template; what
// was changed and not saved is dropped.
void TAktualizacja_WWG::opening() {
    Label_Grupa->setText(groupName_);
    DBGrid_Wlasnosci->setDataSet(nullptr);
    work_->create();
    engine::Table& t = work_->table();
    t.setIndexName(QStringLiteral("wg_Wlasnosc_Znaczenie"));
    fill(groupNr_);
    t.first();
    DBGrid_Wlasnosci->setDataSet(&t);
    connect(&t, &engine::DataSet::afterScroll, this, &TAktualizacja_WWG::updateButtons);
    if (attributes_->isOpen())
        attributes_->refresh();
    else
        attributes_->open();
    attributes_->first();
    markChanged(false);
    updateButtons();
}

// The working list gets the template of `groupNr` (attribute number, name, position), in
// position order. A template entry whose attribute is gone comes as number 0 without a name.
void TAktualizacja_WWG::fill(int groupNr) {
    const QString folder = st_.CurrentCatalogueFolder;
    engine::Table szablon(folder, QStringLiteral("Szablon"));
    szablon.open();
    szablon.setRange({groupNr});
    engine::Table cecha(folder, QStringLiteral("Cecha"));
    cecha.open();
    engine::Table& t = work_->table();
    for (szablon.first(); !szablon.eof(); szablon.next()) {
        if (szablon.isEmpty()) break;
        const bool known = cecha.findKey({szablon.asInteger(QStringLiteral("Szablon_Cecha_Nr"))});
        t.append();
        t.setValue(kAttribute, known ? cecha.asInteger(QStringLiteral("Cecha_Nr")) : 0);
        t.setValue(kName, known ? cecha.asString(QStringLiteral("Cecha_Opis")) : QString());
        t.setValue(kPosition, szablon.asInteger(QStringLiteral("Szablon_Znaczenie")));
        t.post();
    }
}

void TAktualizacja_WWG::emptyWorkList() {
    engine::Table& t = work_->table();
    for (t.first(); !t.isEmpty(); t.first())
        t.remove();
}

void TAktualizacja_WWG::updateButtons() {
    const bool entries = work_->exists() && !work_->table().isEmpty();
    const bool attributes = attributes_->isOpen() && !attributes_->isEmpty();
    BB_Usun->setEnabled(entries);
    BB_Wyczysc->setEnabled(entries);
    SB_Gora->setEnabled(entries);
    SB_Dol->setEnabled(entries);
    BB_Dodaj->setEnabled(attributes);
}

QList<int> TAktualizacja_WWG::entriesInOrder() {
    QList<int> out;
    for (const QVariantMap& row : work_->rows(kPosition))
        out << row.value(kEntry).toInt();
    return out;
}

// Positions 1, 2, 3 ... in the order given (entry numbers); the current row stays current.
void TAktualizacja_WWG::renumber(const QList<int>& entryOrder) {
    engine::Table& t = work_->table();
    const qint64 current = t.rowId();
    {
        engine::Table byEntry(work_->folder(), work_->name());
        byEntry.setIndexFieldNames(kEntry);
        byEntry.open();
        for (int i = 0; i < entryOrder.size(); ++i) {
            if (!byEntry.findKey({entryOrder[i]})) continue;
            if (byEntry.asInteger(kPosition) == i + 1 && !byEntry.isNull(kPosition)) continue;
            byEntry.edit();
            byEntry.setValue(kPosition, i + 1);
            byEntry.post();
        }
    }
    t.refresh();
    if (!current || !t.gotoRowId(current)) t.first();
}

// The current entry changes places with its neighbour above (-1) or below (+1). Positions are
// made 1, 2, 3 ... first, so that gaps or equal positions read from an old template cannot
// leave two entries on one place.
void TAktualizacja_WWG::move(int step) {
    if (!ready() || work_->table().isEmpty()) return;
    QList<int> order = entriesInOrder();
    const int at = int(order.indexOf(work_->table().asInteger(kEntry)));
    const int to = at + step;
    if (at < 0 || to < 0 || to >= order.size()) return;
    order.swapItemsAt(at, to);
    renumber(order);
    markChanged();
}

void TAktualizacja_WWG::SB_GoraClick() {
    move(-1);
}

void TAktualizacja_WWG::SB_DolClick() {
    move(+1);
}

void TAktualizacja_WWG::BB_DodajClick() {
    if (!ready() || attributes_->isEmpty()) return;
    const int attribute = attributes_->asInteger(QStringLiteral("Cecha_Nr"));
    int last = 0;
    for (const QVariantMap& row : work_->rows(kPosition)) {
        if (row.value(kAttribute).toInt() == attribute) return; // already there: nothing at all
        last = std::max(last, row.value(kPosition).toInt());
    }
    engine::Table& t = work_->table();
    t.append();
    t.setValue(kAttribute, attribute);
    t.setValue(kName, attributes_->asString(QStringLiteral("Cecha_Opis")));
    t.setValue(kPosition, last + 1);
    t.post();
    markChanged();
    updateButtons();
}

void TAktualizacja_WWG::BB_UsunClick() {
    if (!ready() || work_->table().isEmpty()) return;
    if (!ui::messages().question(
            QStringLiteral("Usunięcie własności spowoduje utratę danych we wszystkich obiektach "
                           "należących do tej grupy! Usunąć własność ?"),
            ui::Button::No))
        return;
    work_->table().remove();
    // The others close up in the order the user gave them.
    renumber(entriesInOrder());
    markChanged();
    updateButtons();
}

void TAktualizacja_WWG::BB_WyczyscClick() {
    if (!ready()) return;
    emptyWorkList();
    markChanged();
    updateButtons();
}

void TAktualizacja_WWG::BB_KopiujClick() {
    if (!ready()) return;
    const auto group = pickGroup(st_, this, QString(), store::kTemplateCopyPickingWord);
    if (!group) return;
    emptyWorkList();
    fill(group->nr);
    work_->table().first();
    markChanged();
    updateButtons();
}

void TAktualizacja_WWG::BB_ModyfikacjaClick() {
    runInBetween(
        QStringLiteral(
            "Dane zostały zmienione. Zapamiętać przed przejściem do kartoteki własności ?"),
        [this] {
            TEkr_Aktualizacja_Wlasnosci attributes(st_, this);
            ui::modalRunner().run(attributes);
        },
        [this] { opening(); });
}

bool TAktualizacja_WWG::save() {
    if (!ready()) return false;
    platform::RowReplacement r;
    r.table = QStringLiteral("Szablon");
    r.matchFields = {QStringLiteral("Szablon_Grupa_Nr")};
    r.matchValues = {groupNr_};
    for (const QVariantMap& row : work_->rows(kPosition))
        r.rows << QVariantMap{{QStringLiteral("Szablon_Grupa_Nr"), groupNr_},
                              {QStringLiteral("Szablon_Cecha_Nr"), row.value(kAttribute).toInt()},
                              {QStringLiteral("Szablon_Znaczenie"), row.value(kPosition)}};
    platform::replaceRows(st_.CurrentCatalogueFolder, {r});
    return true;
}

void TAktualizacja_WWG::release() {
    DBGrid_Wlasnosci->setDataSet(nullptr);
    work_->remove();
    attributes_->close();
}

void TAktualizacja_WWG::Szukaj_CechaChange() {
    if (suppressSearch_ || !attributes_->isOpen()) return;
    attributes_->findNearest({Szukaj_Cecha->text()});
}

void TAktualizacja_WWG::leaveSearchField() {
    suppressSearch_ = true;
    Szukaj_Cecha->clear();
    suppressSearch_ = false;
}

void TAktualizacja_WWG::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (DBGrid_Cechy->hasFocus())
            ui::guarded([this] { BB_DodajClick(); });
        else
            BB_ZapiszClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TAktualizacja_WWG::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Szukaj_Cecha && event->type() == QEvent::FocusOut) {
        leaveSearchField();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Keys move the tables: a failure is shown and eats the key.
    bool handled = true;
    ui::guarded([&] {
        if (watched == Szukaj_Cecha) {
            handled =
                attributes_->isOpen() && ui::searchFieldMovesList(*key, *DBGrid_Cechy, *attributes_,
                                                                  [this] { leaveSearchField(); });
        } else if (watched == DBGrid_Cechy) {
            handled = ui::listKeyStartsSearch(*key, *Szukaj_Cecha);
        } else if (watched == DBGrid_Wlasnosci && key->key() == Qt::Key_Delete) {
            if (ready() && !work_->table().isEmpty() && !attributes_->isEmpty()) BB_UsunClick();
        } else {
            handled = false;
        }
    });
    return handled || QDialog::eventFilter(watched, event);
}

} // namespace items
