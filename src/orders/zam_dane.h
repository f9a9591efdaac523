#pragma once
#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class TEkr_Zam_Dane;
}
namespace engine {
class DataSet;
}
namespace store {
class MainState;
}
class QPushButton;

namespace orders {

class LineBuffer;

// The units the order lines offer.
QStringList unitChoices();
// A quantity as the user typed it, with a decimal comma (or point); nothing when it is no number.
std::optional<double> parseQuantity(const QString& text);

// "Dane do nowej pozycji": quantity and unit of a line taken from the current item of the item
// list. "OK" adds the line to the buffer and closes; a quantity that is no number is refused and
// nothing is added.
class TEkr_Zam_Dane : public QDialog {
    Q_OBJECT
public:
    TEkr_Zam_Dane(store::MainState& st, engine::DataSet* items, LineBuffer& buffer,
                  QWidget* parent = nullptr);
    ~TEkr_Zam_Dane() override;

public Q_SLOTS:
    void BB_OKClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CB_jmChange();

    store::MainState& st_;
    engine::DataSet* items_;
    LineBuffer& buffer_;
    std::unique_ptr<Ui::TEkr_Zam_Dane> ui_;
    QString itemUnit_;
    bool restoring_ = false;
};

} // namespace orders
