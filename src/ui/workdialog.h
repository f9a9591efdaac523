#pragma once
#include <QDialog>
#include <QString>
#include <functional>

namespace ui {

// A dialog that edits a set of rows as a whole (in a working table) and writes them back in one
// go: Zapisz saves and closes, Anuluj drops the changes and closes, and closing in any other way
// with changes asks whether to save them; a save that fails keeps the dialog open with the
// changes on screen.
//
// The slots, the filling and the hooks run under the error box's guard (ui::guarded), so save(),
// opening() and release() may simply throw engine errors: a save that fails keeps the dialog
// open with the changes on screen, and a dialog that cannot be filled closes.
class WorkDialog : public QDialog {
    Q_OBJECT
public:
    bool changed() const { return changed_; }

public Q_SLOTS:
    void BB_ZapiszClick();
    void BB_AnulujClick();
    void BB_PowrotClick();

public:
    void done(int result) override;

protected:
    // `closeQuestion`: asked when the dialog closes with unsaved changes.
    WorkDialog(QString closeQuestion, QWidget* parent);

    void markChanged(bool on = true) { changed_ = on; }
    // Writes the changes back; false (after its message) or an engine error keeps the dialog
    // open.
    virtual bool save() = 0;
    // At closing, after the question: let go of the working table and the tables.
    virtual void release() {}
    // The dialog fills itself when it is first shown, so that one made and never shown reads
    // nothing: `filled` tells whether it holds its rows, `opening` fills it (an engine error is
    // shown and the dialog closes).
    virtual bool filled() const { return true; }
    virtual void opening() {}
    void showEvent(QShowEvent* event) override;
    // Another screen working on what this dialog edits, run in between: with changes the
    // `question` is asked first, and after a save the dialog closes once `run` is done;
    // otherwise `reload` fills it again from what the other screen left.
    void runInBetween(const QString& question, const std::function<void()>& run,
                      const std::function<void()>& reload);

private:
    bool trySave();
    void abandonOpening();

    QString closeQuestion_;
    bool changed_ = false;
};

} // namespace ui
