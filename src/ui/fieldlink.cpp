#include "ui/fieldlink.h"
#include "engine/error.h"
#include "engine/table.h"
#include "ui/money.h"

namespace ui {

FieldLink::FieldLink(Show show, QObject* parent) : QObject(parent), show_(std::move(show)) {}

void FieldLink::setDataSet(engine::DataSet* dataSet) {
    for (const auto& c : connections_)
        disconnect(c);
    connections_.clear();
    ds_ = dataSet;
    if (dataSet) {
        using engine::DataSet;
        for (auto signal : {&DataSet::afterOpen, &DataSet::afterClose, &DataSet::afterScroll,
                            &DataSet::afterRefresh})
            connections_ << connect(dataSet, signal, this, &FieldLink::update);
        connections_ << connect(dataSet, &QObject::destroyed, this, &FieldLink::update);
        if (auto* table = qobject_cast<engine::Table*>(dataSet))
            connections_ << connect(table, &engine::Table::stateChanged, this, &FieldLink::update);
    }
    update();
}

void FieldLink::setField(const QString& field) {
    field_ = field;
    update();
}

void FieldLink::setMoney(bool money) {
    money_ = money;
    update();
}

QString FieldLink::text() const {
    if (!ds_ || !ds_->isOpen() || ds_->isEmpty() || !ds_->hasField(field_)) return {};
    try {
        return money_ ? moneyText(ds_->value(field_)) : ds_->asString(field_);
    } catch (const engine::EngineError& e) {
        // A lookup that could not be read: the widget stays empty rather than stop the move.
        qWarning("%s", e.what());
        return {};
    }
}

void FieldLink::update() {
    if (show_) show_(text());
}

} // namespace ui
