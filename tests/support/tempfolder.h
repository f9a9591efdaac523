#pragma once
#include <QString>
#include <QTemporaryDir>

// A folder for one test's data, removed when the test ends.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString sub(const QString& name) const; // creates and returns a subfolder

private:
    QTemporaryDir dir_;
};
