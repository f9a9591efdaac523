#pragma once
#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class TEkr_Raport_Importu;
}

namespace shell {

// What an import of Paradox tables did: the catalogue folder written and the import's own lines
// (rows per table, fields skipped or left empty, what could not be read).
class TEkr_Raport_Importu : public QDialog {
    Q_OBJECT
public:
    TEkr_Raport_Importu(const QString& folder, const QStringList& lines, QWidget* parent = nullptr);
    ~TEkr_Raport_Importu() override;

private:
    std::unique_ptr<Ui::TEkr_Raport_Importu> ui_;
};

} // namespace shell
