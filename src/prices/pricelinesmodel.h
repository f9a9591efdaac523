#pragma once
#include <QAbstractTableModel>
#include <QList>
#include <QStyledItemDelegate>
#include <functional>

namespace prices {

class PriceSheet;

// A currency as the grid offers it.
struct Currency {
    int nr = 0;
    QString name;
};

// The sheet's lines as the prices grid shows them: "Firma" (read-only), "Cena A", "Cena B",
// "Cena C", "Cena SRP" and "waluta" (the currency's name). What is typed or chosen goes to the
// dialog's `store`, which checks it, writes it to the sheet and tells whether it was taken; the
// grid itself never adds or removes lines.
class PriceLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Company, PriceA, PriceB, PriceC, PriceSrp, CurrencyName, ColumnCount };
    // `store(line, column, value)`: a price as typed (text), or a currency number (int).
    using Store = std::function<bool(int, int, const QVariant&)>;

    PriceLinesModel(const PriceSheet& sheet, Store store, QObject* parent = nullptr);

    void setCurrencies(QList<Currency> currencies);
    const QList<Currency>& currencies() const { return currencies_; }
    QString currencyName(int nr) const; // empty when the currency is unknown
    // The lines were changed in the sheet: show them again.
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const PriceSheet& sheet_;
    Store store_;
    QList<Currency> currencies_;
};

// The drop-down of currency names in the "waluta" column.
class CurrencyDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

} // namespace prices
