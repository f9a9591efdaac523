#include "drawings/Akt_rys.h"
#include "drawings/picturebox.h"
#include "engine/table.h"
#include "platform/clipboard.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/help.h"
#include "ui/messages.h"
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace drawings {

namespace {
const QString kNr = QStringLiteral("Rys_Nr");
const QString kOpis = QStringLiteral("Rys_Opis");
const QString kBlob = QStringLiteral("Rys_Blob");
// The box keeps descriptions short enough for the lists that show them.
constexpr int kOpisLength = 30;
} // namespace

TEkr_Rysunki::TEkr_Rysunki(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Rysunki"));
    ui::setHelpContext(this, 1200);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    Setup s;
    s.caption = QStringLiteral("Rysunki");
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = QStringLiteral("Rysunek");
    s.order = kOpis;
    s.searchField = kOpis;
    s.columns = {{kOpis, QStringLiteral("Opis"), 0}};
    s.addHint = QStringLiteral("Dodawanie nowego rysunku");
    s.panelAdding = QStringLiteral("Dodawanie nowego ryunku");
    s.panelChanging = QStringLiteral("Edycja opisu rysunku");
    s.deleteQuestion = QStringLiteral("Czy chcesz usunąć zaznaczoną pozycję");
    s.deleteDefault = ui::Button::Yes;
    s.closeQuestion = QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany!");
    s.references = {
        {.table = QStringLiteral("Grafika"),
         .fields = QStringLiteral("Grafika_Rys_Nr"),
         .keyField = kNr,
         .message = QStringLiteral(
             "Ten rysunek jest używany przez bazy danych. Usunięcie nie jest możliwe !")}};
    s.readOnly = !state.fullRights();
    // The picture buttons lie outside the description box: using them keeps the edit going.
    s.abandonOnLeavingEdit = false;
    build(std::move(s));

    Edit_Opis = addEditField(QStringLiteral("Edit_Opis"), QStringLiteral("Opis :"), kOpis);

    buildPictureColumn();
    resize(640, 420);

    engine::Table& t = table();
    for (auto signal : {&engine::DataSet::afterOpen, &engine::DataSet::afterScroll,
                        &engine::DataSet::afterRefresh})
        connect(&t, signal, this, &TEkr_Rysunki::showCurrentPicture);
    for (auto signal :
         {&engine::Table::afterPost, &engine::Table::afterCancel, &engine::Table::afterDelete})
        connect(&t, signal, this, &TEkr_Rysunki::showCurrentPicture);
}

// The picture with its buttons, beside the list.
void TEkr_Rysunki::buildPictureColumn() {
    auto* group = new QGroupBox(QStringLiteral(" Rysunek : "), this);
    group->setObjectName(QStringLiteral("GroupBox_Rysunek"));
    auto* grid = new QGridLayout(group);
    picture_ = new PictureBox(group);
    picture_->setObjectName(QStringLiteral("DBImage"));
    picture_->setMinimumSize(220, 180);
    grid->addWidget(picture_, 0, 0, 1, 2);
    const struct {
        const char* name;
        const char* text;
        void (TEkr_Rysunki::*slot)();
    } buttons[] = {{"BB_ZeSchowka", "Ze schowka", &TEkr_Rysunki::BB_ZeSchowkaClick},
                   {"BB_Wyczysc", "Wyczyść", &TEkr_Rysunki::BB_WyczyscClick},
                   {"BB_DoSchowka", "Do schowka", &TEkr_Rysunki::BB_DoSchowkaClick},
                   {"BB_ZPliku", "Z pliku", &TEkr_Rysunki::BB_ZPlikuClick}};
    int at = 0;
    for (const auto& b : buttons) {
        auto* w = ui::dialogButton(group, QString::fromLatin1(b.name), QString::fromUtf8(b.text));
        connect(w, &QPushButton::clicked, this, ui::guardedSlot(this, b.slot));
        grid->addWidget(w, 1 + at / 2, at % 2);
        // Only the buttons follow the editing: the picture takes no input, and disabled it
        // would be drawn greyed out.
        pictureControls_ << w;
        ++at;
    }
    fit_ = new QCheckBox(QStringLiteral("Dopasowany"), this);
    fit_->setObjectName(QStringLiteral("CBox_Dopasowany"));
    fit_->setChecked(true);
    picture_->setStretched(true);
    connect(fit_, &QCheckBox::toggled, picture_, &PictureBox::setStretched);

    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(group, 1);
    pictureColumn->addWidget(fit_);
    // Beside the list, before the side buttons.
    if (auto* outer = qobject_cast<QHBoxLayout*>(layout())) outer->insertLayout(1, pictureColumn);
    enablePictureGroup(false);
}

void TEkr_Rysunki::opened() {
    Edit_Opis->setMaxLength(kOpisLength);
    showCurrentPicture();
}

void TEkr_Rysunki::showCurrentPicture() {
    const engine::Table& t = table();
    if (editing())
        picture_->setPicture(editedPicture_);
    else
        picture_->setPicture(t.isOpen() && !t.isEmpty() ? t.asBytes(kBlob) : QByteArray());
}

void TEkr_Rysunki::enablePictureGroup(bool on) {
    for (QWidget* w : pictureControls_)
        w->setEnabled(on);
}

void TEkr_Rysunki::showEditPanel(bool shown) {
    ListDialog::showEditPanel(shown);
    enablePictureGroup(shown && !readOnly());
    showCurrentPicture();
}

void TEkr_Rysunki::prepareAdding() {
    ListDialog::prepareAdding();
    editedPicture_.clear();
    showCurrentPicture();
}

void TEkr_Rysunki::prepareChanging() {
    ListDialog::prepareChanging();
    editedPicture_ = table().asBytes(kBlob);
    showCurrentPicture();
}

void TEkr_Rysunki::takePicture(const QByteArray& bytes) {
    editedPicture_ = bytes;
    if (mode() == Mode::Changing) {
        // The picture is saved with the row at once; the row stays in editing for its
        // description.
        engine::Table& t = table();
        t.setValue(kBlob, bytes.isEmpty() ? QVariant() : QVariant(bytes));
        t.post();
        t.edit();
    }
    markChanged();
    showCurrentPicture();
}

void TEkr_Rysunki::BB_ZeSchowkaClick() {
    if (!editing()) return;
    const QImage image = platform::clipboard().image();
    if (image.isNull()) {
        ui::messages().information(QStringLiteral("Schowek nie zawiera rysunku."));
        return;
    }
    takePicture(pngBytes(image));
}

void TEkr_Rysunki::BB_ZPlikuClick() {
    if (!editing()) return;
    const QString path = ui::fileDialogs().openFileName(
        QStringLiteral("Rysunek"), QString(),
        QStringLiteral("Rysunki (*.bmp *.png *.jpg *.jpeg);;bitmapy windows (*.bmp);;"
                       "PNG (*.png);;JPEG (*.jpg *.jpeg)"));
    if (path.isEmpty()) return;
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    const QImage image = pictureFrom(bytes);
    if (image.isNull()) {
        ui::messages().information(
            QStringLiteral("Nie można odczytać rysunku z pliku %1.").arg(path));
        return;
    }
    // The clipboard keeps the picture, for pasting it elsewhere.
    platform::clipboard().setImage(image);
    takePicture(bytes);
}

void TEkr_Rysunki::BB_DoSchowkaClick() {
    if (!editing() || !picture_->hasPicture()) return;
    platform::clipboard().setImage(picture_->image());
}

void TEkr_Rysunki::BB_WyczyscClick() {
    if (!editing()) return;
    editedPicture_.clear();
    markChanged();
    showCurrentPicture();
}

bool TEkr_Rysunki::checkInput() {
    if (Edit_Opis->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("Nie wprowadzono opisu rysunku. Zapis nie jest możliwy !"),
               Edit_Opis);
        return false;
    }
    if (editedPicture_.isEmpty()) {
        refuse(QStringLiteral("Nie wprowadzono rysunku. Zapis nie jest możliwy !"), Edit_Opis);
        return false;
    }
    return true;
}

bool TEkr_Rysunki::writeRow() {
    if (!ListDialog::writeRow()) return false;
    table().setValue(kBlob, QVariant(editedPicture_));
    return true;
}

void TEkr_Rysunki::BB_EnterClick() {
    if (searchBox() && searchBox()->hasFocus()) {
        list()->setFocus();
        return;
    }
    ListDialog::BB_EnterClick();
}

} // namespace drawings
