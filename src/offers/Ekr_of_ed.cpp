#include "offers/Ekr_of_ed.h"
#include "engine/table.h"
#include "offers/REMain.h"
#include "partners/Ak_firma.h"
#include "store/mainstate.h"
#include "ui/E_Kalend.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui_Ekr_of_ed.h"

namespace offers {

namespace {
const QString kDate = QStringLiteral("Oferty_Data");
const QString kCompany = QStringLiteral("Oferty_Firma");
const QString kDescription = QStringLiteral("Oferty_Opis");
const QString kNr = QStringLiteral("Oferty_Nr");
} // namespace

TEkr_Oferty_Edycja::TEkr_Oferty_Edycja(store::MainState& state, TMainForm& editor, bool newOffer,
                                       QWidget* parent)
    : QDialog(parent), st_(state), editor_(editor), newOffer_(newOffer),
      ui_(std::make_unique<Ui::TEkr_Oferty_Edycja>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 3100);
    ui_->BB_Pomoc->hide();
    ui_->BB_Zapisz->setDefault(true);
    connect(ui_->BB_Data, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Oferty_Edycja::BB_DataClick));
    connect(ui_->BB_Firma, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Oferty_Edycja::BB_FirmaClick));
    connect(ui_->BB_Zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Oferty_Edycja::BB_ZapiszClick));
    connect(ui_->BB_Dokument, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Oferty_Edycja::BB_DokumentClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Oferty_Edycja::BB_AnulujClick));
    // "Powrót" leaves the row as it is, still being inserted or edited.
    connect(ui_->BB_Powrot, &QPushButton::clicked, this, &QDialog::reject);
    // The description edits the row as it is typed, so that a row left by "Powrót" keeps it.
    connect(ui_->Edit_Opis, &QLineEdit::textEdited, this,
            ui::guardedSlot([this](const QString& text) {
                if (st_.TOferty.state() != engine::Table::State::Browse)
                    st_.TOferty.setValue(kDescription, text);
            }));
    showRow();
}

TEkr_Oferty_Edycja::~TEkr_Oferty_Edycja() = default;

void TEkr_Oferty_Edycja::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui_->Edit_Opis->setFocus();
}

void TEkr_Oferty_Edycja::showRow() {
    const auto& t = st_.TOferty;
    ui_->Edit_Data->setText(t.asString(kDate));
    ui_->Edit_Firma->setText(t.asString(kCompany));
    ui_->Edit_Opis->setText(t.asString(kDescription));
    ui_->Label_Nazwa_Pliku->setText(t.asString(kNr));
}

void TEkr_Oferty_Edycja::BB_DataClick() {
    if (const auto date = ui::pickDate(st_)) {
        st_.TOferty.setValue(kDate, *date);
        ui_->Edit_Data->setText(st_.TOferty.asString(kDate));
    }
}

void TEkr_Oferty_Edycja::BB_FirmaClick() {
    const auto picked =
        partners::pickCompany(st_, this, ui_->Edit_Firma->text(), st_.DefaultCatalogueFolder);
    // Closing the companies without a choice leaves the offer without a company.
    st_.TOferty.setValue(kCompany, picked ? picked->name : QString());
    ui_->Edit_Firma->setText(st_.TOferty.asString(kCompany));
    ui_->Edit_Opis->setFocus();
}

bool TEkr_Oferty_Edycja::saveRow() {
    auto& t = st_.TOferty;
    t.setValue(kDescription, ui_->Edit_Opis->text());
    t.post();
    if (!newOffer_) return true;
    newOffer_ = false;
    return editor_.createOfferFile(t.asInteger(kNr), t.asString(kDescription));
}

void TEkr_Oferty_Edycja::BB_ZapiszClick() {
    saveRow();
    accept();
}

void TEkr_Oferty_Edycja::BB_DokumentClick() {
    const bool wasNew = newOffer_;
    saveRow();
    if (!wasNew) editor_.openOffer(st_.TOferty.asInteger(kNr), st_.TOferty.asString(kDescription));
    done(kDocument);
}

void TEkr_Oferty_Edycja::BB_AnulujClick() {
    st_.TOferty.cancel();
    reject();
}

} // namespace offers
