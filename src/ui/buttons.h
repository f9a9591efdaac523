#pragma once
#include <QAnyStringView>
#include <QString>

class QPushButton;
class QWidget;

namespace ui {

// A dialog's push button, named for tests and handlers. It never takes Enter for itself: Enter
// belongs to each dialog's own Enter handling, not to whichever button has the focus. The name is
// a plain identifier, so a character literal serves.
QPushButton* dialogButton(QWidget* parent, QAnyStringView objectName, const QString& text,
                          const QString& hint = {});

} // namespace ui
