#include "shell/E_About.h"
#include "pelk_version.h"
#include "ui/help.h"
#include "ui_E_About.h"

namespace shell {

TEkr_About::TEkr_About(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TEkr_About>()) {
    ui_->setupUi(this);
    ui_->Version->setText(QStringLiteral("wersja " PELK_VERSION));
    ui::setHelpContext(this, 1760);
}

TEkr_About::~TEkr_About() = default;

} // namespace shell
