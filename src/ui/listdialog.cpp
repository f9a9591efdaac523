#include "ui/listdialog.h"
#include "engine/error.h"
#include "engine/table.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/searchkeys.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {

const QString kAbandonQuestion =
    QStringLiteral("Dane zostały zmienione. Czy zapisać wprowadzone zmiany!");

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

ListDialog::ListDialog(QWidget* parent) : QDialog(parent), table_(new engine::Table) {}

ListDialog::~ListDialog() {
    // Focus moves while the widgets below go; by then this is no ListDialog any more.
    disconnect(focusConnection_);
    // A dialog destroyed without being closed still gives back its table and any row lock.
    if (tablesOpen_) {
        try {
            if (table_->state() == engine::Table::State::Edit ||
                table_->state() == engine::Table::State::Insert)
                table_->cancel();
            table_->close();
        } catch (...) {
            // Nothing can be shown from a destructor; the lock then ends with its lease.
        }
    }
}

QString ListDialog::modeWord() const {
    switch (mode_) {
    case Mode::Adding:
        return QStringLiteral("Nowy");
    case Mode::Changing:
        return QStringLiteral("Edycja");
    default:
        return {};
    }
}

bool ListDialog::picking() const {
    return setup_.picking;
}

bool ListDialog::readOnly() const {
    return setup_.readOnly;
}

QPushButton* ListDialog::button(const QString& objectName) const {
    return findChild<QPushButton*>(objectName);
}

bool ListDialog::listEmpty() const {
    return !table_->isOpen() || table_->isEmpty();
}

// --- Building ---------------------------------------------------------------------------------

void ListDialog::build(Setup setup) {
    setup_ = std::move(setup);
    setWindowTitle(setup_.caption);

    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    outer->addLayout(left, 1);
    listColumn_ = left;

    buildSearchRow(left);
    buildList(left);
    buildEditPanel(left);

    side_ = new QVBoxLayout;
    outer->addLayout(side_);
    const struct {
        const char* name;
        const char* text;
        QString hint;
        void (ListDialog::*slot)();
    } buttons[] = {
        {"BB_Powrot", "Powrót", QStringLiteral("Powrót do poprzedniego okna"),
         &ListDialog::BB_PowrotClick},
        {"BB_Dodaj", "Dodaj", setup_.addHint, &ListDialog::BB_DodajClick},
        {"BB_Popraw", "Popraw", QStringLiteral("Edycja zaznaczonej pozycji"),
         &ListDialog::BB_PoprawClick},
        {"BB_Usun", "Usuń", QStringLiteral("Usuwanie zaznaczonej pozycji"),
         &ListDialog::BB_UsunClick},
        {"BB_Zapisz", "Zapisz", QStringLiteral("Zapamiętanie edytowanych danych"),
         &ListDialog::BB_ZapiszClick},
        {"BB_Anuluj", "Anuluj", QStringLiteral("Rezygnacja z aktualnie wykonywanej operacji"),
         &ListDialog::BB_AnulujClick},
        {"BB_Wybierz", "Wybierz", QStringLiteral("Potwierdzenie wyboru z listy"),
         &ListDialog::BB_WybierzClick},
    };
    for (const auto& b : buttons) {
        auto* w =
            dialogButton(this, QString::fromLatin1(b.name), QString::fromUtf8(b.text), b.hint);
        connect(w, &QPushButton::clicked, this, b.slot);
        side_->addWidget(w);
    }
    side_->addStretch(1);

    // The keyboard's two buttons: never shown, reached through Enter and Esc.
    auto* enter = dialogButton(this, QStringLiteral("BB_Enter"), QString(), QString());
    auto* esc = dialogButton(this, QStringLiteral("BB_Esc"), QString(), QString());
    enter->hide();
    esc->hide();
    // Concrete dialogs give these keys their own meaning, under the same guard.
    connect(enter, &QPushButton::clicked, this, guardedSlot(this, &ListDialog::BB_EnterClick));
    connect(esc, &QPushButton::clicked, this, guardedSlot(this, &ListDialog::BB_EscClick));

    focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                               guardedSlot(this, &ListDialog::onFocusChanged));
    updateButtons();
}

void ListDialog::buildSearchRow(QVBoxLayout* left) {
    if (setup_.searchField.isEmpty()) return;
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Szukaj:"), this);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("Edit_Szukaj"));
    label->setBuddy(search_);
    row->addWidget(label);
    row->addWidget(search_, 1);
    left->addLayout(row);
    connect(search_, &QLineEdit::textChanged, this,
            guardedSlot(this, &ListDialog::onSearchTextChanged));
    search_->installEventFilter(this);
}

