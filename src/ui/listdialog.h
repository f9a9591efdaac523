#pragma once
#include "ui/messages.h"
#include <QDialog>
#include <QList>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class QGroupBox;
class QFormLayout;
class QVBoxLayout;

namespace engine {
class Table;
}

namespace ui {

class DbGrid;

// The dialog every small maintenance table is kept in: a search field over a read-only list, an
// edit panel shown only while a row is added or changed, and the side buttons Powrót, Dodaj,
// Popraw, Usuń, Zapisz, Anuluj, Wybierz (in picking mode) and the dialog's own. Two invisible
// buttons carry Enter and Esc.
//
// A concrete dialog describes itself in a Setup handed to build() from its constructor (with the
// tables whose rows may use a row of its list), adds its edit boxes and own buttons, and
// overrides the hooks for its checks, its row writing and its picking results. Everything else
// (modes, button states, keys, focus rules, the question on abandoning a changed row, rights,
// re-reading after a save) is done here the same way for every dialog. The list itself never edits
// a row.
//
// Every slot and event handler here runs under the error box's guard (ui::guarded), hooks
// included, so a concrete dialog's hooks may simply throw engine errors: a row that cannot be
// put into editing leaves the dialog browsing; a save the engine refuses leaves it editing with
// the panel as typed, and Zapisz may be pressed again; a dialog whose tables cannot be opened
// closes. A concrete dialog connects its own buttons through ui::guardedSlot.
class ListDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Browse, Adding, Changing };

    ~ListDialog() override;

    Mode mode() const { return mode_; }
    QString modeWord() const; // "", "Nowy", "Edycja"
    bool editing() const { return mode_ != Mode::Browse; }
    bool changed() const { return changed_; }
    bool picking() const;
    bool readOnly() const;

    engine::Table& table() const { return *table_; }
    DbGrid* list() const { return list_; }
    QLineEdit* searchBox() const { return search_; } // nullptr for a dialog without one
    QGroupBox* editPanel() const { return panel_; }
    // A side button by objectName ("BB_Dodaj"); nullptr when there is none.
    QPushButton* button(const QString& objectName) const;
    // The edit boxes and other edit controls, in the order Up and Down move through them.
    const QList<QWidget*>& editControls() const { return editControls_; }

public Q_SLOTS:
    void BB_PowrotClick();
    void BB_DodajClick();
    void BB_PoprawClick();
    void BB_UsunClick();
    void BB_ZapiszClick();
    void BB_AnulujClick();
    void BB_WybierzClick();
    // The invisible buttons: Enter and Esc pressed anywhere in the dialog.
    virtual void BB_EnterClick();
    virtual void BB_EscClick();

