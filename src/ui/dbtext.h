#pragma once
#include "ui/fieldlink.h"
#include <QLabel>

namespace ui {

// A label showing one field of a data set's current row.
class DbText : public QLabel {
    Q_OBJECT
public:
    explicit DbText(QWidget* parent = nullptr);

    void setDataSet(engine::DataSet* dataSet) { link_->setDataSet(dataSet); }
    engine::DataSet* dataSet() const { return link_->dataSet(); }
    void setField(const QString& field) { link_->setField(field); }
    QString field() const { return link_->field(); }
    void setMoney(bool money) { link_->setMoney(money); }

private:
    FieldLink* link_;
};

} // namespace ui
