#include "search/Filtr.h"
#include "engine/error.h"
#include "items/Ak_grupa.h"
#include "partners/Ak_firma.h"
#include "search/filterbuilder.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/modalrunner.h"
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

namespace search {

namespace {

constexpr int kBoxWidth = 470;
constexpr int kRowPitch = 28;
constexpr int kBoxTop = 20;
constexpr int kButtonBarHeight = 40;

int boxHeight(int rows) {
    return kBoxTop + rows * kRowPitch + 6;
}

QLabel* rowLabel(QWidget* box, int row, const QString& text, const QByteArray& name) {
    auto* l = new QLabel(text, box);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(8, kBoxTop + row * kRowPitch + 3, 120, 20);
    return l;
}

QLineEdit* rowEdit(QWidget* box, int row, const QByteArray& name) {
    auto* e = new QLineEdit(box);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(130, kBoxTop + row * kRowPitch, 200, 24);
    return e;
}

QComboBox* rowOperators(QWidget* box, int row, const QByteArray& name, const QStringList& ops) {
    auto* c = new QComboBox(box);
    c->setObjectName(QLatin1String(name));
    c->addItems(ops);
    c->setCurrentIndex(-1);
    c->setGeometry(336, kBoxTop + row * kRowPitch, 100, 24);
    return c;
}

QPushButton* rowPicker(QWidget* box, int row, const char* name) {
    auto* b = ui::dialogButton(box, QLatin1String(name), QStringLiteral("..."));
    b->setGeometry(440, kBoxTop + row * kRowPitch, 24, 24);
    return b;
}

// An operator index as the list can show it: outside the list is nothing chosen.
void selectOperator(QComboBox* c, int index) {
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

} // namespace

TEkr_Filtr::TEkr_Filtr(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Filtr"));
    setWindowTitle(QStringLiteral("Filtr"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 2300);

    itemBox_ = new QGroupBox(this);
    itemBox_->setObjectName(QStringLiteral("GroupBox_Towar"));
    itemBox_->setGeometry(6, 4, kBoxWidth, boxHeight(4));
    rowLabel(itemBox_, 0, QStringLiteral("Grupa  "), "Label_Grupa");
    group_ = rowEdit(itemBox_, 0, "Edit_Grupa");
    group_->setReadOnly(true);
    groupOp_ = rowOperators(itemBox_, 0, "CB_Grupa", filterChoiceOperators());
    groupPick_ = rowPicker(itemBox_, 0, "BB_Grupa");
    name1_ = addTextRow(itemBox_, 1, "Nazwa1", 50, filterNameOperators());
    name2_ = addTextRow(itemBox_, 2, "Nazwa2", 50, filterNameOperators());
    symbol_ = addTextRow(itemBox_, 3, "Symbol", 25, filterCodeOperators());

    producerBox_ = new QGroupBox(this);
    producerBox_->setObjectName(QStringLiteral("GroupBox_Producent"));
    producerBox_->setGeometry(6, itemBox_->geometry().bottom() + 4, kBoxWidth, boxHeight(2));
    rowLabel(producerBox_, 0, st_.Display.headerProducer + QStringLiteral(" :"), "Label_Producent");
    producer_ = rowEdit(producerBox_, 0, "Edit_Producent");
    producer_->setReadOnly(true);
    producerOp_ = rowOperators(producerBox_, 0, "CB_Producent", filterChoiceOperators());
    producerPick_ = rowPicker(producerBox_, 0, "BB_Producent");
    code_ = addTextRow(producerBox_, 1, "Kod_Prod", 25, filterCodeOperators());

    buttonBar_ = new QWidget(this);
    buttonBar_->setObjectName(QStringLiteral("Panel_Przyciski"));
    auto* filtruj =
        ui::dialogButton(buttonBar_, QStringLiteral("BB_Filtruj"), QStringLiteral("Filtruj"));
    auto* anuluj =
        ui::dialogButton(buttonBar_, QStringLiteral("BB_Anuluj"), QStringLiteral("Anuluj filtr"));
    auto* powrot =
        ui::dialogButton(buttonBar_, QStringLiteral("BB_Powrot"), QStringLiteral("Powrót"));
    filtruj->setGeometry(110, 8, 110, 26);
    anuluj->setGeometry(226, 8, 110, 26);
    powrot->setGeometry(342, 8, 110, 26);
    connect(filtruj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Filtr::BB_FiltrujClick));
    connect(anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Filtr::BB_AnulujClick));
    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Filtr::BB_PowrotClick));
    connect(groupPick_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Filtr::BB_GrupaClick));
    connect(producerPick_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Filtr::BB_ProducentClick));

    connectOperatorChoices();

    FormActivate();
}

