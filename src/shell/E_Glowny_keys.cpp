// The main window's keyboard: the standard shortcuts of the menu commands, beside the keys the
// item list has always answered (Insert, Enter, Delete, "-", "."), and the Tab order.
#include "shell/E_Glowny.h"
#include "shell/toolbaricon.h"
#include "ui_E_Glowny.h"
#include <QToolButton>

namespace shell {

void TForm_Pelk::setUpKeys() {
    ui_->Nowy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    ui_->Edycja2->setShortcut(QKeySequence(Qt::Key_F2));
    ui_->Odwie1->setShortcut(QKeySequence(Qt::Key_F5));
    ui_->Drukuj2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    ui_->Koniec1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    auto* find = new QAction(QStringLiteral("Szukaj"), this);
    find->setObjectName(QStringLiteral("Szukaj1"));
    find->setStatusTip(QStringLiteral("Przejście do pola wyszukiwania"));
    find->setIcon(toolbarIcon(QStringLiteral("edit-find")));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    ui_->Obiekt1->insertAction(ui_->Filtr1, find);
    connect(find, &QAction::triggered, this, guard([this] {
                // The whole text selected: the next word typed replaces the last search.
                ui_->Edit_Szukaj_Towar->setFocus(Qt::ShortcutFocusReason);
                ui_->Edit_Szukaj_Towar->selectAll();
            }));

    // Tab goes round the search field, the item list and the notebook (its tabs, then the
    // page's controls). The favourites and the sort box take the focus when clicked.
    ui_->Ulubione->setFocusPolicy(Qt::ClickFocus);
    ui_->Wyswietlaj_wg->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(ui_->Edit_Szukaj_Towar, ui_->DBGrid_Towary);
    setTabOrder(ui_->DBGrid_Towary, ui_->TNotebook);
}

} // namespace shell
