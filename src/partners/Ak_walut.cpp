#include "partners/Ak_walut.h"
#include "engine/table.h"
#include "engine/values.h"
#include "platform/clock.h"
#include "store/mainstate.h"
#include "ui/help.h"
#include "ui/picking.h"
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace partners {

namespace {
const QString kNr = QStringLiteral("Waluta_Nr");
const QString kName = QStringLiteral("Waluta_Nazwa");
const QString kRate = QStringLiteral("Waluta_Kurs");
const QString kDate = QStringLiteral("Waluta_Data");
} // namespace

TEkr_Aktualizacja_Waluta::TEkr_Aktualizacja_Waluta(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Waluta"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 900);
    Setup s;
    s.caption = QStringLiteral("Waluty");
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = QStringLiteral("Waluta");
    // No search field: the few currencies stand in the order they were entered.
    s.columns = {{kName, QStringLiteral("Waluta"), 0},
                 {kRate, QStringLiteral("Kurs"), 0},
                 {kDate, QStringLiteral("Data"), 0}};
    s.addHint = QStringLiteral("Dodawanie nowej waluty");
    s.panelAdding = QStringLiteral("Dodawanie nowej waluty");
    s.panelChanging = QStringLiteral("Edycja waluty");
    s.deleteQuestion = QStringLiteral("Chcesz uzunąć zaznaczoną pozycję ?");
    // Purchase prices keep their currency; an item's purchase currency and the home currency of
    // the settings may lose theirs.
    s.references = {{.table = QStringLiteral("Cena"),
                     .fields = QStringLiteral("Cena_Waluta_Nr"),
                     .keyField = kNr,
                     .message = QStringLiteral("Ta waluta jest wykorzystywana przez inne bazy !")}};
    s.readOnly = !state.fullRights();
    s.picking = !state.CurrencyPickMode.isEmpty();
    build(std::move(s));

    name_ = addEditField(QStringLiteral("Edit_Waluta"), QStringLiteral("Waluta :"), kName);
    rate_ = new QLineEdit(editPanel());
    rate_->setObjectName(QStringLiteral("Edit_Kurs"));
    rate_->setMaxLength(20);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(rate_, 1);
    rateRow->addWidget(new QLabel(QStringLiteral("zł"), editPanel()));
    editForm()->addRow(QStringLiteral("Kurs :"), rateRow);
    registerEditControl(rate_);
    resize(480, 380);
}

void TEkr_Aktualizacja_Waluta::closing() {
    st_.CurrencyPickMode.clear();
}

void TEkr_Aktualizacja_Waluta::clearResults() {
    st_.PickedCurrencyName.clear();
    st_.PickedCurrencyNr = 0;
}

void TEkr_Aktualizacja_Waluta::storeResults() {
    st_.PickedCurrencyName = table().asString(kName);
    st_.PickedCurrencyNr = table().asInteger(kNr);
}

void TEkr_Aktualizacja_Waluta::prepareAdding() {
    ListDialog::prepareAdding();
    rate_->clear();
}

void TEkr_Aktualizacja_Waluta::prepareChanging() {
    ListDialog::prepareChanging();
    rate_->setText(table().asString(kRate)); // with the decimal comma
}

bool TEkr_Aktualizacja_Waluta::checkInput() {
    const bool noName = name_->text().trimmed().isEmpty();
    if (noName || rate_->text().trimmed().isEmpty()) {
        refuse(QStringLiteral(" Nie wpowadzono wszystkich danych. Zapis nie jest możliwy !"),
               noName ? name_ : rate_);
        return false;
    }
    return true;
}

bool TEkr_Aktualizacja_Waluta::writeRow() {
    // A rate that is no number, or none above zero, would price everything bought in the
    // currency at nothing or below: the user corrects what he typed.
    const auto rate = engine::parseLooseNumber(rate_->text());
    if (!rate || *rate <= 0) {
        refuse(QStringLiteral(" Dane nie są poprawne ! Zapis nie jest możliwy !"), rate_);
        return false;
    }
    if (!ListDialog::writeRow()) return false;
    table().setValue(kRate, *rate);
    // The rate is as new as its last save, whatever was changed.
    table().setValue(kDate, platform::today());
    return true;
}

void TEkr_Aktualizacja_Waluta::BB_EnterClick() {
    if (editing())
        BB_ZapiszClick();
    else
        BB_PoprawClick(); // refused for a read-only user and on an empty list
}

void TEkr_Aktualizacja_Waluta::BB_EscClick() {
    if (editing())
        BB_AnulujClick();
    else
        BB_PowrotClick();
}

bool TEkr_Aktualizacja_Waluta::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rate_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->text() == QLatin1String(".")) {
        // The decimal separator is the comma, whichever key the user reaches for.
        rate_->insert(QStringLiteral(","));
        markChanged();
        return true;
    }
    return ListDialog::eventFilter(watched, event);
}

std::optional<PickedCurrency> pickCurrency(store::MainState& state, QWidget* parent) {
    // The dialog has no search field to start.
    state.CurrencySearchText.clear();
    state.PickedCurrencyName.clear();
    state.PickedCurrencyNr = 0;
    ui::runPicking<TEkr_Aktualizacja_Waluta>(state, state.CurrencyPickMode, store::kPickingWord,
                                             parent);
    if (state.PickedCurrencyNr == 0) return std::nullopt;
    return PickedCurrency{state.PickedCurrencyName, state.PickedCurrencyNr};
}

} // namespace partners
