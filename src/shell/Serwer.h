#pragma once
#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class TEkr_Serwer;
}

namespace shell {

// Choosing a catalogue kept on a database server: the user writes the server's address
// (postgresql://[user@]host[:port]/database), "Szukaj" lists the catalogues found there, and
// "Wybierz" ends the dialog Accepted with location() naming the one chosen. No password is
// asked for or kept: the server's client library takes it from its own files.
class TEkr_Serwer : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Serwer(QWidget* parent = nullptr);
    ~TEkr_Serwer() override;

    // The address shown when the dialog opens (a catalogue location's schema is left aside).
    void setAddress(const QString& address);
    // The catalogue chosen, as a location; empty until "Wybierz".
    QString location() const { return location_; }

    // How the catalogues of an address are found; the server's own list unless replaced.
    std::function<QStringList(const QString& address)> listCatalogues;

public Q_SLOTS:
    void BB_SzukajClick();
    void BB_WybierzClick();

private:
    void listChanged();

    std::unique_ptr<Ui::TEkr_Serwer> ui_;
    QString searched_; // the address the list was read from
    QString location_;
};

} // namespace shell
