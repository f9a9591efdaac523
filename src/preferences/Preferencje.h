#pragma once
#include "ui/workdialog.h"
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <utility>

namespace Ui {
class TEkr_Preferencje;
}
namespace store {
class MainState;
class Settings;
} // namespace store
namespace offers {
class TMainForm;
}
class QLabel;
class QLineEdit;
class QTextEdit;
class QPushButton;

namespace preferences {

// "Ustawienia": the installation-wide settings record and the display configuration of the open
// catalogue. The values are read once, when the dialog first shows, so that a company, contact or
// currency chosen from it never replaces edits made before the choice. Every change marks the
// dialog changed; "Zapisz" writes the settings record and then the display configuration, and
// only when both are written is the change forgotten: a refused save keeps the dialog open with
// its values. Every other way of closing asks whether to save.
class TEkr_Preferencje : public ui::WorkDialog {
    Q_OBJECT
public:
    explicit TEkr_Preferencje(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Preferencje() override;

    // Both records were written: the main window takes the new captions, columns, panels and
    // home currency.
    bool saved() const { return saved_; }
    // The display configuration was among them (it is left alone when it could not be read).
    bool displaySaved() const { return saved_ && displayLoaded_; }
    // The example "Test" shows for kind 1 (orders from clients) or 2 (orders to suppliers).
    QString exampleNumber(int kind) const;
    // The header and footer editor while it is open.
    offers::TMainForm* documentEditor() const;

public Q_SLOTS:
    void BB_Test1Click();
    void BB_Test2Click();
    void SB_FirmaClick();
    void SB_KontaktClick();
    void SB_WalutaClick();
    void SB_BazaClick();
    void SB_PrzegladarkaClick();
    void SB_ProgramClick();
    void BB_KopiaClick();
    void BB_Z_dyskuClick();
    void BB_WyczyscClick();
    void BB_Edytuj_NaglowekClick();
    void BB_Odswiez_NaglowekClick();
    void BB_Edytuj_StopkeClick();
    void BB_Odswiez_StopkeClick();

protected:
    bool filled() const override { return filled_; }
    void opening() override;
    bool save() override;
    void release() override;

private:
    void connectControls();
    void watchChanges();
    void changedByUser();
    void loadSettings();
    void loadDisplay();
    void showOwner();
    void showContact();
    void showCurrencyName();
    void showLogo();
    void showReminder();
    void showCatalogue();
    void writeSettings();
    void writeDisplay();
    void testPattern(int kind);
    bool loadPreview(QTextEdit* preview, const QString& fileName);
    void editDocument(const QString& fileName, QPushButton* refresh);
    template <class W> W* control(const QString& name) const;
    // The caption fields and the captions shown above them.
    std::array<std::pair<QLineEdit*, QLabel*>, 5> captions() const;

    store::MainState& st_;
    std::unique_ptr<Ui::TEkr_Preferencje> ui_;
    std::unique_ptr<store::Settings> settings_;
    bool filled_ = false;
    bool loading_ = false;
    bool saved_ = false;
    bool displayLoaded_ = false;
    int ownerNr_ = 0, contactNr_ = 0, currencyNr_ = 0;
    QString ownerShort_;
    QByteArray logo_;
    bool logoChanged_ = false;
    QString storedCatalogue_; // as the settings record holds it
    QString catalogue_;       // the default catalogue shown, in full (a server location as given)
    QPointer<offers::TMainForm> editor_;
};

} // namespace preferences
