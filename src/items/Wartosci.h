#pragma once
#include "ui/listdialog.h"
#include <optional>

class QLineEdit;

namespace store {
class MainState;
}

namespace items {

// The suggested values of one attribute ("Wartości"): AttributeNr, AttributeName and
// AttributeTypeText (the type's display word) name it. Kept here from the attributes dialog, and
// picked here through pickValue (ValuePickMode set meanwhile, the choice left in PickedValue) when
// an item's value or a query condition is entered.
class TEkr_Wartosci : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Wartosci(store::MainState& state, QWidget* parent = nullptr);

protected:
    void opened() override;
    void closing() override;
    void clearResults() override;
    void storeResults() override;
    void prepareAdding() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;

private:
    store::MainState& st_;
    QLineEdit* value_;
    QString typeWord_;
    QString before_; // the value when the edit began; empty when adding
};

// Picks a value from the value list of attribute `attributeNr` (named `attributeName`, of type
// letter `typeLetter`): the value chosen, or nothing.
std::optional<QString> pickValue(store::MainState& state, QWidget* parent, int attributeNr,
                                 const QString& attributeName, const QString& typeLetter);

} // namespace items