void TEkr_Filtr::connectOperatorChoices() {
    // "nic" takes the group or the producer away, from the dialog and from the kept state.
    connect(groupOp_, &QComboBox::activated, this, [this](int index) {
        if (index != kFilterChoiceNothing) return;
        groupOp_->setCurrentIndex(-1);
        group_->clear();
        groupNr_ = 0;
        st_.Filter.groupName.clear();
        st_.Filter.groupNr = 0;
        st_.Filter.groupOp = -1;
    });
    connect(producerOp_, &QComboBox::activated, this, [this](int index) {
        if (index != kFilterChoiceNothing) return;
        producerOp_->setCurrentIndex(-1);
        producer_->clear();
        producerNr_ = 0;
        st_.Filter.producerName.clear();
        st_.Filter.producerNr = 0;
        st_.Filter.producerOp = -1;
    });
    connectNothing(name1_, &store::FilterState::name1, &store::FilterState::name1Op);
    connectNothing(name2_, &store::FilterState::name2, &store::FilterState::name2Op);
    connectNothing(symbol_, &store::FilterState::symbol, &store::FilterState::symbolOp);
    connectNothing(code_, &store::FilterState::producerCode, &store::FilterState::producerCodeOp);
    for (const TextRow* r : {&name1_, &name2_, &symbol_, &code_})
        r->edit->installEventFilter(this);
}

TEkr_Filtr::TextRow TEkr_Filtr::addTextRow(QWidget* box, int row, const char* name, int maxLength,
                                           const QStringList& ops) {
    TextRow r;
    const QByteArray n(name);
    r.label = rowLabel(box, row, {}, "Label_" + n);
    r.edit = rowEdit(box, row, "Edit_" + n);
    r.edit->setMaxLength(maxLength);
    r.op = rowOperators(box, row, "CB_" + n, ops);
    return r;
}

void TEkr_Filtr::connectNothing(const TextRow& row, QString store::FilterState::*text,
                                int store::FilterState::*op) {
    connect(row.op, &QComboBox::activated, this, [this, row, text, op](int index) {
        if (index != FilterNothing) return;
        row.op->setCurrentIndex(-1);
        row.edit->clear();
        st_.Filter.*text = QString();
        st_.Filter.*op = -1;
    });
}

void TEkr_Filtr::FormActivate() {
    const store::FilterState& f = st_.Filter;
    group_->setText(f.groupName);
    groupNr_ = f.groupNr;
    selectOperator(groupOp_, f.groupOp);
    producer_->setText(f.producerName);
    producerNr_ = f.producerNr;
    selectOperator(producerOp_, f.producerOp);
    const std::pair<const TextRow*, std::pair<QString, int>> rows[] = {
        {&name1_, {f.name1, f.name1Op}},
        {&name2_, {f.name2, f.name2Op}},
        {&symbol_, {f.symbol, f.symbolOp}},
        {&code_, {f.producerCode, f.producerCodeOp}}};
    for (const auto& [row, value] : rows) {
        row->edit->setText(value.first);
        selectOperator(row->op, value.second);
    }

    const store::DisplayConfig& d = st_.Display;
    name1_.label->setText(d.headerName1 + QStringLiteral(" :"));
    name2_.label->setText(d.headerName2 + QStringLiteral(" :"));
    symbol_.label->setText(d.headerSymbol + QStringLiteral(" :"));
    code_.label->setText(d.headerProducerCode + QStringLiteral(" :"));

    // A box the display configuration switches off is folded away, and the dialog with it.
    auto fold = [](QGroupBox* box, bool shown, int rows) {
        box->setVisible(shown);
        box->resize(box->width(), shown ? boxHeight(rows) : 0);
    };
    fold(itemBox_, d.panelBasic, 4);
    fold(producerBox_, d.panelProducer, 2);
    int y = 4;
    for (QWidget* w : {static_cast<QWidget*>(itemBox_), static_cast<QWidget*>(producerBox_)}) {
        w->move(w->x(), y);
        if (w->height() > 0) y += w->height() + 4;
    }
    buttonBar_->setGeometry(0, y, kBoxWidth + 12, kButtonBarHeight);
    setFixedSize(kBoxWidth + 12,
                 itemBox_->height() + producerBox_->height() + kButtonBarHeight + 24);
}

