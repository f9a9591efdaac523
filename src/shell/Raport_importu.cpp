#include "shell/Raport_importu.h"
#include "ui/help.h"
#include "ui_Raport_importu.h"
#include <QDir>

namespace shell {

TEkr_Raport_Importu::TEkr_Raport_Importu(const QString& folder, const QStringList& lines,
                                         QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TEkr_Raport_Importu>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 1730);
    ui_->Label_Katalog->setText(QStringLiteral("Zaimportowano katalog do folderu %1.")
                                    .arg(QDir::toNativeSeparators(folder)));
    ui_->Memo_Raport->setPlainText(lines.join(u'\n'));
}

TEkr_Raport_Importu::~TEkr_Raport_Importu() = default;

} // namespace shell
