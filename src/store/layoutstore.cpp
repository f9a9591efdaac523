#include "store/layoutstore.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/schema_text.h"

namespace store {

const QString kLayoutTable = QStringLiteral("Uklad");

namespace {

const QString kUserField = QStringLiteral("Uklad_User_Nr");
const QString kCatalogueField = QStringLiteral("Uklad_Katalog");
const QString kKeyField = QStringLiteral("Uklad_Klucz");
const QString kValueField = QStringLiteral("Uklad_Wartosc");
const QString kEntryIndex = QStringLiteral("wg_Uklad_Klucz");

} // namespace

const engine::TableDef& layoutTable() {
    static const engine::TableDef def = detail::tableFromText(
        kLayoutTable,
        QStringLiteral("Uklad_Nr autoinc, Uklad_User_Nr longint, Uklad_Katalog alpha 255,"
                       "Uklad_Klucz alpha 100, Uklad_Wartosc memo"),
        QStringLiteral("PrimaryIndex(Uklad_Nr) "
                       "wg_Uklad_Klucz(Uklad_User_Nr;Uklad_Katalog;Uklad_Klucz)"));
    return def;
}

LayoutStore::LayoutStore(QString mainFolder, int userNr)
    : mainFolder_(std::move(mainFolder)), userNr_(userNr) {}

void LayoutStore::load() {
    values_.clear();
    dirty_.clear();
    if (!engine::Database::exists(mainFolder_)) return;
    if (!engine::Database::open(mainFolder_)->hasTable(kLayoutTable)) return;
    engine::Table t(mainFolder_, kLayoutTable);
    t.setIndexName(kEntryIndex);
    t.open();
    t.setRange({userNr_});
    for (t.first(); !t.eof(); t.next())
        values_.insert({t.asString(kCatalogueField), t.asString(kKeyField)},
                       t.value(kValueField).toString());
}

QString LayoutStore::value(const QString& catalogue, const QString& key) const {
    return values_.value({catalogue, key});
}

bool LayoutStore::contains(const QString& catalogue, const QString& key) const {
    return values_.contains({catalogue, key});
}

void LayoutStore::setValue(const QString& catalogue, const QString& key, const QString& value) {
    const Key k{catalogue, key};
    const auto it = values_.constFind(k);
    if (it != values_.cend() && *it == value) return;
    values_.insert(k, value);
    dirty_.insert(k);
}

void LayoutStore::save() {
    if (dirty_.isEmpty()) return;
    auto db = engine::Database::open(mainFolder_);
    db->transaction([&] {
        if (!db->hasTable(kLayoutTable)) db->createTable(layoutTable(), false);
        engine::Table t(mainFolder_, kLayoutTable);
        t.setIndexName(kEntryIndex);
        t.open();
        for (const Key& k : std::as_const(dirty_)) {
            if (t.findKey({userNr_, k.first, k.second})) {
                t.edit();
            } else {
                t.append();
                t.setValue(kUserField, userNr_);
                t.setValue(kCatalogueField, k.first);
                t.setValue(kKeyField, k.second);
            }
            t.setValue(kValueField, values_.value(k));
            t.post();
        }
        t.close();
    });
    dirty_.clear();
}

} // namespace store
