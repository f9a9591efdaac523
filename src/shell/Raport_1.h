#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_Otworz_z_listy;
}
namespace store {
class MainState;
}

namespace shell {

// The list of known catalogue folders (the main folder's Lista.txt), to open one of them or to
// strike one off. Made once by the main window and reused; every opening reads the file again.
// Run through ui::modalRunner(): Accepted means a catalogue other than the open one was chosen
// and CurrentCatalogueFolder (expanded) and CurrentCatalogueName (the line) now name it; the
// caller opens it. A line struck off is gone from Lista.txt at once, whatever follows.
class TEkr_Otworz_z_listy : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Otworz_z_listy(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Otworz_z_listy() override;

public Q_SLOTS:
    void FormActivate();
    void BB_OtworzClick();
    void SpeedButton9Click();
    void BB_PowrotClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fill(const QStringList& lines, int row);
    void selectionChanged();

    store::MainState& state_;
    std::unique_ptr<Ui::TEkr_Otworz_z_listy> ui_;
};

} // namespace shell
