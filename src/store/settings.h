#pragma once
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>

namespace engine {
class Table;
}

namespace store {

// The settings record of a main folder (the single row of its Pelk table), reached by field name
// in any letter case. An empty field reads as "", 0, false or an invalid date. Writing puts the
// row into editing (locking it for other installations) until save() or cancel().
class Settings {
public:
    explicit Settings(const QString& mainFolder); // opens the table; throws engine::EngineError
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    QVariant value(const QString& field) const; // typed, or an invalid QVariant when empty
    QString text(const QString& field) const;
    int integer(const QString& field) const;
    double number(const QString& field) const;
    bool flag(const QString& field) const;
    QDate date(const QString& field) const;
    QByteArray bytes(const QString& field) const;

    void setValue(const QString& field, const QVariant& value); // an invalid QVariant empties it
    void save();   // writes the changes; nothing happens when none were made
    void cancel(); // forgets them
    bool editing() const;

    // Reads the record again when another installation changed it.
    void refresh();

    engine::Table& table() { return *table_; }

private:
    std::unique_ptr<engine::Table> table_;
};

} // namespace store
