#pragma once
// The lines of the order open in the editor, kept in a working table ("TDok...") in the main
// folder's TMP until the order is saved or closed. The order tables are touched only by saving.
#include "orders/orderdocs.h"
#include <QString>
#include <memory>
#include <vector>

namespace engine {
class DataSet;
class Table;
} // namespace engine
namespace platform {
class WorkTable;
}

namespace orders {

class LineBuffer {
public:
    explicit LineBuffer(const QString& tempFolder);
    ~LineBuffer();
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

    static const QString kPrefix; // "TDok"

    // A new, empty buffer (the one before, if any, is deleted). Throws engine::EngineError when
    // the working table cannot be made; there is then no buffer.
    void create();
    // Deletes the buffer; never throws.
    void remove();
    bool exists() const;
    QString name() const;
    engine::Table& table(); // only while exists()

    bool isEmpty();
    int count();

    // A line taken from item `item` (the current row of the item list, a Towar data set) of the
    // catalogue `folder`; `useName2` puts the item's second name on the order.
    void appendItem(const engine::DataSet& item, const QString& folder, bool useName2,
                    double quantity, const QString& unit);
    // An empty line, typed afterwards in the line editor; the buffer stays on it.
    void appendTyped();
    void appendLines(const std::vector<OrderLine>& lines);
    void deleteCurrent();

    // Every line as it reaches the order, in the order the lines were added.
    std::vector<OrderLine> lines();

private:
    std::unique_ptr<platform::WorkTable> work_;
};

} // namespace orders
