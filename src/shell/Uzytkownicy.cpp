#include "shell/Uzytkownicy.h"
#include "engine/table.h"
#include "platform/clipboard.h"
#include "store/folderpaths.h"
#include "store/mainstate.h"
#include "store/passwords.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/help.h"
#include "ui/messages.h"
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace shell {

namespace {
const QString kName = QStringLiteral("User_Nazwa");
const QString kPassword = QStringLiteral("User_Haslo");
const QString kRights = QStringLiteral("User_Uprawnienia");
const QString kAdmin = QStringLiteral("User_Administrator");
const QString kPrices = QStringLiteral("User_Ceny");
const QString kSignature = QStringLiteral("User_Podpis");
const QString kCatalogue = QStringLiteral("User_Baza_Sciezka");
} // namespace

TEkr_Uzytkownicy::TEkr_Uzytkownicy(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Uzytkownicy"));
    ui::setHelpContext(this, 1710);
    Setup s;
    s.caption = QStringLiteral("Użytkownicy");
    s.folder = state.MainFolder;
    s.tableName = QStringLiteral("Users");
    s.columns = {{kName, QStringLiteral("Nazwa użytkownika"), 265}};
    s.addHint = QStringLiteral("Dodawanie nowego użytkownika");
    s.panelAdding = QStringLiteral(" Dodawanie nowego użytkownika ");
    s.panelChanging = QStringLiteral(" Edycja użytkownika ");
    s.deleteQuestion = QStringLiteral("Czy na pewno chcesz usunąć zaznaczonego użytkownika ?");
    s.closeQuestion = QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany!");
    s.readOnly = !state.fullRights();
    build(std::move(s));

    // The password is never shown: a hash would mean nothing to anybody, and an empty box
    // keeps the stored password.
    name_ = new QLineEdit(editPanel());
    name_->setObjectName(QStringLiteral("Edit_Nazwa"));
    password_ = new QLineEdit(editPanel());
    password_->setObjectName(QStringLiteral("Edit_Haslo"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMaxLength(30);
    editForm()->addRow(QStringLiteral("Nazwa użytkownika :"), name_);
    editForm()->addRow(QStringLiteral("Hasło :"), password_);
    registerEditControl(name_);
    registerEditControl(password_);

    auto* rights = buildRightsBox();

    auto* sig = buildSignatureBox();

    // Under the edit panel, shown with it.
    auto* panelLayout = static_cast<QVBoxLayout*>(editPanel()->layout());
    panelLayout->addWidget(rights);
    panelLayout->addWidget(sig);
    resize(560, 520);
}

QGroupBox* TEkr_Uzytkownicy::buildSignatureBox() {
    auto* sig = new QGroupBox(QStringLiteral(" Podpis dołączany do dokumentów : "), this);
    signatureBox_ = sig;
    auto* sl = new QHBoxLayout(sig);
    picture_ = new QLabel(sig);
    picture_->setObjectName(QStringLiteral("DBImage1"));
    picture_->setMinimumSize(160, 60);
    picture_->setFrameShape(QFrame::Box);
    sl->addWidget(picture_, 1);
    auto* sb = new QVBoxLayout;
    const struct {
        const char* name;
        const char* text;
        void (TEkr_Uzytkownicy::*slot)();
    } buttons[] = {{"BB_Ze_Schowka", "Ze Schowka", &TEkr_Uzytkownicy::BB_ZeSchowkaClick},
                   {"BB_Z_Pliku", "Z pliku", &TEkr_Uzytkownicy::BB_ZPlikuClick},
                   {"BB_Wyczysc", "Wyczyść", &TEkr_Uzytkownicy::BB_WyczyscClick}};
    for (const auto& b : buttons) {
        auto* w = ui::dialogButton(sig, QString::fromLatin1(b.name), QString::fromUtf8(b.text));
        connect(w, &QPushButton::clicked, this, ui::guardedSlot(this, b.slot));
        sb->addWidget(w);
    }
    sl->addLayout(sb);
    return sig;
}

QGroupBox* TEkr_Uzytkownicy::buildRightsBox() {
    auto* rights = new QGroupBox(QStringLiteral(" Uprawnienia "), this);
    rightsBox_ = rights;
    auto* rl = new QVBoxLayout(rights);
    admin_ = new QCheckBox(QStringLiteral("Uprawnienia administratora"), rights);
    admin_->setObjectName(QStringLiteral("DBCheckBox1"));
    prices_ = new QCheckBox(QStringLiteral("Dostęp do zakładki \"Ceny\""), rights);
    prices_->setObjectName(QStringLiteral("DBCheckBox3"));
    auto* choice = new QGroupBox(rights);
    choice->setObjectName(QStringLiteral("RG_UserUprawnienia"));
    auto* cl = new QVBoxLayout(choice);
    browseOnly_ = new QRadioButton(QStringLiteral("Przeglądanie danych"), choice);
    fullRights_ = new QRadioButton(QStringLiteral("Aktualizacja i przeglądanie danych"), choice);
    cl->addWidget(browseOnly_);
    cl->addWidget(fullRights_);
    auto* group = new QButtonGroup(choice);
    group->addButton(browseOnly_, 0);
    group->addButton(fullRights_, 1);
    rl->addWidget(admin_);
    rl->addWidget(prices_);
    rl->addWidget(choice);
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(admin_), static_cast<QAbstractButton*>(prices_),
          static_cast<QAbstractButton*>(browseOnly_), static_cast<QAbstractButton*>(fullRights_)})
        connect(b, &QAbstractButton::clicked, this, [this] { markChanged(); });
    return rights;
}

void TEkr_Uzytkownicy::showEditPanel(bool shown) {
    ListDialog::showEditPanel(shown);
    rightsBox_->setVisible(shown);
    signatureBox_->setVisible(shown);
}

void TEkr_Uzytkownicy::prepareAdding() {
    name_->clear();
    password_->clear();
    admin_->setChecked(false);
    prices_->setChecked(true);
    browseOnly_->setChecked(true);
    setSignature({});
}

void TEkr_Uzytkownicy::prepareChanging() {
    name_->setText(table().asString(kName));
    password_->clear();
    admin_->setChecked(table().asBoolean(kAdmin));
    prices_->setChecked(table().asBoolean(kPrices));
    (table().asInteger(kRights) == 2 ? fullRights_ : browseOnly_)->setChecked(true);
    setSignature(table().asBytes(kSignature));
}

QWidget* TEkr_Uzytkownicy::editFocus(Mode mode) {
    return mode == Mode::Changing ? password_ : name_;
}

bool TEkr_Uzytkownicy::checkInput() {
    if (name_->text().isEmpty() || (mode() == Mode::Adding && password_->text().isEmpty())) {
        refuse(QStringLiteral("Dane niekompletne. Zapis nie jest możliwy !"), name_);
        return false;
    }
    return true;
}

bool TEkr_Uzytkownicy::writeRow() {
    auto& t = table();
    t.setValue(kName, name_->text());
    if (!password_->text().isEmpty()) t.setValue(kPassword, store::hashPassword(password_->text()));
    t.setValue(kRights, fullRights_->isChecked() ? 2 : 1);
    t.setValue(kAdmin, admin_->isChecked());
    t.setValue(kPrices, prices_->isChecked());
    t.setValue(kSignature, signature_.isEmpty() ? QVariant() : QVariant(signature_));
    if (mode() == Mode::Adding)
        t.setValue(kCatalogue, store::storedFolder(st_.CurrentCatalogueFolder, st_.MainFolder));
    return true;
}

void TEkr_Uzytkownicy::setSignature(const QByteArray& bmp) {
    signature_ = bmp;
    QPixmap pixmap;
    if (!bmp.isEmpty()) pixmap.loadFromData(bmp);
    picture_->setPixmap(pixmap.isNull() ? QPixmap()
                                        : pixmap.scaled(picture_->size(), Qt::KeepAspectRatio,
                                                        Qt::SmoothTransformation));
}

void TEkr_Uzytkownicy::takeImage(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    setSignature(bytes);
    markChanged();
}

void TEkr_Uzytkownicy::BB_ZeSchowkaClick() {
    if (!editing()) return;
    const QImage image = platform::clipboard().image();
    if (image.isNull()) {
        ui::messages().information(QStringLiteral("Schowek nie zawiera rysunku."));
        return;
    }
    takeImage(image);
}

void TEkr_Uzytkownicy::BB_ZPlikuClick() {
    if (!editing()) return;
    const QString file = ui::fileDialogs().openFileName(QStringLiteral("Podpis"), QString(),
                                                        QStringLiteral("bitmapy windows (*.bmp)"));
    if (file.isEmpty()) return;
    const QImage image(file);
    if (image.isNull()) {
        ui::messages().information(
            QStringLiteral("Nie można odczytać rysunku z pliku %1.").arg(file));
        return;
    }
    takeImage(image);
}

void TEkr_Uzytkownicy::BB_WyczyscClick() {
    if (!editing()) return;
    setSignature({});
    markChanged();
}

void TEkr_Uzytkownicy::closing() {
    bool anyAdmin = false;
    table().forEachRow([&] { anyAdmin = anyAdmin || table().asBoolean(kAdmin); });
    if (!anyAdmin)
        ui::messages().question(
            QStringLiteral("Żaden z użytkowników nie ma uprawnień administratora ! Po wyjściu z "
                           "programu nikt nie będzie miał dostępu do opcji Administrator !"),
            ui::Button::No);
}

} // namespace shell
