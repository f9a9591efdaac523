// The main window's part in offers: the offer list with its menus, the offer editor, and the
// offers page's document pane that the editor's text can be moved onto and back.
#include "offers/E_of_spi.h"
#include "offers/REMain.h"
#include "shell/E_Glowny.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"
#include <QMenu>
#include <QTextDocument>

namespace shell {

void TForm_Pelk::connectOffers() {
    connect(ui_->Oferty1, &QAction::triggered, this, guard([this] { Oferty1Click(); }));
    connect(ui_->BB_Oferta_wroc_do_dokumentu, &QPushButton::clicked, this,
            guard([this] { BB_Oferta_wroc_do_dokumentuClick(); }));
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (contextMenuPolicy() == Qt::CustomContextMenu) popupMenu_->popup(mapToGlobal(at));
    });
}

offers::TMainForm& TForm_Pelk::offerEditor() {
    if (!offerEditor_) {
        offerEditor_ = new offers::TMainForm(state_, this);
        offerEditor_->setObjectName(QStringLiteral("TMainForm"));
        offerEditor_->moveToPane = [this] { moveTextToPane(); };
        offerEditor_->beforeReplace = [this] { return paneMayBeReplaced(); };
        offerEditor_->insertRequested = [this](offers::InsertCommand c) { insertIntoDocument(c); };
        offerEditor_->activated = [this] {
            if (offerList_ && offerList_->isVisible() && !offerList_->isModal()) offerList_->hide();
        };
        offerEditor_->closed = [this] {
            ui_->Oferty1->setEnabled(true);
            offerList().prepare();
            offerList().show(); // modeless after the editor
        };
    }
    return *offerEditor_;
}

offers::TEkr_Oferty_Spis& TForm_Pelk::offerList() {
    if (!offerList_) {
        offerList_ = new offers::TEkr_Oferty_Spis(state_, offerEditor(), this);
        offerList_->returned = [this] {
            ui_->Oferty1->setEnabled(true);
            offersMenus(false);
        };
        offerList_->editorOpened = [this] {
            ui_->Oferty1->setEnabled(false);
            offerEditor().show();
            offerEditor().raise();
            offerEditor().activateWindow();
            offerEditor().textArea()->setFocus();
        };
    }
    return *offerList_;
}

void TForm_Pelk::offersMenus(bool shown) {
    setContextMenuPolicy(shown ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    ui_->Menu_Raporty_Oferty->menuAction()->setVisible(shown);
    ui_->Menu_Dokumenty->menuAction()->setVisible(!shown);
}

void TForm_Pelk::Oferty1Click() {
    offersMenus(true);
    ui_->Oferty1->setEnabled(false);
    offers::TEkr_Oferty_Spis& list = offerList();
    list.prepare();
    ui::modalRunner().run(list);
}

void TForm_Pelk::moveTextToPane() {
    offers::MovedText text = offerEditor().takeText();
    paneFileName_ = text.fileName;
    ui_->Panel_Oferty->show();
    offers::adoptText(ui_->RichEdit1, std::move(text.document), text.modified);
    offerEditor().hide();
    showDetailTab(9);
}

void TForm_Pelk::BB_Oferta_wroc_do_dokumentuClick() {
    offers::MovedText text;
    text.document.reset(ui_->RichEdit1->document()->clone());
    text.modified = ui_->RichEdit1->document()->isModified();
    text.fileName = paneFileName_;
    offers::adoptText(ui_->RichEdit1, nullptr, false);
    offerEditor().putText(std::move(text));
    ui_->Panel_Oferty->hide();
    offerEditor().show();
    offerEditor().raise();
}

bool TForm_Pelk::paneMayBeReplaced() {
    QTextDocument* pane = ui_->RichEdit1->document();
    if (!pane->isModified() || !offerEditor_) return true;
    ui::Message m;
    m.kind = ui::Message::Kind::Question;
    m.caption = ui::cautionCaption();
    m.text = QStringLiteral("Zapisać zmiany do pliku %1?").arg(paneFileName_);
    m.buttons = {ui::Button::Ok, ui::Button::Cancel};
    m.defaultButton = ui::Button::Ok;
    if (ui::messages().show(m) == ui::Button::Ok) {
        // The pane has no file of its own: its text belongs to the editor's offer.
        if (!offerEditor_->writeDocument(*pane)) return false;
    }
    offers::adoptText(ui_->RichEdit1, nullptr, false);
    ui_->Panel_Oferty->hide();
    return true;
}

} // namespace shell
