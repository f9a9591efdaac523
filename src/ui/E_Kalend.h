#pragma once
#include <QDate>
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_Kalendarz;
}
namespace store {
class MainState;
}

namespace ui {

// The date picker the program's dialogs open instead of asking for a typed date. Made once and
// reused, so each opening starts at the date the previous one ended on. Callers run it through
// the modal runner and then read DatePicked and PickedDate of the main state.
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

} // namespace ui
