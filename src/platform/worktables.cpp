#include "platform/worktables.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>

namespace platform {

namespace {

const QString kNameField = QStringLiteral("Rob_Tabela");
const QString kOwnerField = QStringLiteral("Rob_Wlasciciel");
const QString kCreatedField = QStringLiteral("Rob_Utworzona");

engine::TableDef registryLayout() {
    engine::TableDef def;
    def.name = WorkTables::kRegistryTable;
    def.fields = {{kNameField, engine::FieldType::Alpha, 40},
                  {kOwnerField, engine::FieldType::Alpha, 80},
                  {kCreatedField, engine::FieldType::Timestamp, 0}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {kNameField}, true}};
    return def;
}

} // namespace

const QString WorkTables::kRegistryTable = QStringLiteral("Robocze");

WorkTables::WorkTables(const QString& tempFolder, Random random)
    // No folder given stays no folder: never the process's current one.
    : folder_(tempFolder.trimmed().isEmpty() ? QString() : QDir(tempFolder).absolutePath()),
      random_(std::move(random)) {
    if (!random_)
        random_ = [](quint32 bound) { return QRandomGenerator::global()->bounded(bound); };
}

WorkTables::~WorkTables() = default;

std::shared_ptr<engine::Database> WorkTables::database() {
    if (!db_) {
        if (folder_.isEmpty())
            throw engine::EngineError(engine::EngineError::Kind::NoDatabase,
                                      QStringLiteral("Nie wskazano folderu plików roboczych."));
        if (!QDir().mkpath(folder_))
            throw engine::EngineError(engine::EngineError::Kind::NoDatabase,
                                      QStringLiteral("Nie można utworzyć folderu %1.")
                                          .arg(QDir::toNativeSeparators(folder_)));
        db_ = engine::Database::open(folder_, engine::Database::Mode::Create);
    }
    return db_;
}

QString WorkTables::number() {
    return QString::number(random_(kNumberBound) % kNumberBound);
}

QString WorkTables::drawName(const QString& prefix) {
    auto db = database();
    for (;;) {
        const QString first = number(); // drawn in this order, whatever the compiler likes
        const QString second = number();
        QString name = prefix + first + second;
        if (!db->hasTable(name)) return name;
    }
}

void WorkTables::ensureRegistry() {
    if (!db_->hasTable(kRegistryTable)) db_->createTable(registryLayout(), false);
}

QString WorkTables::create(const QString& prefix, engine::TableDef layout) {
    auto db = database();
    QString name;
    db->transaction([&] {
        // Our lease must exist before anybody can see a table that names us as its owner.
        db->renewLease();
        ensureRegistry();
        name = drawName(prefix);
        layout.name = name;
        db->createTable(layout, false);
        engine::Table reg(folder_, kRegistryTable);
        reg.open();
        reg.append();
        reg.setValue(kNameField, name);
        reg.setValue(kOwnerField, db->ownerId());
        reg.setValue(kCreatedField, QDateTime::currentDateTime());
        reg.post();
        reg.close();
    });
    db->keepLeaseAlive();
    return name;
}

void WorkTables::remove(const QString& name) {
    auto db = database();
    db->transaction([&] {
        if (db->hasTable(name)) db->dropTable(name);
        if (!db->hasTable(kRegistryTable)) return;
        engine::Table reg(folder_, kRegistryTable);
        reg.open();
        if (reg.findKey({name})) reg.remove();
        reg.close();
    });
}

QString WorkTables::ownerOf(const QString& name) {
    auto db = database();
    if (!db->hasTable(kRegistryTable)) return {};
    engine::Table reg(folder_, kRegistryTable);
    reg.open();
    return reg.findKey({name}) ? reg.asString(kOwnerField) : QString();
}

int WorkTables::removeLeftovers() {
    if (!db_ && !engine::Database::exists(folder_)) return 0;
    auto db = database();
    if (!db->hasTable(kRegistryTable)) return 0;
    QStringList orphans;
    {
        engine::Table reg(folder_, kRegistryTable);
        reg.open();
        for (reg.first(); !reg.eof(); reg.next())
            if (!db->ownerAlive(reg.asString(kOwnerField))) orphans << reg.asString(kNameField);
    }
    for (const QString& name : std::as_const(orphans))
        remove(name);
    return int(orphans.size());
}

} // namespace platform
