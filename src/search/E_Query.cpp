#include "search/E_Query.h"
#include "engine/sqlfunctions.h"
#include "items/Ak_grupa.h"
#include "items/Wartosci.h"
#include "items/Wlasnosci.h"
#include "partners/Ak_firma.h"
#include "search/querybuilder.h"
#include "store/attributevalues.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace search {

namespace {

const QString kRange = QStringLiteral("w przedziale");
const QString kNothing = QStringLiteral("nic");
constexpr int kLine = 24;
constexpr int kTop = 10;
constexpr int kLines = 10; // group, attribute, two value rows, five item rows, price
constexpr int kWidth = 496;
constexpr int kButtonBar = 44;
constexpr int kFullHeight = kTop + kLines * kLine + kButtonBar;

int lineY(int line) {
    return kTop + line * kLine;
}

// Every letter typed becomes its capital as it is typed.
class UpperCase : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = engine::upperPolish(input);
        return Acceptable;
    }
};

QLabel* label(QWidget* parent, const QByteArray& name, const QString& text, int x, int line,
              int width) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(x, lineY(line) + 2, width, 20);
    return l;
}

QLineEdit* edit(QWidget* parent, const QString& name, int x, int line, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(x, lineY(line), width, 22);
    return e;
}

QPushButton* picker(QWidget* parent, const QString& name, int line) {
    auto* b = ui::dialogButton(parent, name, QStringLiteral("..."));
    b->setGeometry(kWidth - 32, lineY(line), 24, 22);
    return b;
}

void select(QComboBox* c, int index) {
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

void moveTo(QWidget* w, int line) {
    w->move(w->x(), lineY(line) + (qobject_cast<QLabel*>(w) ? 2 : 0));
}

} // namespace

TEkr_Query::TEkr_Query(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Query"));
    setWindowTitle(QStringLiteral("Zapytanie"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 2000);

    const QStringList& itemOps = queryItemOperators();
    group_ = addRow(0, "Grupa", QStringLiteral("Grupa :"), itemOps, true);
    group_.pick = picker(this, QStringLiteral("BB_Grupa"), 0);

    label(this, "Label_Wlasnosc", QStringLiteral("Własność :"), 8, 1, 110);
    attributeName_ = label(this, "Label_Nazwa_Wlasnosci", {}, 124, 1, 190);
    attributeType_ = label(this, "Label_Typ", {}, 318, 1, 96);
    auto* clear = ui::dialogButton(this, QStringLiteral("BB_Wyczysc"), QStringLiteral("Wyczyść"));
    clear->setGeometry(kWidth - 100, lineY(1), 64, 22);
    auto* attributePick = picker(this, QStringLiteral("BB_Wlasnosc"), 1);

    buildValueLines();

    name1_ = addRow(4, "Nazwa1", {}, itemOps, true);
    name2_ = addRow(5, "Nazwa2", {}, itemOps, true);
    symbol_ = addRow(6, "Symbol", {}, itemOps, true);
    producer_ = addRow(7, "Producent", {}, itemOps, true);
    producer_.pick = picker(this, QStringLiteral("BB_Producent"), 7);
    producerSymbol_ = addRow(8, "Kod_Prod", {}, itemOps, true);
    price_ = addRow(9, "Cena", QStringLiteral("Cena sprzedaży"), queryPriceOperators(), false);
    price_.edit->resize(120, price_.edit->height());
    label(this, "Label_zl", QStringLiteral("zł"), price_.edit->geometry().right() + 6, 9, 24);

    buildButtonBar();
    connect(group_.pick, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_GrupaClick));
    connect(producer_.pick, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_ProducentClick));
    connect(attributePick, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_WlasnoscClick));
    connect(value1Pick_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_WartoscClick));
    connect(value2Pick_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_WartoscClick));
    connect(clear, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_WyczyscClick));
    connect(valueOp_, &QComboBox::activated, this,
            ui::guardedSlot(this, &TEkr_Query::valueOperatorChanged));
    for (const Row* r : {&group_, &name1_, &name2_, &symbol_, &producer_, &producerSymbol_})
        connect(r->op, &QComboBox::activated, this,
                [this, r](int index) { itemOperatorChosen(*r, index); });
    connect(price_.op, &QComboBox::activated, this, [this](int index) {
        if (index == kPriceNothing) price_.edit->clear();
    });

    FormActivate();
}

