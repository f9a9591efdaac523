#include "relations/relationlist.h"
#include "engine/table.h"
#include "engine/values.h"
#include "platform/worktable.h"
#include <QSet>
#include <array>

namespace relations {

namespace {

const QString kTowar = QStringLiteral("Towar");
const QString kSklada = QStringLiteral("Sklada");
const QString kZamienne = QStringLiteral("Zamienne");
const QString kWhole = QStringLiteral("Sklada_Tow_Nr");
const QString kPart = QStringLiteral("Sklada_Nr_Czesci");
const QString kPieces = QStringLiteral("Sklada_il_szt");
const QString kZamItem = QStringLiteral("Zam_Tow_Nr");
const QString kZamOther = QStringLiteral("Zam_Nr_Zam");

RelationDesign makeDesign(const char* caption, const char* itemLabel, const char* listLabel,
                          const char* prefix, const char* valueTitle, const char* duplicate,
                          const char* newItemQuestion, const char* closeQuestion,
                          const std::array<const char*, 6>& fields) {
    RelationDesign d;
    d.caption = QString::fromUtf8(caption);
    d.itemLabel = QString::fromUtf8(itemLabel);
    d.listLabel = QString::fromUtf8(listLabel);
    d.prefix = QString::fromUtf8(prefix);
    d.valueTitle = QString::fromUtf8(valueTitle);
    d.duplicate = QString::fromUtf8(duplicate);
    d.newItemQuestion = QString::fromUtf8(newItemQuestion);
    d.closeQuestion = QString::fromUtf8(closeQuestion);
    d.entryField = QString::fromLatin1(fields[0]);
    d.otherField = QString::fromLatin1(fields[1]);
    d.symbolField = QString::fromLatin1(fields[2]);
    d.codeField = QString::fromLatin1(fields[3]);
    d.nameField = QString::fromLatin1(fields[4]);
    d.valueField = QString::fromLatin1(fields[5]);
    return d;
}

// The fields in the order the working table holds them, and its indexes.
engine::TableDef layoutOf(Relation relation) {
    using engine::FieldType;
    const RelationDesign& d = designOf(relation);
    // Pieces keep what is stored, fractions included.
    const engine::FieldDef value = relation == Relation::Substitutes
                                       ? engine::FieldDef{d.valueField, FieldType::Alpha, 20}
                                       : engine::FieldDef{d.valueField, FieldType::Number};
    const engine::FieldDef entry{d.entryField, FieldType::AutoInc};
    const engine::FieldDef other{d.otherField, FieldType::LongInt};
    const engine::FieldDef symbol{d.symbolField, FieldType::Alpha, 25};
    const engine::FieldDef code{d.codeField, FieldType::Alpha, 25};
    const engine::FieldDef name{d.nameField, FieldType::Alpha, 50};
    engine::TableDef def;
    switch (relation) {
    case Relation::ConsistsOf:
        def.fields = {entry, other, symbol, code, name, value};
        def.indexes = {{QStringLiteral("PrimaryIndex"), {d.entryField}, true},
                       {QStringLiteral("wg_skl_skl_sie_z"), {d.otherField}},
                       {QStringLiteral("wg_skl_kod_prod"), {d.codeField}},
                       {QStringLiteral("wg_skl_tow_symbol"), {d.symbolField}},
                       {QStringLiteral("wg_skl_tow_nazwa"), {d.nameField}}};
        break;
    case Relation::GoesInto:
        def.fields = {entry, other, value, symbol, code, name};
        def.indexes = {{QStringLiteral("PrimaryIndex"), {d.entryField}, true},
                       {QStringLiteral("wg_nazwa"), {d.nameField}},
                       {QStringLiteral("wg_tow_kod_prod"), {d.codeField}},
                       {QStringLiteral("wg_tow_symbol"), {d.symbolField}},
                       {QStringLiteral("wg_wchodzi_do_zesp"), {d.otherField}}};
        break;
    case Relation::Substitutes:
        def.fields = {entry, other, symbol, code, name, value};
        def.indexes = {{QStringLiteral("PrimaryIndex"), {d.entryField}, true},
                       {QStringLiteral("wg_zam_Tow_kod_prod"), {d.codeField}},
                       {QStringLiteral("wg_zam_tow_symbol"), {d.symbolField}},
                       {QStringLiteral("wg_zam_tow_nazwa"), {d.nameField}},
                       {QStringLiteral("wg_zam_zamiennik"), {d.otherField}}};
        break;
    }
    return def;
}

} // namespace

QString equivalentKind() {
    return QStringLiteral("równoważnik");
}

QString substituteKind() {
    return QStringLiteral("zamiennik");
}

bool isEquivalent(const QString& kind) {
    return kind.startsWith(u'R') || kind.startsWith(u'r');
}

const RelationDesign& designOf(Relation relation) {
    static const RelationDesign consists =
        makeDesign("Obiekt / Składa się z ...", "Obiekt :", "Składa się z :", "skl", "ilość",
                   "Ten obiekt już znajduje się w tabeli Składa się z ... !",
                   "Dane zostały zmienione. Zapamiętać przed dodaniem nowego towaru !",
                   "Dane zostały zmienione. Zapisać wprowadzone zmiany!",
                   {"skl_Nr", "skl_skl_sie_z", "skl_tow_symbol", "skl_tow_kod_prod",
                    "skl_tow_nazwa", "skl_il_szt"});
    static const RelationDesign goes = makeDesign(
        "Obiekt / Wchodzi do ...", "Obiekt :", "Wchodzi do :", "WDZ", "Ilość",
        "Ten obiekt już znajduje się w tabeli Wchodzi do ... !",
        "Dane zostały zmienione. Zapamiętać przed dodaniem nowego towaru ?",
        "Dane zostały zmienione. Zapisać wprowadzone zmiany ?",
        {"wdz_Nr", "wdz_do_zesp", "wdz_tow_symbol", "wdz_tow_kod_prod", "wdz_nazwa", "wdz_il_szt"});
    static const RelationDesign substitutes =
        makeDesign("Obiekt / Zamienniki", "Obiekt:", "Zamienniki :", "zam", "Rodzaj",
                   "Ten obiekt już znajduje się w tabeli Zamienniki !",
                   "Dane zostały zmienione. Zapamiętać przed dodaniem nowego towaru ?",
                   "Dane zostały zmienione. Zapisać wprowadzone zmiany ?",
                   {"Zam_Nr", "zam_zamiennik", "zam_tow_symbol", "zam_tow_kod_prod",
                    "zam_tow_nazwa", "zamiennik_rodzaj"});
    switch (relation) {
    case Relation::ConsistsOf:
        return consists;
    case Relation::GoesInto:
        return goes;
    case Relation::Substitutes:
        break;
    }
    return substitutes;
}

RelationList::RelationList(Relation relation, QString catalogueFolder, const QString& tempFolder,
                           int itemNr)
    : relation_(relation), folder_(std::move(catalogueFolder)), itemNr_(itemNr),
      work_(std::make_unique<platform::WorkTable>(tempFolder, designOf(relation).prefix,
                                                  layoutOf(relation))) {}

RelationList::~RelationList() = default;

bool RelationList::isOpen() const {
    return work_->exists();
}

QString RelationList::workTableName() const {
    return work_->name();
}

void RelationList::open() {
    entries_.clear();
    work_->create();
    try {
        readStored();
    } catch (...) {
        // No half-filled working table stays behind; the caller's guard reports.
        close();
        throw;
    }
    reload();
}

void RelationList::close() {
    entries_.clear();
    work_->remove();
}

void RelationList::readStored() {
    const RelationDesign& d = design();
    const bool substitutes = relation_ == Relation::Substitutes;
    engine::Table stored(folder_, substitutes ? kZamienne : kSklada);
    QString otherStored;
    switch (relation_) {
    case Relation::ConsistsOf:
        stored.setIndexName(QStringLiteral("wg_Sklada_Tow_Nr"));
        otherStored = kPart;
        break;
    case Relation::GoesInto:
        stored.setIndexName(QStringLiteral("wg_Sklada_Nr_Czesci"));
        otherStored = kWhole;
        break;
    case Relation::Substitutes:
        stored.setIndexName(QStringLiteral("wg_Zam_Tow_Nr"));
        otherStored = kZamOther;
        break;
    }
    stored.open();
    stored.setRange({itemNr_});
    engine::Table towar(folder_, kTowar);
    towar.open();
    engine::Table& t = work_->table();
    for (stored.first(); !stored.eof(); stored.next()) {
        if (stored.isEmpty()) break;
        const int other = stored.asInteger(otherStored);
        t.append();
        t.setValue(d.otherField, other);
        // A related item another installation deleted keeps its row, without a name.
        if (towar.findKey({other})) {
            t.setValue(d.symbolField, towar.value(QStringLiteral("Tow_Symbol")));
            t.setValue(d.codeField, towar.value(QStringLiteral("Tow_Kod_Prod")));
            t.setValue(d.nameField, towar.value(QStringLiteral("Tow_Nazwa")));
        }
        if (substitutes)
            t.setValue(d.valueField, pointsBack(other) ? equivalentKind() : substituteKind());
        else
            t.setValue(d.valueField, stored.value(kPieces));
        t.post();
    }
}

// The other item lists this one as its substitute.
bool RelationList::pointsBack(int otherNr) {
    engine::Table back(folder_, kZamienne);
    back.setIndexName(QStringLiteral("wg_Zam_Tow_Nr"));
    back.open();
    back.setRange({otherNr});
    for (back.first(); !back.eof(); back.next()) {
        if (back.isEmpty()) break;
        if (back.asInteger(kZamOther) == itemNr_) return true;
    }
    return false;
}

QList<int> RelationList::storedSubstitutes() {
    QList<int> out;
    engine::Table stored(folder_, kZamienne);
    stored.setIndexName(QStringLiteral("wg_Zam_Tow_Nr"));
    stored.open();
    stored.setRange({itemNr_});
    for (stored.first(); !stored.eof(); stored.next()) {
        if (stored.isEmpty()) break;
        out << stored.asInteger(kZamOther);
    }
    return out;
}

void RelationList::reload() {
    const RelationDesign& d = design();
    entries_.clear();
    for (const QVariantMap& row : work_->rows()) {
        RelationEntry e;
        e.entry = row.value(d.entryField).toInt();
        e.otherNr = row.value(d.otherField).toInt();
        e.symbol = row.value(d.symbolField).toString();
        e.producerCode = row.value(d.codeField).toString();
        e.name = row.value(d.nameField).toString();
        e.value = row.value(d.valueField);
        entries_ << e;
    }
}

int RelationList::indexOfItem(int otherNr) const {
    for (int i = 0; i < entries_.size(); ++i)
        if (entries_[i].otherNr == otherNr) return i;
    return -1;
}

RelationList::Added RelationList::add(int otherNr) {
    if (!isOpen() || otherNr == itemNr_) return Added::Refused;
    if (indexOfItem(otherNr) >= 0) return Added::Duplicate;
    engine::Table towar(folder_, kTowar);
    towar.open();
    if (!towar.findKey({otherNr})) return Added::Refused;
    const RelationDesign& d = design();
    engine::Table& t = work_->table();
    t.append();
    t.setValue(d.otherField, otherNr);
    t.setValue(d.symbolField, towar.value(QStringLiteral("Tow_Symbol")));
    t.setValue(d.codeField, towar.value(QStringLiteral("Tow_Kod_Prod")));
    t.setValue(d.nameField, towar.value(QStringLiteral("Tow_Nazwa")));
    t.setValue(d.valueField,
               relation_ == Relation::Substitutes ? QVariant(substituteKind()) : QVariant(1.0));
    t.post();
    reload();
    return Added::Yes;
}

void RelationList::remove(int row) {
    if (!isOpen() || row < 0 || row >= entries_.size()) return;
    engine::Table& t = work_->table();
    if (t.findKey({entries_[row].entry})) t.remove();
    reload();
}

void RelationList::clear() {
    if (!isOpen()) return;
    engine::Table& t = work_->table();
    for (t.first(); !t.isEmpty(); t.first())
        t.remove();
    reload();
}

bool RelationList::setPieces(int row, const QString& typed) {
    if (!isOpen() || relation_ == Relation::Substitutes || row < 0 || row >= entries_.size())
        return false;
    const auto pieces = engine::parseLooseNumber(typed.trimmed());
    if (!pieces || !(*pieces > 0)) return false;
    // Pieces the user only looked at stay exactly as stored.
    const QVariant& now = entries_[row].value;
    if (!now.isNull() && now.toDouble() == *pieces) return true;
    engine::Table& t = work_->table();
    if (!t.findKey({entries_[row].entry})) return false;
    t.edit();
    t.setValue(design().valueField, *pieces);
    t.post();
    reload();
    return true;
}

bool RelationList::setKind(int row, const QString& kind) {
    if (!isOpen() || relation_ != Relation::Substitutes || row < 0 || row >= entries_.size())
        return false;
    if (kind != equivalentKind() && kind != substituteKind()) return false;
    if (entries_[row].value.toString() == kind) return true;
    engine::Table& t = work_->table();
    if (!t.findKey({entries_[row].entry})) return false;
    t.edit();
    t.setValue(design().valueField, kind);
    t.post();
    reload();
    return true;
}

QList<platform::RowReplacement> RelationList::replacements() {
    platform::RowReplacement own;
    switch (relation_) {
    case Relation::ConsistsOf:
        own = {kSklada, {kWhole}, {itemNr_}, {}};
        for (const RelationEntry& e : entries_)
            own.rows << QVariantMap{{kWhole, itemNr_}, {kPart, e.otherNr}, {kPieces, e.value}};
        return {own};
    case Relation::GoesInto:
        own = {kSklada, {kPart}, {itemNr_}, {}};
        for (const RelationEntry& e : entries_)
            own.rows << QVariantMap{{kWhole, e.otherNr}, {kPart, itemNr_}, {kPieces, e.value}};
        return {own};
    case Relation::Substitutes:
        break;
    }
    own = {kZamienne, {kZamItem}, {itemNr_}, {}};
    QList<int> partners; // whose rows back to this item are rewritten
    QSet<int> equivalents;
    for (const RelationEntry& e : entries_) {
        own.rows << QVariantMap{{kZamItem, itemNr_}, {kZamOther, e.otherNr}};
        if (isEquivalent(e.value.toString())) {
            equivalents.insert(e.otherNr);
            partners << e.otherNr;
        }
    }
    // The substitutes stored until now lose their way back; a one-way substitute another item
    // holds of this one, and this one does not list, is that item's own business.
    partners << storedSubstitutes();
    QList<platform::RowReplacement> out{own};
    QSet<int> done;
    for (int other : partners) {
        if (other == itemNr_ || done.contains(other)) continue;
        done.insert(other);
        platform::RowReplacement back{kZamienne, {kZamItem, kZamOther}, {other, itemNr_}, {}};
        // Exactly one row back, also where a one-way one stood before.
        if (equivalents.contains(other))
            back.rows << QVariantMap{{kZamItem, other}, {kZamOther, itemNr_}};
        out << back;
    }
    return out;
}

bool RelationList::save() {
    if (!isOpen()) return false;
    {
        engine::Table towar(folder_, kTowar);
        towar.open();
        if (!towar.findKey({itemNr_})) return false;
    }
    platform::replaceRows(folder_, replacements());
    return true;
}

} // namespace relations
