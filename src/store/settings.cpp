#include "store/settings.h"
#include "engine/table.h"

namespace store {

Settings::Settings(const QString& mainFolder)
    : table_(std::make_unique<engine::Table>(mainFolder, QStringLiteral("Pelk"))) {
    table_->open();
}

Settings::~Settings() {
    if (editing()) table_->cancel();
}

QVariant Settings::value(const QString& field) const {
    return table_->value(field);
}
QString Settings::text(const QString& field) const {
    return table_->asString(field);
}
int Settings::integer(const QString& field) const {
    return table_->asInteger(field);
}
double Settings::number(const QString& field) const {
    return table_->asFloat(field);
}
bool Settings::flag(const QString& field) const {
    return table_->asBoolean(field);
}
QDate Settings::date(const QString& field) const {
    return table_->asDate(field);
}
QByteArray Settings::bytes(const QString& field) const {
    return table_->asBytes(field);
}

bool Settings::editing() const {
    return table_->state() == engine::Table::State::Edit ||
           table_->state() == engine::Table::State::Insert;
}

void Settings::setValue(const QString& field, const QVariant& value) {
    if (!editing()) {
        // A folder set up by hand may lack the row; the first write makes it.
        if (table_->isEmpty())
            table_->append();
        else
            table_->edit();
    }
    table_->setValue(field, value);
}

void Settings::save() {
    if (editing()) table_->post();
}

void Settings::cancel() {
    if (editing()) table_->cancel();
}

void Settings::refresh() {
    if (!editing()) table_->refreshIfChanged();
}

} // namespace store
