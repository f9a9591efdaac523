// The layout a user leaves behind and finds again at the next start, kept in the main folder per
// user: the window's size, place and toolbars, every dialog's size and place and, for each
// catalogue, the item list's column widths, its order, its current item and the detail page shown.
#include "engine/error.h"
#include "shell/E_Glowny.h"
#include "store/folderpaths.h"
#include "store/layoutstore.h"
#include "ui/windowplaces.h"
#include "ui_E_Glowny.h"
#include <QAction>
#include <QHeaderView>
#include <QScopedValueRollback>

namespace shell {

namespace {

const QString kWindowGeometry = QStringLiteral("window/geometry");
const QString kWindowState = QStringLiteral("window/state");
const QString kToolbarTextUnder = QStringLiteral("window/toolbarTextUnder");
const QString kItemWidths = QStringLiteral("items/widths");
const QString kItemSort = QStringLiteral("items/sort");
const QString kCurrentItem = QStringLiteral("items/current");
const QString kDetailTab = QStringLiteral("items/tab");
// The checkable command that puts the toolbar's texts under its icons, where the window has one.
const QString kToolbarTextUnderAction = QStringLiteral("toolbarTextUnder");
const QString kItemNr = QStringLiteral("Tow_nr");

// "Tow_Nazwa=200;Tow_Symbol=130": the widths the user gave the item grid's columns.
QString widthsText(const QHash<QString, int>& widths) {
    QStringList parts;
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        parts << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    parts.sort(); // the same widths give the same text, and nothing to write
    return parts.join(u';');
}

QHash<QString, int> widthsFrom(const QString& text) {
    QHash<QString, int> widths;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq <= 0) continue;
        bool ok = false;
        const int w = part.mid(eq + 1).toInt(&ok);
        if (ok && w > 0 && w < 10000) widths.insert(part.left(eq).toLower(), w);
    }
    return widths;
}

} // namespace

// What the window keeps of the layout while it runs; written to the main folder at exit.
class TForm_Pelk::WindowLayout : public QObject {
public:
    explicit WindowLayout(QObject* parent) : QObject(parent) {}
    std::unique_ptr<store::LayoutStore> store;
    ui::DialogPlaces* dialogs = nullptr;
    QString catalogue;              // the catalogue the item list's layout belongs to
    bool catalogueShown = false;    // a catalogue's layout is on screen
    QHash<QString, int> itemWidths; // by lower-case field, as the user left them
    bool gridResetting = false;     // the item grid reads its rows anew
};

void TForm_Pelk::setUpLayout() {
    layout_ = new WindowLayout(this);
    auto* grid = ui_->DBGrid_Towary;
    // The grid puts its widths back itself when its rows are read anew; that is not the user.
    connect(grid->gridModel(), &QAbstractItemModel::modelAboutToBeReset, layout_,
            [this] { layout_->gridResetting = true; });
    connect(grid->gridModel(), &QAbstractItemModel::modelReset, layout_,
            [this] { layout_->gridResetting = false; });
    // Every shown column as it is on screen, not only the one dragged: where the columns fill the
    // grid, their widths are taken as proportions, and the others' must stay as seen.
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, layout_,
            [this, grid](int, int, int width) {
                if (itemWidthsByProgram_ || layout_->gridResetting || width <= 0) return;
                const QHeaderView* header = grid->horizontalHeader();
                for (int c = 0; c < header->count(); ++c) {
                    const QString field = grid->gridModel()->fieldOfColumn(c);
                    const int w = header->sectionSize(c);
                    if (!field.isEmpty() && w > 0 && !header->isSectionHidden(c))
                        layout_->itemWidths.insert(field.toLower(), w);
                }
            });
}

int TForm_Pelk::rememberedItemWidth(const QString& field, int nominal) const {
    return layout_ ? layout_->itemWidths.value(field.toLower(), nominal) : nominal;
}

