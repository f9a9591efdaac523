#pragma once
#include <QList>
#include <QString>

namespace preferences {

// A field of the settings record or of the display configuration and the control of the
// preferences dialog (by object name) that shows it.
struct Binding {
    QString field;
    QString control;
};

// The settings record's fields that the dialog shows as they are stored: line edits, check
// boxes, number fields and the editable lists of the number patterns. The fields read or written
// in another way (owner, contact, currency, default catalogue, logo, reminder, language, name on
// orders, last backup date) are not among them.
QList<Binding> settingsTexts();
QList<Binding> settingsFlags();
QList<Binding> settingsNumbers();
QList<Binding> patternParts(); // CB_11 ... CB_16, CB_21 ... CB_26

// The display configuration: the five captions, and the panel, screen-element and column
// switches (the 39 column switches among them).
QList<Binding> displayTexts();
QList<Binding> displayFlags();
QList<Binding> columnFlags();

// "Pelk_Zam_Od" for orders from clients (kind 1), "Pelk_Zam_Do" for orders to suppliers.
QString orderPrefix(int kind);

} // namespace preferences