// The attribute's value: the comparison and one or two values ("od :", "do :").
void TEkr_Query::buildValueLines() {
    valueCaption_ = label(this, "Label_Wartosc", QStringLiteral("Wartość :"), 8, 2, 110);
    valueOp_ = new QComboBox(this);
    valueOp_->setObjectName(QStringLiteral("CB_Wartosc"));
    valueOp_->setGeometry(124, lineY(2), 110, 22);
    from_ = label(this, "Label_Od", QStringLiteral("od :"), 240, 2, 30);
    value1_ = edit(this, QStringLiteral("Edit_Wartosc1"), 272, 2, kWidth - 308);
    value1_->setValidator(new UpperCase(value1_));
    value1Pick_ = picker(this, QStringLiteral("BB_Wartosc1"), 2);
    to_ = label(this, "Label_Do", QStringLiteral("do :"), 240, 3, 30);
    value2_ = edit(this, QStringLiteral("Edit_Wartosc2"), 272, 3, kWidth - 308);
    value2_->setValidator(new UpperCase(value2_));
    value2Pick_ = picker(this, QStringLiteral("BB_Wartosc2"), 3);
}

// The query's own buttons, under the rows.
void TEkr_Query::buildButtonBar() {
    buttonBar_ = new QWidget(this);
    buttonBar_->setObjectName(QStringLiteral("Panel_Przyciski"));
    buttonBar_->setGeometry(0, lineY(kLines), kWidth, kButtonBar);
    auto* zastosuj = ui::dialogButton(buttonBar_, QStringLiteral("BB_Zastosuj"),
                                      QStringLiteral("Wykonaj zapytanie"));
    auto* anuluj =
        ui::dialogButton(buttonBar_, QStringLiteral("BitBtn2"), QStringLiteral("Anuluj zapytanie"));
    auto* powrot =
        ui::dialogButton(buttonBar_, QStringLiteral("BB_Powrot"), QStringLiteral("Powrót"));
    auto* load = ui::dialogButton(buttonBar_, QStringLiteral("BitBtn1"),
                                  QStringLiteral("Wczytaj Zapytanie.txt"));
    zastosuj->setGeometry(96, 10, 130, 26);
    anuluj->setGeometry(232, 10, 130, 26);
    powrot->setGeometry(368, 10, 110, 26);
    load->setGeometry(8, 10, 80, 26);
    load->hide();

    connect(zastosuj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_ZastosujClick));
    connect(anuluj, &QPushButton::clicked, this, ui::guardedSlot(this, &TEkr_Query::BitBtn2Click));
    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Query::BB_PowrotClick));
    connect(load, &QPushButton::clicked, this, ui::guardedSlot(this, &TEkr_Query::BitBtn1Click));
}

TEkr_Query::Row TEkr_Query::addRow(int line, const char* name, const QString& caption,
                                   const QStringList& ops, bool upper) {
    const QByteArray n(name);
    Row r;
    r.label = label(this, "Label_" + n, caption, 8, line, 110);
    r.op = new QComboBox(this);
    r.op->setObjectName(QLatin1String("CB_" + n));
    r.op->addItems(ops);
    r.op->setCurrentIndex(-1);
    r.op->setGeometry(124, lineY(line), 110, 22);
    r.edit = edit(this, QLatin1String("Edit_" + n), 240, line, kWidth - 276);
    if (upper) r.edit->setValidator(new UpperCase(r.edit));
    return r;
}

QString TEkr_Query::queryFile(const store::MainState& state) {
    return QDir(state.MainFolder).filePath(QStringLiteral("Zapytanie.txt"));
}

// --- Opening ---------------------------------------------------------------------------------

void TEkr_Query::FormActivate() {
    q_ = st_.Query;
    if (q_.queryActive) {
        fillFromState();
    } else {
        q_.groupJoin = false;
        q_.companyJoin = false;
        q_.queryGroupNr = 0;
        q_.queryCompanyNr = 0;
        q_.attributeFlag = false;
        closeValueRows();
    }
    const store::DisplayConfig& d = st_.Display;
    name1_.label->setText(d.headerName1);
    name2_.label->setText(d.headerName2);
    symbol_.label->setText(d.headerSymbol);
    producer_.label->setText(d.headerProducer);
    producerSymbol_.label->setText(d.headerProducerCode);
    hideRows();
}

