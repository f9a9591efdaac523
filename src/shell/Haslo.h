#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_Haslo;
}
namespace store {
class MainState;
}

namespace shell {

class MainController;

// The login at start-up, when the settings ask for one. The user found in Users brings the
// rights and the catalogue last worked in; three wrong attempts end the program. Accepted with
// StartupDone set when a user logged in; rejected (StartupDone cleared) when the user gave up or
// failed three times, and the program then ends.
class TEkr_Haslo : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Haslo(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Haslo() override;

    // The main window's logic, through which a successful login opens the user's catalogue.
    // Without it the login only sets the user, the rights and the folders in the state.
    void setController(MainController* controller) { controller_ = controller; }

    static constexpr int kAttempts = 3;
    int failures() const { return failures_; }

public Q_SLOTS:
    void B_ZatwierdzClick();
    void B_AnulujClick();
    void reject() override;

private:
    void openUsersCatalogue(const QString& stored);
    void openCatalogue();
    QString expanded(const QString& folder) const;

    store::MainState& state_;
    std::unique_ptr<Ui::TEkr_Haslo> ui_;
    MainController* controller_ = nullptr;
    int failures_ = 0;
};

} // namespace shell
