#include "orders/linebuffer.h"

#include "engine/dataset.h"
#include "engine/table.h"
#include "platform/worktable.h"

namespace orders {

namespace {

QString S(const char* s) {
    return QString::fromLatin1(s);
}

engine::TableDef layout() {
    using engine::FieldType;
    engine::TableDef def;
    def.fields = {{S("Dok_nr"), FieldType::AutoInc},
                  {S("Dok_Naglowek_Nr"), FieldType::LongInt},
                  {S("Dok_Sciezka"), FieldType::Alpha, 240},
                  {S("Dok_Tow_nr"), FieldType::LongInt},
                  {S("Dok_Tow_Grupa_nr"), FieldType::LongInt},
                  {S("Dok_Tow_Nazwa"), FieldType::Alpha, 50},
                  {S("Dok_Tow_Kod_Prod"), FieldType::Alpha, 25},
                  {S("Dok_Tow_Nr_Producent"), FieldType::LongInt},
                  {S("Dok_Tow_SRP"), FieldType::Number},
                  {S("Dok_Tow_Symbol"), FieldType::Alpha, 25},
                  {S("Dok_Tow_ilosc"), FieldType::Number},
                  {S("Dok_Tow_jm"), FieldType::Alpha, 15},
                  {S("Dok_Uwagi"), FieldType::Alpha, 30}};
    def.indexes = {{S("PrimaryIndex"), {S("Dok_nr")}, true}};
    return def;
}

// An item list in query mode carries only the fields its query chose.
QVariant itemValue(const engine::DataSet& item, const QString& field) {
    return item.hasField(field) ? item.value(field) : QVariant();
}

} // namespace

const QString LineBuffer::kPrefix = QStringLiteral("TDok");

LineBuffer::LineBuffer(const QString& tempFolder)
    : work_(std::make_unique<platform::WorkTable>(tempFolder, kPrefix, layout())) {}

LineBuffer::~LineBuffer() = default;

void LineBuffer::create() {
    work_->create();
}

void LineBuffer::remove() {
    work_->remove();
}

bool LineBuffer::exists() const {
    return work_->exists();
}

QString LineBuffer::name() const {
    return work_->name();
}

engine::Table& LineBuffer::table() {
    return work_->table();
}

bool LineBuffer::isEmpty() {
    return !exists() || table().isEmpty();
}

int LineBuffer::count() {
    return exists() ? table().recordCount() : 0;
}

void LineBuffer::appendItem(const engine::DataSet& item, const QString& folder, bool useName2,
                            double quantity, const QString& unit) {
    engine::Table& t = table();
    t.append();
    try {
        t.setValue(S("Dok_Sciezka"), folder);
        t.setValue(S("Dok_Tow_nr"), itemValue(item, S("Tow_Nr")));
        t.setValue(S("Dok_Tow_Grupa_nr"), itemValue(item, S("Tow_Grupa_Nr")));
        t.setValue(S("Dok_Tow_Nazwa"),
                   itemValue(item, useName2 ? S("Tow_Nazwa2") : S("Tow_Nazwa")));
        t.setValue(S("Dok_Tow_Kod_Prod"), itemValue(item, S("Tow_Kod_Prod")));
        t.setValue(S("Dok_Tow_Nr_Producent"), itemValue(item, S("Tow_Nr_Producent")));
        t.setValue(S("Dok_Tow_SRP"), itemValue(item, S("Tow_SRP")));
        t.setValue(S("Dok_Tow_Symbol"), itemValue(item, S("Tow_Symbol")));
        t.setValue(S("Dok_Tow_ilosc"), quantity);
        t.setValue(S("Dok_Tow_jm"), unit);
        t.post();
    } catch (...) {
        t.cancel();
        throw;
    }
}

void LineBuffer::appendTyped() {
    engine::Table& t = table();
    t.append();
    try {
        t.post();
    } catch (...) {
        t.cancel();
        throw;
    }
}

void LineBuffer::appendLines(const std::vector<OrderLine>& lines) {
    engine::Table& t = table();
    for (const OrderLine& l : lines) {
        t.append();
        try {
            if (l.itemNr != 0) t.setValue(S("Dok_Tow_nr"), l.itemNr);
            t.setValue(S("Dok_Tow_Nazwa"), l.name);
            t.setValue(S("Dok_Tow_Symbol"), l.symbol);
            t.setValue(S("Dok_Tow_Kod_Prod"), l.producerCode);
            t.setValue(S("Dok_Uwagi"), l.remark);
            t.setValue(S("Dok_Tow_ilosc"), l.quantity);
            t.setValue(S("Dok_Tow_jm"), l.unit);
            t.post();
        } catch (...) {
            t.cancel();
            throw;
        }
    }
    t.first();
}

void LineBuffer::deleteCurrent() {
    if (isEmpty()) return;
    table().remove();
}

std::vector<OrderLine> LineBuffer::lines() {
    std::vector<OrderLine> out;
    if (!exists()) return out;
    for (const QVariantMap& row : work_->rows()) {
        OrderLine l;
        l.itemNr = row.value(S("Dok_Tow_nr")).toLongLong();
        l.name = row.value(S("Dok_Tow_Nazwa")).toString();
        l.symbol = row.value(S("Dok_Tow_Symbol")).toString();
        l.producerCode = row.value(S("Dok_Tow_Kod_Prod")).toString();
        l.remark = row.value(S("Dok_Uwagi")).toString();
        l.quantity = row.value(S("Dok_Tow_ilosc")).toDouble();
        l.unit = row.value(S("Dok_Tow_jm")).toString();
        out.push_back(std::move(l));
    }
    return out;
}

} // namespace orders
