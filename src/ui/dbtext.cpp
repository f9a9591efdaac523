#include "ui/dbtext.h"

namespace ui {

DbText::DbText(QWidget* parent)
    : QLabel(parent), link_(new FieldLink([this](const QString& text) { setText(text); }, this)) {
    setTextFormat(Qt::PlainText);
}

} // namespace ui
