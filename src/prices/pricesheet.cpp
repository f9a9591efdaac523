#include "prices/pricesheet.h"
#include "engine/fields.h"
#include "engine/table.h"
#include "platform/worktable.h"

namespace prices {

namespace {

const QString kEntry = QStringLiteral("Cena_Nr");
const QString kItem = QStringLiteral("Cena_Tow_Nr");
const QString kCurrency = QStringLiteral("Cena_Waluta_Nr");
const QString kCompany = QStringLiteral("Cena_Firma_Nr");
const QString kCompanyName = QStringLiteral("Cena_Firma_Str");
const QString kDate = QStringLiteral("Cena_Data");
const QString kRemark = QStringLiteral("Cena_Uwaga");
const QString kShownOrder = QStringLiteral("Cena_Firma_Str;Cena_Nr");

engine::TableDef workLayout() {
    using engine::FieldType;
    engine::TableDef def;
    def.fields = {{kEntry, FieldType::AutoInc},
                  {kItem, FieldType::LongInt},
                  {QStringLiteral("Cena_1"), FieldType::Number},
                  {kCurrency, FieldType::LongInt},
                  {kCompany, FieldType::LongInt},
                  {kCompanyName, FieldType::Alpha, 50},
                  {QStringLiteral("Cena_2"), FieldType::Number},
                  {QStringLiteral("Cena_3"), FieldType::Number},
                  {kDate, FieldType::Date},
                  {kRemark, FieldType::Alpha, kRemarkLength},
                  {QStringLiteral("Cena_SRP"), FieldType::Number}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {kEntry}, true},
                   {QStringLiteral("wg_Cena_Firma_Nr"), {kCompany}},
                   {QStringLiteral("wg_Cena_Firma_Str"), {kCompanyName}}};
    return def;
}

// The Cena fields a line carries, besides the item.
const QStringList& copiedFields() {
    static const QStringList fields{kCompany,
                                    QStringLiteral("Cena_SRP"),
                                    QStringLiteral("Cena_1"),
                                    QStringLiteral("Cena_2"),
                                    QStringLiteral("Cena_3"),
                                    kCurrency,
                                    kDate,
                                    kRemark};
    return fields;
}

} // namespace

QString priceFieldName(PriceField field) {
    switch (field) {
    case PriceField::Price1:
        return QStringLiteral("Cena_1");
    case PriceField::Price2:
        return QStringLiteral("Cena_2");
    case PriceField::Price3:
        return QStringLiteral("Cena_3");
    case PriceField::Srp:
        break;
    }
    return QStringLiteral("Cena_SRP");
}

QVariant PriceLine::price(PriceField field) const {
    switch (field) {
    case PriceField::Price1:
        return price1;
    case PriceField::Price2:
        return price2;
    case PriceField::Price3:
        return price3;
    case PriceField::Srp:
        break;
    }
    return srp;
}

PriceSheet::PriceSheet(QString catalogueFolder, const QString& tempFolder, int itemNr)
    : folder_(std::move(catalogueFolder)), itemNr_(itemNr),
      work_(
          std::make_unique<platform::WorkTable>(tempFolder, QStringLiteral("Cen"), workLayout())) {}

PriceSheet::~PriceSheet() = default;

bool PriceSheet::isOpen() const {
    return work_->exists();
}

QString PriceSheet::workTableName() const {
    return work_->name();
}

void PriceSheet::open() {
    lines_.clear();
    work_->create();
    engine::Table& t = work_->table();
    engine::Table cena(folder_, QStringLiteral("Cena"));
    cena.setIndexName(QStringLiteral("wg_Cena_Tow_Nr"));
    cena.open();
    cena.setRange({itemNr_});
    engine::Table firmy(folder_, QStringLiteral("Firmy"));
    firmy.open();
    for (cena.first(); !cena.eof() && !cena.isEmpty(); cena.next()) {
        const int company = cena.asInteger(kCompany);
        t.append();
        for (const QString& f : copiedFields())
            t.setValue(f, cena.value(f));
        if (firmy.findKey({company}))
            t.setValue(kCompanyName, firmy.asString(QStringLiteral("Firma_Skrot")));
        t.post();
    }
    reload();
}

