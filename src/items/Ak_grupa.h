#pragma once
#include "ui/listdialog.h"

namespace store {
class MainState;
}

namespace items {

// The groups of the current catalogue ("Grupy"): kept here, and picked here by every screen that
// needs a group (GroupPickMode set by the caller, the choice left in PickedGroupName and
// PickedGroupNr).
class TEkr_Aktualizacja_Grupa : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Grupa(store::MainState& state, QWidget* parent = nullptr);

public Q_SLOTS:
    void BB_WlasnosciClick(); // "Własności ...": the group's template

protected:
    void closing() override;
    void clearResults() override;
    void storeResults() override;
    bool checkInput() override;
    bool deletionAllowed() override;

private:
    store::MainState& st_;
};

} // namespace items
