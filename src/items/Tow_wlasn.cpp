#include "items/Tow_wlasn.h"
#include "engine/table.h"
#include "items/Ak_WWG.h"
#include "items/Wartosci.h"
#include "platform/worktable.h"
#include "store/attributevalues.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include <QAbstractTableModel>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

namespace items {

namespace {

const QString kName = QStringLiteral("Wlasnosc_cecha_nazwa");
const QString kEntry = QStringLiteral("Wlasnosc_nr");
const QString kAttribute = QStringLiteral("Wlasnosc_cecha_nr");
const QString kPosition = QStringLiteral("Wlasnosc_znaczenie");
const QString kValue = QStringLiteral("Wlasnosc_cecha");
const QString kType = QStringLiteral("Wlasnosc_typ");

constexpr int kValueColumn = 2;

// Starts the value editor with room for what Opis_Opis holds, and tells the dialog that the
// editing of a value began.
class ValueDelegate : public QStyledItemDelegate {
public:
    ValueDelegate(std::function<void()> began, QObject* parent)
        : QStyledItemDelegate(parent), began_(std::move(began)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        began_();
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(store::kAttributeValueLength);
        return editor;
    }

private:
    std::function<void()> began_;
};

} // namespace

// The lines of the working table as the grid shows them: attribute, type word, value (the only
// editable column). A value given to the model is stored by the dialog, with its checks.
class ValueLines : public QAbstractTableModel {
public:
    struct Line {
        int entry = 0; // Wlasnosc_nr
        int attribute = 0;
        QString name, letter, value;
    };

    ValueLines(std::function<bool(int, const QString&)> store, QObject* parent)
        : QAbstractTableModel(parent), store_(std::move(store)) {}

    void load(QList<Line> lines) {
        beginResetModel();
        lines_ = std::move(lines);
        endResetModel();
    }
    const Line& at(int row) const { return lines_[row]; }
    void setValue(int row, const QString& value) {
        lines_[row].value = value;
        Q_EMIT dataChanged(index(row, kValueColumn), index(row, kValueColumn));
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(lines_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
        const Line& l = lines_[index.row()];
        switch (index.column()) {
        case 0:
            return l.name;
        case 1:
            return store::attributeTypeWord(l.letter);
        default:
            return l.value;
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || index.column() != kValueColumn || role != Qt::EditRole)
            return false;
        return store_(index.row(), value.toString());
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (index.column() == kValueColumn) f |= Qt::ItemIsEditable;
        return f;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        static const char* const titles[] = {"Własność", "Typ", "Opis"};
        return section >= 0 && section < 3 ? QString::fromUtf8(titles[section]) : QVariant();
    }

private:
    std::function<bool(int, const QString&)> store_;
    QList<Line> lines_;
};

TEkr_Tow_Wlasnosci::TEkr_Tow_Wlasnosci(store::MainState& state, QWidget* parent)
    : ui::WorkDialog(QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany ?"),
                     parent),
      st_(state),
      work_(std::make_unique<platform::WorkTable>(state.TempFolder, QStringLiteral("WWGiOpis"),
                                                  store::itemValuesWorkLayout())) {
    setObjectName(QStringLiteral("TEkr_Tow_Wlasnosci"));
    ui::setHelpContext(this, 1010);
    setWindowTitle(QStringLiteral("Obiekt / Własności"));
    resize(620, 400);

    // The item is the one handed over, never the item list's current row: the list may stand
    // elsewhere (a filter or a query the item does not pass) or on nothing at all.
    itemNr_ = st_.CurrentItemNr;
    const QString itemName = st_.CurrentItemName;
    if (itemNr_ > 0) {
        engine::Table towar(st_.CurrentCatalogueFolder, QStringLiteral("Towar"));
        towar.open();
        if (towar.findKey({itemNr_})) groupNr_ = towar.asInteger(QStringLiteral("Tow_Grupa_nr"));
        towar.close();
        engine::Table grupa(st_.CurrentCatalogueFolder, QStringLiteral("Grupa"));
        grupa.open();
        if (grupa.findKey({groupNr_})) groupName_ = grupa.asString(QStringLiteral("Grupa_Nazwa"));
    }

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("Obiekt:"), this), 0, 0);
    Label_Obiekt = new QLabel(itemName, this);
    Label_Obiekt->setObjectName(QStringLiteral("Label_Obiekt"));
    head->addWidget(Label_Obiekt, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("Grupa:"), this), 1, 0);
    Label_Grupa = new QLabel(groupName_, this);
    Label_Grupa->setObjectName(QStringLiteral("Label_Grupa"));
    head->addWidget(Label_Grupa, 1, 1);
    head->setColumnStretch(1, 1);

    setupValueGrid();

    auto* buttons = new QHBoxLayout;
    auto* powrot = ui::dialogButton(this, "BB_Powrot", QStringLiteral("Powrót"));
    auto* anuluj = ui::dialogButton(this, "BB_Anuluj", QStringLiteral("Anuluj"));
    auto* zapisz = ui::dialogButton(this, "BB_Zapisz", QStringLiteral("Zapisz"));
    auto* wlasnosci = ui::dialogButton(this, "BB_Wlasnosci", QStringLiteral("Własności ..."),
                                       QStringLiteral("Właściwości w grupie"));
    BB_Wartosci = ui::dialogButton(this, "BB_Wartosci", QStringLiteral("Wartości ..."),
                                   QStringLiteral("Wybieranie wartości do bieżącej własności"));
    for (QPushButton* b : {powrot, anuluj, zapisz, wlasnosci, BB_Wartosci})
        buttons->addWidget(b);
    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Tow_Wlasnosci::BB_PowrotClick));
    connect(anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Tow_Wlasnosci::BB_AnulujClick));
    connect(zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Tow_Wlasnosci::BB_ZapiszClick));
    connect(wlasnosci, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Tow_Wlasnosci::BB_WlasnosciClick));
    connect(BB_Wartosci, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Tow_Wlasnosci::BB_WartosciClick));

    auto* all = new QVBoxLayout(this);
    all->addLayout(head);
    all->addWidget(grid_);
    all->addLayout(buttons);
    updateButtons();
}

