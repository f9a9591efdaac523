#include "orders/zam_dane.h"

#include "engine/dataset.h"
#include "orders/linebuffer.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui_zam_dane.h"
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace orders {

QStringList unitChoices() {
    return {QStringLiteral("szt."), QStringLiteral("opak."), QStringLiteral("kg"),
            QStringLiteral("g"),    QStringLiteral("cm"),    QStringLiteral("m"),
            QStringLiteral("km"),   QStringLiteral("litr"),  QStringLiteral("m2"),
            QStringLiteral("m3")};
}

std::optional<double> parseQuantity(const QString& text) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok) return std::nullopt;
    return v;
}

TEkr_Zam_Dane::TEkr_Zam_Dane(store::MainState& st, engine::DataSet* items, LineBuffer& buffer,
                             QWidget* parent)
    : QDialog(parent), st_(st), items_(items), buffer_(buffer),
      ui_(std::make_unique<Ui::TEkr_Zam_Dane>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 2620);
    auto* ok = ui::dialogButton(this, "BB_OK", QStringLiteral("OK"));
    auto* cancel = ui::dialogButton(this, "BB_Anuluj", QStringLiteral("Anuluj"));
    ui_->layoutButtons->addWidget(ok);
    ui_->layoutButtons->addWidget(cancel);
    ui_->CB_jm->addItems(unitChoices());
    ui_->CB_jm->lineEdit()->setMaxLength(15);
    if (items_ && items_->isOpen() && !items_->isEmpty() &&
        items_->hasField(QStringLiteral("Tow_jm")))
        itemUnit_ = items_->asString(QStringLiteral("Tow_jm"));
    ui_->CB_jm->setEditText(itemUnit_);
    ui_->Edit_Ilosc->installEventFilter(this);
    ui_->CB_jm->installEventFilter(this);
    ui_->CB_jm->lineEdit()->installEventFilter(this);
    connect(ok, &QPushButton::clicked, this, ui::guardedSlot(this, &TEkr_Zam_Dane::BB_OKClick));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->CB_jm, &QComboBox::currentTextChanged, this,
            ui::guardedSlot([this] { CB_jmChange(); }));
    ui_->Edit_Ilosc->setFocus();
    ui_->Edit_Ilosc->selectAll();
}

TEkr_Zam_Dane::~TEkr_Zam_Dane() = default;

void TEkr_Zam_Dane::CB_jmChange() {
    // A new line always takes the item's own unit: whatever is chosen here is put back.
    if (restoring_ || ui_->CB_jm->currentText() == itemUnit_) return;
    restoring_ = true;
    ui_->CB_jm->setEditText(itemUnit_);
    restoring_ = false;
}

void TEkr_Zam_Dane::BB_OKClick() {
    if (!items_ || !items_->isOpen() || items_->isEmpty() || items_->eof()) return;
    const std::optional<double> quantity = parseQuantity(ui_->Edit_Ilosc->text());
    if (!quantity) {
        ui::messages().information(QStringLiteral("Wprowadzana ilość nie jest poprawna !"));
        return;
    }
    const bool name2 =
        st_.TPelk.isOpen() && st_.TPelk.asBoolean(QStringLiteral("Pelk_Nazwa2_na_wydr"));
    buffer_.appendItem(*items_, st_.CurrentCatalogueFolder, name2, *quantity,
                       ui_->CB_jm->currentText());
    accept();
}

bool TEkr_Zam_Dane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == ui_->Edit_Ilosc) {
        if (key->text() == QLatin1String(".")) {
            ui_->Edit_Ilosc->insert(QStringLiteral(","));
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            ui_->CB_jm->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ui::guarded([this] { BB_OKClick(); });
            return true;
        }
    } else if (watched == ui_->CB_jm || watched == ui_->CB_jm->lineEdit()) {
        if (key->key() == Qt::Key_Up && ui_->CB_jm->currentIndex() <= 0) {
            ui_->Edit_Ilosc->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ui::guarded([this] { BB_OKClick(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orders
