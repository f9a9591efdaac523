#include "items/Wlasnosci.h"
#include "engine/query.h"
#include "store/attributevalues.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/modalrunner.h"
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace items {

namespace {
const QString kTypeWordField = QStringLiteral("Typ_Slowo");
}

TEkr_Wlasnosci::TEkr_Wlasnosci(store::MainState& state, QWidget* parent)
    : QDialog(parent), st_(state), query_(std::make_unique<engine::Query>()) {
    setObjectName(QStringLiteral("TEkr_Wlasnosci"));
    ui::setHelpContext(this, 1020);
    setWindowTitle(QStringLiteral("Własności"));
    resize(380, 360);

    query_->addCalculatedField(kTypeWordField, engine::FieldType::Alpha, 12);
    connect(query_.get(), &engine::DataSet::calcFields, this, [](engine::DataSet* ds) {
        ds->setCalculated(kTypeWordField,
                          store::attributeTypeWord(ds->asString(QStringLiteral("Cecha_Typ"))));
    });

    grid_ = new ui::DbGrid(this);
    grid_->setObjectName(QStringLiteral("DBGrid_Wlasnosci"));
    grid_->addColumn(QStringLiteral("Cecha_Opis"), QStringLiteral("Własność"), 220);
    grid_->addColumn(kTypeWordField, QStringLiteral("Typ"), 80);

    BB_Wybierz = ui::dialogButton(this, QStringLiteral("BB_Wybierz"), QStringLiteral("Wybierz"));
    BB_Wybierz->setAutoDefault(true); // Enter anywhere in the picker chooses
    auto* powrot = ui::dialogButton(this, QStringLiteral("BB_Powrot"), QStringLiteral("Powrót"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BB_Wybierz);
    buttons->addWidget(powrot);
    auto* all = new QVBoxLayout(this);
    all->addWidget(grid_);
    all->addLayout(buttons);

    connect(BB_Wybierz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Wlasnosci::BB_WybierzClick));
    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Wlasnosci::BB_PowrotClick));
    const auto pick = ui::guardedSlot([this] {
        if (!BB_Wybierz->isHidden()) BB_WybierzClick();
    });
    connect(grid_, &ui::DbGrid::rowDoubleClicked, this, pick);
    connect(grid_, &ui::DbGrid::enterPressed, this, pick);
}

TEkr_Wlasnosci::~TEkr_Wlasnosci() {
    grid_->setDataSet(nullptr);
}

QStringList TEkr_Wlasnosci::queryLines(int groupNr) {
    QStringList lines{QStringLiteral("SELECT DISTINCT Cecha.*"),
                      QStringLiteral("FROM Grupa , Cecha , Szablon"),
                      QStringLiteral("WHERE"),
                      QStringLiteral("Cecha.Cecha_Nr=Szablon.Szablon_Cecha_Nr"),
                      QStringLiteral("and"),
                      QStringLiteral("Szablon.Szablon_Grupa_Nr=Grupa_nr")};
    if (groupNr != -1) lines << QStringLiteral("and Grupa.Grupa_Nr=") + QString::number(groupNr);
    return lines;
}

void TEkr_Wlasnosci::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    // Nothing to choose from a list that could not be made.
    if (!ui::guarded([this] { opening(); })) BB_Wybierz->hide();
}

void TEkr_Wlasnosci::opening() {
    st_.AttributeNr = 0;
    grid_->setDataSet(nullptr);
    query_->close();
    query_->setDatabaseName(st_.CurrentCatalogueFolder);
    query_->setSql(queryLines(st_.TemplateGroupNr));
    query_->open();
    query_->first();
    grid_->setDataSet(query_.get());
    BB_Wybierz->setVisible(!query_->isEmpty());
    grid_->setFocus();
}

void TEkr_Wlasnosci::BB_WybierzClick() {
    if (!query_->isOpen() || query_->isEmpty()) return;
    st_.AttributeNr = query_->asInteger(QStringLiteral("Cecha_Nr"));
    st_.AttributeName = query_->asString(QStringLiteral("Cecha_Opis"));
    st_.AttributeTypeText = query_->asString(QStringLiteral("Cecha_Typ"));
    accept();
}

void TEkr_Wlasnosci::BB_PowrotClick() {
    reject();
}

std::optional<PickedAttribute> pickAttribute(store::MainState& state, QWidget* parent,
                                             int groupNr) {
    state.TemplateGroupNr = groupNr;
    state.AttributeNr = 0;
    {
        TEkr_Wlasnosci dialog(state, parent);
        ui::modalRunner().run(dialog);
    }
    if (state.AttributeNr == 0) return std::nullopt;
    return PickedAttribute{state.AttributeNr, state.AttributeName, state.AttributeTypeText};
}

} // namespace items
