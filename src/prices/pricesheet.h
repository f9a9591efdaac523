#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>

namespace platform {
class WorkTable;
}

namespace prices {

// The four prices of a line, in the order the grid shows them.
enum class PriceField { Price1, Price2, Price3, Srp };

// One supplier's prices of the item, as the working table holds them.
struct PriceLine {
    int entry = 0; // the line's number in the working table
    int companyNr = 0;
    QString companyName; // the supplier's short name; empty when the company is gone
    QVariant price1, price2, price3, srp; // double, or empty
    int currencyNr = 0;
    QDate date;
    QString remark;

    QVariant price(PriceField field) const;
};

// The purchase prices of one item, edited as a whole on a working copy and written back to Cena
// in one step. The item is fixed when the sheet is made; lines are kept in supplier-name order,
// one per supplier, and every line changed takes the date it is changed with.
class PriceSheet {
public:
    PriceSheet(QString catalogueFolder, const QString& tempFolder, int itemNr);
    ~PriceSheet();
    PriceSheet(const PriceSheet&) = delete;
    PriceSheet& operator=(const PriceSheet&) = delete;

    // A fresh working copy of the item's Cena rows, with their suppliers' names. Throws
    // engine::EngineError.
    void open();
    // Lets go of the working copy; never throws.
    void close();
    bool isOpen() const;
    QString workTableName() const;

    int itemNr() const { return itemNr_; }
    const QList<PriceLine>& lines() const { return lines_; }
    int lineOfCompany(int companyNr) const; // -1 when the supplier has no line
    int lineOfEntry(int entry) const;       // -1 when there is no such line

    // A line for a supplier not yet in the sheet, without prices; its index, or -1 (and nothing
    // changes) when the supplier has one already.
    int add(int companyNr, const QString& companyName, int currencyNr, const QDate& date);
    // Each returns true when the line changed; a changed line takes `date`.
    bool setPrice(int line, PriceField field, const QVariant& value, const QDate& date);
    bool setCurrency(int line, int currencyNr, const QDate& date);
    bool setRemark(int line, const QString& remark, const QDate& date);
    void remove(int line);
    void clear();

    // False when the item has gone from the catalogue meanwhile.
    bool itemExists() const;
    // Replaces the item's Cena rows by the lines, all or nothing. Throws engine::EngineError.
    void save();

private:
    void reload();
    void change(int line, const QString& field, const QVariant& value, const QDate& date);

    QString folder_;
    int itemNr_;
    std::unique_ptr<platform::WorkTable> work_;
    QList<PriceLine> lines_;
};

// The Cena field of a price.
QString priceFieldName(PriceField field);
// The remark's room in Cena.
constexpr int kRemarkLength = 30;

} // namespace prices
