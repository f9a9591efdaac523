#pragma once
// What the order editor asks of the main window: its document tab shows the open order's lines
// next to the item list, and its menus and toolbar follow whether an order is open.
namespace engine {
class DataSet;
}

namespace orders {

class OrderHost {
public:
    virtual ~OrderHost();
    // An order was opened (true) or closed (false): menus, toolbar, the tab's caption and memo.
    virtual void orderOpened(bool open) = 0;
    // The lines on the document tab with their buttons (true), or the whole document in the
    // editor window (false).
    virtual void orderShownOnTab(bool onTab) = 0;
    // The commands that need a line follow the buffer.
    virtual void orderLinesChanged(bool anyLine) = 0;
    // The item list's rows (the item table or the query), whose current row a new line takes.
    virtual engine::DataSet* orderItemList() = 0;
};

} // namespace orders
