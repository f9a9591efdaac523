#pragma once
#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>
#include <functional>

namespace relations {

class RelationList;

// The working list as its grid shows it: name, symbol, producer code and the editable pieces or
// kind. What is typed into the last column is handed to `store`, which checks and keeps it.
class RelationRows : public QAbstractTableModel {
public:
    static constexpr int kValueColumn = 3;

    RelationRows(const RelationList& list, std::function<bool(int, const QString&)> store,
                 QObject* parent);

    void setTitles(const QStringList& titles); // four
    void reload();                             // after rows came or went
    void rowChanged(int row);                  // after a row's value changed
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const RelationList& list_;
    std::function<bool(int, const QString&)> store_;
    QStringList titles_;
};

// The kind of a substitute is chosen from its two words; pieces are typed.
class RelationValueDelegate : public QStyledItemDelegate {
public:
    RelationValueDelegate(bool kinds, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    bool kinds_;
};

} // namespace relations