void TEkr_Query::hideRows() {
    const store::DisplayConfig& d = st_.Display;
    const std::pair<Row*, bool> rows[] = {
        {&name1_, !d.headerName1.trimmed().isEmpty()},
        {&name2_, !d.headerName2.trimmed().isEmpty()},
        {&symbol_, !d.headerSymbol.trimmed().isEmpty()},
        {&producer_, d.panelProducer && !d.headerProducer.trimmed().isEmpty()},
        {&producerSymbol_, d.panelProducer && !d.headerProducerCode.trimmed().isEmpty()},
        {&price_, d.panelPrices}};
    int hidden = 0;
    int line = 4;
    for (const auto& [row, shown] : rows) {
        QList<QWidget*> parts{row->label, row->op, row->edit};
        if (row->pick) parts << row->pick;
        if (row == &price_) parts << findChild<QLabel*>(QStringLiteral("Label_zl"));
        for (QWidget* w : parts) {
            w->setVisible(shown);
            moveTo(w, line - hidden);
        }
        if (!shown) ++hidden;
        ++line;
    }
    buttonBar_->move(0, lineY(kLines - hidden));
    setFixedSize(kWidth, kFullHeight - hidden * kLine);
}

void TEkr_Query::fillFromState() {
    const std::pair<const Row*, std::pair<QString, int>> rows[] = {
        {&group_, {q_.groupText, q_.groupOp}},
        {&name1_, {q_.name1, q_.name1Op}},
        {&name2_, {q_.name2, q_.name2Op}},
        {&symbol_, {q_.symbol, q_.symbolOp}},
        {&producer_, {q_.producer, q_.producerOp}},
        {&producerSymbol_, {q_.producerSymbol, q_.producerSymbolOp}},
        {&price_, {q_.priceText, q_.priceOp}}};
    for (const auto& [row, value] : rows) {
        row->edit->setText(value.first);
        select(row->op, value.second);
    }
    if (!q_.attributeFlag) {
        closeValueRows();
        return;
    }
    showAttribute();
    rebuildValueOperators();
    select(valueOp_, q_.valueOp);
    value1_->setText(q_.value1);
    value2_->setText(q_.value2);
    openValueRows(q_.attributeType == u"D" && valueOp_->currentText() == kRange);
}

// --- Attribute and value rows ----------------------------------------------------------------

void TEkr_Query::showAttribute() {
    attributeName_->setText(q_.attributeName);
    attributeType_->setText(attributeTypeLabel(q_.attributeType));
}

void TEkr_Query::rebuildValueOperators() {
    valueOp_->clear();
    valueOp_->addItems(valueOperators(q_.attributeType));
    valueOp_->setCurrentIndex(-1);
}

void TEkr_Query::openValueRows(bool range) {
    for (QWidget* w : {static_cast<QWidget*>(valueCaption_), static_cast<QWidget*>(valueOp_),
                       static_cast<QWidget*>(value1_), static_cast<QWidget*>(value1Pick_)})
        w->show();
    for (QWidget* w : {static_cast<QWidget*>(value2_), static_cast<QWidget*>(value2Pick_),
                       static_cast<QWidget*>(from_), static_cast<QWidget*>(to_)})
        w->setVisible(range);
}

void TEkr_Query::closeValueRows() {
    for (QWidget* w : {static_cast<QWidget*>(valueCaption_), static_cast<QWidget*>(valueOp_),
                       static_cast<QWidget*>(value1_), static_cast<QWidget*>(value1Pick_),
                       static_cast<QWidget*>(value2_), static_cast<QWidget*>(value2Pick_),
                       static_cast<QWidget*>(from_), static_cast<QWidget*>(to_)})
        w->hide();
}

void TEkr_Query::dropAttribute() {
    q_.attributeFlag = false;
    attributeName_->clear();
    attributeType_->clear();
    value1_->clear();
    valueOp_->clear();
    closeValueRows();
}

void TEkr_Query::valueOperatorChanged(int index) {
    openValueRows(false);
    const QString op = valueOp_->itemText(index);
    if (op == kNothing) {
        valueOp_->setCurrentIndex(-1);
        value1_->clear();
        if (q_.attributeType == u"D") value2_->clear();
    } else if (op == kRange) {
        value2_->clear();
        openValueRows(true);
    }
}

void TEkr_Query::itemOperatorChosen(const Row& row, int index) {
    if (index != ItemNothing) return;
    row.op->setCurrentIndex(-1);
    row.edit->clear();
}

// --- Pickers ---------------------------------------------------------------------------------

void TEkr_Query::BB_GrupaClick() {
    const auto group = items::pickGroup(st_, this, group_.edit->text());
    if (!group) {
        group_.op->setCurrentIndex(ItemNothing);
        return;
    }
    group_.edit->setText(group->name);
    q_.queryGroupNr = group->nr;
    group_.op->setCurrentIndex(ItemEquals);
    // The attributes offered depend on the group.
    dropAttribute();
}

