#pragma once
#include "store/mainstate.h"
#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace search {

// The item filter ("Filtr"): narrows the main window's item table TFTowar to one group, one
// producer and given names, symbol and producer code, by a filter expression on the table. The
// values are refilled from and kept in the main window's filter state.
class TEkr_Filtr : public QDialog {
    Q_OBJECT
public:
    enum class Outcome {
        None,      // "Powrót": nothing changed
        Applied,   // "Filtruj": the filter is set (also when it narrows nothing)
        Cancelled, // "Anuluj filtr": the whole table again
    };

    explicit TEkr_Filtr(store::MainState& state, QWidget* parent = nullptr);

    Outcome outcome() const { return outcome_; }
    // The expression the rows give now.
    QString expression() const;

public Q_SLOTS:
    void BB_FiltrujClick();
    void BB_AnulujClick();
    void BB_PowrotClick();
    void BB_GrupaClick();
    void BB_ProducentClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectOperatorChoices();
    struct TextRow {
        QLabel* label;
        QLineEdit* edit;
        QComboBox* op;
    };
    TextRow addTextRow(QWidget* box, int row, const char* name, int maxLength,
                       const QStringList& ops);
    void connectNothing(const TextRow& row, QString store::FilterState::*text,
                        int store::FilterState::*op);
    void FormActivate();
    store::FilterState current() const;

    store::MainState& st_;
    Outcome outcome_ = Outcome::None;
    QGroupBox* itemBox_;
    QGroupBox* producerBox_;
    QWidget* buttonBar_;
    QLineEdit* group_;
    QComboBox* groupOp_;
    QPushButton* groupPick_;
    TextRow name1_, name2_, symbol_, code_;
    QLineEdit* producer_;
    QComboBox* producerOp_;
    QPushButton* producerPick_;
    // The dialog's own choices, apart from the shown names.
    int groupNr_ = 0;
    int producerNr_ = 0;
};

} // namespace search
