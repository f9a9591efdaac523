#include "files/E_Skojarz.h"
#include "engine/table.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/help.h"
#include "ui/messages.h"
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace files {

namespace {
const QString kProgram = QStringLiteral("Skojarzenia_Aplikacja");
const QString kExtension = QStringLiteral("Skojarzenia_Rozszerzenie");
constexpr int kProgramLength = 100;
constexpr int kExtensionLength = 3;
} // namespace

TEkr_Skojarzenia::TEkr_Skojarzenia(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent) {
    setObjectName(QStringLiteral("TEkr_Skojarzenia"));
    ui::setHelpContext(this, 1600);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    Setup s;
    s.caption = QStringLiteral("Skojarzenia z aplikacjami");
    s.folder = state.MainFolder;
    s.tableName = QStringLiteral("Skojarz");
    s.columns = {{kProgram, QStringLiteral("Aplikacja"), 250},
                 {kExtension, QStringLiteral("Rozszerzenie"), 66}};
    s.addHint = QStringLiteral("Dodawanie nowego skojarzenia");
    s.panelAdding = QStringLiteral(" Edycja ");
    s.panelChanging = QStringLiteral(" Edycja ");
    s.deleteQuestion = QStringLiteral("Czy na pewno chcesz usunąć zaznaczoną pozycję ?");
    s.deleteDefault = ui::Button::No;
    s.readOnly = state.RightsLevel == 1;
    // The "..." button lies outside the boxes: using it keeps the edit going.
    s.abandonOnLeavingEdit = false;
    build(std::move(s));

    program_ = new QLineEdit(editPanel());
    program_->setObjectName(QStringLiteral("Edit_Aplikacja"));
    program_->setMaxLength(kProgramLength);
    pick_ = ui::dialogButton(editPanel(), QStringLiteral("BB_Aplikacja"), QStringLiteral("..."),
                             QStringLiteral("Wybór aplikacji"));
    pick_->setFixedWidth(32);
    connect(pick_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Skojarzenia::BB_AplikacjaClick));
    auto* programRow = new QHBoxLayout;
    programRow->addWidget(program_, 1);
    programRow->addWidget(pick_);
    editForm()->addRow(QStringLiteral("Aplikacja :"), programRow);
    registerEditControl(program_);

    extension_ = new QLineEdit(editPanel());
    extension_->setObjectName(QStringLiteral("Edit_Rozszerzenie"));
    extension_->setMaxLength(kExtensionLength);
    extension_->setFixedWidth(60);
    auto* extensionRow = new QHBoxLayout;
    extensionRow->addWidget(extension_);
    extensionRow->addWidget(new QLabel(QStringLiteral("np : doc "), editPanel()));
    extensionRow->addStretch(1);
    editForm()->addRow(QStringLiteral("Rozszerzenie :"), extensionRow);
    registerEditControl(extension_);
    resize(520, 380);
}

void TEkr_Skojarzenia::prepareAdding() {
    program_->clear();
    extension_->clear();
}

void TEkr_Skojarzenia::prepareChanging() {
    program_->setText(table().asString(kProgram));
    extension_->setText(table().asString(kExtension));
}

bool TEkr_Skojarzenia::checkInput() {
    // An association without a program or an extension never opens anything.
    QString extension = extension_->text().trimmed();
    while (extension.startsWith(u'.'))
        extension.remove(0, 1);
    extension_->setText(extension);
    const bool noProgram = program_->text().trimmed().isEmpty();
    if (noProgram || extension.isEmpty()) {
        refuse(QStringLiteral("Nie wprowadzono wszystkich danych. Zapis nie jest możliwy !"),
               noProgram ? program_ : extension_);
        return false;
    }
    return true;
}

bool TEkr_Skojarzenia::writeRow() {
    table().setValue(kProgram, program_->text().trimmed());
    table().setValue(kExtension, extension_->text().trimmed());
    return true;
}

void TEkr_Skojarzenia::BB_AplikacjaClick() {
    if (!editing()) return;
    const QString current = program_->text().trimmed();
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString path = ui::fileDialogs().openFileName(
        QStringLiteral("Wybór aplikacji"), folder,
        QStringLiteral("Programy (*.exe *.com);;Wszystkie pliki (*)"));
    if (path.isEmpty()) return;
    // Cut to the field, the path would lead nowhere.
    if (path.size() > kProgramLength) {
        refuse(QStringLiteral("Pełna ścieżka wybranego programu ma więcej niż %1 znaków. Zapis "
                              "nie jest możliwy !")
                   .arg(kProgramLength),
               program_);
        return;
    }
    program_->setText(path);
    markChanged();
    program_->setFocus();
}

} // namespace files
