#pragma once
#include "engine/dataset.h"
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace ui {

// Ties a widget to one field of a data set's current row: whenever the row or its values may
// have changed (a move, a re-read, opening or closing, editing starting or ending) the widget is
// given the field's display text again. Empty while the data set is closed or empty, or has no
// such field.
class FieldLink : public QObject {
    Q_OBJECT
public:
    using Show = std::function<void(const QString& text)>;

    FieldLink(Show show, QObject* parent);

    void setDataSet(engine::DataSet* dataSet);
    engine::DataSet* dataSet() const { return ds_; }
    void setField(const QString& field);
    QString field() const { return field_; }
    void setMoney(bool money); // a number field shown as money (see moneyText)

    QString text() const;
    void update(); // shows text() now

private:
    Show show_;
    QPointer<engine::DataSet> ds_;
    QString field_;
    bool money_ = false;
    QList<QMetaObject::Connection> connections_;
};

} // namespace ui
