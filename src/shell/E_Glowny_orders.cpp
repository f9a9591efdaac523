// The main window's side of the order editor: the document tab (page 8) with the open order's
// lines, its buttons, the order toolbar and the order menu items.
#include "engine/table.h"
#include "orders/E_Zamow.h"
#include "orders/Otw_Zam.h"
#include "orders/linebuffer.h"
#include "orders/ordereditorentry.h"
#include "platform/printers.h"
#include "shell/E_Glowny.h"
#include "ui/messages.h"
#include "ui_E_Glowny.h"
#include <QApplication>
#include <QScopedValueRollback>

namespace shell {

namespace {

constexpr int kDocumentPage = 8;

// The open order is being closed by the program's exit.
bool closingForExit = false;

// The commands that act on an open order, enabled while one is open.
const char* const kOpenOrderCommands[] = {
    "BB_Dok_Do_Zakladki",   "Caydokument1",           "Pokanazakadce1", "SpeedButton_Dok_Dodaj",
    "SpeedButton_Dok_Usun", "SpeedButton_Dok_Edycja", "Zapisz1",        "Zamknij1"};

} // namespace

void TForm_Pelk::connectOrderCommands() {
    auto* grid = ui_->DBGrid_Dokument;
    grid->addColumn(QStringLiteral("Dok_Tow_Nazwa"), QStringLiteral("Nazwa pozycji"), 220);
    grid->addColumn(QStringLiteral("Dok_Tow_Symbol"), QStringLiteral("Symbol"), 110);
    grid->addColumn(QStringLiteral("Dok_Tow_Kod_Prod"), QStringLiteral("Kod prod."), 110);
    grid->addColumn(QStringLiteral("Dok_Tow_jm"), QStringLiteral("j.m."), 50);
    grid->addColumn(QStringLiteral("Dok_Tow_ilosc"), QStringLiteral("Ilość"), 60);
    using orders::TEkr_Zamowienie;
    auto editorCommand = [this](auto* sender, auto signal, auto fn) {
        connect(sender, signal, this, guard([this, fn] {
                    if (auto* e = orders::existingOrderEditor(state_); e && e->isOrderOpen())
                        fn(*e);
                }));
    };
    const auto clicked = &QAbstractButton::clicked;
    const auto triggered = &QAction::triggered;
    editorCommand(ui_->BB_Dok_Dodaj, clicked, [this](TEkr_Zamowienie&) { addOrderLine(); });
    editorCommand(ui_->SpeedButton_Dok_Dodaj, clicked,
                  [this](TEkr_Zamowienie&) { addOrderLine(); });
    editorCommand(ui_->BB_Dok_Wstaw, clicked, [](TEkr_Zamowienie& e) { e.insertTypedLine(); });
    editorCommand(ui_->BB_Dok_Edycja, clicked, [](TEkr_Zamowienie& e) { e.editLine(true); });
    editorCommand(ui_->SpeedButton_Dok_Edycja, clicked,
                  [](TEkr_Zamowienie& e) { e.editLine(false); });
    editorCommand(ui_->BB_Dok_Usun, clicked, [](TEkr_Zamowienie& e) { e.deleteLine(); });
    editorCommand(ui_->SpeedButton_Dok_Usun, clicked, [](TEkr_Zamowienie& e) { e.deleteLine(); });
    editorCommand(ui_->BB_Dok_Wydruk, clicked,
                  [](TEkr_Zamowienie& e) { e.print(orders::PrintTarget::Printer); });
    // The tab's company button picks the order's addressee without going back to the editor.
    editorCommand(ui_->BB_Dok_Ludzik, clicked, [](TEkr_Zamowienie& e) { e.BB_Firma1Click(); });
    editorCommand(ui_->BB_Dok_Do_Zakladki, clicked, [](TEkr_Zamowienie& e) { e.showOnTab(); });
    editorCommand(ui_->Zapisz1, triggered, [](TEkr_Zamowienie& e) { e.BB_ZapiszClick(); });
    editorCommand(ui_->Zamknij1, triggered, [](TEkr_Zamowienie& e) { e.closeOrder(); });
    editorCommand(ui_->Caydokument1, triggered, [](TEkr_Zamowienie& e) { e.showWholeDocument(); });
    editorCommand(ui_->Pokanazakadce1, triggered, [](TEkr_Zamowienie& e) { e.showOnTab(); });
    connect(ui_->DBGrid_Dokument, &ui::DbGrid::rowDoubleClicked, this, guard([this] {
                if (auto* e = orders::existingOrderEditor(state_); e && e->isOrderOpen())
                    e->editLine(true);
            }));
    // The editor belongs to this window: centred on it, closed with it.
    orders::orderEditor(state_, this);
    controller_->closeOpenOrder = [this] {
        const QScopedValueRollback exiting(closingForExit, true);
        return orders::closeOpenOrder(state_);
    };
    // The order list comes back when the order is closed, unless the program is ending.
    orders::whenOrderEditorCloses(state_, this, [this] {
        if (closingForExit) return;
        if (auto* list = orders::mainOrderList()) list->showKind(list->kindIndex());
    });
    for (const char* name : kOpenOrderCommands)
        setCommandEnabled(QLatin1String(name), false);
}

bool TForm_Pelk::orderGridShown() const {
    return !ui_->DBGrid_Dokument->isHidden();
}

void TForm_Pelk::addOrderLine() {
    if (auto* e = orders::existingOrderEditor(state_); e && e->isOrderOpen()) e->addLineFromItem();
}

void TForm_Pelk::previewOrder() {
    if (auto* e = orders::existingOrderEditor(state_); e && e->isOrderOpen())
        e->print(orders::PrintTarget::Preview);
}

bool TForm_Pelk::orderEnter() {
    auto* e = orders::existingOrderEditor(state_);
    if (!e || !e->isOrderOpen()) return false;
    if (QApplication::focusWidget() == ui_->DBGrid_Dokument && !e->buffer().isEmpty()) {
        e->editLine(true);
        return true;
    }
    if (ui_->BB_Dok_Dodaj->isVisible() && ui_->BB_Dok_Dodaj->isEnabled()) {
        addOrderLine();
        return true;
    }
    return false;
}

// --- OrderHost ----------------------------------------------------------------------------------

void TForm_Pelk::orderOpened(bool open) {
    auto* e = orders::existingOrderEditor(state_);
    for (const char* name : kOpenOrderCommands)
        setCommandEnabled(QLatin1String(name), open);
    setCommandEnabled(QStringLiteral("Zamwienie1"), !open);
    for (QWidget* b : {static_cast<QWidget*>(ui_->SpeedButton_Dok_Dodaj),
                       static_cast<QWidget*>(ui_->SpeedButton_Dok_Usun),
                       static_cast<QWidget*>(ui_->SpeedButton_Dok_Edycja)})
        b->setVisible(open && !e->readOnly());
    if (open && e->readOnly()) {
        for (const char* name :
             {"SpeedButton_Dok_Dodaj", "SpeedButton_Dok_Usun", "SpeedButton_Dok_Edycja", "Zapisz1"})
            setCommandEnabled(QLatin1String(name), false);
    }
    for (QWidget* b :
         {static_cast<QWidget*>(ui_->BB_Dok_Dodaj), static_cast<QWidget*>(ui_->BB_Dok_Wstaw),
          static_cast<QWidget*>(ui_->BB_Dok_Edycja), static_cast<QWidget*>(ui_->BB_Dok_Usun),
          static_cast<QWidget*>(ui_->BB_Dok_Ludzik)})
        b->setEnabled(open && !e->readOnly());
    ui_->DBGrid_Dokument->setDataSet(open ? &e->buffer().table() : nullptr);
    // The columns carry the catalogue's own names of Pole 3 and Pole 4, as in the editor.
    const QString symbol = state_.Display.headerSymbol, code = state_.Display.headerProducerCode;
    ui_->DBGrid_Dokument->setColumnTitle(QStringLiteral("Dok_Tow_Symbol"),
                                         symbol.isEmpty() ? QStringLiteral("Symbol") : symbol);
    ui_->DBGrid_Dokument->setColumnTitle(QStringLiteral("Dok_Tow_Kod_Prod"),
                                         code.isEmpty() ? QStringLiteral("Kod prod.") : code);
    const int page = ui_->TNotebook->indexOf(ui_->Zakladka_Dokument);
    ui_->TNotebook->setTabText(page,
                               open ? QStringLiteral("Zamówienie") : QStringLiteral("Dokument"));
    if (!open) {
        orderShownOnTab(false);
        ui_->BB_Dok_Do_Zakladki->hide();
        ui_->Memo_dokument_Info->show();
        showDetailTab(0);
    } else {
        ui_->Memo_dokument_Info->hide();
    }
}

void TForm_Pelk::orderShownOnTab(bool onTab) {
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->DBGrid_Dokument), static_cast<QWidget*>(ui_->BB_Dok_Dodaj),
          static_cast<QWidget*>(ui_->BB_Dok_Wstaw), static_cast<QWidget*>(ui_->BB_Dok_Edycja),
          static_cast<QWidget*>(ui_->BB_Dok_Usun), static_cast<QWidget*>(ui_->BB_Dok_Wydruk),
          static_cast<QWidget*>(ui_->BB_Podglad), static_cast<QWidget*>(ui_->BB_Dok_Ludzik)})
        w->setVisible(onTab);
    ui_->BB_Dok_Do_Zakladki->setVisible(!onTab && state_.OrderOpen);
    if (onTab) {
        showDetailTab(kDocumentPage);
        FormResize(); // the grid's first column takes what the others leave
        ui_->DBGrid_Dokument->setFocus();
    }
}

void TForm_Pelk::orderLinesChanged(bool anyLine) {
    auto* e = orders::existingOrderEditor(state_);
    const bool edit = anyLine && e && !e->readOnly();
    ui_->BB_Dok_Edycja->setEnabled(edit);
    ui_->BB_Dok_Usun->setEnabled(edit);
    ui_->BB_Dok_Wydruk->setEnabled(anyLine);
    ui_->BB_Podglad->setEnabled(anyLine);
    ui_->DBGrid_Dokument->followCursor();
}

engine::DataSet* TForm_Pelk::orderItemList() {
    return ui_->DBGrid_Towary->dataSet();
}

} // namespace shell