void ListDialog::buildList(QVBoxLayout* left) {
    list_ = new DbGrid(this);
    list_->setObjectName(QStringLiteral("DBGrid_Lista"));
    list_->horizontalHeader()->setStretchLastSection(true);
    for (const Column& c : setup_.columns)
        list_->addColumn(c.field, c.title, c.width);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_, &DbGrid::enterPressed, this, guardedSlot(this, &ListDialog::BB_EnterClick));
    connect(list_, &DbGrid::rowDoubleClicked, this, [this] {
        // A read-only user chooses with Wybierz or Enter, and by a double-click only where the
        // dialog allows it.
        if (readOnly()) {
            if (picking() && setup_.readOnlyPicksByDoubleClick) BB_WybierzClick();
            return;
        }
        if (picking())
            BB_WybierzClick();
        else if (setup_.doubleClickChanges)
            BB_PoprawClick();
    });
    left->addWidget(list_, 1);
}

// The edit panel under the list, shown while a row is added or changed.
void ListDialog::buildEditPanel(QVBoxLayout* left) {
    panel_ = new QGroupBox(this);
    panel_->setObjectName(QStringLiteral("GroupBox_Edycja"));
    auto* panelLayout = new QVBoxLayout(panel_);
    form_ = new QFormLayout;
    panelLayout->addLayout(form_);
    left->addWidget(panel_);
    panel_->hide();
}

QLineEdit* ListDialog::addEditField(const QString& objectName, const QString& caption,
                                    const QString& field) {
    auto* edit = new QLineEdit(panel_);
    edit->setObjectName(objectName);
    form_->addRow(caption, edit);
    boundFields_.append({edit, field});
    limitToField(edit, field);
    registerEditControl(edit);
    return edit;
}

void ListDialog::limitToField(QLineEdit* edit, const QString& field) {
    lengthLimits_.append({edit, field});
}

void ListDialog::registerEditControl(QWidget* control) {
    editControls_.append(control);
    control->installEventFilter(this);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        connect(edit, &QLineEdit::textEdited, this, [this] { changed_ = true; });
}

QPushButton* ListDialog::addOwnButton(const QString& objectName, const QString& text,
                                      const QString& hint, OwnButton kind) {
    auto* b = dialogButton(this, objectName, text, hint);
    // Before the stretch that closes the column.
    side_->insertWidget(side_->count() - 1, b);
    ownButtons_.append({b, kind});
    updateButtons();
    return b;
}

// --- Opening and closing ----------------------------------------------------------------------

void ListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (tablesOpen_) return;
    setEnabled(true);
    if (!guarded([this] { openTables(); })) abandonOpening();
}

// A dialog whose tables could not be opened has nothing to offer: what was opened is closed at
// once, the controls are out of reach, and the dialog closes as soon as its showing is over
// (closing it from within the showing would leave a modal loop waiting for nothing).
void ListDialog::abandonOpening() {
    setEnabled(false);
    closeTables();
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) reject();
    });
}

void ListDialog::openTables() {
    table_->setDatabaseName(setup_.folder);
    table_->setTableName(setup_.tableName);
    table_->setIndexFieldNames(setup_.order);
    if (setup_.exclusive)
        table_->openExclusive();
    else
        table_->open();
    tablesOpen_ = true;
    const auto& def = table_->definition();
    for (auto& [edit, field] : lengthLimits_)
        if (const auto* f = def.field(field); f && f->type == engine::FieldType::Alpha && f->size)
            edit->setMaxLength(f->size);
    table_->first();
    list_->setDataSet(table_.get());
    opened();

    if (picking()) clearResults();
    updateButtons();
    if (search_) {
        search_->setFocus();
        if (picking()) {
            search_->setText(setup_.pickStartText);
            int caret = int(search_->text().size());
            if (setup_.caretLimit >= 0) caret = std::min(caret, setup_.caretLimit);
            search_->setCursorPosition(caret);
            startCaret_ = caret;
        }
    } else {
        list_->setFocus();
    }
}

void ListDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // Showing the dialog hands its focus widget a tab focus, which selects the whole text of a
    // line edit: the start text is to be typed on, not replaced, so the caret goes back.
    if (visible && search_ && startCaret_ >= 0) {
        search_->deselect();
        search_->setCursorPosition(startCaret_);
        startCaret_ = -1;
    }
}