void TForm_Pelk::restoreLayout() {
    auto store = std::make_unique<store::LayoutStore>(state_.MainFolder, state_.CurrentUserNr);
    try {
        store->load();
    } catch (const engine::EngineError&) {
        // Unreadable: the program starts as it always did, and the exit writes it anew.
    }
    layout_->store = std::move(store);
    store::LayoutStore& s = *layout_->store;
    ui::restoreWindowGeometry(*this, s.value({}, kWindowGeometry));
    const QByteArray windowState = QByteArray::fromBase64(s.value({}, kWindowState).toLatin1());
    if (!windowState.isEmpty()) restoreState(windowState);
    if (auto* under = findChild<QAction*>(kToolbarTextUnderAction);
        under && under->isCheckable() && s.contains({}, kToolbarTextUnder))
        under->setChecked(s.value({}, kToolbarTextUnder) == QLatin1String("1"));
    layout_->dialogs = new ui::DialogPlaces(s, layout_);
    restoreCatalogueLayout();
}

void TForm_Pelk::restoreCatalogueLayout() {
    if (!layout_->store) return;
    layout_->catalogueShown = false;
    if (!state_.StartupDone || !state_.TFTowar.isOpen()) return;
    const store::LayoutStore& s = *layout_->store;
    const QString catalogue = store::storedFolder(state_.CurrentCatalogueFolder, state_.MainFolder);
    layout_->catalogue = catalogue;
    layout_->catalogueShown = true;
    layout_->itemWidths = widthsFrom(s.value(catalogue, kItemWidths));
    BB_Odswiez_GridyClick();

    bool ok = false;
    const int sort = s.value(catalogue, kItemSort).toInt(&ok);
    if (ok && sort > 0 && sort < ui_->Wyswietlaj_wg->count() && sort != sortChoice()) {
        selectSortChoice(sort);
        ui::guarded([&] { controller_->items().sortChanged(sort); });
    }
    const int tab = s.value(catalogue, kDetailTab).toInt(&ok);
    if (ok && tab >= 0 && tab < ui_->TNotebook->count() && ui_->TNotebook->isTabEnabled(tab) &&
        ui_->TNotebook->isTabVisible(tab))
        showDetailTab(tab);
    const qint64 nr = s.value(catalogue, kCurrentItem).toLongLong(&ok);
    if (!ok || nr <= 0) return;
    try {
        // Found by its number whatever the order; the list then stands on it in its own order.
        auto& items = state_.TFTowar;
        const QString order = items.indexFieldNames();
        items.setIndexFieldNames(kItemNr);
        const bool found = items.findKey({nr});
        items.setIndexFieldNames(order);
        if (!found) items.first(); // deleted since: the list starts at its top as always
    } catch (const engine::EngineError&) {
        // The list stays where the opening left it.
    }
}

void TForm_Pelk::rememberCatalogueLayout() {
    if (!layout_->store || !layout_->catalogueShown) return;
    store::LayoutStore& s = *layout_->store;
    const QString& catalogue = layout_->catalogue;
    if (!layout_->itemWidths.isEmpty())
        s.setValue(catalogue, kItemWidths, widthsText(layout_->itemWidths));
    s.setValue(catalogue, kItemSort, QString::number(sortChoice()));
    s.setValue(catalogue, kDetailTab, QString::number(detailTab()));
    const auto& items = state_.TFTowar;
    if (items.isOpen() && !items.isEmpty())
        s.setValue(catalogue, kCurrentItem, QString::number(items.asInteger(kItemNr)));
}

void TForm_Pelk::saveLayout() {
    if (!layout_->store) return;
    // Whatever goes wrong here, the window closes: a layout is not worth keeping anybody.
    try {
        store::LayoutStore& s = *layout_->store;
        rememberCatalogueLayout();
        s.setValue({}, kWindowGeometry, ui::windowGeometryText(*this));
        s.setValue({}, kWindowState, QString::fromLatin1(saveState().toBase64()));
        if (auto* under = findChild<QAction*>(kToolbarTextUnderAction);
            under && under->isCheckable())
            s.setValue({}, kToolbarTextUnder,
                       under->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        if (layout_->dialogs) layout_->dialogs->rememberShown();
        s.save();
    } catch (...) {
    }
}

} // namespace shell
