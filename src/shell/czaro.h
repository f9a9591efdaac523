#pragma once
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class TEkr_Czarodziej;
}
namespace store {
class MainState;
}

namespace shell {

// What the first-run wizard collected.
struct SetupAnswers {
    QString ownerShort;                         // Firma_Skrot of the owner company
    QString ownerName1, ownerName2, ownerName3; // Firma_Nazwa1..3
    QString location;            // the default catalogue's folder as shown in the wizard
    bool createCatalogue = true; // a new catalogue is made there; false: it is an existing one
    QString adminName, adminPassword;
    bool passwordProtection = true;
};

// The wizard's finish below the widgets. With createCatalogue the location's folder is made and
// a complete catalogue created in it, holding currency 1 ("PLN", rate 1, today) and company 1
// (the owner). Then the main folder's files and tables are written, the settings record last, so
// that a finish that fails leaves no settings behind and the next start runs the wizard again.
// Throws engine::EngineError; what was made before the error stays.
void finishSetup(const QString& mainFolder, const SetupAnswers& answers);

// The first-run wizard: four pages asking for the owner, the default catalogue's location and the
// administrator, then the main folder set up by finishSetup. Accepted when the finish succeeded;
// rejected by "Anuluj" (at the first start the program then ends).
class TEkr_Czarodziej : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Czarodziej(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Czarodziej() override;

    int page() const { return page_; } // 1 to 4
    // The location as shown in Label_Podstawowa_Baza_Danych.
    QString location() const;
    // The main folder's proposed place for the default catalogue, as shown.
    QString defaultLocation() const;

    // Runs the folder picker in the mode FolderPickMode = "Otwórz_Nowy"; its results are read
    // from PickedFolder and CreateInPickedFolder. Replaceable for tests.
    std::function<void()> runFolderPicker;

public Q_SLOTS:
    void BB_DalejClick();
    void BB_WrocClick();
    void BB_AnulujClick();
    void SB_LokalizacjaClick();

private:
    void showPage(int page);
    void setLocation(const QString& folder);
    void finish();

    store::MainState& state_;
    std::unique_ptr<Ui::TEkr_Czarodziej> ui_;
    int page_ = 1;
};

} // namespace shell
