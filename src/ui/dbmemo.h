#pragma once
#include "ui/fieldlink.h"
#include <QPlainTextEdit>

namespace ui {

// A read-only text box showing a memo field of a data set's current row.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DbMemo(QWidget* parent = nullptr);

    void setDataSet(engine::DataSet* dataSet) { link_->setDataSet(dataSet); }
    engine::DataSet* dataSet() const { return link_->dataSet(); }
    void setField(const QString& field) { link_->setField(field); }
    QString field() const { return link_->field(); }

private:
    FieldLink* link_;
};

} // namespace ui