void ListDialog::closeTables() {
    if (!tablesOpen_) return;
    tablesOpen_ = false;
    // The list's table is given back even when the dialog's own closing fails.
    guarded([this] { closing(); });
    list_->setDataSet(nullptr);
    guarded([this] {
        using State = engine::Table::State;
        if (table_->state() == State::Edit || table_->state() == State::Insert) table_->cancel();
        table_->close();
    });
}

void ListDialog::done(int result) {
    if (closingDown_) return;
    QScopedValueRollback guard(closingDown_, true);
    if (editing()) {
        abandonEdit(setup_.closeQuestion);
        // The save the user asked for failed: the dialog stays open with what he typed.
        if (editing()) return;
    }
    closeTables();
    QDialog::done(result);
}

// --- Buttons ----------------------------------------------------------------------------------

void ListDialog::updateButtons() {
    const bool empty = listEmpty();
    const bool browsing = !editing();
    const auto set = [this](const char* name, bool visible, bool enabled) {
        if (auto* b = button(QString::fromLatin1(name))) {
            b->setVisible(visible);
            b->setEnabled(enabled);
        }
    };
    const bool full = !readOnly();
    set("BB_Dodaj", full, browsing);
    set("BB_Popraw", full, browsing && !empty);
    set("BB_Usun", full, browsing && !empty);
    set("BB_Zapisz", full, !browsing);
    set("BB_Anuluj", full, !browsing);
    set("BB_Wybierz", picking() && (full || setup_.readOnlySeesWybierz), browsing && !empty);
    if (setup_.listDisabledWhileEmpty) list_->setEnabled(!empty);
    for (auto& [b, kind] : ownButtons_) {
        b->setVisible(!(kind.editsData && readOnly()) && !(kind.hideInPicking && picking()));
        b->setEnabled(browsing && !(kind.needsRow && empty));
    }
}

void ListDialog::showEditPanel(bool shown) {
    panel_->setVisible(shown);
}

void ListDialog::beginEditing(Mode mode) {
    mode_ = mode;
    panel_->setTitle(mode == Mode::Adding ? setup_.panelAdding : setup_.panelChanging);
    showEditPanel(true);
    updateButtons();
    if (mode == Mode::Adding)
        prepareAdding();
    else
        prepareChanging();
    changed_ = false;
    if (QWidget* w = editFocus(mode)) w->setFocus();
}

QWidget* ListDialog::editFocus(Mode) {
    return editControls_.isEmpty() ? nullptr : editControls_.first();
}

// An edit that could not begin (the row locked by another installation, a hook's failure)
// leaves the dialog browsing, with no row held.
void ListDialog::startEditing(Mode mode) {
    const bool begun = guarded([this, mode] {
        if (mode == Mode::Adding) {
            editedRow_ = 0;
            if (setup_.holdRowWhileEditing) table_->append();
        } else {
            editedRow_ = table_->rowId();
            // The lock first: a row another installation is changing is not opened for editing.
            if (setup_.holdRowWhileEditing) table_->edit();
        }
        beginEditing(mode);
    });
    if (!begun) backToBrowse();
}

void ListDialog::BB_DodajClick() {
    if (readOnly() || editing()) return;
    startEditing(Mode::Adding);
}

void ListDialog::BB_PoprawClick() {
    if (readOnly() || editing() || listEmpty()) return;
    startEditing(Mode::Changing);
}

void ListDialog::prepareAdding() {
    for (auto& [edit, field] : boundFields_)
        edit->clear();
}

void ListDialog::prepareChanging() {
    for (auto& [edit, field] : boundFields_)
        edit->setText(table_->asString(field));
}

bool ListDialog::writeRow() {
    for (auto& [edit, field] : boundFields_)
        table_->setValue(field, edit->text());
    return true;
}

void ListDialog::refuse(const QString& message, QWidget* focus) {
    messages().information(message);
    if (focus) focus->setFocus();
}

void ListDialog::BB_ZapiszClick() {
    saveEdit();
}

ListDialog::SaveResult ListDialog::saveEdit() {
    if (!editing()) return SaveResult::Refused;
    const bool wasChanged = changed_;
    bool posted = false;
    if (!guarded([this, &posted] { posted = postEdit(); })) {
        keepEditingAfterFailure(wasChanged);
        return SaveResult::Failed;
    }
    if (!posted) {
        // A check refused the row: it stays in editing as typed.
        changed_ = wasChanged;
        return SaveResult::Refused;
    }
    // Saved: whatever fails from here on is shown, and the dialog browses.
    const qint64 row = table_->rowId();
    backToBrowse();
    guarded([this, row] {
        // The row in its sorted place among what others have saved meanwhile.
        table_->refresh();
        if (row) table_->gotoRowId(row);
        list_->followCursor();
        saved();
    });
    updateButtons();
    return SaveResult::Saved;
}

