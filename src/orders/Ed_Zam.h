#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_Aktualizacja_Zamowienie;
}
namespace engine {
class Table;
}
namespace store {
class MainState;
}

namespace orders {

// "Edycja pozycji zamówienia": the texts of the current line of the order's line buffer.
// "Zapisz" writes them into the line; "Powrót" asks about changes first; "Anuluj" drops them.
class TEkr_Aktualizacja_Zamowienie : public QDialog {
    Q_OBJECT
public:
    TEkr_Aktualizacja_Zamowienie(store::MainState& st, engine::Table& line,
                                 QWidget* parent = nullptr);
    ~TEkr_Aktualizacja_Zamowienie() override;

public Q_SLOTS:
    bool BB_ZapiszClick();
    void BB_PowrotClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> fieldOrder() const;

    engine::Table& line_;
    std::unique_ptr<Ui::TEkr_Aktualizacja_Zamowienie> ui_;
    bool changed_ = false;
};

} // namespace orders
