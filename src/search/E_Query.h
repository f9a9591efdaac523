#pragma once
#include "store/mainstate.h"
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace search {

// The query builder ("Zapytanie"): a search over items by group, text fields, producer,
// selling price and one attribute's value, turned into the SQL lines of the main window's item
// query QTowar. Its settings are kept in the main window's query state, so that reopening it
// while a query is in force shows what produced the query. The dialog works on a copy of that
// state and writes it back only when a query is built or cancelled.
class TEkr_Query : public QDialog {
    Q_OBJECT
public:
    enum class Outcome {
        Back,      // "Powrót": the query in force, if any, stays
        Executed,  // "Wykonaj zapytanie": QTowar holds the new lines
        Cancelled, // "Anuluj zapytanie": the plain item table again
        Loaded,    // "Wczytaj Zapytanie.txt": QTowar holds the lines of the file
    };

    explicit TEkr_Query(store::MainState& state, QWidget* parent = nullptr);

    Outcome outcome() const { return outcome_; }
    // The file the built lines are written to and read back from.
    static QString queryFile(const store::MainState& state);

public Q_SLOTS:
    void BB_ZastosujClick();
    void BitBtn2Click(); // Anuluj zapytanie
    void BB_PowrotClick();
    void BitBtn1Click(); // Wczytaj Zapytanie.txt
    void BB_GrupaClick();
    void BB_ProducentClick();
    void BB_WlasnoscClick();
    void BB_WartoscClick();
    void BB_WyczyscClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildValueLines();
    void buildButtonBar();
    struct Row {
        QLabel* label;
        QComboBox* op;
        QLineEdit* edit;
        QPushButton* pick = nullptr;
    };
    Row addRow(int line, const char* name, const QString& caption, const QStringList& ops,
               bool upper);
    void FormActivate();
    void hideRows();
    void fillFromState();
    void readControls();
    void showAttribute();
    void rebuildValueOperators();
    void openValueRows(bool range);
    void closeValueRows();
    void dropAttribute();
    void valueOperatorChanged(int index);
    void itemOperatorChosen(const Row& row, int index);
    void loadLines(const QStringList& lines);

    store::MainState& st_;
    store::QueryState q_; // the settings being edited
    Outcome outcome_ = Outcome::Back;
    Row group_, name1_, name2_, symbol_, producer_, producerSymbol_, price_;
    QLabel* attributeName_;
    QLabel* attributeType_;
    QLabel* valueCaption_;
    QComboBox* valueOp_;
    QLineEdit* value1_;
    QLineEdit* value2_;
    QPushButton* value1Pick_;
    QPushButton* value2Pick_;
    QLabel* from_;
    QLabel* to_;
    QWidget* buttonBar_;
};

} // namespace search