bool ListDialog::postEdit() {
    if (!checkInput()) return false;
    changed_ = false;
    using State = engine::Table::State;
    if (mode_ == Mode::Adding && table_->state() != State::Insert) table_->append();
    if (mode_ == Mode::Changing && table_->state() != State::Edit) {
        // Never another row in its place: the edited one may be gone meanwhile.
        if (editedRow_ && table_->rowId() != editedRow_ && !table_->gotoRowId(editedRow_))
            throw engine::EngineError(
                engine::EngineError::Kind::Deleted,
                QStringLiteral("Rekord w tabeli %1 został usunięty przez innego użytkownika. "
                               "Zmiany nie zostały zapisane.")
                    .arg(setup_.tableName),
                setup_.tableName);
        table_->edit();
    }
    if (!writeRow()) return false;
    table_->post();
    return true;
}

// A save the engine refused (the row locked, changed or deleted by another installation, a
// value the table does not take) leaves the dialog editing, with the edit panel as typed and the
// row still counted as changed, so that nothing typed is lost. A row being changed is let go:
// the next Zapisz puts it into editing afresh, reading what the other installation left, and
// writes the typed values over it; a new row stays inserted until it is saved or abandoned.
void ListDialog::keepEditingAfterFailure(bool wasChanged) {
    changed_ = wasChanged;
    if (mode_ == Mode::Changing)
        guarded([this] {
            if (table_->isOpen() && table_->state() == engine::Table::State::Edit) table_->cancel();
        });
    updateButtons();
}

void ListDialog::backToBrowse() {
    mode_ = Mode::Browse;
    changed_ = false;
    editedRow_ = 0;
    // Browsing is where this ends whatever fails on the way: the row is let go, the buttons
    // follow.
    guarded([this] { showEditPanel(false); });
    guarded([this] {
        using State = engine::Table::State;
        if (table_->isOpen() &&
            (table_->state() == State::Insert || table_->state() == State::Edit))
            table_->cancel();
    });
    updateButtons();
    list_->setFocus();
}

void ListDialog::BB_AnulujClick() {
    if (!editing()) return;
    backToBrowse();
}

void ListDialog::abandonEdit(const QString& question) {
    if (!editing()) return;
    if (changed_ && messages().question(question.isEmpty() ? kAbandonQuestion : question)) {
        // A save the engine refused keeps the row in editing as typed.
        if (saveEdit() == SaveResult::Failed) return;
    }
    if (editing()) BB_AnulujClick();
}

void ListDialog::BB_UsunClick() {
    if (readOnly() || editing() || listEmpty()) return;
    if (!setup_.deleteQuestion.isEmpty() &&
        !messages().question(setup_.deleteQuestion, setup_.deleteDefault))
        return;
    // A row locked or already removed by another installation stays as the list shows it.
    guarded([this] {
        if (!referencesAllowDeletion()) return;
        table_->remove();
    });
    guarded([this] { list_->followCursor(); });
    updateButtons();
}

bool ListDialog::referencesAllowDeletion() {
    for (const Reference& r : setup_.references) {
        engine::Table user(setup_.folder, r.table);
        user.setIndexFieldNames(r.fields);
        user.open();
        if (!user.findKey({table_->asInteger(r.keyField)})) continue;
        refuse(r.messageFor ? r.messageFor(user) : r.message);
        return false;
    }
    return true;
}

void ListDialog::BB_WybierzClick() {
    if (!picking() || editing()) return;
    // Nothing is handed over when the picked row cannot be read.
    if (guarded([this] {
            if (!listEmpty()) storeResults();
        }))
        accept();
}

void ListDialog::BB_PowrotClick() {
    reject();
}

void ListDialog::BB_EnterClick() {
    if (editHasFocus()) {
        BB_ZapiszClick();
    } else if (picking()) {
        if (!editing()) BB_WybierzClick();
    } else if (list_->hasFocus()) {
        BB_PoprawClick();
    }
}

void ListDialog::BB_EscClick() {
    if (editHasFocus())
        BB_AnulujClick();
    else
        BB_PowrotClick();
}

// --- Search -----------------------------------------------------------------------------------

void ListDialog::searchFor(const QString& text) {
    if (!table_->isOpen() || setup_.searchField.isEmpty()) return;
    table_->findNearest({text});
    list_->followCursor();
}

void ListDialog::onSearchTextChanged(const QString& text) {
    if (suppressSearch_) return;
    searchFor(text);
}

