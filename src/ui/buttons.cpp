#include "ui/buttons.h"
#include <QPushButton>

namespace ui {

QPushButton* dialogButton(QWidget* parent, QAnyStringView objectName, const QString& text,
                          const QString& hint) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(objectName);
    if (!hint.isEmpty()) b->setToolTip(hint);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace ui