void TEkr_Query::BB_ProducentClick() {
    const auto producer = partners::pickCompany(st_, this, producer_.edit->text());
    if (!producer) return;
    producer_.edit->setText(producer->name);
    q_.queryCompanyNr = producer->nr;
    producer_.op->setCurrentIndex(ItemEquals);
}

void TEkr_Query::BB_WlasnoscClick() {
    const auto attribute = items::pickAttribute(
        st_, this, group_.op->currentIndex() == ItemEquals ? q_.queryGroupNr : -1);
    if (!attribute) return;
    q_.attributeFlag = true;
    q_.attributeNr = attribute->nr;
    q_.attributeName = attribute->name;
    q_.attributeType = attribute->type;
    showAttribute();
    value1_->clear();
    rebuildValueOperators();
    openValueRows(false);
}

void TEkr_Query::BB_WartoscClick() {
    const auto value =
        items::pickValue(st_, this, q_.attributeNr, q_.attributeName, q_.attributeType);
    if (!value) return;
    value1_->setText(*value);
    if (valueOp_->count() == 0) return;
    valueOp_->setCurrentIndex(0);
    valueOperatorChanged(0);
}

void TEkr_Query::BB_WyczyscClick() {
    q_.attributeFlag = false;
    closeValueRows();
    attributeName_->clear();
    attributeType_->clear();
}

// --- Closing ---------------------------------------------------------------------------------

void TEkr_Query::readControls() {
    const std::pair<const Row*, std::pair<QString*, int*>> rows[] = {
        {&group_, {&q_.groupText, &q_.groupOp}},
        {&name1_, {&q_.name1, &q_.name1Op}},
        {&name2_, {&q_.name2, &q_.name2Op}},
        {&symbol_, {&q_.symbol, &q_.symbolOp}},
        {&producer_, {&q_.producer, &q_.producerOp}},
        {&producerSymbol_, {&q_.producerSymbol, &q_.producerSymbolOp}},
        {&price_, {&q_.priceText, &q_.priceOp}}};
    for (const auto& [row, target] : rows) {
        *target.first = row->edit->text();
        *target.second = row->op->currentIndex();
    }
    q_.value1 = value1_->text();
    q_.value2 = value2_->text();
    q_.valueOp = valueOp_->currentIndex();
}

void TEkr_Query::BB_ZastosujClick() {
    readControls();
    store::QueryState q = q_;
    setJoinFlags(q);
    const std::optional<QStringList> lines = queryLines(q);
    if (!lines) {
        // A price or a numeric value that is no number: nothing is built, the user mends it.
        ui::messages().information(QStringLiteral("Zapytanie sformułowane niepoprawnie !"));
        return;
    }
    loadLines(*lines);
    q.queryActive = true;
    st_.Query = q;

    QFile file(queryFile(st_));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        for (const QString& line : *lines)
            file.write(line.toUtf8() + "\r\n");
    }
    if (!file.isOpen() || !file.flush())
        ui::messages().information(
            QStringLiteral("Nie można zapisać pliku %1. Zapytanie zostanie wykonane.")
                .arg(QDir::toNativeSeparators(file.fileName())));
    file.close();
    outcome_ = Outcome::Executed;
    accept();
}

void TEkr_Query::loadLines(const QStringList& lines) {
    auto& query = st_.QTowar;
    query.close();
    query.clearSql();
    for (const QString& line : lines)
        query.addLine(line);
}

void TEkr_Query::BitBtn2Click() {
    st_.Query.queryActive = false;
    st_.Query.attributeFlag = false;
    st_.Query.attributeType.clear();
    outcome_ = Outcome::Cancelled;
    accept();
}

void TEkr_Query::BB_PowrotClick() {
    outcome_ = Outcome::Back;
    reject();
}

void TEkr_Query::BitBtn1Click() {
    QFile file(queryFile(st_));
    if (!file.open(QIODevice::ReadOnly)) {
        ui::messages().information(QStringLiteral("Nie można odczytać pliku %1.")
                                       .arg(QDir::toNativeSeparators(file.fileName())));
        return;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    loadLines(lines);
    st_.Query.queryActive = true;
    outcome_ = Outcome::Loaded;
    accept();
}

void TEkr_Query::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ui::guarded([this] { BB_ZastosujClick(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace search