void ListDialog::emptySearchSilently() {
    if (!search_) return;
    QScopedValueRollback guard(suppressSearch_, true);
    search_->clear();
}

// --- Keys and focus ---------------------------------------------------------------------------

bool ListDialog::isEditControl(const QWidget* w) const {
    for (const QWidget* c : editControls_)
        if (w == c || (w && c->isAncestorOf(w))) return true;
    return false;
}

bool ListDialog::editHasFocus() const {
    return editing() && isEditControl(QApplication::focusWidget());
}

void ListDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        guarded([this] { BB_EnterClick(); });
        return;
    case Qt::Key_Escape:
        guarded([this] { BB_EscClick(); });
        return;
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        // Reaches here from wherever the focus is, a side button too, unless the control there
        // used the key.
        if (rowKeysApply()) {
            guarded([this, key = event->key()] { rowKey(key); });
            return;
        }
        QDialog::keyPressEvent(event);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool ListDialog::rowKeysApply() const {
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || (search_ && focus == search_) || isEditControl(focus)) return false;
    // Another list of the dialog (a company's contacts) keeps the keys to itself: Delete there
    // must not delete the row of this one.
    if (focus != list_ && qobject_cast<const QAbstractItemView*>(focus)) return false;
    return true;
}

void ListDialog::rowKey(int key) {
    if (readOnly()) return;
    if (key == Qt::Key_Insert)
        BB_DodajClick();
    else if (!listEmpty())
        BB_UsunClick();
}

bool ListDialog::listKey(QKeyEvent* event) {
    const int key = event->key();
    if (editing() && isNavigationKey(key)) {
        // Leaving a row that is being edited: settle the edit first.
        abandonEdit();
        return editing();
    }
    if (key == Qt::Key_Insert || key == Qt::Key_Delete) {
        rowKey(key);
        return true;
    }
    if (search_ && typesSearchText(*event)) {
        // A read-only user's typing in the list does nothing.
        if (readOnly() || editing()) return true;
        return listKeyStartsSearch(*event, *search_);
    }
    return false;
}

bool ListDialog::editKey(QWidget* control, int key) {
    const int at = int(editControls_.indexOf(control));
    if (at < 0) return false;
    if (key == Qt::Key_Down && at + 1 < editControls_.size()) {
        editControls_[at + 1]->setFocus();
        return true;
    }
    if (key == Qt::Key_Up && at > 0) {
        editControls_[at - 1]->setFocus();
        return true;
    }
    return false;
}

bool ListDialog::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonDblClick)
        return QDialog::eventFilter(watched, event);
    // Keys and clicks move the table and settle edits; a failure eats the event.
    bool handled = true;
    guarded([&] { handled = filterInput(watched, event); });
    return handled;
}

bool ListDialog::filterInput(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == search_)
            return searchFieldMovesList(*key, *list_, *table_, [this] { emptySearchSilently(); });
        if (watched == list_) return listKey(key);
        if (auto* w = qobject_cast<QWidget*>(watched); w && editControls_.contains(w))
            return editKey(w, key->key());
    } else if (event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::MouseButtonDblClick) {
        if (watched == list_->viewport() && editing()) {
            abandonEdit();
            return editing(); // a failed save keeps the list where it is
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ListDialog::keepFocusNear(QWidget* hidden, QWidget* now) {
    if (now != search_) return;
    for (QWidget* p = hidden->parentWidget(); p && p != this; p = p->parentWidget())
        if (auto* pages = qobject_cast<QTabWidget*>(p); pages && pages->isVisible())
            return pages->setFocus();
    setFocus();
}

void ListDialog::onFocusChanged(QWidget* old, QWidget* now) {
    // Only moves inside this dialog count: a message box taking the focus leaves nothing.
    if (!now || now->window() != this) return;
    if (search_ && old == search_ && now != search_) emptySearchSilently();
    if (!editing() || !isEditControl(old) || isEditControl(now)) return;
    if (!setup_.abandonOnLeavingEdit) return;
    if (!old->isVisible()) {
        // The box was hidden under the focus (another page of the dialog shown), which is no
        // leaving of the edit: what was typed stays, and the focus stays with the pages rather
        // than going on to the search field.
        keepFocusNear(old, now);
        return;
    }
    if (search_ && now == search_) {
        // Into the search field: the edit is abandoned even after changes.
        BB_AnulujClick();
        search_->setFocus();
    } else if (!changed_) {
        BB_AnulujClick();
        now->setFocus();
    }
}

} // namespace ui