store::FilterState TEkr_Filtr::current() const {
    store::FilterState f;
    f.groupName = group_->text();
    f.groupNr = groupNr_;
    f.groupOp = groupOp_->currentIndex();
    f.name1 = name1_.edit->text();
    f.name1Op = name1_.op->currentIndex();
    f.name2 = name2_.edit->text();
    f.name2Op = name2_.op->currentIndex();
    f.symbol = symbol_.edit->text();
    f.symbolOp = symbol_.op->currentIndex();
    f.producerCode = code_.edit->text();
    f.producerCodeOp = code_.op->currentIndex();
    f.producerName = producer_->text();
    f.producerNr = producerNr_;
    f.producerOp = producerOp_->currentIndex();
    return f;
}

QString TEkr_Filtr::expression() const {
    return filterExpression(current());
}

void TEkr_Filtr::BB_FiltrujClick() {
    const store::FilterState f = current();
    const QString e = filterExpression(f);
    auto& items = st_.TFTowar;
    const bool applied = ui::guarded([&] {
        const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (gui) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([gui] {
            if (gui) QGuiApplication::restoreOverrideCursor();
        });
        items.setFiltered(false);
        if (e.isEmpty()) return;
        items.setFilter(e);
        items.setFiltered(true);
    });
    if (!applied) {
        // The table shows all its rows again; the dialog stays for the text to be mended. The
        // filter's failure has been shown, and a second one here would tell nothing more.
        try {
            items.setFiltered(false);
        } catch (const engine::EngineError&) {
        }
        return;
    }
    if (!e.isEmpty()) st_.Filter = f;
    st_.Filter.applied = true;
    outcome_ = Outcome::Applied;
    accept();
}

void TEkr_Filtr::BB_AnulujClick() {
    st_.resetFilterState();
    ui::guarded([this] { st_.TFTowar.setFiltered(false); });
    outcome_ = Outcome::Cancelled;
    accept();
}

void TEkr_Filtr::BB_PowrotClick() {
    outcome_ = Outcome::None;
    reject();
}

void TEkr_Filtr::BB_GrupaClick() {
    const auto group = items::pickGroup(st_, this, group_->text());
    // A list closed without a pick takes the group away.
    groupNr_ = group ? group->nr : 0;
    group_->setText(group ? group->name : QString());
}

void TEkr_Filtr::BB_ProducentClick() {
    const auto producer = partners::pickCompany(st_, this, producer_->text());
    producerNr_ = producer ? producer->nr : 0;
    producer_->setText(producer ? producer->name : QString());
}

bool TEkr_Filtr::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
    const bool up = key == Qt::Key_Up;
    QWidget* to = nullptr;
    if (watched == name1_.edit || watched == name2_.edit)
        to = up ? static_cast<QWidget*>(groupPick_) : symbol_.edit;
    else if (watched == symbol_.edit)
        to = up ? name1_.edit : code_.edit;
    else if (watched == code_.edit)
        to = up ? static_cast<QWidget*>(symbol_.edit) : producerPick_;
    if (!to) return false;
    to->setFocus();
    return true;
}

} // namespace search
