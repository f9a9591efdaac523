#pragma once
#include "store/mainstate.h"
#include "ui/listdialog.h"
#include <optional>

namespace items {

// The groups of the current catalogue ("Grupy"): kept here, and picked here by every screen that
// needs a group, through pickGroup (GroupPickMode set meanwhile, the choice left in
// PickedGroupName and PickedGroupNr).
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

private:
    store::MainState& st_;
};

struct PickedGroup {
    QString name;
    int nr = 0;
};

// Picks a group in the groups dialog, its search field starting with `typed`: the group chosen,
// or nothing when the list was closed without a choice. `modeWord` is what GroupPickMode holds
// meanwhile.
std::optional<PickedGroup> pickGroup(store::MainState& state, QWidget* parent, const QString& typed,
                                     const QString& modeWord = store::kPickingWord);

} // namespace items