// The attributes of the item, one line each, with their values typed or picked.
void TEkr_Tow_Wlasnosci::setupValueGrid() {
    lines_ = new ValueLines([this](int row, const QString& v) { return storeLine(row, v); }, this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGrid_Wlasnosci"));
    grid_->setModel(lines_);
    grid_->setItemDelegate(new ValueDelegate([this] { editingBegan(); }, grid_));
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    grid_->setTabKeyNavigation(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->setColumnWidth(0, 170);
    grid_->setColumnWidth(1, 80);
    grid_->horizontalHeader()->setStretchLastSection(true);
    // Enter and double-click on a line (not while a value is typed) pick a value.
    connect(grid_, &QAbstractItemView::activated, this,
            ui::guardedSlot(this, &TEkr_Tow_Wlasnosci::BB_WartosciClick));
}

TEkr_Tow_Wlasnosci::~TEkr_Tow_Wlasnosci() = default;

QString TEkr_Tow_Wlasnosci::workTableName() const {
    return work_->name();
}

int TEkr_Tow_Wlasnosci::lineCount() const {
    return lines_->rowCount();
}

QStringList TEkr_Tow_Wlasnosci::line(int row) const {
    QStringList out;
    for (int c = 0; c < 3; ++c)
        out << lines_->data(lines_->index(row, c), Qt::DisplayRole).toString();
    return out;
}

bool TEkr_Tow_Wlasnosci::filled() const {
    return work_->exists();
}

// The lines from the template of the item's group, with the item's stored values in their
// shown form. Whatever was typed and not saved is dropped.
void TEkr_Tow_Wlasnosci::opening() {
    ui::BusyCursor busy;
    lines_->load({});
    work_->create();
    engine::Table& t = work_->table();
    const QString folder = st_.CurrentCatalogueFolder;
    {
        engine::Table szablon(folder, QStringLiteral("Szablon"));
        szablon.open();
        szablon.setRange({groupNr_});
        engine::Table cecha(folder, QStringLiteral("Cecha"));
        cecha.open();
        for (szablon.first(); !szablon.eof(); szablon.next()) {
            // An attribute deleted since it was put into the template can carry no value.
            if (!cecha.findKey({szablon.asInteger(QStringLiteral("Szablon_Cecha_Nr"))})) continue;
            t.append();
            t.setValue(kAttribute, cecha.asInteger(QStringLiteral("Cecha_Nr")));
            t.setValue(kName, cecha.asString(QStringLiteral("Cecha_Opis")));
            t.setValue(kType, cecha.asString(QStringLiteral("Cecha_Typ")));
            t.setValue(kPosition, szablon.asInteger(QStringLiteral("Szablon_Znaczenie")));
            t.post();
        }
    }
    {
        engine::Table opis(folder, QStringLiteral("Opis"));
        opis.open();
        opis.setRange({itemNr_});
        engine::Table byAttribute(work_->folder(), work_->name());
        byAttribute.setIndexName(QStringLiteral("wg_Cecha_nr"));
        byAttribute.open();
        // In Opis_Nr order within an attribute, so a later row wins over an earlier one.
        for (opis.first(); !opis.eof(); opis.next()) {
            if (!byAttribute.findKey({opis.asInteger(QStringLiteral("Opis_Cecha_Nr"))})) continue;
            byAttribute.edit();
            byAttribute.setValue(kValue,
                                 store::shownValue(byAttribute.asString(kType),
                                                   opis.asString(QStringLiteral("Opis_Opis"))));
            byAttribute.post();
        }
    }
    t.setIndexFieldNames(kEntry);

    QList<ValueLines::Line> lines;
    for (const QVariantMap& row : work_->rows(kPosition))
        lines << ValueLines::Line{row.value(kEntry).toInt(), row.value(kAttribute).toInt(),
                                  row.value(kName).toString(), row.value(kType).toString(),
                                  row.value(kValue).toString()};
    lines_->load(lines);
    if (!lines.isEmpty()) grid_->setCurrentIndex(lines_->index(0, kValueColumn));
    grid_->setFocus();
    markChanged(false);
    updateButtons();
}

void TEkr_Tow_Wlasnosci::updateButtons() {
    BB_Wartosci->setEnabled(lines_->rowCount() > 0);
}

void TEkr_Tow_Wlasnosci::editingBegan() {
    markChanged();
}

bool TEkr_Tow_Wlasnosci::storeLine(int row, const QString& typed) {
    // A message box shown from here may make the editor give its text again: one at a time.
    if (storing_ || row < 0 || row >= lines_->rowCount() || !work_->exists()) return false;
    const QScopedValueRollback guard(storing_, true);
    markChanged();
    const ValueLines::Line& l = lines_->at(row);
    const store::CheckedValue checked = store::checkItemValue(l.letter, typed);
    if (checked.fault != store::ValueFault::None) {
        ui::messages().information(store::valueFaultMessage(checked.fault));
        return false;
    }
    if (checked.shown.size() > store::kAttributeValueLength) {
        ui::messages().information(
            QStringLiteral("Wartość jest dłuższa niż %1 znaków. Zapis nie jest możliwy !")
                .arg(store::kAttributeValueLength));
        return false;
    }
    if (checked.shown == l.value) return true;
    engine::Table& t = work_->table();
    if (!t.findKey({l.entry})) return false;
    t.edit();
    t.setValue(kValue, checked.shown.isEmpty() ? QVariant() : QVariant(checked.shown));
    t.post();
    lines_->setValue(row, checked.shown);
    return true;
}

void TEkr_Tow_Wlasnosci::BB_WartosciClick() {
    if (!work_->exists() || lines_->rowCount() == 0) return;
    const int row = std::max(0, grid_->currentIndex().row());
    const ValueLines::Line l = lines_->at(row);
    if (l.letter == QLatin1String("S")) {
        const QString folder = l.value.isEmpty() ? QString() : QFileInfo(l.value).absolutePath();
        const QString path = ui::fileDialogs().openFileName(QStringLiteral("Wybierz plik"), folder,
                                                            QStringLiteral("Wszystkie pliki (*)"));
        if (path.isEmpty()) return;
        // Cut to the field, the path would lead nowhere.
        if (path.size() > store::kAttributeValueLength) {
            ui::messages().information(
                QStringLiteral("Pełna ścieżka wybranego pliku ma więcej niż %1 znaków i nie "
                               "zmieści się w opisie własności. Zapis nie jest możliwy !")
                    .arg(store::kAttributeValueLength));
            return;
        }
        storeLine(row, path);
        return;
    }
    if (const auto value = pickValue(st_, this, l.attribute, l.name, l.letter))
        storeLine(row, *value);
    grid_->setCurrentIndex(lines_->index(row, kValueColumn));
}

void TEkr_Tow_Wlasnosci::BB_WlasnosciClick() {
    st_.TemplateGroupName = groupName_;
    st_.TemplateGroupNr = groupNr_;
    runInBetween(
        QStringLiteral("Dane zostały zmienione. Zapamiętać przed "
                       "przejściem do edycji własności w grupie ?"),
        [this] {
            TAktualizacja_WWG templ(st_, this);
            ui::modalRunner().run(templ);
        },
        [this] { opening(); });
}

bool TEkr_Tow_Wlasnosci::save() {
    if (!work_->exists()) return false;
    {
        engine::Table towar(st_.CurrentCatalogueFolder, QStringLiteral("Towar"));
        towar.open();
        if (!towar.findKey({itemNr_})) {
            ui::messages().information(QStringLiteral(
                "Obiekt został usunięty przez innego użytkownika. Zapis nie jest możliwy !"));
            return false;
        }
        towar.close();
        platform::RowReplacement r;
        r.table = QStringLiteral("Opis");
        r.matchFields = {QStringLiteral("Opis_Tow_Nr")};
        r.matchValues = {itemNr_};
        for (const QVariantMap& row : work_->rows(kPosition)) {
            const QString value = row.value(kValue).toString();
            if (value.isEmpty()) continue;
            r.rows << QVariantMap{{QStringLiteral("Opis_Tow_Nr"), itemNr_},
                                  {QStringLiteral("Opis_Cecha_Nr"), row.value(kAttribute).toInt()},
                                  {QStringLiteral("Opis_Opis"),
                                   store::storedValue(row.value(kType).toString(), value)}};
        }
        platform::replaceRows(st_.CurrentCatalogueFolder, {r});
        if (st_.TFTowar.isOpen()) st_.TFTowar.refresh();
    }
    return true;
}

void TEkr_Tow_Wlasnosci::release() {
    lines_->load({});
    work_->remove();
    updateButtons();
}

void TEkr_Tow_Wlasnosci::keyPressEvent(QKeyEvent* event) {
    // Enter on a line was taken by the grid ("Wartości ..."); no button answers it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

} // namespace items
