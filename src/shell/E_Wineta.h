#pragma once
#include <QWidget>
#include <memory>

namespace Ui {
class TEWineta;
}

namespace shell {

// The window shown while the program starts, with a progress bar the start advances.
class TEWineta : public QWidget {
    Q_OBJECT
public:
    explicit TEWineta(QWidget* parent = nullptr);
    ~TEWineta() override;

    void step(); // one step further
    int progress() const;
    void centre();

private:
    std::unique_ptr<Ui::TEWineta> ui_;
};

} // namespace shell
