// The "zawiera" switch beside the item list's search field: typing narrows the list instead of
// jumping to the nearest name.
#include "shell/E_Glowny.h"
#include "shell/narrowsearch.h"
#include "ui/dbgrid.h"
#include "ui_E_Glowny.h"
#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace shell {

namespace {

QCheckBox* narrowSwitch(QWidget* window) {
    return window->findChild<QCheckBox*>(QStringLiteral("CB_Zawiera"));
}

} // namespace

void TForm_Pelk::setUpNarrowSearch() {
    narrow_ = new NarrowSearch(state_, *this, this);
    QLineEdit* field = ui_->Edit_Szukaj_Towar;
    narrow_->setSearchField(field);
    QWidget* panel = field->parentWidget();
    auto* box = new QCheckBox(QStringLiteral("zawiera"), panel);
    box->setObjectName(QStringLiteral("CB_Zawiera"));
    box->setToolTip(QStringLiteral("Pokazuj tylko obiekty, których pola zawierają wszystkie "
                                   "wpisane słowa"));
    box->setFocusPolicy(Qt::ClickFocus);
    // Right after the field in the search row's layout.
    QBoxLayout* row = ui_->layoutSzukaj;
    row->insertWidget(row->indexOf(field) + 1, box);
    box->show();
    connect(box, &QCheckBox::toggled, this, [this, box](bool on) {
        ui::guarded([&] {
            const bool now = narrow_->setOn(on);
            if (now != on) {
                const QSignalBlocker block(box);
                box->setChecked(now);
            }
            // Back to the nearest search: the text looks for the nearest item again.
            if (!now) controller_->items().searchTextChanged(ui_->Edit_Szukaj_Towar->text());
        });
    });
    connect(narrow_, &NarrowSearch::showing, this, [this](bool narrowed) {
        ui::DbGrid* grid = ui_->DBGrid_Towary;
        if (narrowed) {
            if (grid->dataSet() != narrow_->shown()) grid->setDataSet(narrow_->shown());
            grid->viewport()->update();
        } else if (state_.Query.queryActive) {
            showItemQuery();
        } else {
            showItemTable();
        }
    });
}

void TForm_Pelk::restoreNarrowSwitch() {
    bool on = false;
    ui::guarded([&] { on = NarrowSearch::remembered(state_); });
    if (QCheckBox* box = narrowSwitch(this)) box->setChecked(on);
}

bool TForm_Pelk::narrowSearchTyped() {
    if (!narrow_ || !narrow_->on()) return false;
    narrow_->textChanged();
    return true;
}

// The narrowed list's own keys: the arrows move in it, and leaving the field keeps the words
// (the nearest search empties it instead). True when the event was dealt with here.
bool TForm_Pelk::narrowFieldEvent(QEvent* event) {
    if (!narrow_ || !narrow_->on()) return false;
    if (event->type() == QEvent::FocusOut) return true; // the text stays
    if (event->type() != QEvent::KeyPress) return false;
    engine::RowList* rows = narrow_->shown();
    const int key = static_cast<QKeyEvent*>(event)->key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusItemGrid();
        return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        focusItemGrid();
        ui::guarded([&] {
            if (!rows) return;
            if (key == Qt::Key_Down || key == Qt::Key_PageDown)
                rows->next();
            else
                rows->prior();
        });
        return true;
    default:
        return false;
    }
}

} // namespace shell
