#include "relations/relationrows.h"
#include "engine/dataset.h"
#include "relations/relationlist.h"
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

namespace relations {

RelationRows::RelationRows(const RelationList& list, std::function<bool(int, const QString&)> store,
                           QObject* parent)
    : QAbstractTableModel(parent), list_(list), store_(std::move(store)) {}

void RelationRows::setTitles(const QStringList& titles) {
    titles_ = titles;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void RelationRows::reload() {
    beginResetModel();
    endResetModel();
}

void RelationRows::rowChanged(int row) {
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QString RelationRows::text(int row, int column) const {
    if (row < 0 || row >= list_.entries().size()) return {};
    const RelationEntry& e = list_.entries()[row];
    switch (column) {
    case 0:
        return e.name;
    case 1:
        return e.symbol;
    case 2:
        return e.producerCode;
    default:
        if (e.value.isNull()) return {};
        return list_.relation() == Relation::Substitutes ? e.value.toString()
                                                         : engine::formatNumber(e.value.toDouble());
    }
}

int RelationRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(list_.entries().size());
}

int RelationRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant RelationRows::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == kValueColumn &&
        list_.relation() != Relation::Substitutes)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool RelationRows::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != kValueColumn || role != Qt::EditRole) return false;
    return store_(index.row(), value.toString());
}

Qt::ItemFlags RelationRows::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == kValueColumn) f |= Qt::ItemIsEditable;
    return f;
}

QVariant RelationRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section >= 0 && section < titles_.size() ? titles_[section] : QVariant();
}

RelationValueDelegate::RelationValueDelegate(bool kinds, QObject* parent)
    : QStyledItemDelegate(parent), kinds_(kinds) {}

QWidget* RelationValueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                             const QModelIndex& index) const {
    if (!kinds_) {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(20);
        return editor;
    }
    auto* box = new QComboBox(parent);
    box->addItems({equivalentKind(), substituteKind()});
    // A kind picked is taken at once, not only when the cell is left.
    auto* self = const_cast<RelationValueDelegate*>(this);
    connect(box, &QComboBox::activated, self, [self, box] { Q_EMIT self->commitData(box); });
    return box;
}

void RelationValueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        box->setCurrentIndex(std::max(0, box->findText(index.data(Qt::EditRole).toString())));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void RelationValueDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                         const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace relations
