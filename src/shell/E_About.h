#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_About;
}

namespace shell {

// The about box: the program's name, its version and how to reach its makers.
class TEkr_About : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_About(QWidget* parent = nullptr);
    ~TEkr_About() override;

private:
    std::unique_ptr<Ui::TEkr_About> ui_;
};

} // namespace shell
