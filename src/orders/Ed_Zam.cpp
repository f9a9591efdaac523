#include "orders/Ed_Zam.h"

#include "engine/table.h"
#include "orders/zam_dane.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui_Ed_Zam.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace orders {

namespace {
QString S(const char* s) {
    return QString::fromLatin1(s);
}
} // namespace

TEkr_Aktualizacja_Zamowienie::TEkr_Aktualizacja_Zamowienie(store::MainState& st,
                                                           engine::Table& line, QWidget* parent)
    : QDialog(parent), line_(line), ui_(std::make_unique<Ui::TEkr_Aktualizacja_Zamowienie>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 2630);
    const auto caption = [](const QString& configured, QLabel* label) {
        if (!configured.isEmpty()) label->setText(configured + QStringLiteral(" :"));
    };
    caption(st.Display.headerName1, ui_->Label_Nazwa);
    caption(st.Display.headerSymbol, ui_->Label_Symbol);
    caption(st.Display.headerProducerCode, ui_->Label_Kod);
    ui_->CB_jm->addItems(unitChoices());
    ui_->CB_jm->lineEdit()->setMaxLength(15);

    ui_->Edit_Nazwa->setText(line_.asString(S("Dok_Tow_Nazwa")));
    ui_->Edit_Symbol->setText(line_.asString(S("Dok_Tow_Symbol")));
    ui_->Edit_Kod->setText(line_.asString(S("Dok_Tow_Kod_Prod")));
    ui_->Edit_Uwagi->setText(line_.asString(S("Dok_Uwagi")));
    ui_->Edit_Ilosc->setText(line_.asString(S("Dok_Tow_ilosc")));
    ui_->CB_jm->setEditText(line_.asString(S("Dok_Tow_jm")));

    auto* save = ui::dialogButton(this, "BB_Zapisz", QStringLiteral("Zapisz"));
    auto* back = ui::dialogButton(this, "BB_Powrot", QStringLiteral("Powrót"));
    auto* cancel = ui::dialogButton(this, "BB_Anuluj", QStringLiteral("Anuluj"));
    for (QPushButton* b : {save, back, cancel})
        ui_->layoutButtons->addWidget(b);
    connect(save, &QPushButton::clicked, this, ui::guardedSlot([this] { BB_ZapiszClick(); }));
    connect(back, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Zamowienie::BB_PowrotClick));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* e : {ui_->Edit_Nazwa, ui_->Edit_Symbol, ui_->Edit_Kod, ui_->Edit_Uwagi,
                         ui_->Edit_Ilosc, ui_->CB_jm->lineEdit()}) {
        connect(e, &QLineEdit::textEdited, this, [this] { changed_ = true; });
        e->installEventFilter(this);
    }
    connect(ui_->CB_jm, &QComboBox::activated, this, [this] { changed_ = true; });
    ui_->Edit_Nazwa->setFocus();
}

TEkr_Aktualizacja_Zamowienie::~TEkr_Aktualizacja_Zamowienie() = default;

bool TEkr_Aktualizacja_Zamowienie::BB_ZapiszClick() {
    const QString quantityText = ui_->Edit_Ilosc->text().trimmed();
    const std::optional<double> quantity =
        quantityText.isEmpty() ? std::optional<double>(0) : parseQuantity(quantityText);
    if (!quantity) {
        ui::messages().information(
            QStringLiteral("Wprowadzone dane nie są poprawne. Zapisywanie przerwane !"));
        return false;
    }
    line_.edit();
    try {
        line_.setValue(S("Dok_Tow_Nazwa"), ui_->Edit_Nazwa->text());
        line_.setValue(S("Dok_Tow_Symbol"), ui_->Edit_Symbol->text());
        line_.setValue(S("Dok_Tow_Kod_Prod"), ui_->Edit_Kod->text());
        line_.setValue(S("Dok_Uwagi"), ui_->Edit_Uwagi->text());
        if (quantityText.isEmpty())
            line_.clearValue(S("Dok_Tow_ilosc"));
        else
            line_.setValue(S("Dok_Tow_ilosc"), *quantity);
        line_.setValue(S("Dok_Tow_jm"), ui_->CB_jm->currentText());
        line_.post();
    } catch (...) {
        line_.cancel();
        throw;
    }
    changed_ = false;
    accept();
    return true;
}

void TEkr_Aktualizacja_Zamowienie::BB_PowrotClick() {
    // A refused save keeps the dialog open: the typed values are not thrown away.
    if (changed_ && ui::messages().question(QStringLiteral(
                        "Dane zostały zmienione. Czy zapisać wprowadzone zmiany !"))) {
        BB_ZapiszClick();
        return;
    }
    reject();
}

QList<QWidget*> TEkr_Aktualizacja_Zamowienie::fieldOrder() const {
    return {ui_->Edit_Nazwa, ui_->Edit_Symbol, ui_->Edit_Kod,
            ui_->Edit_Uwagi, ui_->Edit_Ilosc,  ui_->CB_jm->lineEdit()};
}

bool TEkr_Aktualizacja_Zamowienie::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QList<QWidget*> order = fieldOrder();
    const int at = order.indexOf(qobject_cast<QWidget*>(watched));
    if (at < 0) return QDialog::eventFilter(watched, event);
    if (watched == ui_->Edit_Ilosc && key->text() == QLatin1String(".")) {
        ui_->Edit_Ilosc->insert(QStringLiteral(","));
        changed_ = true;
        return true;
    }
    if (key->key() == Qt::Key_Down && at + 1 < order.size()) {
        order[at + 1]->setFocus();
        return true;
    }
    if (key->key() == Qt::Key_Up && at > 0) {
        if (at == order.size() - 1 && ui_->CB_jm->currentIndex() > 0) return false;
        order[at - 1]->setFocus();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        ui::guarded([this] { BB_ZapiszClick(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orders