protected:
    struct Column {
        QString field;
        QString title;
        int width = 0; // 0: as wide as the title and the values need
    };

    // A table of the list's folder whose rows may hold the number of a row of the list: while one
    // does, the row is not deleted.
    struct Reference {
        QString table;
        QString fields;   // index fields of `table`, the first holding the number ("A" or "A;B")
        QString keyField; // the list's number field
        QString message;  // the refusal
        // The refusal made from the first row found (the table stands on it), for a message
        // that names what uses the row; `message` when not set.
        std::function<QString(const engine::Table& found)> messageFor;
    };

    // What a concrete dialog is.
    struct Setup {
        QString caption;   // window title
        QString folder;    // folder of the table
        QString tableName; // the list's table
        QString order;     // index fields of the list ("Grupa_Nazwa"); empty: primary order
        // Field the search text is matched against (nearest match on `order`). Empty: the
        // dialog has no search field.
        QString searchField;
        QList<Column> columns;
        QString addHint = QStringLiteral("Dodawanie nowej pozycji");
        QString panelAdding, panelChanging; // the edit panel's captions
        QString deleteQuestion;
        Button deleteDefault = Button::No;
        // Checked in this order after the deletion question; the first that finds a row using
        // the current one refuses the deletion with its message.
        QList<Reference> references;
        // Asked when the dialog is closed while a changed row is edited; empty: the question
        // asked whenever a changed row is left.
        QString closeQuestion;
        // Dodaj begins the new row and Popraw puts the row into editing (locking it for other
        // installations) at once; otherwise both happen only when Zapisz writes the row.
        bool holdRowWhileEditing = true;
        bool readOnly = false; // a user without full rights
        bool picking = false;  // the caller's picking word is set
        QString pickStartText; // the search field's text in picking mode
        int caretLimit = -1;   // the caret after at most so many characters of the start text
        // A read-only user in picking mode: whether he sees Wybierz, and whether a double-click
        // on the list picks for him (by default it does nothing; he picks with Wybierz or Enter).
        bool readOnlySeesWybierz = true;
        bool readOnlyPicksByDoubleClick = false;
        // Outside picking, a double-click on the list starts changing the row (Popraw); when
        // off it does nothing.
        bool doubleClickChanges = true;
        // Leaving the edit controls abandons the edit when nothing was typed or when the
        // search field is the target; when off, the edit stays until Zapisz, Anuluj, Enter or
        // Esc (moving in the list still settles it).
        bool abandonOnLeavingEdit = true;
        bool exclusive = false; // the list's table is opened for exclusive use
        // The list itself is disabled while it is empty (a dialog without a search field, whose
        // list would otherwise hold the focus with nothing to show).
        bool listDisabledWhileEmpty = false;
    };

    explicit ListDialog(QWidget* parent);
    // Creates the controls. Call once, from the concrete dialog's constructor; edit boxes and
    // own buttons are added after it.
    void build(Setup setup);
    const Setup& setup() const { return setup_; }

    // An edit box in the panel, captioned, bound to a field of the list's table: filled from the
    // row by Popraw, written into it by Zapisz. Its maximum length is the field's size.
    QLineEdit* addEditField(const QString& objectName, const QString& caption,
                            const QString& field);
    // An edit box filled and written by the dialog itself whose maximum length is still the
    // field's size.
    void limitToField(QLineEdit* edit, const QString& field);
    // A control of the dialog's own layout that counts as an edit box (typing in it sets the
    // changed flag when it is a line edit; focus rules apply). Call markChanged() for others.
    void registerEditControl(QWidget* control);
    QFormLayout* editForm() const { return form_; }
    QVBoxLayout* sideButtons() const { return side_; }
    // The column of search field, list and edit panel, for controls of the dialog's own.
    QVBoxLayout* listColumn() const { return listColumn_; }

    struct OwnButton {
        bool needsRow = true;  // disabled while the list is empty
        bool editsData = true; // hidden for a read-only user
        bool hideInPicking = true;
    };
    QPushButton* addOwnButton(const QString& objectName, const QString& text, const QString& hint,
                              OwnButton kind);

    void markChanged() { changed_ = true; }
    // A failed check: the message (caption "Uwaga !", OK) and the focus back to `focus`.
    void refuse(const QString& message, QWidget* focus = nullptr);
    // A changed row is being left: asks whether to save it (`question`, empty: the usual
    // one); afterwards the dialog browses, unless the save was refused by the engine: then the
    // row stays in editing as typed. Nothing is asked for an unchanged row.
    void abandonEdit(const QString& question = {});
    // Whether the focus is in one of the edit controls.
    bool editHasFocus() const;
    bool listEmpty() const;
    // Re-applies the side buttons' states (after the dialog changed something they depend on).
    void updateButtons();
    // Moves the list to the nearest row of `text` in the search field's order.
    void searchFor(const QString& text);

    // --- Hooks ---
    // After the list's table is open (open further tables here).
    virtual void opened() {}
    // At closing, before the list's table is closed: clear the picking word, close own tables.
    virtual void closing() {}
    // Picking mode: empty the result variables (at opening) and fill them (Wybierz).
    virtual void clearResults() {}
    virtual void storeResults() {}
    // Dodaj and Popraw: fill the edit controls. By default the bound boxes are emptied, or
    // filled with the current row's display text.
    virtual void prepareAdding();
    virtual void prepareChanging();
    // Zapisz's checks before anything is written; false (after refuse()) stops the save.
    virtual bool checkInput() { return true; }
    // Writes the controls into the table's row (in insert or edit state). By default the bound
    // boxes. False (after refuse()) stops the save and keeps the row in editing as typed.
    virtual bool writeRow();
    // The control that gets the focus when adding or changing begins; by default the first
    // edit control.
    virtual QWidget* editFocus(Mode mode);
    // After a save, back in browsing, the table re-read.
    virtual void saved() {}
    // The edit panel appears (editing) or goes (browsing).
    virtual void showEditPanel(bool shown);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    void done(int result) override;
    void setVisible(bool visible) override;

private:
    enum class SaveResult { Saved, Refused, Failed };

    void buildSearchRow(QVBoxLayout* left);
    void buildList(QVBoxLayout* left);
    void buildEditPanel(QVBoxLayout* left);
    void openTables();
    void abandonOpening();
    void closeTables();
    void startEditing(Mode mode);
    void beginEditing(Mode mode);
    SaveResult saveEdit();
    bool postEdit();
    void keepEditingAfterFailure(bool wasChanged);
    bool filterInput(QObject* watched, QEvent* event);
    void backToBrowse();
    void onFocusChanged(QWidget* old, QWidget* now);
    void keepFocusNear(QWidget* hidden, QWidget* now);
    void onSearchTextChanged(const QString& text);
    bool listKey(QKeyEvent* event);
    bool editKey(QWidget* control, int key);
    // Insert adds a row and Delete deletes the current one, for a user with full rights.
    void rowKey(int key);
    bool rowKeysApply() const;
    // The Setup's references; false (after the refusal) when a row uses the current one.
    bool referencesAllowDeletion();
    void emptySearchSilently();
    bool isEditControl(const QWidget* w) const;

    Setup setup_;
    std::unique_ptr<engine::Table> table_;
    DbGrid* list_ = nullptr;
    QLineEdit* search_ = nullptr;
    QGroupBox* panel_ = nullptr;
    QFormLayout* form_ = nullptr;
    QVBoxLayout* side_ = nullptr;
    QVBoxLayout* listColumn_ = nullptr;
    QList<QWidget*> editControls_;
    QList<std::pair<QLineEdit*, QString>> boundFields_;
    QList<std::pair<QLineEdit*, QString>> lengthLimits_;
    QList<std::pair<QPushButton*, OwnButton>> ownButtons_;
    Mode mode_ = Mode::Browse;
    bool changed_ = false;
    bool suppressSearch_ = false; // the program itself empties the search field
    bool tablesOpen_ = false;
    QMetaObject::Connection focusConnection_;
    bool closingDown_ = false;
    qint64 editedRow_ = 0; // the row Popraw began on
    int startCaret_ = -1;  // where the caret goes in the start text once the dialog is shown
};

} // namespace ui
