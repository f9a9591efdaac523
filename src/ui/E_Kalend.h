#pragma once
#include <QDate>
#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TEkr_Kalendarz;
}
namespace store {
class MainState;
}

namespace ui {

// The date picker the program's dialogs open instead of asking for a typed date. There is one for
// the whole run (datePicker below), so each opening starts at the date the previous one ended on,
// whichever screen opened it. Callers go through pickDate.
class TEkr_Kalendarz : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Kalendarz(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Kalendarz() override;

    QDate shownDate() const;

public Q_SLOTS:
    void FormActivate();
    void Edit_MiesiacChange();
    void Edit_rokChange();
    void KalendarzChange();
    void KalendarzDblClick();
    void BB_WybierzClick();
    void BB_AnulujClick();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void moveTo(int year, int month);

    store::MainState& state_;
    std::unique_ptr<Ui::TEkr_Kalendarz> ui_;
};

// The program's one date picker, made on first use and kept as long as `state` lives.
TEkr_Kalendarz& datePicker(store::MainState& state);

// Runs the one date picker through the modal runner. Returns the chosen date, which also stands in
// DatePicked and PickedDate; nothing when the user cancelled.
std::optional<QDate> pickDate(store::MainState& state);

} // namespace ui
