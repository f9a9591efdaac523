#pragma once
#include <QDialog>
#include <memory>
#include <optional>

class QPushButton;
namespace engine {
class Query;
}
namespace store {
class MainState;
}
namespace ui {
class DbGrid;
}

namespace items {

// The attribute picker ("Własności"): the attributes used in the template of group
// TemplateGroupNr, or in any template for -1. The choice is left in AttributeNr, AttributeName
// and AttributeTypeText, the last as the type letter ("N"), which the query builder builds its
// conditions from; AttributeNr stays 0 when nothing was chosen.
class TEkr_Wlasnosci : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Wlasnosci(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Wlasnosci() override;

    // The query text as it is run, one line per entry.
    static QStringList queryLines(int groupNr);

public Q_SLOTS:
    void BB_WybierzClick();
    void BB_PowrotClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void opening();

    store::MainState& st_;
    std::unique_ptr<engine::Query> query_;
    ui::DbGrid* grid_;
    QPushButton* BB_Wybierz;
    bool opened_ = false;
};

struct PickedAttribute {
    int nr = 0;
    QString name;
    QString type; // the type letter
};

// Picks an attribute of the template of group `groupNr` (-1: of any template) in the attribute
// picker: the one chosen, or nothing.
std::optional<PickedAttribute> pickAttribute(store::MainState& state, QWidget* parent, int groupNr);

} // namespace items
