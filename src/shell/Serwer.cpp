#include "shell/Serwer.h"
#include "engine/servercatalogues.h"
#include "engine/serverlocation.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui_Serwer.h"

namespace shell {

TEkr_Serwer::TEkr_Serwer(QWidget* parent)
    : QDialog(parent), listCatalogues(engine::serverCatalogues),
      ui_(std::make_unique<Ui::TEkr_Serwer>()) {
    ui_->setupUi(this);
    connect(ui_->BB_Szukaj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Serwer::BB_SzukajClick));
    connect(ui_->BB_Wybierz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Serwer::BB_WybierzClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->ListBox_Katalogi, &QListWidget::itemDoubleClicked, this,
            ui::guardedSlot([this] { BB_WybierzClick(); }));
    connect(ui_->ListBox_Katalogi, &QListWidget::currentRowChanged, this,
            [this] { listChanged(); });
    // A list read from another address than the one shown would open the wrong catalogue.
    connect(ui_->Edit_Adres, &QLineEdit::textEdited, this, [this] {
        ui_->ListBox_Katalogi->clear();
        searched_.clear();
        listChanged();
    });
    listChanged();
}

TEkr_Serwer::~TEkr_Serwer() = default;

void TEkr_Serwer::setAddress(const QString& address) {
    QString text = address.trimmed();
    // postgresql://host/database/schema names a catalogue: its server is all before the schema.
    if (engine::isServerLocation(text)) {
        const QString rest = text.mid(int(QStringLiteral("postgresql://").size()));
        if (rest.count(u'/') >= 2) text.truncate(text.lastIndexOf(u'/'));
    }
    ui_->Edit_Adres->setText(text);
}

void TEkr_Serwer::BB_SzukajClick() {
    ui_->ListBox_Katalogi->clear();
    searched_.clear();
    listChanged();
    const QString address = ui_->Edit_Adres->text().trimmed();
    if (address.isEmpty()) {
        ui::messages().information(QStringLiteral("Wpisz adres serwera, np. "
                                                  "postgresql://uzytkownik@serwer/baza."));
        return;
    }
    QStringList names;
    {
        ui::BusyCursor busy;
        names = listCatalogues(address);
    }
    if (names.isEmpty()) {
        ui::messages().information(
            QStringLiteral("W bazie danych %1 nie ma żadnego katalogu.").arg(address));
        return;
    }
    searched_ = address;
    ui_->ListBox_Katalogi->addItems(names);
    ui_->ListBox_Katalogi->setCurrentRow(0);
    ui_->ListBox_Katalogi->setFocus();
}

void TEkr_Serwer::BB_WybierzClick() {
    const auto* item = ui_->ListBox_Katalogi->currentItem();
    if (!item || searched_.isEmpty()) return;
    location_ = engine::catalogueOnServer(searched_, item->text());
    accept();
}

void TEkr_Serwer::listChanged() {
    const bool chosen = ui_->ListBox_Katalogi->currentItem() != nullptr;
    ui_->BB_Wybierz->setEnabled(chosen);
    ui_->BB_Wybierz->setDefault(chosen);
    ui_->BB_Szukaj->setDefault(!chosen);
}

} // namespace shell
