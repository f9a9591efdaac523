#pragma once
#include "ui/listdialog.h"
#include <QByteArray>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace store {
class MainState;
}

namespace shell {

// The users of the main folder ("Użytkownicy"): names, passwords, rights and the signature
// printed on documents. Changes take effect at each user's next login.
class TEkr_Uzytkownicy : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Uzytkownicy(store::MainState& state, QWidget* parent = nullptr);

    // The signature as it will be saved: BMP bytes, empty for none.
    QByteArray signature() const { return signature_; }

public Q_SLOTS:
    void BB_ZeSchowkaClick();
    void BB_ZPlikuClick();
    void BB_WyczyscClick();

protected:
    void closing() override;
    void prepareAdding() override;
    void prepareChanging() override;
    QWidget* editFocus(Mode mode) override;
    bool checkInput() override;
    bool writeRow() override;
    void showEditPanel(bool shown) override;

private:
    QGroupBox* buildRightsBox();
    QGroupBox* buildSignatureBox();
    void setSignature(const QByteArray& bmp);
    void takeImage(const QImage& image);

    store::MainState& st_;
    QLineEdit* name_;
    QLineEdit* password_;
    QCheckBox* admin_;
    QCheckBox* prices_;
    QRadioButton* browseOnly_;
    QRadioButton* fullRights_;
    QWidget* rightsBox_;
    QWidget* signatureBox_;
    QLabel* picture_;
    QByteArray signature_;
};

} // namespace shell
