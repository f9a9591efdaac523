#include "ui/dbmemo.h"

namespace ui {

DbMemo::DbMemo(QWidget* parent)
    : QPlainTextEdit(parent), link_(new FieldLink(
                                  [this](const QString& text) {
                                      if (text != toPlainText()) setPlainText(text);
                                  },
                                  this)) {
    setReadOnly(true);
}

} // namespace ui
