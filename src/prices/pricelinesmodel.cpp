#include "prices/pricelinesmodel.h"
#include "engine/dataset.h"
#include "prices/pricesheet.h"
#include "ui/money.h"
#include <QComboBox>

namespace prices {

namespace {

PriceField priceOfColumn(int column) {
    switch (column) {
    case PriceLinesModel::PriceA:
        return PriceField::Price1;
    case PriceLinesModel::PriceB:
        return PriceField::Price2;
    case PriceLinesModel::PriceC:
        return PriceField::Price3;
    default:
        return PriceField::Srp;
    }
}

} // namespace

PriceLinesModel::PriceLinesModel(const PriceSheet& sheet, Store store, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet), store_(std::move(store)) {}

void PriceLinesModel::setCurrencies(QList<Currency> currencies) {
    beginResetModel();
    currencies_ = std::move(currencies);
    endResetModel();
}

QString PriceLinesModel::currencyName(int nr) const {
    for (const Currency& c : currencies_)
        if (c.nr == nr) return c.name;
    return {};
}

void PriceLinesModel::reload() {
    beginResetModel();
    endResetModel();
}

int PriceLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(sheet_.lines().size());
}

int PriceLinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PriceLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PriceLine& l = sheet_.lines()[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() != Company &&
        index.column() != CurrencyName)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (index.column() == CurrencyName && role == Qt::UserRole) return l.currencyNr;
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (index.column()) {
    case Company:
        return l.companyName;
    case CurrencyName:
        return currencyName(l.currencyNr);
    default:
        return ui::moneyText(l.price(priceOfColumn(index.column())));
    }
}

bool PriceLinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() == Company) return false;
    if (!store_(index.row(), index.column(), value)) return false;
    Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

Qt::ItemFlags PriceLinesModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() != Company) f |= Qt::ItemIsEditable;
    return f;
}

QVariant PriceLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {"Firma",  "Cena A",   "Cena B",
                                         "Cena C", "Cena SRP", "waluta"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

// --- The currency drop-down ---------------------------------------------------------------------

QWidget* CurrencyDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("Combo_Waluta"));
    if (const auto* m = qobject_cast<const PriceLinesModel*>(index.model()))
        for (const Currency& c : m->currencies())
            box->addItem(c.name, c.nr);
    return box;
}

void CurrencyDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = qobject_cast<QComboBox*>(editor);
    if (!box) return;
    box->setCurrentIndex(box->findData(index.data(Qt::UserRole)));
}

void CurrencyDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    auto* box = qobject_cast<QComboBox*>(editor);
    if (!box || box->currentIndex() < 0) return; // nothing chosen: the line keeps its currency
    model->setData(index, box->currentData().toInt(), Qt::EditRole);
}

} // namespace prices