void PriceSheet::close() {
    lines_.clear();
    work_->remove();
}

void PriceSheet::reload() {
    lines_.clear();
    for (const QVariantMap& row : work_->rows(kShownOrder)) {
        PriceLine l;
        l.entry = row.value(kEntry).toInt();
        l.companyNr = row.value(kCompany).toInt();
        l.companyName = row.value(kCompanyName).toString();
        l.price1 = row.value(QStringLiteral("Cena_1"));
        l.price2 = row.value(QStringLiteral("Cena_2"));
        l.price3 = row.value(QStringLiteral("Cena_3"));
        l.srp = row.value(QStringLiteral("Cena_SRP"));
        l.currencyNr = row.value(kCurrency).toInt();
        l.date = row.value(kDate).toDate();
        l.remark = row.value(kRemark).toString();
        lines_ << l;
    }
}

int PriceSheet::lineOfCompany(int companyNr) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (lines_[i].companyNr == companyNr) return i;
    return -1;
}

int PriceSheet::lineOfEntry(int entry) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (lines_[i].entry == entry) return i;
    return -1;
}

int PriceSheet::add(int companyNr, const QString& companyName, int currencyNr, const QDate& date) {
    if (!isOpen() || lineOfCompany(companyNr) >= 0) return -1;
    engine::Table& t = work_->table();
    t.append();
    t.setValue(kCompany, companyNr);
    t.setValue(kCompanyName, companyName);
    t.setValue(kCurrency, currencyNr);
    t.setValue(kDate, date);
    t.post();
    reload();
    return lineOfCompany(companyNr);
}

void PriceSheet::change(int line, const QString& field, const QVariant& value, const QDate& date) {
    engine::Table& t = work_->table();
    if (!t.findKey({lines_[line].entry})) return;
    t.edit();
    t.setValue(field, value);
    t.setValue(kDate, date);
    t.post();
    reload();
}

bool PriceSheet::setPrice(int line, PriceField field, const QVariant& value, const QDate& date) {
    if (!isOpen() || line < 0 || line >= lines_.size()) return false;
    const QVariant before = lines_[line].price(field);
    const bool empty = value.isNull() || !value.isValid();
    if (empty ? before.isNull() : (!before.isNull() && before.toDouble() == value.toDouble()))
        return false;
    change(line, priceFieldName(field), empty ? QVariant() : QVariant(value.toDouble()), date);
    return true;
}

bool PriceSheet::setCurrency(int line, int currencyNr, const QDate& date) {
    if (!isOpen() || line < 0 || line >= lines_.size()) return false;
    if (lines_[line].currencyNr == currencyNr) return false;
    change(line, kCurrency, currencyNr, date);
    return true;
}

bool PriceSheet::setRemark(int line, const QString& remark, const QDate& date) {
    if (!isOpen() || line < 0 || line >= lines_.size()) return false;
    const QString cut = remark.left(kRemarkLength);
    if (lines_[line].remark == cut) return false;
    change(line, kRemark, cut.isEmpty() ? QVariant() : QVariant(cut), date);
    return true;
}

void PriceSheet::remove(int line) {
    if (!isOpen() || line < 0 || line >= lines_.size()) return;
    engine::Table& t = work_->table();
    if (t.findKey({lines_[line].entry})) t.remove();
    reload();
}

void PriceSheet::clear() {
    if (!isOpen()) return;
    engine::Table& t = work_->table();
    for (t.first(); !t.isEmpty(); t.first())
        t.remove();
    reload();
}

bool PriceSheet::itemExists() const {
    engine::Table towar(folder_, QStringLiteral("Towar"));
    towar.open();
    return itemNr_ > 0 && towar.findKey({itemNr_});
}

void PriceSheet::save() {
    platform::RowReplacement r;
    r.table = QStringLiteral("Cena");
    r.matchFields = {kItem};
    r.matchValues = {itemNr_};
    for (const QVariantMap& row : work_->rows(kShownOrder)) {
        QVariantMap out{{kItem, itemNr_}};
        for (const QString& f : copiedFields())
            out.insert(f, row.value(f));
        r.rows << out;
    }
    platform::replaceRows(folder_, {r});
}

} // namespace prices
