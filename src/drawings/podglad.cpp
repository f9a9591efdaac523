#include "drawings/podglad.h"
#include "drawings/picturebox.h"
#include "engine/table.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace drawings {

namespace {
const QString kDrawing = QStringLiteral("Grafika_Rys_Nr");
} // namespace

TEkr_Podglad::TEkr_Podglad(store::MainState& state, QWidget* parent)
    : QDialog(parent), st_(state), pictures_(std::make_unique<engine::Table>(
                                       state.CurrentCatalogueFolder, QStringLiteral("Rysunek"))) {
    setObjectName(QStringLiteral("TEkr_Podglad"));
    ui::setHelpContext(this, 2800);
    setWindowTitle(QStringLiteral("Podgląd rysunku"));
    resize(640, 520);

    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("Obiekt :"), this), 0, 0);
    Label_Obiekt = new QLabel(this);
    Label_Obiekt->setObjectName(QStringLiteral("Label_Obiekt"));
    head->addWidget(Label_Obiekt, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("Rysunek :"), this), 1, 0);
    Label_Rysunek = new QLabel(this);
    Label_Rysunek->setObjectName(QStringLiteral("Label_Rysunek"));
    head->addWidget(Label_Rysunek, 1, 1);
    head->setColumnStretch(1, 1);

    picture_ = new PictureBox;
    picture_->setObjectName(QStringLiteral("Image"));
    picture_->setFrameShape(QFrame::NoFrame);
    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("ScrollBox"));
    area_->setWidget(picture_);
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* navigator = buildNavigator();

    fit_ = new QCheckBox(QStringLiteral("Dopasowany"), this);
    fit_->setObjectName(QStringLiteral("CBox_Dopasowany"));
    connect(fit_, &QCheckBox::toggled, this, ui::guardedSlot(this, &TEkr_Podglad::fitChanged));
    auto* powrot = ui::dialogButton(this, "BB_Powrot", QStringLiteral("Powrót"),
                                    QStringLiteral("Powrót do poprzedniego okna"));
    connect(powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Podglad::BB_PowrotClick));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(navigator);
    bottom->addSpacing(12);
    bottom->addWidget(fit_);
    bottom->addStretch(1);
    bottom->addWidget(powrot);

    auto* all = new QVBoxLayout(this);
    all->addLayout(head);
    all->addWidget(area_, 1);
    all->addLayout(bottom);

    for (auto signal : {&engine::DataSet::afterScroll, &engine::DataSet::afterRefresh,
                        &engine::DataSet::afterOpen, &engine::DataSet::afterClose})
        connect(&st_.TGrafika, signal, this, &TEkr_Podglad::showCurrent);
    fitChanged(false);
}

TEkr_Podglad::~TEkr_Podglad() = default;

// The moves through the item's drawings.
QWidget* TEkr_Podglad::buildNavigator() {
    auto* navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("DBNavigator"));
    auto* nav = new QHBoxLayout(navigator);
    nav->setContentsMargins(0, 0, 0, 0);
    nav->setSpacing(0);
    const struct {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* hint;
        void (TEkr_Podglad::*slot)();
        QPushButton* TEkr_Podglad::*member;
    } moves[] = {
        {"NB_First", QStyle::SP_MediaSkipBackward, "Pierwszy rysunek", &TEkr_Podglad::NB_FirstClick,
         &TEkr_Podglad::first_},
        {"NB_Prior", QStyle::SP_MediaSeekBackward, "Poprzedni rysunek",
         &TEkr_Podglad::NB_PriorClick, &TEkr_Podglad::prior_},
        {"NB_Next", QStyle::SP_MediaSeekForward, "Następny rysunek", &TEkr_Podglad::NB_NextClick,
         &TEkr_Podglad::next_},
        {"NB_Last", QStyle::SP_MediaSkipForward, "Ostatni rysunek", &TEkr_Podglad::NB_LastClick,
         &TEkr_Podglad::last_},
    };
    for (const auto& m : moves) {
        auto* b = ui::dialogButton(navigator, QString::fromLatin1(m.name), QString(),
                                   QString::fromUtf8(m.hint));
        b->setIcon(style()->standardIcon(m.icon));
        connect(b, &QPushButton::clicked, this, ui::guardedSlot(this, m.slot));
        nav->addWidget(b);
        this->*m.member = b;
    }
    return navigator;
}

bool TEkr_Podglad::listOpen() const {
    return st_.TGrafika.isOpen() && !st_.TGrafika.isEmpty();
}

void TEkr_Podglad::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::guarded([this] {
        if (!pictures_->isOpen() && !st_.CurrentCatalogueFolder.isEmpty()) pictures_->open();
        Label_Obiekt->setText(st_.TFTowar.isOpen() && !st_.TFTowar.isEmpty()
                                  ? st_.TFTowar.asString(QStringLiteral("Tow_Nazwa"))
                                  : QString());
        showCurrent();
    });
}

void TEkr_Podglad::done(int result) {
    ui::guarded([this] { pictures_->close(); });
    QDialog::done(result);
}

void TEkr_Podglad::showCurrent() {
    QByteArray bytes;
    QString description;
    if (listOpen() && pictures_->isOpen() &&
        pictures_->findKey({st_.TGrafika.asInteger(kDrawing)})) {
        bytes = pictures_->asBytes(QStringLiteral("Rys_Blob"));
        description = pictures_->asString(QStringLiteral("Rys_Opis"));
    }
    picture_->setPicture(bytes);
    Label_Rysunek->setText(description);
    fitChanged(fit_->isChecked());
    const bool any = listOpen();
    first_->setEnabled(any && !st_.TGrafika.bof());
    prior_->setEnabled(any && !st_.TGrafika.bof());
    next_->setEnabled(any && !st_.TGrafika.eof());
    last_->setEnabled(any && !st_.TGrafika.eof());
}

void TEkr_Podglad::fitChanged(bool on) {
    // Stretched, the picture fills the window; otherwise it keeps its size and scrolls.
    picture_->setStretched(on);
    area_->setWidgetResizable(on);
    if (!on) picture_->resize(picture_->hasPicture() ? picture_->image().size() : QSize(1, 1));
}

void TEkr_Podglad::BB_PowrotClick() {
    reject();
}

void TEkr_Podglad::NB_FirstClick() {
    if (listOpen()) st_.TGrafika.first();
}

void TEkr_Podglad::NB_PriorClick() {
    if (listOpen()) st_.TGrafika.prior();
}

void TEkr_Podglad::NB_NextClick() {
    if (listOpen()) st_.TGrafika.next();
}

void TEkr_Podglad::NB_LastClick() {
    if (listOpen()) st_.TGrafika.last();
}

} // namespace drawings
